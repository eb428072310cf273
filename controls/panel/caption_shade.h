// The pre-rendered background of a panel's caption bar: one picture per shade kind, computed
// pixel by pixel from the caption colour, the shade light and the grain.
#pragma once

#include <cstdint>
#include <random>

#include "controls/panel/panel_caption.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/colors.h"

namespace panel {

struct CaptionShadeSpec {
    TShadeType type = TShadeType::stNormal;
    ui::TColor color = ui::clHighlight;  // the caption colour (system colours allowed)
    int light = kMinShadeLight;          // only its low 8 bits count
    int grain = 32;                      // range of the noise
    bool caption_on_left = false;
};

// The colour of intensity `i` over the caption colour's channels: each channel i x c div 255,
// kept to its low 8 bits (a negative intensity wraps, as the shades were first drawn).
ui::TColor ShadeColor(int intensity, ui::TColor rgb);

// Renders the shade into `bitmap`, which takes `width` x `height` (the caption bar's size).
// For the formulas a zero width counts as 20 (caption on the left) or 100 (on top) and a zero
// height as 100 or 20. Shades whose formula would divide by zero on this size (the hard bump
// on captions narrower than 6 or lower than 2 pixels, the radial shades on square captions)
// fill the bitmap with the caption colour instead. The noise and metal shades draw from
// `random`.
void RenderShade(ui::TBitmap& bitmap, int width, int height, const CaptionShadeSpec& spec, std::mt19937& random);

}  // namespace panel
