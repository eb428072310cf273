// The card list driven through its widget by synthetic mouse, key and wheel events: selection,
// check boxes, ratings, URL items, column sizing, type-ahead, the key table and the wheel,
// checked by the events the list raised and the selection it left.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QHelpEvent>
#include <QToolTip>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "controls/cardlist/card_item_url.h"
#include "controls/cardlist/card_list.h"
#include "controls/cardlist/card_painting.h"
#include "platform/ui/controls/screen.h"
#include "platform/ui/controls/services.h"
#include "tests/support/input.h"
#include "tests/support/render.h"
#include "tests/support/wait_until.h"

namespace cardlist {
namespace {

namespace ts = test_support;
using D = TFineCardItemDataType;
using ui::TPoint;
using ui::TRect;

TPoint Centre(const TRect& r) { return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }

// A 280 x 320 list of cards captioned by `captions`, with two text rows "Name" and "Note",
// that records the events it raises. The cursor warp and the URL opener are replaced, so that
// nothing leaves the process.
class InputList : public ::testing::Test {
protected:
    InputList() {
        ts::EnsureApplication();
        previous_warp_ = ui::SetCursorWarp([this](TPoint p) { warps.push_back(p); });
        previous_opener_ = ui::SetUrlOpener([this](const std::string& url) {
            urls.push_back(url);
            return true;
        });
        list = std::make_unique<TFineCardList>(nullptr);
        list->OnCardClick = [this](TCustomFineCardList*, TFineCard* c) { Record("click " + c->Caption()); };
        list->OnCardCaptionClick = [this](TCustomFineCardList*, TFineCard* c) { Record("caption " + c->Caption()); };
        list->OnCardItemClick = [this](TCustomFineCardList*, int card, int item) {
            Record("item " + std::to_string(card) + "." + std::to_string(item));
        };
        list->OnCardCheckChange = [this](TCustomFineCardList*, TFineCard* c, TFineCardItem*) {
            Record("check " + c->Caption());
        };
        list->OnCardRatingChange = [this](TCustomFineCardList*, TFineCard*, TFineCardItem*, int& v, bool&) {
            Record("rating " + std::to_string(v));
        };
    }
    ~InputList() override {
        list.reset();
        ui::SetCursorWarp(previous_warp_);
        ui::SetUrlOpener(previous_opener_);
    }

    void Fill(const std::vector<std::string>& captions, D second_row = D::idtString, int width = 280,
              int height = 320) {
        list->SetBounds(0, 0, width, height);
        list->BeginUpdate();
        for (const char* name : {"Name", "Note"}) {
            TFineCardTemplateItem* row = list->CardTemplate().Items().Add();
            row->SetAutoSize(false);
            row->SetHeight(20);
            row->SetCaption(name);
        }
        list->CardTemplate().Items().Items(1)->SetDataType(second_row);
        for (const std::string& c : captions) list->Cards().Add()->SetCaption(c);
        list->EndUpdate();
    }

    TFineCard& Card(int i) { return *list->Cards().Items(i); }
    TPoint CaptionOf(int i) { return Centre(Card(i).CaptionClientRect); }
    TPoint LabelOf(int card, int item) { return Centre(Card(card).Items().Items(item)->LabelClientRect); }
    std::vector<int> SelectedIndexes() {
        std::vector<int> out;
        for (int i = 0; i < list->Cards().Count(); ++i) {
            if (Card(i).Selected()) out.push_back(i);
        }
        return out;
    }
    void Record(const std::string& e) { events.push_back(e); }

