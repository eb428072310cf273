// Geometry of the card layout over a plain card model: every rectangle is checked against the
// numbers the layout rules give for the fixture.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <vector>

#include "controls/cardlist/card_layout.h"

namespace cardlist {
namespace {

using ui::TRect;

class FakeCards : public CardLayoutCards {
public:
    struct Card {
        bool shown = true;
        int height = 62;
        TRect bounds;
        int column = 0;
        int row = 0;
    };

    explicit FakeCards(int n, int height = 62) : cards(static_cast<std::size_t>(n)) {
        for (Card& c : cards) c.height = height;
        order.resize(cards.size());
        std::iota(order.begin(), order.end(), 0);
    }

    int Count() const override { return static_cast<int>(cards.size()); }
    const std::vector<int>& DisplayOrder() const override { return order; }
    bool Shown(int i) const override { return at(i).shown; }
    int Height(int i) const override { return at(i).height; }
    TRect Bounds(int i) const override { return at(i).bounds; }
    int Column(int i) const override { return at(i).column; }
    int Row(int i) const override { return at(i).row; }
    int CaptionRight(int i) const override { return at(i).bounds.Right; }
    void Place(int i, const TRect& b, int column, int row) override {
        at(i).bounds = b;
        at(i).column = column;
        at(i).row = row;
    }
    void Move(int i, int dx, int dy) override {
        TRect& b = at(i).bounds;
        b = TRect{b.Left + dx, b.Top + dy, b.Right + dx, b.Bottom + dy};
    }

    Card& at(int i) { return cards.at(static_cast<std::size_t>(i)); }
    const Card& at(int i) const { return cards.at(static_cast<std::size_t>(i)); }

