// The drawing helpers of the markup renderer: the stepped gradient of backgrounds, the
// desktop's file icons and scaled bitmap output. Private to controls/markup/.
#pragma once

#include <string>

#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/geometry.h"

namespace panel {

// Draws the desktop icon of `name` (a path, a file name whose extension tells its kind, or a
// stock icon number) at (x, y) when `draw`; when printing, through a bitmap scaled by `factor`.
// Returns the icon size.
ui::TSize DrawShellIcon(ui::TCanvas& canvas, int x, int y, bool large, bool draw, bool print, double factor,
                        const std::string& name);

// Stripes of `steps` colours from `start` to `end` across `rect` (left to right when
// horizontal, else top to bottom); a border colour other than clNone outlines the rectangle.
void GradientFill(ui::TCanvas& canvas, ui::TColor start, ui::TColor end, bool horizontal, const ui::TRect& rect,
                  int steps, ui::TColor border);

// The whole bitmap drawn scaled into `dest`.
void DrawScaledBitmap(ui::TCanvas& canvas, const ui::TRect& dest, const ui::TBitmap& bitmap);

}  // namespace panel
