// Rearranging cards by dragging them through the real drag loop: a press on the selected card
// arms the drag, the next move starts it, moves with the button held pass over the cards and
// the release drops. Checked by the display order, the rearranged events, the arrows and the
// windows left on the screen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QWidget>
#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "controls/cardlist/card_list.h"
#include "platform/ui/controls/drag_drop.h"
#include "platform/ui/controls/drag_image.h"
#include "platform/ui/forms/arrow_window.h"
#include "platform/ui/forms/form.h"
#include "tests/support/input.h"
#include "tests/support/render.h"

namespace cardlist {
namespace {

namespace ts = test_support;
using ui::TPoint;
using ui::TRect;

enum class Spot { Upper, Lower, Left, Right, Centre };

TPoint SpotOf(const TRect& r, Spot spot) {
    const int cx = (r.Left + r.Right) / 2;
    const int cy = (r.Top + r.Bottom) / 2;
    switch (spot) {
    case Spot::Upper:
        return TPoint{cx, r.Top + 5};
    case Spot::Lower:
        return TPoint{cx, r.Bottom - 5};
    case Spot::Left:
        return TPoint{r.Left + 5, cy};
    case Spot::Right:
        return TPoint{r.Right - 5, cy};
    case Spot::Centre:
        break;
    }
    return TPoint{cx, cy};
}

TPoint Nudged(TPoint p) { return TPoint{p.X + 3, p.Y + 3}; }

int VisibleWindows() {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) n += w->isVisible() ? 1 : 0;
    return n;
}

// A shown list of `count` cards that may be rearranged, registered as its own drop target,
// recording its rearranged events.
class DragList : public ::testing::Test {
protected:
    DragList() { ts::EnsureApplication(); }

    void Fill(int count, int width = 560, int height = 320, TScrollBarType type = TScrollBarType::sbtHorizontal) {
        list = std::make_unique<TFineCardList>(nullptr);
        list->OnCardRearranged = [this](TCustomFineCardList*, int from, int to) {
            events.push_back(std::to_string(from) + "->" + std::to_string(to));
        };
        list->BeginUpdate();
        list->SetScrollBarType(type);
        TFineCardTemplateItem* row = list->CardTemplate().Items().Add();
        row->SetAutoSize(false);
        row->SetHeight(20);
        row->SetCaption("Name");
        for (int i = 0; i < count; ++i) list->Cards().Add()->SetCaption("Card " + std::to_string(i));
        list->SetSorted(false);
        list->SetCardRearrange(true);
        list->EndUpdate();
        list->SetBounds(100, 100, width, height);
        list->Widget()->show();
        list->SetAcceptDrops(true);
    }

    TRect Bounds(int card) { return list->Cards().Items(card)->ListRect; }
    TPoint CaptionOf(int card) {
        const TRect r = list->Cards().Items(card)->CaptionClientRect;
        return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    }
    // Selects `card`, presses on it and moves with the button held: the drag runs.
    void StartDrag(int card) {
        ts::Click(*list, CaptionOf(card));
        ASSERT_EQ(list->SelectedCardIndex(), card);
        ts::MousePress(*list, CaptionOf(card));
        ts::MouseMove(*list, Nudged(CaptionOf(card)), Qt::LeftButton);
    }
    void MoveTo(TPoint p) { ts::MouseMove(*list, p, Qt::LeftButton); }
    void Release(TPoint p) {
        ts::SendMouse(list->Widget(), QEvent::MouseButtonRelease, QPoint(p.X, p.Y), Qt::LeftButton, Qt::NoButton);
    }
    int VisibleArrow() {
        int shown = -1;
        for (int i = 0; i < 4; ++i) {
            if (list->DropArrow(i)->Visible()) {
                EXPECT_EQ(shown, -1) << "only one arrow at a time";
                shown = i;
            }
        }
        return shown;
    }

