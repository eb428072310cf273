// The drop-down side bar: its backgrounds, the rotated caption with its shadow and highlight
// copies, its border and the splitter between it and the items.
#pragma once

#include "controls/menus/menu_appearance.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/geometry.h"

namespace menus {

// Paints the bar at the left (Side 0) or right (Side 1) of `drop_down`, the drop-down's area.
void DrawSideBar(TSideBar& bar, ui::TCanvas& canvas, const ui::TRect& drop_down);

}  // namespace menus