    std::vector<Card> cards;
    std::vector<int> order;
};

CardLayout MakeLayout(CardFlow flow, int width, int height) {
    CardLayout layout;
    layout.metrics.flow = flow;
    layout.metrics.client_width = width;
    layout.metrics.client_height = height;
    layout.metrics.bar_thickness = 17;
    return layout;
}

// The standard list: 280 x 320, cards of 200 x 62 in columns of 240.
TEST(CardLayoutColumns, PlacesCardsDownColumnsThenRight) {
    FakeCards cards(4);
    CardLayout layout = MakeLayout(CardFlow::Columns, 280, 320);
    layout.ArrangeCards(cards, true);

    EXPECT_EQ(cards.at(0).bounds, (TRect{20, 20, 220, 82}));
    EXPECT_EQ(cards.at(1).bounds, (TRect{20, 102, 220, 164}));
    EXPECT_EQ(cards.at(2).bounds, (TRect{20, 184, 220, 246}));
    EXPECT_EQ(cards.at(3).bounds, (TRect{260, 20, 460, 82}));
    EXPECT_EQ(cards.at(3).column, 2);
    EXPECT_EQ(layout.state.column_count, 2);
    EXPECT_EQ(layout.state.content_width, 480);
    EXPECT_TRUE(layout.state.bar.visible);
    EXPECT_EQ(layout.state.bar.max, 2);
    EXPECT_EQ(layout.state.first_column, 1);
    EXPECT_EQ(layout.state.visible_columns, 1);
    EXPECT_EQ(layout.state.view_cards, (std::vector<int>{0, 1, 2, 3}));
}

TEST(CardLayoutColumns, ScrollColumnToMovesByWholeColumns) {
    FakeCards cards(4);
    CardLayout layout = MakeLayout(CardFlow::Columns, 280, 320);
    layout.ArrangeCards(cards, true);

    layout.ScrollColumnTo(cards, 2);
    EXPECT_EQ(layout.state.scroll_offset, -240);
    EXPECT_EQ(layout.state.first_column, 2);
    EXPECT_EQ(layout.state.bar.position, 2);
    EXPECT_EQ(cards.at(3).bounds, (TRect{20, 20, 220, 82}));
    EXPECT_EQ(cards.at(0).bounds, (TRect{-220, 20, -20, 82}));
    EXPECT_EQ(layout.state.view_cards, (std::vector<int>{3}));

    // Out-of-range columns are clamped: 0 goes to the first, past the end to the last.
    layout.ScrollColumnTo(cards, 0);
    EXPECT_EQ(layout.state.first_column, 1);
    EXPECT_EQ(layout.state.scroll_offset, 0);
    layout.ScrollColumnTo(cards, 9);
    EXPECT_EQ(layout.state.first_column, 2);
    EXPECT_EQ(layout.state.scroll_offset, -240);

    // A new layout keeps the first card of the view at the left.
    layout.ArrangeCards(cards, true);
    EXPECT_EQ(cards.at(3).bounds.Left, 20);
    EXPECT_EQ(layout.state.first_column, 2);
}

TEST(CardLayoutColumns, TallCardGetsItsOwnColumnAndNeverStartsAboveSpacing) {
    FakeCards cards(3);
    cards.at(1).height = 500;
    CardLayout layout = MakeLayout(CardFlow::Columns, 280, 320);
    layout.ArrangeCards(cards, true);
    EXPECT_EQ(cards.at(1).bounds, (TRect{260, 20, 460, 520}));
    EXPECT_EQ(cards.at(2).bounds, (TRect{500, 20, 700, 82}));
    for (const auto& c : cards.cards) EXPECT_GE(c.bounds.Top, 20);
}

TEST(CardLayoutColumns, NoShownCardsHidesTheBarButKeepsItsRange) {
    FakeCards cards(4);
    CardLayout layout = MakeLayout(CardFlow::Columns, 280, 320);
    layout.ArrangeCards(cards, true);
    ASSERT_TRUE(layout.state.bar.visible);
    for (auto& c : cards.cards) c.shown = false;
    layout.ArrangeCards(cards, true);
    EXPECT_EQ(layout.state.column_count, 0);
    EXPECT_TRUE(layout.state.view_cards.empty());
    EXPECT_FALSE(layout.state.bar.visible);
    EXPECT_EQ(layout.state.bar.max, 2);

    // With no cards at all the layout still ends with the bar's update: nothing to scroll.
    FakeCards none(0);
    layout.state.bar.visible = true;
    layout.ArrangeCards(none, true);
    EXPECT_FALSE(layout.state.bar.visible);
}

TEST(CardLayoutColumns, HiddenCardsAreSkippedAndDisplayOrderRules) {
    FakeCards cards(4);
    cards.order = {3, 2, 1, 0};
    cards.at(2).shown = false;
    CardLayout layout = MakeLayout(CardFlow::Columns, 600, 320);
    layout.ArrangeCards(cards, true);
    EXPECT_EQ(cards.at(3).bounds.Top, 20);
    EXPECT_EQ(cards.at(1).bounds.Top, 102);
    EXPECT_EQ(cards.at(0).bounds.Top, 184);
    EXPECT_EQ(layout.state.view_cards, (std::vector<int>{3, 1, 0}));
    EXPECT_FALSE(layout.state.bar.visible);
}

TEST(CardLayoutColumns, ScrollToSelectedBringsTheCardIn) {
    FakeCards cards(9);  // three columns of three
    CardLayout layout = MakeLayout(CardFlow::Columns, 280, 320);
    layout.ArrangeCards(cards, true);
    ASSERT_EQ(layout.state.column_count, 3);

    // Several selected cards: nothing moves.
    EXPECT_FALSE(layout.ScrollToSelected(cards, CardSelection{2, 8}));
    EXPECT_EQ(layout.state.first_column, 1);
    EXPECT_TRUE(layout.ScrollToSelected(cards, CardSelection{1, 8}));
    EXPECT_EQ(layout.state.first_column, 3);
    EXPECT_TRUE(layout.ScrollToSelected(cards, CardSelection{1, 0}));
    EXPECT_EQ(layout.state.first_column, 1);
}

TEST(CardLayoutRows, ExactMultipleOfColumnWidthPlacesEveryCard) {
    // 480 = 2 x 240: the second card of the first row has no room and no card above it.
    FakeCards cards(6);
    CardLayout layout = MakeLayout(CardFlow::Rows, 480, 320);
    layout.metrics.show_scroll_bar = false;
    layout.ArrangeCards(cards, true);
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_FALSE(cards.at(i).bounds.IsEmpty());
        EXPECT_EQ(cards.at(i).bounds, ui::Bounds(20, 20 + 82 * i, 200, 62));
        EXPECT_EQ(cards.at(i).column, 1);
        EXPECT_EQ(cards.at(i).row, i + 1);
    }
    EXPECT_EQ(layout.state.row_count, 6);
    EXPECT_TRUE(layout.state.rows_overflow);
}

TEST(CardLayoutRows, ColumnsStackIndependently) {
    FakeCards cards(4);
    cards.at(0).height = 100;
    cards.at(1).height = 40;
    CardLayout layout = MakeLayout(CardFlow::Rows, 520, 600);
    layout.ArrangeCards(cards, true);
    EXPECT_EQ(cards.at(0).bounds, (TRect{20, 20, 220, 120}));
    EXPECT_EQ(cards.at(1).bounds, (TRect{260, 20, 460, 60}));
    // Row 2: each card sits under the card above it in its own column.
    EXPECT_EQ(cards.at(2).bounds, (TRect{20, 140, 220, 202}));
    EXPECT_EQ(cards.at(3).bounds, (TRect{260, 80, 460, 142}));
    EXPECT_EQ(layout.state.row_count, 2);
    EXPECT_FALSE(layout.state.bar.visible);
}

TEST(CardLayoutRows, ScrollRangeCountsShownCardsInDisplayOrder) {
    // Two columns, five rows of 82 pixels of shown cards in a 320-high list; four hidden cards
    // come first in the collection.
    FakeCards cards(14);
    for (int i = 0; i < 4; ++i) cards.at(i).shown = false;
    CardLayout layout = MakeLayout(CardFlow::Rows, 520, 320);
    layout.ArrangeCards(cards, true);
    ASSERT_TRUE(layout.state.bar.visible);
    // With the bar the free width is 503: still two columns.
    EXPECT_EQ(layout.state.visible_columns, 2);
    EXPECT_EQ(layout.state.row_count, 5);
    EXPECT_EQ(layout.state.visible_rows, 3);
    // Rows 3..5 span 246 pixels and fit: the range ends at row 3.
    EXPECT_EQ(layout.state.bar.max, 3);
}

TEST(CardLayoutRows, ScrollRowToShiftsEachColumnByItsOwnCards) {
    FakeCards cards(10);
    cards.at(0).height = 100;  // column 1, row 1
    CardLayout layout = MakeLayout(CardFlow::Rows, 520, 320);
    layout.ArrangeCards(cards, true);
    const TRect c2 = cards.at(2).bounds;
    const TRect c3 = cards.at(3).bounds;
    layout.ScrollRowTo(cards, 2);
    EXPECT_EQ(layout.state.first_row, 2);
    EXPECT_EQ(cards.at(2).bounds.Top, c2.Top - 120);  // column 1 moves past its 100-pixel card
    EXPECT_EQ(cards.at(3).bounds.Top, c3.Top - 82);   // column 2 past a 62-pixel card
    EXPECT_EQ(cards.at(2).bounds.Top, 20);
    EXPECT_EQ(layout.state.view_cards.front(), 2);
    layout.ScrollRowTo(cards, 1);
    EXPECT_EQ(cards.at(2).bounds, c2);
    EXPECT_EQ(cards.at(3).bounds, c3);
}

TEST(CardLayoutWidths, ClampTable) {
    struct Case {
        int value, min, max, spacing, expected;
    };
    const Case cases[] = {
        {240, 150, 0, 20, 240},    // inside the limits
        {100, 150, 0, 20, 150},    // below the minimum
        {500, 150, 300, 20, 300},  // above the maximum
        {30, 0, 0, 20, 40},        // below twice the spacing without limits
        {30, 20, 0, 20, 40},       // above the minimum but below twice the spacing
        {10, 20, 0, 20, 20},       // below the minimum: the minimum, no further test
        {400, 0, 0, 20, 400},      // no limits
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(ClampColumnWidth(c.value, c.min, c.max, c.spacing), c.expected);
    }
}

TEST(CardLayoutWidths, LimitSettersTable) {
    struct Case {
        bool set_min;
        ColumnWidthLimits before;
        int value;
        ColumnWidthLimits expected;
    };
    const Case cases[] = {
        {true, {150, 0}, 0, {0, 0}},          // 0 stored as is
        {true, {150, 300}, 400, {300, 300}},  // minimum above the maximum: both the maximum
        {true, {0, 30}, 35, {40, 40}},        // ... unless twice the spacing is larger
        {true, {0, 0}, 10, {40, 0}},          // raised to twice the spacing
        {false, {150, 0}, 100, {150, 150}},   // maximum raised to the minimum
        {false, {0, 0}, 10, {0, 40}},         // maximum raised to twice the spacing
        {false, {150, 300}, 0, {150, 0}},     // 0 stored as is
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        const ColumnWidthLimits got =
            c.set_min ? WithMinColumnWidth(c.before, c.value, 20) : WithMaxColumnWidth(c.before, c.value, 20);
        EXPECT_EQ(got.min_width, c.expected.min_width);
        EXPECT_EQ(got.max_width, c.expected.max_width);
    }
}

}  // namespace
}  // namespace cardlist

