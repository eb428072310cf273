// In-place editing through the real editor controls: the editor each kind of template item
// opens and where, the keys inside an editor (Enter, Esc, the arrows), read-only items, typing
// into a direct-edit item, the picture dialog and a custom editor link.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>

#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/cardlist/card_list.h"
#include "platform/ui/controls/application.h"
#include "platform/ui/controls/deferred_release.h"
#include "platform/ui/controls/edit_controls.h"
#include "platform/ui/forms/dialogs.h"
#include "tests/support/input.h"
#include "tests/support/render.h"
#include "tests/support/temp_folder.h"

namespace cardlist {
namespace {

namespace ts = test_support;
using E = TFineCardItemEditor;
using D = TFineCardItemDataType;
using ui::TRect;

// Two cards with the rows "Name" (text) and "Note" of `height` pixels each, in a list that
// records its start-edit and end-edit events.
class EditingList : public ::testing::Test {
protected:
    EditingList() {
        ts::EnsureApplication();
        list = std::make_unique<TFineCardList>(nullptr);
        list->OnCardEndEdit = [this](TCustomFineCardList*, int card, int item) {
            events.push_back("end " + std::to_string(card) + "." + std::to_string(item));
        };
    }
    ~EditingList() override {
        list.reset();
        ui::FreeReleasedControls();
    }

    // `cards` cards captioned c0, c1, ...: the first two fit side by side in the list, a few
    // more fill columns beyond its right edge.
    void Fill(int height = 20, int cards = 2) {
        list->SetBounds(0, 0, 560, 320);
        list->BeginUpdate();
        for (const char* name : {"Name", "Note"}) {
            TFineCardTemplateItem* row = list->CardTemplate().Items().Add();
            row->SetAutoSize(false);
            row->SetHeight(height);
            row->SetCaption(name);
        }
        for (int i = 0; i < cards; ++i) list->Cards().Add()->SetCaption("c" + std::to_string(i));
        list->EndUpdate();
        Item(0, 0).SetAsString("old");
    }
    TFineCardTemplateItem& Row(int i) { return *list->CardTemplate().Items().Items(i); }
    TFineCardItem& Item(int card, int item) { return *list->Cards().Items(card)->Items().Items(item); }
    ui::TInputControl& Input() {
        auto* input = dynamic_cast<ui::TInputControl*>(list->Editor());
        EXPECT_NE(input, nullptr);
        return *input;
    }
    void KeyInEditor(int qt_key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        ts::SendKey(Input().FocusWidget(), qt_key, QString(), mods);
    }

    std::unique_ptr<TFineCardList> list;
    std::vector<std::string> events;
};

TEST_F(EditingList, EachEditorKindOpensItsControlOverTheValue) {
    struct Case {
        E editor;
        bool word_wrap;
        const char* class_name;
        int kind;
    };
    const Case cases[] = {
        {E::ieText, false, "TEdit", 0},
        {E::ieText, true, "TMemo", 1},
        {E::ieNumber, false, "TMaskEdit", 2},
        {E::ieFloat, false, "TMaskEdit", 2},
        {E::ieDropDownList, false, "TComboBox", 4},
        {E::ieDropDownEdit, false, "TComboBox", 4},
        {E::ieDate, false, "TDateTimePicker", 5},
        {E::ieTime, false, "TDateTimePicker", 5},
    };
    Fill(22);  // every rectangle at least as high as a drop-down editor needs
    for (const Case& c : cases) {
        SCOPED_TRACE(EditorName(c.editor) + (c.word_wrap ? " wrapped" : ""));
        Row(1).SetItemEditor(c.editor);
        Row(1).SetWordWrap(c.word_wrap);
        list->EditItem(1, 1, '\0');
        ASSERT_TRUE(list->Editing());
        EXPECT_EQ(list->Editor()->ClassName(), c.class_name);
        EXPECT_EQ(list->Editor()->Parent(), list.get());
        EXPECT_EQ(list->Editor()->BoundsRect(), Item(1, 1).ValueClientRect);
        EXPECT_TRUE(list->Cards().Items(1)->Editing);
        list->CancelEdit();
        EXPECT_FALSE(list->Editing());
        EXPECT_FALSE(list->Cards().Items(1)->Editing);
    }
}

TEST_F(EditingList, EditorsShowTheItemsValueAndSettings) {
    Fill(22);
    Row(1).SetDataType(D::idtString);
    Row(1).List().Add("red");
    Row(1).List().Add("green");
    Item(1, 1).SetAsString("green");

    Row(1).SetItemEditor(E::ieDropDownList);
    list->EditItem(1, 1, '\0');
    auto* combo = dynamic_cast<ui::TComboBox*>(list->Editor());
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->Style(), ui::TComboBoxStyle::csDropDownList);
    EXPECT_EQ(combo->Items().Count(), 2);
    EXPECT_EQ(combo->ItemIndex(), 1);
    list->CancelEdit();

