// 3-D frames: the bevelled edges drawn around cards and panels.
#pragma once

#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/colors.h"
#include "platform/ui/graphics/geometry.h"

namespace ui {

// How a bevel is cut into its surface.
enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

// The edge colours of a bevel: raised and space have the highlight on the top and left and the
// shadow on the bottom and right, lowered the other way round. No colours (clNone) for bvNone.
struct TBevelColors {
    TColor top_left = clNone;
    TColor bottom_right = clNone;
};
TBevelColors BevelColors(TBevelCut cut);

// Draws `width` nested one-pixel frames inside `rect`, each with its top and left edges in
// `top_color` and its right and bottom edges in `bottom_color`; the top-right and bottom-left
// corner pixels belong to the bottom colour. `rect` moves inwards by `width` on every side, so
// the next frame step can follow on directly. A colour of clNone leaves its edges undrawn (the
// rectangle still moves). The canvas's brush and pen are left as they were.
void Frame3D(TCanvas& canvas, TRect& rect, TColor top_color, TColor bottom_color, int width);

}  // namespace ui
