// Colour mixing and the banded gradients panels paint their bodies, captions and status bars
// with.
#pragma once

#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/colors.h"
#include "platform/ui/graphics/geometry.h"

namespace panel {

// `percent` of `a` and the rest of `b`, channel by channel, rounded to nearest with ties to
// even. A percent of 100 gives `a` back unchanged, even a system colour; otherwise both go
// through ColorToRGB first.
ui::TColor MixColors(ui::TColor a, ui::TColor b, int percent);

// Fills `rect` with `steps` bands from `from` to `to` (system colours resolved): left to right
// when `horizontal`, else top to bottom. Steps 0 becomes 1 and more than 32 become 32. Band i
// starts at Round(i x extent / steps) and is Trunc(extent / steps) + 1 long (kept inside the
// rectangle), its channels From + Round(i x (To - From) / steps). The pen and brush are left
// with the last band's colour, as a fill with them leaves them.
void DrawGradient(ui::TCanvas& canvas, ui::TColor from, ui::TColor to, bool horizontal, const ui::TRect& rect,
                  int steps);

// Two gradients of 32 steps, split at start + extent div 2 across the direction: `color` to
// `color_to` in the first half (left or top), `color_mirror` to `color_mirror_to` in the
// second. A `frame_color` other than clNone frames the whole rectangle in it.
void DrawMirrorGradient(ui::TCanvas& canvas, const ui::TRect& rect, ui::TColor color, ui::TColor color_to,
                        ui::TColor color_mirror, ui::TColor color_mirror_to, bool horizontal, ui::TColor frame_color);

}  // namespace panel