    Row(1).SetItemEditor(E::ieDropDownEdit);
    Item(1, 1).SetAsString("blue");
    list->EditItem(1, 1, '\0');
    combo = dynamic_cast<ui::TComboBox*>(list->Editor());
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->Style(), ui::TComboBoxStyle::csDropDown);
    EXPECT_EQ(combo->Text(), "blue");
    list->CancelEdit();

    Row(1).SetDataType(D::idtInteger);
    Row(1).SetItemEditor(E::ieNumber);
    Row(1).SetMask("999;0;_");
    Row(1).SetEditColor(0x00FFEE);
    Item(1, 1).SetAsInteger(42);
    list->EditItem(1, 1, '\0');
    auto* mask = dynamic_cast<ui::TMaskEdit*>(list->Editor());
    ASSERT_NE(mask, nullptr);
    EXPECT_EQ(mask->EditMask(), "999;0;_");
    EXPECT_EQ(mask->BorderStyle(), ui::TBorderStyle::bsNone);
    EXPECT_EQ(mask->Color(), 0x00FFEEu);
    EXPECT_EQ(mask->Text().find("42"), 0u);
    list->CancelEdit();

    Row(1).SetDataType(D::idtTime);
    Row(1).SetItemEditor(E::ieTime);
    Item(1, 1).SetAsTime(0.75);
    list->EditItem(1, 1, '\0');
    auto* picker = dynamic_cast<ui::TDateTimePicker*>(list->Editor());
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->Kind(), ui::TDateTimeKind::dtkTime);
    EXPECT_NEAR(picker->Time(), 0.75, 1e-6);
    picker->SetTime(0.25);
    list->EndEdit();
    EXPECT_NEAR(Item(1, 1).AsTime(), 0.25, 1e-6);
}

// A date or time editor opens at the item's date or time, also over a text item, and an
// untouched editor stored by Enter gives the item back its value.
TEST_F(EditingList, ADateOrTimeEditorEditsItsOwnKindOfValue) {
    struct Case {
        const char* name;
        D type;
        E editor;
        std::function<void(TFineCardItem&)> set;
        std::function<void(ui::TDateTimePicker&)> change;  // what the user picks
        ui::TDateTime shown;                               // the picker's time (time editor) or date
        std::string untouched, changed;                    // the item's text after each store
    };
    const ui::TDateTime christmas = ui::EncodeDate(2023, 12, 24);
    const Case cases[] = {
        {"a time editor over a text item", D::idtString, E::ieTime, [](TFineCardItem& i) { i.SetAsString("12:30:00"); },
         [](ui::TDateTimePicker& p) { p.SetTime(0.75); }, ui::EncodeTime(12, 30, 0, 0), "12:30:00", "18:00:00"},
        {"a date editor over a text item", D::idtString, E::ieDate,
         [](TFineCardItem& i) { i.SetAsString("24/12/2023"); },
         [&](ui::TDateTimePicker& p) { p.SetDate(christmas + 7); }, christmas, "24/12/2023", "31/12/2023"},
        {"a time editor over a time item", D::idtTime, E::ieTime, [](TFineCardItem& i) { i.SetAsTime(0.25); },
         [](ui::TDateTimePicker& p) { p.SetTime(0.5); }, 0.25, "06:00:00", "12:00:00"},
        {"a date editor over a date item", D::idtDate, E::ieDate, [&](TFineCardItem& i) { i.SetAsDate(christmas); },
         [&](ui::TDateTimePicker& p) { p.SetDate(christmas + 1); }, christmas, "24/12/2023", "25/12/2023"},
    };
    Fill(22);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Row(1).SetDataType(c.type);
        Row(1).SetItemEditor(c.editor);
        c.set(Item(1, 1));
        for (const bool change : {false, true}) {
            list->EditItem(1, 1, '\0');
            auto* picker = dynamic_cast<ui::TDateTimePicker*>(list->Editor());
            ASSERT_NE(picker, nullptr);
            const bool time = c.editor == E::ieTime;
            EXPECT_NEAR(time ? picker->Time() : picker->Date(), c.shown, 1e-6);
            if (change) c.change(*picker);
            KeyInEditor(Qt::Key_Return);
            ASSERT_FALSE(list->Editing());
            EXPECT_EQ(Item(1, 1).AsString(), change ? c.changed : c.untouched);
            ui::FreeReleasedControls();
        }
    }
}

