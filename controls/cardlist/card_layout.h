// Card layout in columns and scrolling: places the shown cards of a card list on the control's
// surface and scrolls them. The layout is a pass that computes and caches every card's bounds
// (through CardLayoutCards::Place) and the list's layout state; painting and hit-testing read
// what it cached, scrolling moves the cached rectangles without laying out again.
//
// Two flows: CardFlow::Columns (cards run down columns, the view scrolls by whole columns, the
// scroll bar lies along the bottom) and CardFlow::Rows (cards run across rows, each column stacks
// its cards directly under the card above, the view scrolls by rows, the bar lies at the right).
//
// The layout owns no cards: CardLayoutCards is the card list's view of them. Side effects that
// belong to the control (closing an in-place editor, clearing the hover card, repainting,
// applying the scroll bar) stay with the control.
#pragma once

#include <optional>
#include <vector>

#include "platform/ui/graphics/geometry.h"

namespace cardlist {

enum class CardFlow { Columns, Rows };

// What the layout reads and writes per card. Indexes are collection indexes.
class CardLayoutCards {
public:
    virtual ~CardLayoutCards() = default;
    virtual int Count() const = 0;
    // Every card index once, in the order the cards are shown.
    virtual const std::vector<int>& DisplayOrder() const = 0;
    // Visible and passing the filter.
    virtual bool Shown(int card) const = 0;
    // The measured height of the card.
    virtual int Height(int card) const = 0;
    virtual ui::TRect Bounds(int card) const = 0;
    virtual int Column(int card) const = 0;
    virtual int Row(int card) const = 0;
    // Right edge of the card's caption in client coordinates.
    virtual int CaptionRight(int card) const = 0;
    // Gives the card its bounds, column and row, and its caption and item rectangles in client
    // coordinates (relative rectangles offset by the bounds' top-left corner).
    virtual void Place(int card, const ui::TRect& bounds, int column, int row) = 0;
    // Moves the bounds and every client rectangle of the card.
    virtual void Move(int card, int dx, int dy) = 0;
};

struct CardLayoutMetrics {
    CardFlow flow = CardFlow::Columns;
    int client_width = 280;
    int client_height = 320;
    int card_width = 200;    // the template's card width
    int column_width = 240;  // card width + 2 x horizontal spacing
    int hor_spacing = 20;
    int vert_spacing = 20;
    // Height of the horizontal bar or width of the vertical one: one thickness for both.
    int bar_thickness = 17;
    bool show_scroll_bar = true;
    bool design_time = false;
};

// The scroll bar as the layout wants it; the control applies it to its bar.
struct CardScrollBarState {
    bool visible = false;
    int max = 1;       // kept when the layout has no columns or rows to count
    int position = 1;  // the first column (Columns) or row (Rows)
};

struct CardLayoutState {
    int column_count = 0;
    int first_column = 1;
    int visible_columns = 0;
    int row_count = 0;
    int first_row = 1;
    int visible_rows = 0;
    bool rows_overflow = false;
    int scroll_offset = 0;        // horizontal content offset, 0 or negative
    int content_width = 0;        // right edge of the content (Columns)
    int content_height = 0;       // lowest card bottom (Rows)
    std::vector<int> view_cards;  // cards intersecting the view, in display order
    CardScrollBarState bar;
};

// Which card stays first in view when the columns are laid out again.
struct ArrangeAnchor {
    int sizing_first_card = -1;  // while a column is being sized
    int selected_card = -1;
    // Rows flow: the first row to keep in view, limited to the new range (a card removed from
    // a scrolled list leaves the view where it was); 0 starts from the top.
    int first_row = 0;
};

struct CardSelection {
    int count = 0;  // selected cards
    int card = -1;  // the selected card, -1 for none
};

class CardLayout {
public:
    CardLayoutMetrics metrics;
    CardLayoutState state;

    // The full layout. With update_bar false the final scroll-bar update is skipped. When the
    // bar's visibility changes, the cards are laid out once more for the new free area.
    void ArrangeCards(CardLayoutCards& cards, bool update_bar, const ArrangeAnchor& anchor = {},
                      const CardSelection& selection = {});
    // Recomputes the bar's visibility, range and position; returns true when its visibility
    // changed (the caller has then already been laid out again).
    bool UpdateScrollBar(CardLayoutCards& cards, const CardSelection& selection = {});
    // Columns flow: makes `column` (clamped to 1..column_count) the first in view.
    void ScrollColumnTo(CardLayoutCards& cards, int column);
    // Rows flow: makes `row` (clamped to 1..row_count) the first in view.
    void ScrollRowTo(CardLayoutCards& cards, int row);
    // Columns: by `delta` pixels (limited to the content); Rows: by `delta` rows.
    void ScrollBy(CardLayoutCards& cards, int delta);
    // The bar's position for the flow: ScrollRowTo or ScrollColumnTo when it differs.
    void ScrollToPosition(CardLayoutCards& cards, int position);
    // Whether ScrollToPosition(position) would change the first column or row: the position
    // differs from it also once limited to the columns or rows there are.
    bool Scrolls(int position) const;
    // Brings the one selected card into view; true when the first column or row changed.
    bool ScrollToSelected(CardLayoutCards& cards, const CardSelection& selection);
    // The first column (Columns) or row (Rows) ScrollToSelected would scroll to, nothing when it
    // would not scroll; Scrolls(target) tells whether the view would then move.
    std::optional<int> SelectedScrollTarget(const CardLayoutCards& cards, const CardSelection& selection) const;
    bool InView(const ui::TRect& r) const;
    // The area the cards may use: the client area less a visible scroll bar.
    int FreeWidth() const;
    int FreeHeight() const;

private:
    void ArrangeColumns(CardLayoutCards& cards, bool update_bar, const ArrangeAnchor& anchor,
                        const CardSelection& selection);
    void ArrangeRows(CardLayoutCards& cards, bool update_bar, const ArrangeAnchor& anchor,
                     const CardSelection& selection);
    void RebuildViewCards(const CardLayoutCards& cards);
    int FittingColumns(int from_column) const;

    bool rearranging_ = false;
};

// Column-width rules. A value below a non-zero minimum becomes the minimum; else above a
// non-zero maximum the maximum; else at least 2 x horizontal spacing.
int ClampColumnWidth(int value, int min_width, int max_width, int hor_spacing);

struct ColumnWidthLimits {
    int min_width = 0;
    int max_width = 0;
};
// A new maximum: 0 stays 0; else raised to a non-zero minimum and to 2 x spacing.
ColumnWidthLimits WithMaxColumnWidth(ColumnWidthLimits limits, int value, int hor_spacing);
// A new minimum: 0 stays 0; else lowered to a non-zero maximum, raised to 2 x spacing, and when
// that exceeds a non-zero maximum the maximum follows.
ColumnWidthLimits WithMinColumnWidth(ColumnWidthLimits limits, int value, int hor_spacing);

}  // namespace cardlist
