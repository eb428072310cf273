// The gradient primitives the menus paint with.
#pragma once

#include "controls/menus/menu_appearance.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/geometry.h"

namespace menus {

// Color is the start colour, ColorTo the end colour (clNone: the same as Color).
void GradientFill(ui::TBitmap* bitmap, ui::TCanvas& canvas, const ui::TRect& rect, TGradientDirection direction,
                  ui::TColor color_to, ui::TColor color);
void GradientRectClipped(ui::TBitmap* bitmap, ui::TCanvas& canvas, const ui::TRect& rect, TGradientDirection direction,
                         ui::TColor color_to, ui::TColor color, const ui::TRect& clip);
void GradientRect(ui::TCanvas& canvas, const ui::TRect& rect, bool fill, ui::TColor border,
                  TGradientDirection direction, ui::TColor color_to, ui::TColor color);
void MirrorGradientRect(ui::TCanvas& canvas, const ui::TRect& rect, bool fill, ui::TColor border,
                        TGradientDirection direction, ui::TColor mirror_to, ui::TColor mirror, ui::TColor color_to,
                        ui::TColor color);
void GradientLine(ui::TCanvas& canvas, ui::TRect rect, int margin, int width, TGradientType type,
                  TGradientDirection direction, ui::TColor color_to, ui::TColor color);

}  // namespace menus