// A custom editor that keeps the value it was given, in a plain edit.
class KeepingLink : public TCardListEditLink {
public:
    using TCardListEditLink::TCardListEditLink;
    std::unique_ptr<ui::TWinControl> CreateEditor() override {
        auto edit = std::make_unique<ui::TEdit>(nullptr);
        edit->SetAutoSize(false);  // keeps the bounds it is given
        return edit;
    }
    void SetProperties() override {}
    void SetSelection(int, int) override {}
    void FocusEditor() override {}
    void SetEditorValue(const TCardEditValue& value) override { given = value; }
    void GetEditorValue(TCardEditValue& value) override { value = given; }
    TCardEditValue given;
};

TEST_F(EditingList, OnlyADropDownEditorOnAShortValueGrowsToItsHeight) {
    Fill(15);
    KeepingLink link(nullptr);
    Row(1).SetItemEditLink(&link);
    const TRect value = Item(0, 1).ValueClientRect;
    ASSERT_EQ(value.Height(), 15);
    struct Case {
        E editor;
        bool grows;
    };
    for (const Case c : {Case{E::ieDropDownList, true}, Case{E::ieDropDownEdit, true}, Case{E::ieDate, false},
                         Case{E::ieTime, false}, Case{E::ieCustom, false}, Case{E::ieText, false}}) {
        SCOPED_TRACE(EditorName(c.editor));
        Row(1).SetItemEditor(c.editor);
        list->EditItem(0, 1, '\0');
        ASSERT_TRUE(list->Editing());
        if (c.grows) {
            EXPECT_EQ(list->Editor()->Top(), value.Top - 3);
            EXPECT_EQ(list->Editor()->Height(), 21);
            EXPECT_EQ(list->Editor()->Left(), value.Left);
        } else {
            EXPECT_EQ(list->Editor()->BoundsRect(), value);
        }
        list->CancelEdit();
    }
    Row(1).SetItemEditLink(nullptr);
}

TEST_F(EditingList, ACustomEditorGetsTheValueByItsDataType) {
    Fill();
    KeepingLink link(nullptr);
    Row(1).SetItemEditLink(&link);
    struct Case {
        D type;
        std::function<void(TFineCardItem&)> set;
        TCardEditValue given;
    };
    const Case cases[] = {
        {D::idtBoolean, [](TFineCardItem& i) { i.SetAsBoolean(true); }, true},
        {D::idtDate, [](TFineCardItem& i) { i.SetAsDate(45000.0); }, TEditDate{45000.0}},
        {D::idtTime, [](TFineCardItem& i) { i.SetAsTime(0.5); }, TEditDate{0.5}},
        {D::idtInteger, [](TFineCardItem& i) { i.SetAsInteger(42); }, std::string("42")},
        {D::idtString, [](TFineCardItem& i) { i.SetAsString("text"); }, std::string("text")},
        {D::idtImage, [](TFineCardItem&) {}, std::string()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.type));
        Row(1).SetDataType(c.type);
        Row(1).SetItemEditor(E::ieCustom);
        c.set(Item(1, 1));
        list->EditItem(1, 1, '\0');
        ASSERT_TRUE(list->Editing());
        EXPECT_EQ(link.given, c.given);
        list->CancelEdit();
    }
    // A typed first character replaces the value.
    Row(1).SetDataType(D::idtDate);
    Row(1).SetItemEditor(E::ieCustom);
    list->EditItem(1, 1, '7');
    EXPECT_EQ(link.given, TCardEditValue{std::string("7")});
    list->CancelEdit();
    Row(1).SetItemEditLink(nullptr);
}

