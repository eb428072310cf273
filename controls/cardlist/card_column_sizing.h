// The state of column sizing in the card list: a grid line dragged from the press on it to the
// release sets the column width.
#pragma once

namespace cardlist {

struct CardColumnSizing {
    bool OverGridLine = false;  // the mouse rests on a grid line: a press there starts sizing
    bool ColumnSizingActive = false;
    int SizingStartX = 0;         // the press's x, moved along as the cursor is put back on the line
    int SizingStartWidth = 0;     // the column width at the press
    int SizingLine = 0;           // the grid line under the mouse; 1 is the first column's right edge
    int SizingFirstCard = -1;     // the first card of the view when sizing began: the layout's anchor
    bool IgnoreNextMove = false;  // the next move is the one that put the cursor back on the line

    // Sizing starts at a press at `x` with the column width `width` and `firstCard` first in view.
    void Begin(int x, int width, int firstCard) {
        SizingStartX = x;
        SizingStartWidth = width;
        SizingFirstCard = firstCard;
        IgnoreNextMove = false;
        ColumnSizingActive = true;
    }
    // The card the layout keeps in place: while sizing runs the first one in view at its start.
    int AnchorCard() const { return ColumnSizingActive ? SizingFirstCard : -1; }
};

}  // namespace cardlist