    std::unique_ptr<TFineCardList> list;
    std::vector<std::string> events;
};

TEST_F(DragList, DropsRearrangeTheDisplayOrder) {
    struct Case {
        const char* name;
        int dragged;
        int target;
        Spot spot;
        std::vector<int> order;
        std::vector<std::string> events;
    };
    const Case cases[] = {
        {"lower half of a later card", 1, 3, Spot::Lower, {0, 2, 3, 1, 4}, {"1->3"}},
        {"upper half of a later card", 1, 3, Spot::Upper, {0, 2, 1, 3, 4}, {"1->2"}},
        {"upper half of an earlier card", 1, 0, Spot::Upper, {1, 0, 2, 3, 4}, {"1->0"}},
        {"lower half of an earlier card", 3, 0, Spot::Lower, {0, 3, 1, 2, 4}, {"3->1"}},
        {"lower half of the card just before", 1, 0, Spot::Lower, {0, 1, 2, 3, 4}, {}},
        {"just before the next card", 1, 2, Spot::Upper, {0, 1, 2, 3, 4}, {}},
        {"on the card itself", 1, 1, Spot::Lower, {0, 1, 2, 3, 4}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fill(5);
        ASSERT_EQ(list->ViewCards().size(), 5u);
        events.clear();
        StartDrag(c.dragged);
        ASSERT_NE(ui::TDragSession::Active(), nullptr);
        EXPECT_EQ(list->DragCard(), list->Cards().Items(c.dragged));
        const TPoint at = SpotOf(Bounds(c.target), c.spot);
        MoveTo(at);
        EXPECT_EQ(VisibleArrow(), c.spot == Spot::Upper ? 0 : 1);
        Release(at);
        EXPECT_EQ(ui::TDragSession::Active(), nullptr);
        EXPECT_EQ(list->DisplayOrder(), c.order);
        EXPECT_EQ(events, c.events);
        EXPECT_EQ(VisibleArrow(), -1);
        EXPECT_EQ(list->DragImage(), nullptr);
        // The collection keeps its order; only the places on the screen change.
        for (int i = 0; i < 5; ++i) EXPECT_EQ(list->Cards().Items(i)->Caption(), "Card " + std::to_string(i));
        if (!c.events.empty()) {
            const int moved_to =
                static_cast<int>(std::find(c.order.begin(), c.order.end(), c.dragged) - c.order.begin());
            EXPECT_EQ(list->ViewCards()[static_cast<std::size_t>(moved_to)], c.dragged) << "laid out again";
        }
    }
}

TEST_F(DragList, ArrowsFollowTheHalfOfTheCardForEachScrollDirection) {
    struct Case {
        TScrollBarType type;
        Spot spot;
        int arrow;
    };
    const Case cases[] = {
        {TScrollBarType::sbtHorizontal, Spot::Upper, 0},
        {TScrollBarType::sbtHorizontal, Spot::Lower, 1},
        {TScrollBarType::sbtVertical, Spot::Left, 3},
        {TScrollBarType::sbtVertical, Spot::Right, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arrow);
        Fill(4, 560, 320, c.type);
        StartDrag(0);
        const TRect card = Bounds(2);
        const TPoint at = SpotOf(card, c.spot);
        MoveTo(at);
        ASSERT_EQ(VisibleArrow(), c.arrow);
        const ui::TArrowPlacement expected = ui::PlaceDropArrow(card, list->CardHorSpacing(), list->CardVertSpacing(),
                                                                c.type == TScrollBarType::sbtVertical, at);
        const ui::TArrowWindow& arrow = *list->DropArrow(c.arrow);
        EXPECT_EQ((TPoint{arrow.Left(), arrow.Top()}), list->ClientToScreen(expected.position));
        // Leaving the list hides the arrow.
        MoveTo(TPoint{-50, -50});
        EXPECT_EQ(VisibleArrow(), -1);
        ts::SendKey(list->Widget(), Qt::Key_Escape);
        EXPECT_EQ(ui::TDragSession::Active(), nullptr);
    }
}

TEST_F(DragList, EscChangesNothingLeavesNoWindowAndTheNextDragMakesItsOwnImage) {
    Fill(5);
    const int windows = VisibleWindows();
    StartDrag(1);
    const ui::TDragImageWindow* image = list->DragImage();
    ASSERT_NE(image, nullptr);
    EXPECT_TRUE(image->Showing());
    EXPECT_EQ(image->AlphaBlendValue(), 192);
    EXPECT_EQ(image->Width(), Bounds(1).Width() + 2);
    // The image follows the cursor, offset by where the card was grabbed.
    const int grab = Nudged(CaptionOf(1)).X - Bounds(1).Left;
    const TPoint over = SpotOf(Bounds(3), Spot::Lower);
    MoveTo(over);
    EXPECT_EQ(VisibleArrow(), 1);
    const TPoint cursor = list->ClientToScreen(over);
    EXPECT_EQ((TPoint{image->Left(), image->Top()}), (TPoint{cursor.X - grab + 4, cursor.Y + 4}));
    ts::SendKey(list->Widget(), Qt::Key_Escape);
    EXPECT_EQ(ui::TDragSession::Active(), nullptr);
    EXPECT_EQ(list->DisplayOrder(), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(list->DragImage(), nullptr);
    EXPECT_EQ(VisibleArrow(), -1);
    EXPECT_EQ(VisibleWindows(), windows);

    // The next drag works as the first did.
    StartDrag(1);
    ASSERT_NE(list->DragImage(), nullptr);
    EXPECT_TRUE(list->DragImage()->Showing());
    const TPoint at = SpotOf(Bounds(3), Spot::Lower);
    MoveTo(at);
    Release(at);
    EXPECT_EQ(list->DisplayOrder(), (std::vector<int>{0, 2, 3, 1, 4}));
    EXPECT_EQ(VisibleWindows(), windows);
}

TEST_F(DragList, NoDragStartsWhenSortedOrNotRearranging) {
    for (const char* setting : {"sorted", "no rearranging", "not the selected card"}) {
        SCOPED_TRACE(setting);
        Fill(3);
        int presses = 0;
        list->OnMouseDown = [&](ui::TPersistent*, ui::TMouseButton, ui::TShiftState, int, int) { ++presses; };
        ts::Click(*list, CaptionOf(0));
        if (std::string(setting) == "sorted") list->SetSorted(true);
        if (std::string(setting) == "no rearranging") list->SetCardRearrange(false);
        const int card = std::string(setting) == "not the selected card" ? 1 : 0;
        presses = 0;
        ts::MousePress(*list, CaptionOf(card));
        ts::MouseMove(*list, Nudged(CaptionOf(card)), Qt::LeftButton);
        EXPECT_EQ(ui::TDragSession::Active(), nullptr);
        EXPECT_EQ(presses, 1) << "a plain mouse-down";
        ts::MouseRelease(*list, CaptionOf(card));
        EXPECT_EQ(list->SelectedCardIndex(), card);
    }
    // The one case that arms: the press goes no further, and a release without a move clicks nothing.
    Fill(3);
    ts::Click(*list, CaptionOf(0));
    int presses = 0, clicks = 0;
    list->OnMouseDown = [&](ui::TPersistent*, ui::TMouseButton, ui::TShiftState, int, int) { ++presses; };
    list->OnCardClick = [&](TCustomFineCardList*, TFineCard*) { ++clicks; };
    ts::Click(*list, CaptionOf(0));
    EXPECT_EQ(presses, 0);
    EXPECT_EQ(clicks, 0);
}

TEST_F(DragList, AnotherListShowsNoArrowAndTakesNoDrop) {
    // Released after moving over the other list, or at once where the drag entered it.
    for (const bool moved_over : {true, false}) {
        SCOPED_TRACE(moved_over ? "released after moves over the other list" : "released right after entering");
        Fill(3);
        auto other = std::make_unique<TFineCardList>(nullptr);
        other->BeginUpdate();
        other->CardTemplate().Items().Add();
        for (int i = 0; i < 3; ++i) other->Cards().Add()->SetCaption("Other " + std::to_string(i));
        other->SetSorted(false);
        other->SetCardRearrange(true);
        other->EndUpdate();
        other->SetBounds(700, 100, 300, 320);
        other->Widget()->show();
        other->SetAcceptDrops(true);
        int rearranged = 0;
        other->OnCardRearranged = [&](TCustomFineCardList*, int, int) { ++rearranged; };

        std::vector<ui::TDropEffect> ended;
        list->OnCardDragEnd = [&](TCustomFineCardList*, ui::TDropEffect effect) { ended.push_back(effect); };

        StartDrag(0);
        const TRect card = other->Cards().Items(1)->ListRect;
        const TPoint at =
            list->ScreenToClient(other->ClientToScreen(TPoint{(card.Left + card.Right) / 2, card.Top + 5}));
        // The first move over the other list enters it; the next ones are the moves over it
        // that would show an arrow.
        MoveTo(at);
        TPoint release = at;
        if (moved_over) {
            for (const TPoint over : {Nudged(at), TPoint{at.X, at.Y + 10}}) {
                MoveTo(over);
                for (int i = 0; i < 4; ++i) EXPECT_FALSE(other->DropArrow(i)->Visible()) << i;
            }
            release = TPoint{at.X, at.Y + 10};
        }
        const ui::TDragSession* session = ui::TDragSession::Active();
        ASSERT_NE(session, nullptr);
        Release(release);
        EXPECT_EQ(ui::TDragSession::Active(), nullptr);
        EXPECT_EQ(session->Effect(), ui::DROPEFFECT_NONE) << "the other list took the drop";
        EXPECT_TRUE(ended.empty()) << "a drop with no effect is no drop";
        EXPECT_EQ(rearranged, 0);
        EXPECT_TRUE(events.empty());
        EXPECT_EQ(other->DisplayOrder(), (std::vector<int>{0, 1, 2}));
        EXPECT_EQ(list->DisplayOrder(), (std::vector<int>{0, 1, 2}));
    }
}

TEST_F(DragList, TheHooksDecideWhatMovesAndHearHowTheDragEnded) {
    struct Case {
        const char* name;
        std::string refuse;  // the hook that says no
        std::vector<int> order;
        std::vector<std::string> log;
        int arrow;  // over the target card
    };
    const Case cases[] = {
        {"every hook allows",
         "",
         {0, 2, 3, 1, 4},
         {"allow Card 1", "start Card 1", "over Card 3", "drop Card 1", "after Card 1", "end 2"},
         1},
        {"the drag refused", "allow", {0, 1, 2, 3, 4}, {"allow Card 1"}, -1},
        {"the card under the cursor refused",
         "over",
         {0, 1, 2, 3, 4},
         {"allow Card 1", "start Card 1", "over Card 3"},
         -1},
        {"the drop refused",
         "drop",
         {0, 1, 2, 3, 4},
         {"allow Card 1", "start Card 1", "over Card 3", "drop Card 1", "after Card 1", "end 2"},
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fill(5);
        std::vector<std::string> log;
        const auto decide = [&](const char* hook, TFineCard* card, bool& allow) {
            log.push_back(std::string(hook) + " " + card->Caption());
            allow = c.refuse != hook;
        };
        const auto hear = [&](const char* hook, TFineCard* card) {
            log.push_back(std::string(hook) + " " + card->Caption());
        };
        list->OnCardDragAllow = [&](TCustomFineCardList*, TFineCard* card, bool& a) { decide("allow", card, a); };
        list->OnCardDragStart = [&](TCustomFineCardList*, TFineCard* card) { hear("start", card); };
        list->OnCardDragOver = [&](TCustomFineCardList*, TFineCard* card, bool& a) { decide("over", card, a); };
        list->OnCardDrop = [&](TCustomFineCardList*, TFineCard* card, bool& a) { decide("drop", card, a); };
        list->OnCardAfterDrop = [&](TCustomFineCardList*, TFineCard* card) { hear("after", card); };
        list->OnCardDragEnd = [&](TCustomFineCardList*, ui::TDropEffect e) {
            log.push_back("end " + std::to_string(e));
        };
        StartDrag(1);
        EXPECT_EQ(ui::TDragSession::Active() != nullptr, c.refuse != "allow");
        const TPoint at = SpotOf(Bounds(3), Spot::Lower);
        MoveTo(at);
        EXPECT_EQ(VisibleArrow(), c.arrow);
        Release(at);
        EXPECT_EQ(ui::TDragSession::Active(), nullptr);
        EXPECT_EQ(list->DisplayOrder(), c.order);
        EXPECT_EQ(log, c.log);
        EXPECT_EQ(VisibleArrow(), -1);
    }
    // Esc ends the drag as a cancel: no drop and no end.
    Fill(5);
    std::vector<std::string> log;
    list->OnCardDrop = [&](TCustomFineCardList*, TFineCard*, bool&) { log.push_back("drop"); };
    list->OnCardDragEnd = [&](TCustomFineCardList*, ui::TDropEffect) { log.push_back("end"); };
    StartDrag(1);
    MoveTo(SpotOf(Bounds(3), Spot::Lower));
    ts::SendKey(list->Widget(), Qt::Key_Escape);
    EXPECT_EQ(ui::TDragSession::Active(), nullptr);
    EXPECT_TRUE(log.empty());
}

// A hook that frees the dragged card, at each step of the drag: the list goes on without the
// card and never reads it again (run under the address sanitizer).
TEST_F(DragList, AHookThatFreesTheDraggedCardEndsTheDragWithoutIt) {
    struct Case {
        const char* name;
        std::string frees;  // the hook that frees the dragged card
        bool runs;          // the drag session started
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {"before it starts", "allow", false, {"allow Card 1"}},
        {"as it starts", "start", false, {"allow Card 1", "start Card 1"}},
        {"over another card", "over", true, {"allow Card 1", "start Card 1", "over Card 3", "end 2"}},
        {"at the drop", "drop", true, {"allow Card 1", "start Card 1", "over Card 3", "drop Card 1", "end 2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fill(5);
        std::vector<std::string> log;
        TFineCard* dragged = list->Cards().Items(1);
        const auto hear = [&](const char* hook, TFineCard* card) {
            log.push_back(std::string(hook) + " " + card->Caption());
            if (c.frees == hook) list->Cards().Delete(dragged->Index());
        };
        list->OnCardDragAllow = [&](TCustomFineCardList*, TFineCard* card, bool&) { hear("allow", card); };
        list->OnCardDragStart = [&](TCustomFineCardList*, TFineCard* card) { hear("start", card); };
        list->OnCardDragOver = [&](TCustomFineCardList*, TFineCard* card, bool&) { hear("over", card); };
        list->OnCardDrop = [&](TCustomFineCardList*, TFineCard* card, bool&) { hear("drop", card); };
        list->OnCardAfterDrop = [&](TCustomFineCardList*, TFineCard* card) { hear("after", card); };
        list->OnCardDragEnd = [&](TCustomFineCardList*, ui::TDropEffect e) {
            log.push_back("end " + std::to_string(e));
        };
        StartDrag(1);
        EXPECT_EQ(ui::TDragSession::Active() != nullptr, c.runs);
        const TPoint at = SpotOf(list->Cards().Items(c.runs ? 3 : 1)->ListRect, Spot::Lower);
        MoveTo(at);
        Release(at);
        EXPECT_EQ(ui::TDragSession::Active(), nullptr);
        EXPECT_EQ(log, c.log);
        EXPECT_EQ(list->DragCard(), nullptr);
        EXPECT_EQ(list->DisplayOrder(), (std::vector<int>{0, 1, 2, 3}));
        EXPECT_TRUE(events.empty());
        EXPECT_EQ(VisibleArrow(), -1);
        EXPECT_EQ(list->DragImage(), nullptr);
    }
    // A card that goes while its drag is armed takes the drag with it: the release is an
    // ordinary click again.
    Fill(3);
    ts::Click(*list, CaptionOf(0));
    int clicks = 0;
    list->OnClick = [&](ui::TPersistent*) { ++clicks; };
    ts::MousePress(*list, CaptionOf(0));
    list->Cards().Delete(0);
    ts::MouseMove(*list, Nudged(CaptionOf(0)), Qt::LeftButton);
    EXPECT_EQ(ui::TDragSession::Active(), nullptr);
    ts::MouseRelease(*list, Nudged(CaptionOf(0)));
    EXPECT_EQ(clicks, 1);
}

// Counts the times a window is put in front of the others.
class FrontCounter : public QObject {
public:
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::ZOrderChange) ++count;
        return false;
    }
};

TEST_F(DragList, OnAStayOnTopFormTheDragImageIsBroughtToTheFrontAtEveryStep) {
    for (const ui::TFormStyle style : {ui::TFormStyle::fsNormal, ui::TFormStyle::fsStayOnTop}) {
        const bool on_top = style == ui::TFormStyle::fsStayOnTop;
        SCOPED_TRACE(on_top ? "stay-on-top" : "normal");
        Fill(5);
        ui::TForm form(nullptr);
        form.SetFormStyle(style);
        EXPECT_EQ(form.FormStyle(), style);
        form.SetClientWidth(700);
        form.SetClientHeight(400);
        list->SetParent(&form);
        list->SetBounds(10, 10, 560, 320);
        form.Show();
        EXPECT_EQ((form.Window()->windowFlags() & Qt::WindowStaysOnTopHint) != 0, on_top);
        StartDrag(1);
        EXPECT_EQ(list->ParentStayOnTop(), on_top);
        ASSERT_NE(list->DragImage(), nullptr);
        FrontCounter front;
        list->DragImage()->Widget()->installEventFilter(&front);
        MoveTo(SpotOf(Bounds(3), Spot::Lower));
        MoveTo(SpotOf(Bounds(3), Spot::Upper));
        if (on_top) {
            EXPECT_GE(front.count, 2);
        } else {
            EXPECT_EQ(front.count, 0);
        }
        list->DragImage()->Widget()->removeEventFilter(&front);
        ts::SendKey(list->Widget(), Qt::Key_Escape);
        EXPECT_EQ(ui::TDragSession::Active(), nullptr);
        list->SetParent(nullptr);
    }
}

TEST_F(DragList, RestingNearAnEdgeScrollsOneStepPerTickUntilTheEndIsInView) {
    Fill(12, 480, 320);  // four columns of three, two in view
    ASSERT_EQ(list->LayoutState().first_column, 1);
    StartDrag(0);
    const int y = (Bounds(0).Top + Bounds(0).Bottom) / 2;
    MoveTo(TPoint{480 - 10, y});  // 10 pixels from the trailing edge
    EXPECT_EQ(list->LayoutState().first_column, 2);
    ui::TDragSession::Active()->Tick();
    EXPECT_EQ(list->LayoutState().first_column, 3);
    ui::TDragSession::Active()->Tick();
    EXPECT_EQ(list->LayoutState().first_column, 3) << "the last card is in view";
    MoveTo(TPoint{10, y});  // near the leading edge
    EXPECT_EQ(list->LayoutState().first_column, 2);
    ui::TDragSession::Active()->Tick();
    EXPECT_EQ(list->LayoutState().first_column, 1);
    ui::TDragSession::Active()->Tick();
    EXPECT_EQ(list->LayoutState().first_column, 1);
    ts::SendKey(list->Widget(), Qt::Key_Escape);
    EXPECT_EQ(list->DisplayOrder().size(), 12u);
    EXPECT_TRUE(events.empty());
}

TEST_F(DragList, AListMadeInCodeTakesDropsOnlyOnceAccepting) {
    Fill(3);
    list->SetAcceptDrops(false);
    EXPECT_FALSE(list->AcceptDrops());
    StartDrag(0);
    const TPoint at = SpotOf(Bounds(2), Spot::Lower);
    MoveTo(at);
    EXPECT_EQ(VisibleArrow(), -1);
    Release(at);
    EXPECT_EQ(list->DisplayOrder(), (std::vector<int>{0, 1, 2}));
    // Accepting twice keeps the one registration, and revoking ends it.
    list->SetAcceptDrops(true);
    list->SetAcceptDrops(true);
    StartDrag(0);
    MoveTo(at);
    Release(at);
    EXPECT_EQ(list->DisplayOrder(), (std::vector<int>{1, 2, 0}));
    list->SetAcceptDrops(false);
    EXPECT_EQ(ui::RevokeDragDrop(*list), ui::HResult::DRAGDROP_E_NOTREGISTERED);
}

}  // namespace
}  // namespace cardlist
