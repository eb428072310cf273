// Backgrounds with an optional picture, composed in their off-screen buffer.
#pragma once

#include "controls/menus/menu_appearance.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/geometry.h"

namespace menus {

void DrawBackground(ui::TCanvas& canvas, ui::TRect rect, TBackground& background, bool paint_colour);
ui::TPoint ImagePosition(const TBackground& background, const ui::TRect& rect);

}  // namespace menus
