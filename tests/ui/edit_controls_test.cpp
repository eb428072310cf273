#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTextEdit>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/controls/application.h"
#include "platform/ui/controls/deferred_release.h"
#include "platform/ui/controls/edit_controls.h"
#include "platform/ui/core/exceptions.h"
#include "platform/ui/forms/picture_dialog.h"
#include "tests/support/input.h"

namespace ui {
namespace {

using test_support::SendKey;

// The list an editor sits in: records the keys that reach it by any path.
class Host : public TCustomControl {
public:
    Host() : TCustomControl(nullptr) {
        SetBounds(0, 0, 300, 200);
        Widget()->show();
    }
    std::vector<int> keys;

protected:
    void KeyDown(int& key, TShiftState) override { keys.push_back(key); }
};

// Plays the list's part: every editor key goes to a handler, which may close the editor from
// inside its own key event (Enter stores, Esc cancels, Down moves on) as the list does.
template <class Editor>
class EditorFixture {
public:
    EditorFixture() {
        editor = std::make_unique<Editor>(nullptr);
        editor->SetParent(&host);
        editor->SetBounds(10, 10, 120, 20);
        editor->OnKeyDown = [this](TPersistent*, int& key, TShiftState shift) {
            handled.push_back(key);
            if (on_key) on_key(key, shift);
        };
    }
    ~EditorFixture() { FreeReleasedControls(); }

    // Closes the editor the way the list does: out of the list now, freed after the event.
    void Close() { ReleaseLater(std::move(editor)); }
    void CloseOn(int vk, std::string* stored = nullptr) {
        on_key = [this, vk, stored](int& key, TShiftState) {
            if (key != vk) return;
            if (stored != nullptr) *stored = editor->Text();
            Close();
        };
    }
    QWidget* Keys() const { return editor->FocusWidget(); }