    std::unique_ptr<TFineCardList> list;
    std::vector<std::string> events;
    std::vector<TPoint> warps;
    std::vector<std::string> urls;

private:
    ui::TCursorWarp previous_warp_;
    ui::TUrlOpener previous_opener_;
};

TEST_F(InputList, SingleCtrlAndShiftSelection) {
    Fill({"c0", "c1", "c2", "c3"}, D::idtString, 560, 640);  // every card in view
    ASSERT_EQ(list->ViewCards().size(), 4u);
    ts::Click(*list, CaptionOf(1));
    EXPECT_EQ(events, (std::vector<std::string>{"click c1", "caption c1"}));
    EXPECT_EQ(SelectedIndexes(), (std::vector<int>{1}));
    EXPECT_EQ(list->SelectedCard(), &Card(1));

    // A click on an item selects the card and focuses the item.
    events.clear();
    ts::Click(*list, LabelOf(2, 1));
    EXPECT_EQ(events, (std::vector<std::string>{"click c2", "item 2.1"}));
    EXPECT_EQ(SelectedIndexes(), (std::vector<int>{2}));
    EXPECT_EQ(Card(2).ItemIndex(), 1);
    // A caption click keeps the card's focused item.
    ts::Click(*list, CaptionOf(2));
    EXPECT_EQ(Card(2).ItemIndex(), 1);

    // Without MultiSelect, Ctrl and Shift select one card as a plain click does.
    ts::Click(*list, CaptionOf(0), Qt::ControlModifier);
    EXPECT_EQ(SelectedIndexes(), (std::vector<int>{0}));

    list->SetMultiSelect(true);
    ts::Click(*list, CaptionOf(1));
    ts::Click(*list, CaptionOf(3), Qt::ControlModifier);
    EXPECT_EQ(SelectedIndexes(), (std::vector<int>{1, 3}));
    ts::Click(*list, CaptionOf(3), Qt::ControlModifier);  // toggles off again
    EXPECT_EQ(SelectedIndexes(), (std::vector<int>{1}));

    // Shift toggles the collection range after the selected card up to the clicked one.
    ts::Click(*list, CaptionOf(2), Qt::ControlModifier);  // selects 2, which becomes SelectedCard
    ASSERT_EQ(list->SelectedCardIndex(), 2);
    ts::Click(*list, CaptionOf(0), Qt::ShiftModifier);  // toggles 0 and 1: 1 goes off, 0 comes on
    EXPECT_EQ(SelectedIndexes(), (std::vector<int>{0, 2}));
}

TEST_F(InputList, ClickOutsideTheCardsClearsTheFocusedItem) {
    Fill({"c0", "c1"});
    ts::Click(*list, LabelOf(0, 0));
    ASSERT_EQ(Card(0).ItemIndex(), 0);
    ts::Click(*list, TPoint{5, 300});
    EXPECT_EQ(Card(0).ItemIndex(), -1);
    EXPECT_EQ(list->SelectedCard(), &Card(0));
}

TEST_F(InputList, CaptionClickWhileEditingSelectsTheClickedCard) {
    Fill({"c0", "c1"});
    ts::Click(*list, LabelOf(0, 0));
    Card(0).Editing = true;  // the card is in its editing state
    ts::Click(*list, CaptionOf(1));
    EXPECT_EQ(list->SelectedCard(), &Card(1));
    EXPECT_EQ(SelectedIndexes(), (std::vector<int>{1}));
}

TEST_F(InputList, CheckBoxTogglesOnlyInsideTheBox) {
    Fill({"c0"}, D::idtBoolean);
    TFineCardItem* item = Card(0).Items().Items(1);
    const TFineCardTemplateItem* ti = list->CardTemplate().Items().Items(1);
    ASSERT_EQ(ti->ItemEditor(), TFineCardItemEditor::ieBoolean);
    const TRect box = CardPainter::ItemCheckBoxRect(item->ValueClientRect, ti->ValueAlignment(), ti->ValueLayout(),
                                                    list->CheckBoxSize());
    struct Case {
        TPoint at;
        bool value;
    };
    const Case cases[] = {
        {Centre(box), true},
        {Centre(box), false},                            // a second click in the box toggles back
        {TPoint{box.Right + 20, Centre(box).Y}, false},  // on the value, outside the box
    };
    for (const Case& c : cases) {
        ts::Click(*list, c.at);
        EXPECT_EQ(item->AsBoolean(), c.value) << c.at.X;
    }
    EXPECT_EQ(std::count(events.begin(), events.end(), "check c0"), 2);
    // A read-only list toggles nothing.
    list->SetReadOnly(true);
    ts::Click(*list, Centre(box));
    EXPECT_FALSE(item->AsBoolean());
}

TEST_F(InputList, RatingClicksSetTheValue) {
    Fill({"c0"}, D::idtInteger);
    ui::TBitmap star;
    star.SetSize(10, 10);
    list->RatingActive().Assign(&star);
    list->RatingInactive().Assign(&star);
    TFineCardTemplateItem* ti = list->CardTemplate().Items().Items(1);
    ti->SetItemEditor(TFineCardItemEditor::ieRating);
    ASSERT_EQ(ti->ItemEditor(), TFineCardItemEditor::ieRating);
    TFineCardItem* item = Card(0).Items().Items(1);
    ts::Click(*list, Centre(Card(0).RatingPictureRect(1, 3)));
    EXPECT_EQ(item->AsInteger(), 3);
    // Just left of the first picture clears the rating.
    const TRect first = Card(0).RatingPictureRect(1, 1);
    ts::Click(*list, TPoint{first.Left - 1, Centre(first).Y});
    EXPECT_EQ(item->AsInteger(), 0);
    EXPECT_EQ(events.back(), "rating 0");
}

TEST_F(InputList, LinkItemsOpenOnlyAsAddresses) {
    Fill({"c0"});
    TFineCardTemplateItem* ti = list->CardTemplate().Items().Items(1);
    TFineCardItem* item = Card(0).Items().Items(1);
    const TPoint on_text{item->ValueClientRect.Left + 3, Centre(item->ValueClientRect).Y};
    struct Case {
        TFineCardItemURLType type;
        const char* text;
        const char* opened;  // nullptr: nothing opens
    };
    const Case cases[] = {
        {TFineCardItemURLType::utLink, "example.org", "http://example.org"},
        {TFineCardItemURLType::utLink, "https://example.org/a", "https://example.org/a"},
        {TFineCardItemURLType::utLink, "file:///etc/passwd", nullptr},
        {TFineCardItemURLType::utLink, "xterm -e sh", nullptr},
        {TFineCardItemURLType::utHTTP, "example.org", "http://example.org"},
        {TFineCardItemURLType::utMailto, "a@example.org", "mailto:a@example.org"},
        {TFineCardItemURLType::utNone, "example.org", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ti->SetValueURLType(c.type);
        item->SetAsString(c.text);
        urls.clear();
        events.clear();
        ts::Click(*list, on_text);
        EXPECT_EQ(urls, c.opened ? std::vector<std::string>{c.opened} : std::vector<std::string>{});
        EXPECT_EQ(events.back(), "item 0.1");
    }
    // A handler may take the click over, and one that fails ends the click quietly.
    ti->SetValueURLType(TFineCardItemURLType::utLink);
    item->SetAsString("example.org");
    list->OnCardItemURLClick = [](TCustomFineCardList*, int, int, const std::string&, bool& d) { d = false; };
    urls.clear();
    ts::Click(*list, on_text);
    EXPECT_TRUE(urls.empty());
    list->ClearSelection();
    list->OnCardItemURLClick = [](TCustomFineCardList*, int, int, const std::string&, bool&) {
        throw std::runtime_error("handler failed");
    };
    events.clear();
    ts::Click(*list, on_text);
    EXPECT_TRUE(urls.empty());
    EXPECT_EQ(events, (std::vector<std::string>{"click c0"}));  // no item click, no selection
    EXPECT_EQ(list->SelectedCard(), nullptr);
}

// Each handler frees the card it was given; the input goes on without that card (run under the
// address sanitizer, a card read after its handler would be reported).
TEST_F(InputList, AHandlerThatFreesItsCardEndsThatCardsPart) {
    struct Case {
        const char* name;
        D second_row;
        std::function<void()> arm;  // assigns the handler that frees the card
        std::function<void()> act;
        std::vector<std::string> events;
    };
    auto free_card = [this](TFineCard* card, const std::string& event) {
        Record(event);
        delete card;
    };
    auto free_index = [this, free_card](int card, const std::string& event) { free_card(&Card(card), event); };
    const Case cases[] = {
        {"card click",
         D::idtString,
         [&] { list->OnCardClick = [&](TCustomFineCardList*, TFineCard* c) { free_card(c, "click"); }; },
         [&] { ts::Click(*list, CaptionOf(0)); },
         {"click", "OnClick"}},
        {"caption click",
         D::idtString,
         [&] { list->OnCardCaptionClick = [&](TCustomFineCardList*, TFineCard* c) { free_card(c, "caption"); }; },
         [&] { ts::Click(*list, CaptionOf(0)); },
         {"click c0", "caption", "OnClick"}},
        {"item click",
         D::idtString,
         [&] { list->OnCardItemClick = [&](TCustomFineCardList*, int c, int) { free_index(c, "item"); }; },
         [&] { ts::Click(*list, LabelOf(0, 1)); },
         {"click c0", "item", "OnClick"}},
        {"URL click",
         D::idtString,
         [&] {
             list->CardTemplate().Items().Items(1)->SetValueURLType(TFineCardItemURLType::utHTTP);
             Card(0).Items().Items(1)->SetAsString("example.org");
             list->OnCardItemURLClick = [&](TCustomFineCardList*, int c, int, const std::string&, bool&) {
                 free_index(c, "url");
             };
         },
         [&] {
             const TRect value = Card(0).Items().Items(1)->ValueClientRect;
             ts::Click(*list, TPoint{value.Left + 3, Centre(value).Y});
         },
         {"click c0", "url", "OnClick"}},
        {"start of the edit a click opens",
         D::idtString,
         [&] { list->OnCardStartEdit = [&](TCustomFineCardList*, int c, int, bool&) { free_index(c, "start"); }; },
         [&] { ts::Click(*list, LabelOf(0, 0)); },
         {"click c0", "item 0.0", "start", "OnClick"}},
        {"end of a check-box toggle",
         D::idtBoolean,
         [&] { list->OnCardEndEdit = [&](TCustomFineCardList*, int c, int) { free_index(c, "end"); }; },
         [&] {
             const TFineCardItem* item = Card(0).Items().Items(1);
             const TFineCardTemplateItem* ti = list->CardTemplate().Items().Items(1);
             ts::Click(*list, Centre(CardPainter::ItemCheckBoxRect(item->ValueClientRect, ti->ValueAlignment(),
                                                                   ti->ValueLayout(), list->CheckBoxSize())));
         },
         {"click c0", "item 0.1", "end", "OnClick"}},
        {"rating change",
         D::idtInteger,
         [&] {
             ui::TBitmap star;
             star.SetSize(10, 10);
             list->RatingActive().Assign(&star);
             list->RatingInactive().Assign(&star);
             list->CardTemplate().Items().Items(1)->SetItemEditor(TFineCardItemEditor::ieRating);
             list->OnCardRatingChange = [&](TCustomFineCardList*, TFineCard* c, TFineCardItem*, int&, bool&) {
                 free_card(c, "rating");
             };
         },
         [&] { ts::Click(*list, Centre(Card(0).RatingPictureRect(1, 3))); },
         {"click c0", "item 0.1", "rating", "OnClick"}},
        {"double click",
         D::idtString,
         [&] {
             list->SetAutoEdit(false);
             list->OnCardDblClick = [&](TCustomFineCardList*, TFineCard* c) { free_card(c, "double"); };
         },
         [&] {
             ts::SendMouse(list->Widget(), QEvent::MouseButtonDblClick, QPoint(LabelOf(0, 0).X, LabelOf(0, 0).Y),
                           Qt::LeftButton, Qt::LeftButton);
         },
         {"double"}},
        {"right click",
         D::idtString,
         [&] {
             list->OnCardRightClick = [&](TCustomFineCardList*, TFineCard* c) { free_card(c, "right"); };
             list->OnCardItemRightClick = [&](TCustomFineCardList*, int, int) { Record("item right"); };
         },
         [&] {
             ts::MousePress(*list, LabelOf(0, 0), Qt::RightButton);
             ts::MouseRelease(*list, LabelOf(0, 0), Qt::RightButton);
         },
         {"right"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        list = std::make_unique<TFineCardList>(nullptr);
        list->OnCardClick = [this](TCustomFineCardList*, TFineCard* card) { Record("click " + card->Caption()); };
        list->OnCardItemClick = [this](TCustomFineCardList*, int card, int item) {
            Record("item " + std::to_string(card) + "." + std::to_string(item));
        };
        list->OnClick = [this](ui::TPersistent*) { Record("OnClick"); };
        Fill({"c0", "c1", "c2"}, c.second_row);
        c.arm();
        events.clear();
        c.act();
        EXPECT_EQ(events, c.events);
        ASSERT_EQ(list->Cards().Count(), 2);
        EXPECT_EQ(Card(0).Caption(), "c1");
        EXPECT_EQ(list->SelectedCard(), nullptr);
        EXPECT_FALSE(list->Editing());
    }

    // Storing the open edit frees its card as another item starts: the new edit is of the card
    // asked for, now at a lower index.
    list = std::make_unique<TFineCardList>(nullptr);
    Fill({"c0", "c1", "c2"});
    list->OnCardEndEdit = [&](TCustomFineCardList*, int c, int) { free_index(c, "end"); };
    list->EditItem(0, 0, '\0');
    ASSERT_TRUE(list->Editing());
    events.clear();
    list->EditItem(1, 1, '\0');
    EXPECT_EQ(events, std::vector<std::string>{"end"});
    ASSERT_TRUE(list->Editing());
    EXPECT_TRUE(Card(0).Editing);
    EXPECT_EQ(Card(0).Caption(), "c1");
    EXPECT_FALSE(Card(1).Editing);
    EXPECT_EQ(list->Editor()->BoundsRect(), Card(0).Items().Items(1)->ValueClientRect);
    list->CancelEdit();
}

TEST_F(InputList, TheHintFollowsTheCardAndItemUnderTheMouse) {
    Fill({"c0", "c1"}, D::idtString, 560, 320);
    list->SetShowHint(true);
    for (int row = 0; row < 2; ++row) list->CardTemplate().Items().Items(row)->SetShowHint(true);
    Card(0).Hint = "card c0";
    Card(0).Items().Items(0)->Hint = "name of c0";
    Card(0).Items().Items(1)->Hint = "note of c0";
    Card(1).Items().Items(0)->Hint = "name of c1";
    list->Widget()->show();
    // The mouse rests at `p`: the toolkit asks the list for its hint there.
    const auto rest = [&](TPoint p) {
        QHelpEvent ask(QEvent::ToolTip, QPoint(p.X, p.Y), list->Widget()->mapToGlobal(QPoint(p.X, p.Y)));
        QCoreApplication::sendEvent(list->Widget(), &ask);
    };
    // The toolkit takes a hint down after a fade of a fraction of a second: "(none)" waits for
    // that, well short of the ten seconds after which it lets any hint expire by itself.
    const auto shown = [](const std::string& expected) {
        if (expected == "(none)") {
            ts::WaitUntil(
                [] {
                    QCoreApplication::processEvents();
                    return !QToolTip::isVisible();
                },
                std::chrono::seconds(4));
        }
        return QToolTip::isVisible() ? QToolTip::text().toStdString() : std::string("(none)");
    };
    ts::MouseMove(*list, LabelOf(0, 0));
    rest(LabelOf(0, 0));
    ASSERT_EQ(shown("name of c0"), "name of c0");
    struct Step {
        const char* where;
        TPoint to;
        const char* hint;  // shown at once, before the mouse rests again
    };
    const Step steps[] = {
        {"another item", LabelOf(0, 1), "note of c0"},
        {"another card", LabelOf(1, 0), "name of c1"},
        {"an item without a hint", LabelOf(1, 1), "(none)"},
        {"back on an item", LabelOf(1, 0), "(none)"},  // nothing showed: the next waits for a rest
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.where);
        ts::MouseMove(*list, s.to);
        EXPECT_EQ(shown(s.hint), s.hint);
    }
    rest(LabelOf(1, 0));
    ASSERT_EQ(shown("name of c1"), "name of c1");
    // On a caption the card's own hint shows, and an item's replaces it at once.
    const TPoint caption{CaptionOf(0).X + 3, CaptionOf(0).Y};
    ts::MouseMove(*list, CaptionOf(0));
    ts::MouseMove(*list, caption);
    rest(caption);
    ASSERT_EQ(shown("card c0"), "card c0");
    ts::MouseMove(*list, LabelOf(0, 0));
    EXPECT_EQ(shown("name of c0"), "name of c0");
    // Off the cards, still inside the list, the hint goes.
    ts::MouseMove(*list, TPoint{5, 310});
    EXPECT_EQ(shown("(none)"), "(none)");
    QToolTip::hideText();
}

TEST_F(InputList, GridLineDragSetsColumnWidthThroughItsLimits) {
    Fill({"c0", "c1", "c2", "c3", "c4", "c5", "c6"});
    list->SetMaxColumnWidth(300);
    std::vector<int> asked;
    list->OnColumnResizing = [&](TCustomFineCardList*, int& w) { asked.push_back(w); };
    const int y = 300;
    struct Case {
        int to_x;
        int width;
    };
    const Case cases[] = {
        {200, 200},  // narrower
        {100, 150},  // stopped by MinColumnWidth
        {500, 300},  // stopped by MaxColumnWidth
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.to_x);
        const int line = list->ColumnWidth();
        ts::MouseMove(*list, TPoint{line, y});
        ASSERT_EQ(ui::Screen().Cursor(), ui::crHSplit);
        const TFineCard* first_in_view = &Card(list->ViewCards().front());
        ts::MousePress(*list, TPoint{line, y});
        warps.clear();
        ts::MouseMove(*list, TPoint{c.to_x, y}, Qt::LeftButton);
        EXPECT_EQ(list->ColumnWidth(), c.width);
        EXPECT_EQ(list->CardTemplate().CardWidth(), c.width - 2 * list->CardHorSpacing());
        // The cursor is put back on the moved line, and the view keeps its first card.
        ASSERT_FALSE(warps.empty());
        EXPECT_EQ(warps.back(), list->ClientToScreen(TPoint{c.width, y}));
        EXPECT_EQ(first_in_view->ListRect.Left, list->CardHorSpacing());
        ts::MouseRelease(*list, TPoint{c.to_x, y});
    }
    EXPECT_FALSE(asked.empty());
    // Away from the line the cursor is the default one again, and a drag sizes nothing.
    ts::MouseMove(*list, TPoint{list->ColumnWidth() + 10, y});
    EXPECT_EQ(ui::Screen().Cursor(), ui::crDefault);
}

TEST_F(InputList, TypeAheadWrapsAroundTheDisplayOrder) {
    Fill({"Alpha", "Beta", "apple", "Cherry"});
    struct Case {
        char key;
        int selected;
    };
    const Case cases[] = {
        {'a', 0},            // no selection yet: the first caption with A
        {'a', 2},            // the next one after the selected card
        {'A', 0},            // wraps to the start
        {'c', 3}, {'z', 3},  // nothing matches: the selection stays
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        ts::Type(*list, c.key);
        EXPECT_EQ(list->SelectedCardIndex(), c.selected);
    }
    EXPECT_FALSE(list->SelectByKey('z'));
    // An item's text is found after the card's focused item.
    Card(1).Items().Items(1)->SetAsString("zebra");
    EXPECT_TRUE(list->SelectByKey('z'));
    EXPECT_EQ(list->SelectedCardIndex(), 1);
    EXPECT_EQ(Card(1).ItemIndex(), 1);
}

TEST_F(InputList, ArrowKeysMoveBetweenCardsAndItems) {
    Fill({"c0", "c1", "c2"});
    EXPECT_TRUE(ts::WantsKeyBeforeShortcuts(*list, Qt::Key_Left));
    EXPECT_TRUE(ts::WantsKeyBeforeShortcuts(*list, Qt::Key_Down));
    EXPECT_TRUE(ts::WantsKeyBeforeShortcuts(*list, 'A', "a"));
    list->SelectCardIndex(0);
    struct Case {
        int key;
        int card;
        int item;
    };
    const Case cases[] = {
        {Qt::Key_Right, 1, -1},  // without a focused item: the next card
        {Qt::Key_Down, 2, -1},   {Qt::Key_Left, 1, -1}, {Qt::Key_Return, 1, 0},  // Enter focuses the first item
        {Qt::Key_Down, 1, 1},                                                    // then Down walks the items
        {Qt::Key_Right, 2, 1},                          // Right keeps the item index on the next card
        {Qt::Key_Left, 1, 1},    {Qt::Key_Down, 2, 0},  // past the last item: the next card's first item
        {Qt::Key_Up, 1, 1},                             // before the first item: the previous card's last item
        {Qt::Key_Escape, 1, -1}, {Qt::Key_End, 2, -1},  {Qt::Key_Home, 0, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        ts::Key(*list, c.key);
        EXPECT_EQ(list->SelectedCardIndex(), c.card);
        EXPECT_EQ(Card(c.card).ItemIndex(), c.item);
    }
}

TEST_F(InputList, WheelScrollsTheColumnsWhileTheBarShows) {
    Fill({"c0", "c1", "c2", "c3", "c4", "c5", "c6", "c7"});
    ASSERT_TRUE(list->ScrollBar().Visible());
    EXPECT_TRUE(ts::Wheel(*list, TPoint{100, 100}, -1));  // towards the user: on
    EXPECT_EQ(list->LayoutState().first_column, 2);
    EXPECT_EQ(list->ScrollBar().Position(), 2);
    ts::Wheel(*list, TPoint{100, 100}, 1);
    EXPECT_EQ(list->LayoutState().first_column, 1);
    ts::Wheel(*list, TPoint{100, 100}, 1);  // already at the start
    EXPECT_EQ(list->LayoutState().first_column, 1);
    // A handler of the wheel event takes it over.
    list->OnMouseWheel = [](ui::TPersistent*, ui::TShiftState, int, TPoint, bool& handled) { handled = true; };
    EXPECT_TRUE(ts::Wheel(*list, TPoint{100, 100}, -1));
    EXPECT_EQ(list->LayoutState().first_column, 1);
    // Without a bar the wheel goes on to the parent.
    list->OnMouseWheel = nullptr;
    list->Cards().Clear();
    list->Cards().Add();
    ASSERT_FALSE(list->ScrollBar().Visible());
    EXPECT_FALSE(ts::Wheel(*list, TPoint{100, 100}, -1));
}

TEST(CardItemUrl, AddressByUrlType) {
    using U = TFineCardItemURLType;
    struct Case {
        U type;
        const char* text;
        const char* url;
    };
    const Case cases[] = {
        {U::utLink, "example.org", "http://example.org"},
        {U::utLink, "example.org:8080/x", "http://example.org:8080/x"},
        {U::utLink, "HTTP://example.org", "HTTP://example.org"},
        {U::utLink, "mailto:a@b.c", "mailto:a@b.c"},
        {U::utLink, "file:///bin/sh", ""},
        {U::utLink, "javascript://x", ""},
        {U::utLink, "a b", ""},
        {U::utHTTP, "x.org", "http://x.org"},
        {U::utHTTPS, "x.org", "https://x.org"},
        {U::utFTP, "x.org", "ftp://x.org"},
        {U::utMailto, "a@x.org", "mailto:a@x.org"},
        {U::utNNTP, "comp.lang", "news:comp.lang"},
        {U::utNone, "x.org", ""},
        {U::utHTTP, "", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(CardItemUrl(c.type, c.text), c.url) << c.text;
}

}  // namespace
}  // namespace cardlist