TEST_F(EditingList, EnterStoresOnceAndEscKeepsTheOldValue) {
    Fill();
    list->EditItem(0, 0, '\0');
    ASSERT_TRUE(list->Editing());
    ui::TWinControl* editor = list->Editor();
    Input().SetText("new");
    KeyInEditor(Qt::Key_Return);
    EXPECT_EQ(Item(0, 0).AsString(), "new");
    EXPECT_EQ(events, std::vector<std::string>{"end 0.0"});
    EXPECT_FALSE(list->Editing());
    EXPECT_FALSE(list->Cards().Items(0)->Editing);
    // Closed inside its own key event, the editor waits for its release off the screen.
    EXPECT_TRUE(ui::IsReleased(*editor));
    EXPECT_EQ(editor->Parent(), nullptr);
    ui::FreeReleasedControls();

    list->EditItem(0, 0, '\0');
    Input().SetText("discarded");
    KeyInEditor(Qt::Key_Escape);
    EXPECT_EQ(Item(0, 0).AsString(), "new");
    EXPECT_EQ(events, std::vector<std::string>{"end 0.0"});
    EXPECT_FALSE(list->Editing());
    EXPECT_FALSE(list->Cards().Items(0)->Editing);
}

TEST_F(EditingList, ScrollingOrRefreshingClosesTheEditor) {
    Fill(20, 8);
    ASSERT_GE(list->LayoutState().column_count, 3);
    ASSERT_EQ(list->LayoutState().first_column, 1);
    list->EditItem(0, 0, '\0');
    Input().SetText("scrolled");
    list->ScrollToPosition(2);  // scrolling stores
    ASSERT_EQ(list->LayoutState().first_column, 2) << "the view moved";
    EXPECT_FALSE(list->Editing());
    EXPECT_FALSE(list->Cards().Items(0)->Editing);
    EXPECT_EQ(Item(0, 0).AsString(), "scrolled");
    EXPECT_EQ(events, std::vector<std::string>{"end 0.0"});

    list->EditItem(0, 0, '\0');
    Input().SetText("refreshed");
    list->RefreshList(kFilterRefresh);  // a refresh drops the edit
    EXPECT_FALSE(list->Editing());
    EXPECT_EQ(Item(0, 0).AsString(), "scrolled");
    EXPECT_EQ(events.size(), 1u);
}

