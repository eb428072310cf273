#include "controls/cardlist/card_layout.h"

#include <algorithm>
#include <cstdlib>

namespace cardlist {

namespace {

std::vector<int> ShownInOrder(const CardLayoutCards& cards) {
    std::vector<int> shown;
    for (int card : cards.DisplayOrder()) {
        if (card >= 0 && card < cards.Count() && cards.Shown(card)) shown.push_back(card);
    }
    return shown;
}

}  // namespace

int CardLayout::FreeWidth() const {
    const bool bar = state.bar.visible && metrics.flow == CardFlow::Rows;
    return metrics.client_width - (bar ? metrics.bar_thickness : 0);
}

int CardLayout::FreeHeight() const {
    const bool bar = state.bar.visible && metrics.flow == CardFlow::Columns;
    return metrics.client_height - (bar ? metrics.bar_thickness : 0);
}

bool CardLayout::InView(const ui::TRect& r) const {
    if (metrics.flow == CardFlow::Rows) return r.Top < metrics.client_height && r.Bottom > 0;
    return r.Left < metrics.client_width && r.Right > 0;
}

int CardLayout::FittingColumns(int from_column) const {
    const int wanted = state.column_count - from_column + 1;
    const int fit = metrics.column_width > 0 ? metrics.client_width / metrics.column_width : 0;
    return static_cast<long long>(wanted) * metrics.column_width > metrics.client_width ? fit : wanted;
}

void CardLayout::RebuildViewCards(const CardLayoutCards& cards) {
    state.view_cards.clear();
    for (int card : ShownInOrder(cards)) {
        if (InView(cards.Bounds(card))) state.view_cards.push_back(card);
    }
}

void CardLayout::ArrangeCards(CardLayoutCards& cards, bool update_bar, const ArrangeAnchor& anchor,
                              const CardSelection& selection) {
    if (metrics.flow == CardFlow::Rows)
        ArrangeRows(cards, update_bar, anchor, selection);
    else
        ArrangeColumns(cards, update_bar, anchor, selection);
}

void CardLayout::ArrangeColumns(CardLayoutCards& cards, bool update_bar, const ArrangeAnchor& anchor,
                                const CardSelection& selection) {
    state.column_count = 0;
    state.visible_columns = 0;
    state.content_width = 0;
    state.scroll_offset = 0;

    // The card that was first in view stays first after the new layout.
    int anchor_card = anchor.sizing_first_card;
    if (anchor_card < 0) {
        if (!state.view_cards.empty())
            anchor_card = state.view_cards.front();
        else
            anchor_card = anchor.selected_card >= 0 ? anchor.selected_card : 0;
    }
    if (anchor_card >= cards.Count()) anchor_card = 0;
    state.view_cards.clear();

    const int bottom_limit = metrics.client_height - (state.bar.visible ? metrics.bar_thickness + 2 : 0);
    bool first = true;
    ui::TRect previous;
    for (int card : ShownInOrder(cards)) {
        const int height = cards.Height(card);
        int x = metrics.hor_spacing;
        int y = metrics.vert_spacing;
        if (first) {
            state.column_count = 1;
            state.content_width += metrics.column_width;
            first = false;
        } else {
            x = previous.Left;
            y = previous.Bottom + metrics.vert_spacing;
            if (height + y >= bottom_limit) {
                x = previous.Left + metrics.card_width + 2 * metrics.hor_spacing;
                y = metrics.vert_spacing;
                ++state.column_count;
                state.content_width += metrics.column_width;
            }
        }
        const ui::TRect bounds = ui::Bounds(x, y, metrics.card_width, height);
        cards.Place(card, bounds, state.column_count, cards.Row(card));
        if (InView(bounds)) state.view_cards.push_back(card);
        previous = bounds;
    }

    const int fit = metrics.column_width > 0 ? metrics.client_width / metrics.column_width : 0;
    if (fit < state.column_count) {
        ScrollBy(cards, metrics.hor_spacing - cards.Bounds(anchor_card).Left);
        state.first_column = std::clamp(cards.Column(anchor_card), 1, state.column_count);
        state.visible_columns = FittingColumns(state.first_column);
        if (update_bar) UpdateScrollBar(cards, selection);
    } else {
        state.first_column = 1;
        state.scroll_offset = 0;
        state.visible_columns = state.column_count;
        UpdateScrollBar(cards, selection);
    }
}

void CardLayout::ArrangeRows(CardLayoutCards& cards, bool update_bar, const ArrangeAnchor& anchor,
                             const CardSelection& selection) {
    const int free_width = FreeWidth();
    state.visible_columns = std::max(1, metrics.column_width > 0 ? free_width / metrics.column_width : 1);
    state.column_count = state.visible_columns;
    state.row_count = 0;
    state.visible_rows = metrics.client_height;
    state.content_height = 0;
    state.content_width = 0;
    state.scroll_offset = 0;
    state.first_column = 1;
    state.rows_overflow = false;
    state.view_cards.clear();

    const std::vector<int> shown = ShownInOrder(cards);
    // The cards placed in this pass, in order: "the card above" is looked up among them only,
    // so a hidden card's stale position never decides where a shown card goes.
    std::vector<int> placed;
    auto card_above = [&](int column) {
        for (auto it = placed.rbegin(); it != placed.rend(); ++it) {
            if (cards.Column(*it) == column) return *it;
        }
        return -1;
    };

    for (int card : shown) {
        const int height = cards.Height(card);
        int x = metrics.hor_spacing;
        int y = metrics.vert_spacing;
        int column = 1;
        if (placed.empty()) {
            state.row_count = 1;
        } else {
            const ui::TRect p = cards.Bounds(placed.back());
            column = cards.Column(placed.back()) + 1;
            if (column > state.visible_columns) column = 1;
            int above = card_above(column);
            x = p.Left + metrics.card_width + 2 * metrics.hor_spacing;
            y = above >= 0 ? cards.Bounds(above).Bottom + metrics.vert_spacing : p.Top;
            if (metrics.card_width + x + metrics.hor_spacing >= free_width) {
                // A new row always opens at column 1, under that column's last card: when the
                // free width is an exact multiple of the column width the last computed column
                // has no card above it yet, and the card must still be placed.
                column = 1;
                above = card_above(1);
                x = metrics.hor_spacing;
                y = cards.Bounds(above).Bottom + metrics.vert_spacing;
                ++state.row_count;
            }
        }
        const ui::TRect bounds = ui::Bounds(x, y, metrics.card_width, height);
        cards.Place(card, bounds, column, state.row_count);
        placed.push_back(card);
        state.content_height = std::max(state.content_height, bounds.Bottom);
        if (bounds.Bottom > metrics.client_height) {
            state.visible_rows = std::max(1, std::min(state.visible_rows, state.row_count - 1));
            state.rows_overflow = true;
        }
        if (InView(bounds)) state.view_cards.push_back(card);
    }

    if (state.rows_overflow) {
        state.first_row = 1;
        if (anchor.first_row > 1) {
            // The bar's range of the new layout gives the last row that can still open the view.
            UpdateScrollBar(cards, selection);
            ScrollRowTo(cards, std::min(anchor.first_row, state.bar.max));
        }
        ScrollToSelected(cards, selection);
        if (update_bar) UpdateScrollBar(cards, selection);
    } else {
        state.first_column = 1;
        state.content_height = metrics.client_height;
        state.scroll_offset = 0;
        state.visible_rows = state.row_count;
        state.first_row = 1;
        UpdateScrollBar(cards, selection);
    }
}

bool CardLayout::UpdateScrollBar(CardLayoutCards& cards, const CardSelection& selection) {
    if (metrics.design_time) return false;
    const bool was_visible = state.bar.visible;
    int followed = state.first_column;
    if (metrics.flow == CardFlow::Rows) {
        state.bar.visible = metrics.show_scroll_bar && metrics.client_height < state.content_height &&
                            state.visible_rows < state.row_count;
        followed = state.first_row;
        if (state.row_count > 0) {
            int max = std::abs(state.row_count - state.visible_rows) + 1;
            // Raise the range until the rows from `max` on fit the control: counted over the
            // shown cards in display order, the order they were laid out in.
            const std::vector<int> shown = ShownInOrder(cards);
            for (int i = 0; i < state.visible_rows - 1; ++i) {
                const long long j = static_cast<long long>(state.visible_columns) * (max - 1);
                if (j < 0 || j >= static_cast<long long>(shown.size())) break;
                const int top = cards.Bounds(shown[static_cast<std::size_t>(j)]).Top;
                int bottom = top;
                for (std::size_t k = static_cast<std::size_t>(j); k < shown.size(); ++k) {
                    bottom = std::max(bottom, cards.Bounds(shown[k]).Bottom);
                }
                if (metrics.client_height >= bottom + metrics.vert_spacing - top) break;
                ++max;
            }
            state.bar.max = max;
        }
    } else {
        state.bar.visible = metrics.client_width < state.content_width - state.scroll_offset && metrics.show_scroll_bar;
        if (state.column_count > 0) state.bar.max = state.column_count;
    }
    if (followed <= state.bar.max) state.bar.position = followed;
    if (state.bar.visible != was_visible && !rearranging_) {
        // The free area changed with the bar: lay out once more for it. The nested pass may not
        // start a third one, so a layout can never bounce between the two states.
        rearranging_ = true;
        ArrangeCards(cards, false, {}, selection);
        rearranging_ = false;
        return true;
    }
    return state.bar.visible != was_visible;
}

void CardLayout::ScrollBy(CardLayoutCards& cards, int delta) {
    if (delta == 0) return;
    const std::vector<int> shown = ShownInOrder(cards);
    if (metrics.flow == CardFlow::Columns) {
        delta = std::min(delta, -state.scroll_offset);
        delta = std::max(delta, -state.content_width);
        state.scroll_offset += delta;
        state.content_width += delta;
        if (delta != 0) {
            for (int card : shown) cards.Move(card, delta, 0);
        }
    } else {
        for (int column = 1; column <= state.column_count; ++column) {
            std::vector<int> in_column;
            for (int card : shown) {
                if (cards.Column(card) == column) in_column.push_back(card);
            }
            int shift = 0;
            const int n = static_cast<int>(in_column.size());
            if (n > 0 && state.first_row >= 1) {
                if (delta < 0) {
                    // Back up over the cards just above the first row.
                    for (int k = 0, pos = state.first_row - 2; k < -delta && pos >= 0 && pos < n; ++k, --pos) {
                        shift += metrics.vert_spacing + cards.Height(in_column[static_cast<std::size_t>(pos)]);
                    }
                } else {
                    for (int k = 0, pos = state.first_row - 1; k < delta && pos >= 0 && pos < n; ++k, ++pos) {
                        shift -= metrics.vert_spacing + cards.Height(in_column[static_cast<std::size_t>(pos)]);
                    }
                }
            }
            if (shift != 0) {
                for (int card : in_column) cards.Move(card, 0, shift);
            }
        }
    }
    RebuildViewCards(cards);
}

void CardLayout::ScrollColumnTo(CardLayoutCards& cards, int column) {
    if (column == state.first_column) return;
    column = std::clamp(column, 1, std::max(1, state.column_count));
    ScrollBy(cards, (state.first_column - column) * metrics.column_width);
    state.first_column = column;
    state.visible_columns = FittingColumns(column);
    UpdateScrollBar(cards);
}

void CardLayout::ScrollRowTo(CardLayoutCards& cards, int row) {
    if (row == state.first_row) return;
    row = std::clamp(row, 1, std::max(1, state.row_count));
    ScrollBy(cards, row - state.first_row);
    state.first_row = row;
    UpdateScrollBar(cards);
}

void CardLayout::ScrollToPosition(CardLayoutCards& cards, int position) {
    if (metrics.flow == CardFlow::Rows) {
        if (position != state.first_row) ScrollRowTo(cards, position);
    } else if (position != state.first_column) {
        ScrollColumnTo(cards, position);
    }
}

bool CardLayout::Scrolls(int position) const {
    const bool rows = metrics.flow == CardFlow::Rows;
    const int first = rows ? state.first_row : state.first_column;
    const int count = rows ? state.row_count : state.column_count;
    return position != first && std::clamp(position, 1, std::max(1, count)) != first;
}

std::optional<int> CardLayout::SelectedScrollTarget(const CardLayoutCards& cards,
                                                    const CardSelection& selection) const {
    if (selection.count != 1 || selection.card < 0 || selection.card >= cards.Count()) return std::nullopt;
    const int card = selection.card;
    if (metrics.flow == CardFlow::Columns) {
        if (state.visible_columns <= 0) return std::nullopt;
        const int c = cards.Column(card);
        const bool caption_fits = cards.CaptionRight(card) <= metrics.client_width;
        const int last = state.first_column + state.visible_columns - (caption_fits ? 0 : 1);
        if (c < state.first_column) return c;
        if (c > last) return c - state.visible_columns + 1;
        return std::nullopt;
    }
    if (state.visible_rows <= 0) return std::nullopt;
    const int r = cards.Row(card);
    const bool bottom_fits = cards.Bounds(card).Bottom <= metrics.client_height;
    const int last = state.first_row + state.visible_rows - (bottom_fits ? 0 : 1);
    if (r < state.first_row) return r;
    if (r > last) return r - state.visible_rows + 1;
    return std::nullopt;
}

bool CardLayout::ScrollToSelected(CardLayoutCards& cards, const CardSelection& selection) {
    const std::optional<int> target = SelectedScrollTarget(cards, selection);
    if (!target) return false;
    const bool columns = metrics.flow == CardFlow::Columns;
    const int before = columns ? state.first_column : state.first_row;
    if (columns) {
        ScrollColumnTo(cards, *target);
    } else {
        ScrollRowTo(cards, *target);
    }
    return (columns ? state.first_column : state.first_row) != before;
}

int ClampColumnWidth(int value, int min_width, int max_width, int hor_spacing) {
    if (min_width != 0 && value < min_width) return min_width;
    if (max_width != 0 && value > max_width) return max_width;
    if (value < 2 * hor_spacing) return 2 * hor_spacing;
    return value;
}

ColumnWidthLimits WithMaxColumnWidth(ColumnWidthLimits limits, int value, int hor_spacing) {
    if (value != 0) {
        if (limits.min_width != 0) value = std::max(value, limits.min_width);
        value = std::max(value, 2 * hor_spacing);
    }
    limits.max_width = value;
    return limits;
}

ColumnWidthLimits WithMinColumnWidth(ColumnWidthLimits limits, int value, int hor_spacing) {
    if (value != 0) {
        if (limits.max_width != 0) value = std::min(value, limits.max_width);
        value = std::max(value, 2 * hor_spacing);
        if (limits.max_width != 0 && value > limits.max_width) limits.max_width = value;
    }
    limits.min_width = value;
    return limits;
}

}  // namespace cardlist
