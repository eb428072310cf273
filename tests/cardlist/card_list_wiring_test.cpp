// The card list as a real widget: its own refresh, layout, scroll bar and paint event, checked
// through images rendered from the widget.
#include <gtest/gtest.h>

#include <QImage>
#include <QRegion>
#include <QWidget>
#include <string>
#include <vector>

#include "controls/cardlist/card_list.h"
#include "controls/cardlist/card_painting.h"
#include "tests/support/render.h"

namespace cardlist {
namespace {

using test_support::PixelAt;
using test_support::RenderControl;
using ui::TRect;

constexpr ui::TColor kFrame = 0x0000FF;
constexpr ui::TColor kBackground = 0xFFFFFF;

// `cards` cards with one item of height 20 (no auto size), filled inside one update so the
// list measures and arranges them itself.
class WiredList : public ::testing::Test {
protected:
    void Fill(int cards, int width = 280, int height = 320) {
        list.SetBounds(0, 0, width, height);
        list.BeginUpdate();
        TFineCardTemplateItem* item = list.CardTemplate().Items().Add();
        item->SetAutoSize(false);
        item->SetHeight(20);
        item->SetCaption("Name");
        for (int i = 0; i < cards; ++i) list.Cards().Add()->SetCaption("Card " + std::to_string(i));
        list.Color().SetColor(kBackground);
        list.Color().SetColorTo(ui::clNone);
        list.CardNormalAppearance().SetBorderColor(kFrame);
        list.EndUpdate();
    }

    TRect Bounds(int i) { return list.Cards().Items(i)->ListRect; }
    TRect HoverRect(int i) {
        const CardListPaintSettings none;
        return CardPainter(none, list.Cards()).HoverRect(i);
    }
    // Draws `area` of the widget over `image`, the way Qt serves a repaint request.
    void RenderArea(QImage& image, const TRect& area) {
        list.Widget()->render(&image, QPoint(area.Left, area.Top),
                              QRegion(area.Left, area.Top, area.Width(), area.Height()));
    }
    // The frame colour on the column just left of the card, halfway down.
    bool FrameLeftOf(const QImage& img, const TRect& card) {
        const int x = card.Left - 1;
        if (x < 0 || x >= img.width()) return false;
        return PixelAt(img, x, (card.Top + card.Bottom) / 2) == kFrame;
    }

