// The small arrow windows that show where a dragged item would land, and the rules that place
// them and scroll a list while the cursor rests near its edges.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/ui/forms/stdctrls.h"
#include "platform/ui/graphics/geometry.h"

namespace ui {

enum class TArrowDirection : std::uint8_t { Up = 0, Down = 1, Right = 2, Left = 3 };

// The arrow's outline for each direction, in window coordinates.
using TArrowPolygon = std::array<TPoint, 7>;
const TArrowPolygon& ArrowPolygon(TArrowDirection direction);

// A lime window of one arrow's shape above the list it belongs to: a popup window (it may stand
// over the list's edge) that takes no focus and lets the mouse through. Placed in screen
// coordinates; it keeps the panel's size, the outline cuts the shape out of it.
class TArrowWindow : public TPanel {
public:
    // `list` owns it and is its parent.
    TArrowWindow(TWinControl* list, TArrowDirection direction);
    std::string ClassName() const override { return "TArrowWindow"; }
    TArrowDirection Direction() const { return direction_; }
    void SetParent(TWinControl* parent) override;

private:
    void MakePopup();
    TArrowDirection direction_;
};

// Where the arrow goes for a cursor over an item: `item_rect` is the item's rectangle in the
// list's client coordinates, the spacings those between items. In a list that scrolls
// vertically, the left half of the grown rectangle means "before" (left arrow) and the right
// half "after" (right arrow); in one that scrolls horizontally the upper half means before
// (up arrow) and the lower half after (down arrow). The position is in client coordinates.
struct TArrowPlacement {
    TArrowDirection direction = TArrowDirection::Up;
    TPoint position;
    friend bool operator==(const TArrowPlacement&, const TArrowPlacement&) = default;
};
TArrowPlacement PlaceDropArrow(const TRect& item_rect, int hor_spacing, int vert_spacing, bool scrolls_vertically,
                               TPoint cursor_client);

// The automatic scroll of one drag-over step along the scroll axis: `c` is the cursor's client
// coordinate on that axis, `extent` the list's size on it. -1 within 14 pixels of the leading
// edge, +1 within 15 of the trailing edge, else 0.
int DragAutoScrollStep(int c, int extent);

}  // namespace ui