// A scroll request that moves nothing (the position the view has, the wheel at either end)
// leaves the edit open and the item as it was.
TEST_F(EditingList, AScrollThatMovesNothingKeepsTheEditOpen) {
    Fill(20, 8);
    const int columns = list->LayoutState().column_count;
    ASSERT_GE(columns, 3);
    ASSERT_TRUE(list->ScrollBar().Visible());
    struct Case {
        const char* name;
        int first_column;  // the view is scrolled here before the edit opens
        std::function<void()> scroll;
    };
    const ui::TPoint middle{280, 150};
    const Case cases[] = {
        {"to the position the view has", 2, [&] { list->ScrollToPosition(2); }},
        {"the bar moved to the position it has", 1,
         [&] { list->ScrollBar().UserScroll(ui::TScrollCode::scPosition, 1); }},
        {"the wheel towards the start at the first column", 1, [&] { ts::Wheel(*list, middle, 1); }},
        {"the wheel towards the end at the last column", columns, [&] { ts::Wheel(*list, middle, -1); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        list->ScrollToPosition(c.first_column);
        ASSERT_EQ(list->LayoutState().first_column, c.first_column);
        const int card = list->ViewCards().front();
        list->EditItem(card, 0, '\0');
        ASSERT_TRUE(list->Editing());
        Input().SetText("typed");
        c.scroll();
        EXPECT_EQ(list->LayoutState().first_column, c.first_column);
        ASSERT_TRUE(list->Editing());
        EXPECT_EQ(Input().Text(), "typed");
        EXPECT_EQ(Item(card, 0).AsString(), card == 0 ? "old" : "");
        EXPECT_TRUE(events.empty());
        list->CancelEdit();
    }
}

// A card selected while an edit is open is brought into view: when that moves the cards, the
// edit is stored and closed first, in both flows; a card already in view moves nothing and the
// edit stays open.
TEST_F(EditingList, SelectingACardOutOfViewStoresAndClosesTheEdit) {
    const struct {
        const char* name;
        TScrollBarType bar;
        bool out_of_view;  // the last card is selected, else the one beside the edited card
    } cases[] = {
        {"columns, a card beyond the right edge", TScrollBarType::sbtHorizontal, true},
        {"rows, a card below the bottom", TScrollBarType::sbtVertical, true},
        {"columns, a card in view", TScrollBarType::sbtHorizontal, false},
        {"rows, a card in view", TScrollBarType::sbtVertical, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        list = std::make_unique<TFineCardList>(nullptr);
        list->OnCardEndEdit = [this](TCustomFineCardList*, int card, int item) {
            events.push_back("end " + std::to_string(card) + "." + std::to_string(item));
        };
        events.clear();
        list->SetScrollBarType(c.bar);
        Fill(20, 16);
        const auto first = [&] {
            const CardLayoutState& st = list->LayoutState();
            return c.bar == TScrollBarType::sbtVertical ? st.first_row : st.first_column;
        };
        ASSERT_EQ(first(), 1);
        ASSERT_TRUE(list->ScrollBar().Visible()) << "the cards do not all fit";
        list->EditItem(0, 0, '\0');
        ASSERT_TRUE(list->Editing());
        Input().SetText("typed");
        list->SelectCardIndex(c.out_of_view ? 15 : 1);
        if (c.out_of_view) {
            EXPECT_GT(first(), 1) << "the view did not move";
            EXPECT_FALSE(list->Editing());
            EXPECT_FALSE(list->Cards().Items(0)->Editing);
            EXPECT_EQ(Item(0, 0).AsString(), "typed");
            EXPECT_EQ(events, std::vector<std::string>{"end 0.0"});
        } else {
            EXPECT_EQ(first(), 1);
            ASSERT_TRUE(list->Editing());
            EXPECT_EQ(Input().Text(), "typed");
            EXPECT_EQ(Item(0, 0).AsString(), "old");
            EXPECT_TRUE(events.empty());
        }
    }
}

TEST_F(EditingList, InAMemoOnlyEnterWithAModifierStores) {
    Fill(40);
    Row(0).SetWordWrap(true);
    list->EditItem(0, 0, '\0');
    ASSERT_EQ(list->Editor()->ClassName(), "TMemo");
    KeyInEditor(Qt::Key_Return);
    EXPECT_TRUE(list->Editing()) << "a plain Enter starts a new line";
    EXPECT_TRUE(events.empty());
    KeyInEditor(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_FALSE(list->Editing());
    EXPECT_EQ(events, std::vector<std::string>{"end 0.0"});
}

TEST_F(EditingList, DownInsideAnEditorStoresAndMovesToTheNextItem) {
    Fill();
    list->SelectCardIndex(0);
    list->Cards().Items(0)->SetItemIndex(0);
    list->EditItem(0, 0, '\0');
    Input().SetText("moved");
    KeyInEditor(Qt::Key_Down);
    ui::FreeReleasedControls();
    EXPECT_EQ(Item(0, 0).AsString(), "moved");
    EXPECT_EQ(events, std::vector<std::string>{"end 0.0"});
    EXPECT_FALSE(list->Editing());
    EXPECT_EQ(list->Cards().Items(0)->ItemIndex(), 1);
}

TEST_F(EditingList, DownStaysInsideTheMultiLineListAndDateEditors) {
    struct Case {
        E editor;
        bool word_wrap;
        bool stays;  // the key stays in the editor; else the edit is stored and the next item focused
    };
    const Case cases[] = {
        {E::ieText, false, false},        {E::ieText, true, true},  {E::ieNumber, false, false},
        {E::ieDropDownList, false, true}, {E::ieDate, false, true},
    };
    Fill(22);
    for (const Case& c : cases) {
        SCOPED_TRACE(EditorName(c.editor) + (c.word_wrap ? " wrapped" : ""));
        Row(0).SetItemEditor(c.editor);
        Row(0).SetWordWrap(c.word_wrap);
        list->SelectCardIndex(0);
        list->Cards().Items(0)->SetItemIndex(0);
        list->EditItem(0, 0, '\0');
        ASSERT_TRUE(list->Editing());
        KeyInEditor(Qt::Key_Down);
        ui::FreeReleasedControls();
        EXPECT_EQ(list->Editing(), c.stays);
        EXPECT_EQ(list->Cards().Items(0)->ItemIndex(), c.stays ? 0 : 1);
        list->CancelEdit();
    }
}

TEST_F(EditingList, ReadOnlyItemsOpenNoEditorAndDoNotToggle) {
    Fill();
    Row(1).SetDataType(D::idtBoolean);
    ASSERT_EQ(Row(1).ItemEditor(), E::ieBoolean);
    struct Case {
        const char* name;
        bool list_read_only;
        bool row_read_only;
    };
    for (const Case& c : {Case{"list", true, false}, Case{"template item", false, true}}) {
        SCOPED_TRACE(c.name);
        list->SetReadOnly(c.list_read_only);
        Row(0).SetReadOnly(c.row_read_only);
        Row(1).SetReadOnly(c.row_read_only);
        list->EditItem(0, 0, '\0');
        EXPECT_FALSE(list->Editing());
        EXPECT_FALSE(list->Cards().Items(0)->Editing);
        list->EditItem(0, 1, '\0');
        EXPECT_FALSE(Item(0, 1).AsBoolean());
        EXPECT_TRUE(events.empty());
    }
    // A refused start leaves no card in its editing state either.
    list->SetReadOnly(false);
    Row(0).SetReadOnly(false);
    list->OnCardStartEdit = [](TCustomFineCardList*, int, int, bool& allow) { allow = false; };
    list->EditItem(0, 0, '\0');
    EXPECT_FALSE(list->Editing());
    EXPECT_FALSE(list->Cards().Items(0)->Editing);
}

TEST_F(EditingList, TypingIntoADirectEditItemStartsWithThatLetter) {
    Fill();
    Row(0).SetDirectEdit(true);
    list->SelectCardIndex(1);
    list->Cards().Items(1)->SetItemIndex(0);
    ts::Type(*list, 'x');
    ASSERT_TRUE(list->Editing());
    EXPECT_EQ(Input().Text(), "x");
    EXPECT_EQ(Input().SelStart(), 1);
    EXPECT_EQ(Input().SelLength(), 0);
    KeyInEditor(Qt::Key_Return);
    EXPECT_EQ(Item(1, 0).AsString(), "x");
}

TEST_F(EditingList, ThePictureDialogRunsWithoutAnEditor) {
    Fill();
    Row(1).SetDataType(D::idtImage);
    Row(1).SetItemEditor(E::iePictureDialog);
    std::vector<bool> editing_while_open;
    auto previous = ui::SetFileDialogService([&](const ui::TFileDialogRequest&) {
        editing_while_open.push_back(list->Cards().Items(0)->Editing);
        return ui::TFileDialogResult{};  // the user cancels
    });
    list->EditItem(0, 1, '\0');
    ui::SetFileDialogService(previous);
    EXPECT_EQ(editing_while_open, std::vector<bool>{true});
    EXPECT_FALSE(list->Editing());
    EXPECT_FALSE(list->Cards().Items(0)->Editing);
    EXPECT_TRUE(events.empty());
}

// A picked file that does not read as a picture: the error reaches the caller (from a key, the
// application's error report), the item keeps its picture and the edit does not count as ended;
// a picture that reads is taken.
TEST_F(EditingList, APictureFileThatDoesNotReadIsReportedAndTheOldPictureStays) {
    Fill();
    Row(1).SetDataType(D::idtImage);
    Row(1).SetItemEditor(E::iePictureDialog);
    ui::TBitmap& old = Item(0, 1).Picture().Bitmap();
    old.SetSize(8, 6);
    const ui::TGraphic* before = Item(0, 1).Picture().Graphic();
    ts::ScratchFolder folder;
    const std::string broken = folder.File("broken.bmp");
    std::ofstream(broken) << "not a picture";
    std::string picked;
    auto previous = ui::SetFileDialogService(
        [&](const ui::TFileDialogRequest&) { return ui::TFileDialogResult{.accepted = true, .files = {picked}}; });
    std::vector<std::string> reported;
    ui::Application().OnException = [&](const std::exception& e) { reported.push_back(e.what()); };
    list->SelectCardIndex(0);
    list->Cards().Items(0)->SetItemIndex(1);
    for (const std::string& file : {broken, folder.File("missing.bmp"), folder.File("notes.txt")}) {
        SCOPED_TRACE(file);
        picked = file;
        reported.clear();
        ts::Key(*list, Qt::Key_Return);  // Enter edits the focused item
        EXPECT_EQ(reported.size(), 1u);
        EXPECT_THROW(list->EditItem(0, 1, '\0'), ui::Exception);
        EXPECT_EQ(Item(0, 1).Picture().Graphic(), before);
        EXPECT_EQ(Item(0, 1).Picture().Width(), 8);
        EXPECT_TRUE(events.empty());
        EXPECT_FALSE(list->Editing());
        EXPECT_FALSE(list->Cards().Items(0)->Editing);
    }
    // A picture that reads replaces the old one and ends the edit.
    ui::TBitmap good;
    good.SetSize(3, 2);
    picked = folder.File("good.bmp");
    good.SaveToFile(picked);
    reported.clear();
    ts::Key(*list, Qt::Key_Return);
    EXPECT_TRUE(reported.empty());
    EXPECT_EQ(Item(0, 1).Picture().Width(), 3);
    EXPECT_EQ(events, std::vector<std::string>{"end 0.1"});
    EXPECT_FALSE(list->Cards().Items(0)->Editing);
    ui::Application().OnException = nullptr;
    ui::SetFileDialogService(previous);
}

// Answers the real file dialog from inside its modal loop as soon as it shows. A dialog still open
// after a generous time is cancelled, so that a loop that does not end fails the test instead of
// hanging it.
class FileDialogAnswer {
public:
    explicit FileDialogAnswer(std::function<void(QFileDialog&)> act) : act_(std::move(act)) {
        QObject::connect(&poll_, &QTimer::timeout, [this] { Poll(); });
        poll_.start(10);
        watchdog_.setSingleShot(true);
        QObject::connect(&watchdog_, &QTimer::timeout, [] {
            ADD_FAILURE() << "the file dialog did not close";
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* dialog = qobject_cast<QFileDialog*>(w)) dialog->reject();
            }
        });
        watchdog_.start(20000);
    }

    int shown = 0;

private:
    void Poll() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            if (dialog == nullptr || !dialog->isVisible()) continue;
            poll_.stop();
            ++shown;
            act_(*dialog);
            return;
        }
    }

    std::function<void(QFileDialog&)> act_;
    QTimer poll_;
    QTimer watchdog_;
};