    // The application exists before the list's widget is made.
    struct ApplicationReady {
        ApplicationReady() { test_support::EnsureApplication(); }
    } ready_;
    TFineCardList list{nullptr};
};

TEST_F(WiredList, WidgetPaintShowsCardFramesAtTheLayoutRectangles) {
    Fill(4);
    EXPECT_EQ(Bounds(0), (TRect{20, 20, 220, 82}));
    EXPECT_EQ(Bounds(1), (TRect{20, 102, 220, 164}));
    EXPECT_EQ(Bounds(2), (TRect{20, 184, 220, 246}));
    EXPECT_EQ(Bounds(3), (TRect{260, 20, 460, 82}));
    EXPECT_EQ(list.ViewCards(), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(list.LayoutState().column_count, 2);
    EXPECT_TRUE(list.ScrollBar().Visible());
    EXPECT_EQ(list.ScrollBar().Max(), 2);
    EXPECT_EQ(list.ScrollBar().Position(), 1);

    const QImage img = RenderControl(list);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const TRect b = Bounds(i);
        EXPECT_TRUE(FrameLeftOf(img, b));
        EXPECT_EQ(PixelAt(img, b.Left + 5, b.Top - 1), kFrame);  // the top edge
    }
    // Between the cards of a column lies the background, not a stray frame.
    EXPECT_EQ(PixelAt(img, 120, 92), kBackground);
    EXPECT_EQ(PixelAt(img, 120, 300 - 17), kBackground);
}

TEST_F(WiredList, ScrollingThroughTheBarMovesTheCards) {
    Fill(4);
    const QImage before = RenderControl(list);
    ASSERT_TRUE(FrameLeftOf(before, TRect{260, 20, 460, 82}));

    list.ScrollBar().UserScroll(ui::TScrollCode::scPosition, 2);
    EXPECT_EQ(list.LayoutState().scroll_offset, -240);
    EXPECT_EQ(list.LayoutState().first_column, 2);
    EXPECT_EQ(list.ScrollBar().Position(), 2);
    EXPECT_EQ(Bounds(0), (TRect{-220, 20, -20, 82}));
    EXPECT_EQ(Bounds(3), (TRect{20, 20, 220, 82}));
    EXPECT_EQ(list.ViewCards(), (std::vector<int>{3}));
    // Hit-testing follows the moved cards.
    EXPECT_EQ(list.CardAt(30, 30, true), list.Cards().Items(3));

    const QImage after = RenderControl(list);
    EXPECT_TRUE(FrameLeftOf(after, Bounds(3)));
    EXPECT_NE(PixelAt(after, 19, 120), kFrame);  // column 1's cards are gone from view
    EXPECT_NE(PixelAt(after, 259, 50), kFrame);  // and card 3 left its old place

    // A new layout keeps the first card of the view at the left.
    list.SetBounds(0, 0, 280, 330);
    EXPECT_EQ(Bounds(3).Left, 20);
    EXPECT_EQ(list.ScrollBar().Position(), 2);

    list.ScrollBar().UserScroll(ui::TScrollCode::scPosition, 1);
    EXPECT_EQ(Bounds(0), (TRect{20, 20, 220, 82}));
    EXPECT_EQ(list.LayoutState().scroll_offset, 0);
}

TEST_F(WiredList, HoverRepaintOfItsRectangleEqualsAFullRepaint) {
    Fill(4);
    list.CardHoverAppearance().SetBorderColor(0x00FF00);
    list.CardHoverAppearance().SetBorderWidth(3);
    QImage partial = RenderControl(list);
    const QImage plain = partial;

    // On, then off again: each step repaints only the hover rectangles asked for.
    for (const int hover : {1, -1}) {
        SCOPED_TRACE(hover);
        const TRect area = HoverRect(1);
        list.SetHoverCard(hover);
        const TRect after = HoverRect(1);
        RenderArea(partial, area);
        RenderArea(partial, after);
        const QImage full = RenderControl(list);
        EXPECT_EQ(partial, full);
        if (hover >= 0)
            EXPECT_NE(full, plain);  // the look did change
        else
            EXPECT_EQ(full, plain);
    }
}

TEST_F(WiredList, VerticalFlowPlacesEveryCardAndScrollsByRows) {
    // 480 = 2 x 240: no second card fits beside the first, and every card must still be placed.
    Fill(6, 480, 320);
    list.SetScrollBarType(TScrollBarType::sbtVertical);
    EXPECT_EQ(list.ScrollBar().Kind(), ui::TScrollBarKind::sbVertical);
    EXPECT_EQ(list.ScrollBar().Align(), ui::TAlign::alRight);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(Bounds(i), ui::Bounds(20, 20 + 82 * i, 200, 62)) << i;
    EXPECT_EQ(list.ViewCards(), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_TRUE(list.ScrollBar().Visible());
    EXPECT_EQ(list.LayoutState().row_count, 6);

    list.ScrollBar().UserScroll(ui::TScrollCode::scPosition, 2);
    EXPECT_EQ(list.LayoutState().first_row, 2);
    EXPECT_EQ(Bounds(1), ui::Bounds(20, 20, 200, 62));
    EXPECT_EQ(list.ViewCards(), (std::vector<int>{1, 2, 3, 4}));
    const QImage img = RenderControl(list);
    EXPECT_TRUE(FrameLeftOf(img, Bounds(1)));
}

TEST_F(WiredList, ColumnWidthSettersKeepTheLimits) {
    struct Case {
        const char* name;
        int min, max;  // set in this order (min first)
        int width;     // then ColumnWidth
        int resizing;  // what OnColumnResizing answers, 0: leaves it
        int want_min, want_max, want_width;
    };
    const Case cases[] = {
        {"below the minimum", 150, 0, 100, 0, 150, 0, 150},
        {"above the maximum", 150, 300, 400, 0, 150, 300, 300},
        {"handler beyond the maximum", 150, 300, 260, 1000, 150, 300, 300},
        {"no limits, under twice the spacing", 0, 0, 30, 0, 0, 0, 40},
        {"maximum lowers the width", 0, 200, 200, 0, 0, 200, 200},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        TFineCardList l(nullptr);
        l.SetMinColumnWidth(k.min);
        l.SetMaxColumnWidth(k.max);
        if (k.resizing != 0) l.OnColumnResizing = [&](TCustomFineCardList*, int& v) { v = k.resizing; };
        l.SetColumnWidth(k.width);
        EXPECT_EQ(l.MinColumnWidth(), k.want_min);
        EXPECT_EQ(l.MaxColumnWidth(), k.want_max);
        EXPECT_EQ(l.ColumnWidth(), k.want_width);
        EXPECT_EQ(l.CardTemplate().CardWidth(), k.want_width - 2 * l.CardHorSpacing());
    }

    // A minimum above the maximum lands on the maximum in both, and raises the width.
    Fill(2);
    list.SetMaxColumnWidth(300);
    list.SetMinColumnWidth(400);
    EXPECT_EQ(list.MinColumnWidth(), 300);
    EXPECT_EQ(list.MaxColumnWidth(), 300);
    EXPECT_EQ(list.ColumnWidth(), 300);
    // The wider column is laid out at once.
    EXPECT_EQ(Bounds(0), (TRect{20, 20, 280, 82}));
}

}  // namespace
}  // namespace cardlist