    Host host;
    std::unique_ptr<Editor> editor;
    std::vector<int> handled;
    std::function<void(int& key, TShiftState shift)> on_key;
};

TEST(EditControls, TypedCharacterThenCaretAfterIt) {
    // The list opens an editor with the typed character as its text and the caret behind it; the
    // next key must land after it in every kind that has a text field.
    auto check = [](auto& f, const char* kind) {
        f.editor->SetText("x");
        f.editor->SetSelStart(1);
        f.editor->SetSelLength(0);
        EXPECT_EQ(f.editor->SelStart(), 1) << kind;
        EXPECT_EQ(f.editor->SelLength(), 0) << kind;
        SendKey(f.Keys(), Qt::Key_Y, "y");
        EXPECT_EQ(f.editor->Text(), "xy") << kind;
        EXPECT_EQ(f.handled, std::vector<int>{'Y'}) << kind;
    };
    EditorFixture<TEdit> edit;
    check(edit, "edit");
    EditorFixture<TMemo> memo;
    check(memo, "memo");
    EditorFixture<TMaskEdit> mask;
    check(mask, "mask edit");
    EditorFixture<TComboBox> combo;
    check(combo, "combo box");
}

TEST(EditControls, EnterEscAndDownCloseTheEditorInsideItsOwnKeyEvent) {
    // Run under the address sanitizer: the editor is still handling the key when the handler
    // closes it, so it must not be freed before the event is over.
    for (const int qt_key : {Qt::Key_Return, Qt::Key_Escape, Qt::Key_Down}) {
        const int vk = qt_key == Qt::Key_Return ? VK_RETURN : qt_key == Qt::Key_Escape ? VK_ESCAPE : VK_DOWN;
        {
            EditorFixture<TEdit> f;
            f.editor->SetText("new");
            std::string stored;
            f.CloseOn(vk, &stored);
            QWidget* keys = f.Keys();
            SendKey(keys, qt_key);
            EXPECT_EQ(f.editor, nullptr) << vk;
            EXPECT_EQ(stored, "new") << vk;
            EXPECT_EQ(f.handled, std::vector<int>{vk}) << vk;
            EXPECT_EQ(f.host.ControlCount(), 0) << vk;
            EXPECT_TRUE(f.host.keys.empty()) << "the key reached the list a second time";
        }
        {
            EditorFixture<TMemo> f;
            f.editor->SetText("a");
            f.CloseOn(vk);
            SendKey(f.Keys(), qt_key);
            EXPECT_EQ(f.editor, nullptr) << vk;
        }
        {
            EditorFixture<TComboBox> f;
            f.editor->Items().SetText("One\nTwo");
            f.editor->SetStyle(TComboBoxStyle::csDropDownList);
            f.editor->SetItemIndex(0);
            f.CloseOn(vk);
            SendKey(f.Keys(), qt_key);
            EXPECT_EQ(f.editor, nullptr) << vk;
        }
        {
            EditorFixture<TDateTimePicker> f;
            f.CloseOn(vk);
            SendKey(f.Keys(), qt_key);
            EXPECT_EQ(f.editor, nullptr) << vk;
        }
        {
            EditorFixture<TMaskEdit> f;
            f.editor->SetEditMask("00:00;1;_");
            f.CloseOn(vk);
            SendKey(f.Keys(), qt_key);
            EXPECT_EQ(f.editor, nullptr) << vk;
        }
    }
}

TEST(EditControls, KeysTheHandlerLeavesGoToTheEditorOnly) {
    EditorFixture<TMemo> memo;
    memo.editor->SetText("a");
    memo.editor->SetSelStart(1);
    SendKey(memo.Keys(), Qt::Key_Return, "\r");
    EXPECT_EQ(memo.editor->Text(), "a\r\n") << "plain Enter is a new line in a memo";
    SendKey(memo.Keys(), Qt::Key_Down);
    EXPECT_TRUE(memo.host.keys.empty());

    EditorFixture<TComboBox> combo;
    combo.editor->Items().SetText("One\nTwo\nThree");
    combo.editor->SetStyle(TComboBoxStyle::csDropDownList);
    combo.editor->SetItemIndex(0);
    SendKey(combo.Keys(), Qt::Key_Down);
    EXPECT_EQ(combo.editor->ItemIndex(), 1);
    EXPECT_EQ(combo.handled, std::vector<int>{VK_DOWN});
    EXPECT_TRUE(combo.host.keys.empty());
}

TEST(EditControls, AHandlerThatZeroesTheKeyOrAbortsStopsTheEditor) {
    EditorFixture<TEdit> f;
    f.on_key = [](int& key, TShiftState) {
        if (key == 'A') key = 0;
        if (key == 'B') throw EAbort("");
    };
    int reported = 0;
    Application().OnException = [&](const std::exception&) { ++reported; };
    SendKey(f.Keys(), Qt::Key_A, "a");
    SendKey(f.Keys(), Qt::Key_B, "b");
    SendKey(f.Keys(), Qt::Key_C, "c");
    Application().OnException = nullptr;
    EXPECT_EQ(f.editor->Text(), "c");
    EXPECT_EQ(reported, 0);
}

TEST(EditControls, KeyPressMayReplaceTheTypedCharacter) {
    EditorFixture<TEdit> f;
    f.editor->OnKeyPress = [](TPersistent*, char& key) { key = key == 'q' ? 'Q' : key; };
    SendKey(f.Keys(), Qt::Key_Q, "q");
    EXPECT_EQ(f.editor->Text(), "Q");
}

TEST(EditControls, LookOfAnInPlaceEditor) {
    EditorFixture<TEdit> f;
    f.editor->SetAutoSize(false);
    f.editor->SetBorderStyle(TBorderStyle::bsNone);
    f.editor->SetColor(clYellow);
    f.editor->SetBounds(4, 7, 80, 15);
    EXPECT_EQ(f.editor->BoundsRect(), (TRect{4, 7, 84, 22}));
    auto* line = static_cast<QLineEdit*>(f.editor->NativeWidget());
    EXPECT_FALSE(line->hasFrame());
    EXPECT_EQ(line->palette().color(QPalette::Base), QColor(255, 255, 0));
    EXPECT_EQ(line->geometry(), QRect(0, 0, 80, 15));

    EditorFixture<TEdit> sized;
    sized.editor->SetBounds(0, 0, 80, 5);
    EXPECT_GT(sized.editor->Height(), 5) << "an auto-sized edit takes its font's height";
}

TEST(EditControls, MemoAlignmentAndWrap) {
    EditorFixture<TMemo> f;
    f.editor->SetAlignment(TAlignment::taRightJustify);
    f.editor->SetText("one\r\ntwo");
    auto* text = static_cast<QTextEdit*>(f.editor->NativeWidget());
    EXPECT_EQ(text->document()->defaultTextOption().alignment(), Qt::AlignRight);
    EXPECT_EQ(text->lineWrapMode(), QTextEdit::WidgetWidth);
    f.editor->SetWordWrap(false);
    EXPECT_EQ(text->lineWrapMode(), QTextEdit::NoWrap);
    EXPECT_EQ(f.editor->Text(), "one\r\ntwo");
}

TEST(EditControls, MaskEditKeepsTheMaskAndGivesTextAsTheMaskSays) {
    EditorFixture<TMaskEdit> f;
    f.editor->SetEditMask("(999)000;0;_");
    f.editor->SetText("12");
    EXPECT_EQ(f.editor->EditText(), "(12_)___");
    EXPECT_EQ(f.editor->Text(), "12    ");
    f.editor->SetSelStart(0);
    for (const char* digit : {"4", "5", "6", "7", "8", "9"}) SendKey(f.Keys(), Qt::Key_0 + (digit[0] - '0'), digit);
    EXPECT_EQ(f.editor->EditText(), "(456)789");
    SendKey(f.Keys(), Qt::Key_X, "x");
    EXPECT_EQ(f.editor->EditText(), "(456)789") << "a letter does not fit a digit position";
    f.editor->SetEditMask("(999)000;1;_");
    EXPECT_EQ(f.editor->Text(), "(456)789");
}

TEST(EditControls, ComboBoxListAndTextStyles) {
    EditorFixture<TComboBox> f;
    f.editor->Items().SetText("Red\nGreen\nBlue");
    f.editor->SetText("Purple");
    EXPECT_EQ(f.editor->Text(), "Purple");
    EXPECT_EQ(f.editor->ItemIndex(), -1);
    f.editor->SetText("Green");
    EXPECT_EQ(f.editor->ItemIndex(), 1);

    f.editor->SetStyle(TComboBoxStyle::csDropDownList);
    EXPECT_FALSE(static_cast<QComboBox*>(f.editor->NativeWidget())->isEditable());
    f.editor->SetText("Blue");
    EXPECT_EQ(f.editor->ItemIndex(), 2);
    EXPECT_EQ(f.editor->Text(), "Blue");
    f.editor->SetText("Purple");
    EXPECT_EQ(f.editor->ItemIndex(), -1);
    f.editor->SetItemIndex(7);
    EXPECT_EQ(f.editor->ItemIndex(), -1);
}

TEST(EditControls, DateTimePickerDateAndTime) {
    EditorFixture<TDateTimePicker> f;
    const TDateTime day = EncodeDate(2024, 2, 29);
    const TDateTime time = EncodeTime(13, 45, 30, 0);
    f.editor->SetKind(TDateTimeKind::dtkTime);
    f.editor->SetTime(time);
    f.editor->SetDate(day);
    EXPECT_DOUBLE_EQ(f.editor->Date(), day);
    EXPECT_NEAR(f.editor->Time(), time, 1e-9);
    EXPECT_EQ(f.editor->Text(), "13:45:30");
    f.editor->SetKind(TDateTimeKind::dtkDate);
    EXPECT_EQ(f.editor->Text(), "29/02/2024");
    // The arrow key steps the day (the first section) in the toolkit widget.
    f.editor->SetDate(EncodeDate(2024, 2, 10));
    SendKey(f.Keys(), Qt::Key_Up);
    EXPECT_DOUBLE_EQ(f.editor->Date(), EncodeDate(2024, 2, 11));
    EXPECT_NEAR(f.editor->Time(), time, 1e-6);
    EXPECT_EQ(f.handled, std::vector<int>{VK_UP});
    EXPECT_THROW(f.editor->SetText("31/02/2024"), EConvertError);
}

TEST(EditControls, DropDownEditorGrowsToItsMinimumHeight) {
    struct Case {
        TRect in;
        TRect out;
    };
    const Case cases[] = {
        {{5, 40, 100, 55}, {5, 37, 100, 58}},  // 15 high: 3 up, 21 high
        {{5, 40, 100, 56}, {5, 38, 100, 59}},  // 16 high: 2 up, the odd pixel below
        {{5, 40, 100, 61}, {5, 40, 100, 61}},  // 21 high already
        {{5, 40, 100, 70}, {5, 40, 100, 70}},  // higher stays
    };
    for (const Case& c : cases)
        EXPECT_EQ(GrowToMinHeight(c.in, kDropDownEditorMinHeight), c.out) << c.in.Top << ".." << c.in.Bottom;
    EditorFixture<TComboBox> f;
    const TRect r = GrowToMinHeight(TRect{5, 40, 100, 55}, kDropDownEditorMinHeight);
    f.editor->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    EXPECT_EQ(f.editor->NativeWidget()->geometry(), QRect(0, 0, 95, 21));
    EXPECT_EQ(f.editor->Widget()->geometry(), QRect(5, 37, 95, 21));
}

// Counts its own end, to see when the deferred deletion ran.
class Counted : public TCustomControl {
public:
    Counted(TComponent* owner, int& ended) : TCustomControl(owner), ended_(ended) {}
    ~Counted() override { ++ended_; }

private:
    int& ended_;
};

TEST(DeferredRelease, TheControlLeavesAtOnceAndIsFreedAfterTheEvent) {
    Host host;
    TComponent owner(nullptr);
    int ended = 0;
    auto* control = new Counted(&owner, ended);
    control->SetParent(&host);
    ASSERT_EQ(owner.ComponentCount(), 1);
    ReleaseLater(std::unique_ptr<TControl>(control));
    EXPECT_EQ(owner.ComponentCount(), 0);
    EXPECT_EQ(host.ControlCount(), 0);
    EXPECT_TRUE(IsReleased(*control));
    EXPECT_FALSE(control->Widget()->isVisible());
    EXPECT_EQ(ended, 0);
    FreeReleasedControls();
    EXPECT_EQ(ended, 1);
}

TEST(PictureDialog, AsksTheFileDialogServiceWithThePictureFormats) {
    TFileDialogRequest seen;
    const TFileDialogService previous = SetFileDialogService([&](const TFileDialogRequest& request) {
        seen = request;
        return TFileDialogResult{true, {"/tmp/photo.jpg"}, 1};
    });
    TOpenPictureDialog dialog(nullptr);
    EXPECT_TRUE(dialog.Execute());
    SetFileDialogService(previous);
    EXPECT_EQ(dialog.FileName(), "/tmp/photo.jpg");
    EXPECT_EQ(dialog.Filter(), GraphicFilter());
    ASSERT_FALSE(seen.filters.empty());
    EXPECT_NE(seen.filters[0].pattern.find("*.jpg"), std::string::npos);
    EXPECT_NE(seen.filters[0].pattern.find("*.bmp"), std::string::npos);
}

}  // namespace
}  // namespace ui