// The real picture dialog's modal loop lets other events run. One of them (here a timer) that
// frees the card being edited, or the whole list, leaves nothing behind that is read once the
// dialog returns with a picture picked (the sanitizer build sees any touch of a freed one): the
// picture goes nowhere, and the other card keeps its own. Opened by Enter and by a double click.
TEST_F(EditingList, ACardOrTheListFreedWhileThePictureDialogRunsIsNotReadAfterIt) {
    ts::ScratchFolder folder;
    const std::string picked = folder.File("picked.bmp");
    {
        ui::TBitmap picture;
        picture.SetSize(3, 2);
        picture.SaveToFile(picked);
    }
    const ui::TFileDialogService previous = ui::SetFileDialogService({});  // the real dialog
    enum class Freed { Card, List };
    enum class Opened { Enter, DoubleClick };
    for (const Freed freed : {Freed::Card, Freed::List}) {
        for (const Opened opened : {Opened::Enter, Opened::DoubleClick}) {
            SCOPED_TRACE(std::string(freed == Freed::Card ? "card" : "list") + " freed, dialog opened by " +
                         (opened == Opened::Enter ? "Enter" : "a double click"));
            list = std::make_unique<TFineCardList>(nullptr);
            list->OnCardEndEdit = [this](TCustomFineCardList*, int card, int item) {
                events.push_back("end " + std::to_string(card) + "." + std::to_string(item));
            };
            events.clear();
            Fill();
            Row(1).SetDataType(D::idtImage);
            Row(1).SetItemEditor(E::iePictureDialog);
            Item(1, 1).Picture().Bitmap().SetSize(8, 6);
            const int other_id = list->Cards().Items(1)->ID();
            list->SelectCardIndex(0);
            list->Cards().Items(0)->SetItemIndex(1);
            const TRect value = Item(0, 1).ValueClientRect;
            QWidget* const widget = list->Widget();

            const FileDialogAnswer answer([&](QFileDialog& dialog) {
                if (freed == Freed::Card) {
                    delete list->Cards().Items(0);
                } else {
                    list.reset();
                }
                // The path in the name box and the dialog's own accept, as Enter there gives it.
                auto* name = dialog.findChild<QLineEdit*>("fileNameEdit");
                ASSERT_NE(name, nullptr) << "the dialog has no name box";
                name->setText(QString::fromStdString(picked));
                static_cast<QDialog&>(dialog).accept();
            });
            // Only the press: the list a release would go to may be gone.
            if (opened == Opened::Enter) {
                ts::SendKey(widget, Qt::Key_Return);
            } else {
                ts::SendMouse(widget, QEvent::MouseButtonDblClick, QPoint(value.Left + 3, value.Top + 3),
                              Qt::LeftButton, Qt::LeftButton);
            }
            ui::FreeReleasedControls();
            EXPECT_EQ(answer.shown, 1);
            EXPECT_TRUE(events.empty());
            if (freed == Freed::List) {
                EXPECT_EQ(list, nullptr);
                continue;
            }
            ASSERT_EQ(list->Cards().Count(), 1);
            EXPECT_EQ(list->Cards().Items(0)->ID(), other_id);
            EXPECT_EQ(Item(0, 1).Picture().Width(), 8);
            EXPECT_FALSE(list->Editing());
            EXPECT_FALSE(list->Cards().Items(0)->Editing);
        }
    }
    ui::SetFileDialogService(previous);
}