// The same rules over the real list: measured cards of one 20-pixel item.
#include "tests/cardlist/card_list_fixture.h"

namespace cardlist {
namespace {

TEST(CardListLayout, StandardListGeometry) {
    testing::ListFixture f(4);
    EXPECT_EQ(f.Card(0).ListRect, (ui::TRect{20, 20, 220, 82}));
    EXPECT_EQ(f.Card(1).ListRect.Top, 102);
    EXPECT_EQ(f.Card(2).ListRect.Top, 184);
    EXPECT_EQ(f.Card(3).ListRect.Left, 260);
    EXPECT_EQ(f.Card(3).ListRect.Top, 20);
    // Client rectangles follow the card.
    EXPECT_EQ(f.Card(3).CaptionClientRect.Left, 260);
    EXPECT_EQ(f.Card(3).Items().Items(0)->ItemClientRect.Right, f.Card(3).Items().Items(0)->ValueClientRect.Right);
    f.layout.ScrollColumnTo(f.view, 2);
    EXPECT_EQ(f.layout.state.scroll_offset, -240);
    EXPECT_EQ(f.Card(3).ListRect.Left, 20);
    EXPECT_EQ(f.Card(3).CaptionClientRect.Left, 20);
}

TEST(CardListLayout, VerticalFlowPlacesAllSixCards) {
    testing::ListFixture f(6, 480, 320);
    f.list.SetScrollBarType(TScrollBarType::sbtVertical);
    f.Arrange();
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_FALSE(f.Card(i).ListRect.IsEmpty());
        for (int j = 0; j < i; ++j) EXPECT_NE(f.Card(i).ListRect, f.Card(j).ListRect);
    }
}

}  // namespace
}  // namespace cardlist