// A custom editor: a plain edit whose text is the value, given back as an integer.
class NumberLink : public TCardListEditLink {
public:
    using TCardListEditLink::TCardListEditLink;
    std::unique_ptr<ui::TWinControl> CreateEditor() override {
        auto edit = std::make_unique<ui::TEdit>(nullptr);
        edit_ = edit.get();
        edit->OnKeyDown = [this](ui::TPersistent* sender, int& key, ui::TShiftState shift) {
            if (OnEditorKeyDown) OnEditorKeyDown(sender, key, shift);
        };
        log.push_back("create");
        return edit;
    }
    void SetProperties() override { log.push_back("properties"); }
    void SetSelection(int start, int length) override {
        log.push_back("selection " + std::to_string(start) + "," + std::to_string(length));
    }
    void FocusEditor() override { log.push_back("focus"); }
    void SetEditorValue(const TCardEditValue& value) override {
        edit_->SetText(std::get<std::string>(value));
        log.push_back("value " + edit_->Text());
    }
    void GetEditorValue(TCardEditValue& value) override { value = std::stoi(edit_->Text()) * 2; }

    ui::TEdit* edit_ = nullptr;
    std::vector<std::string> log;
};

TEST_F(EditingList, ACustomLinkSuppliesTheEditorAndItsValue) {
    Fill();
    NumberLink link(nullptr);
    Row(1).SetDataType(D::idtInteger);
    Row(1).SetItemEditor(E::ieCustom);
    Row(1).SetItemEditLink(&link);
    Item(1, 1).SetAsInteger(7);
    list->SelectCardIndex(1);
    list->Cards().Items(1)->SetItemIndex(1);
    list->EditItem(1, 1, '4');
    ASSERT_TRUE(list->Editing());
    EXPECT_EQ(link.log, (std::vector<std::string>{"create", "value 4", "properties", "focus", "selection 1,0"}));
    ts::SendKey(link.edit_->FocusWidget(), Qt::Key_Return);
    EXPECT_EQ(Item(1, 1).AsInteger(), 8);
    EXPECT_EQ(events, std::vector<std::string>{"end 1.1"});
    Row(1).SetItemEditLink(nullptr);
}

}  // namespace
}  // namespace cardlist
