// Text in a logical font that may be rotated: the font record of the platform (height,
// escapement in tenths of a degree counter-clockwise, weight, style bits, character set, pitch
// and face name) and drawing one line of text with it.
#pragma once

#include <cstdint>
#include <string>

#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/geometry.h"

namespace ui {

inline constexpr int FW_NORMAL = 400;
inline constexpr int FW_BOLD = 700;
inline constexpr std::uint8_t DEFAULT_PITCH = 0;
inline constexpr std::uint8_t FIXED_PITCH = 1;
inline constexpr std::uint8_t VARIABLE_PITCH = 2;

struct TLogFont {
    int Height = 0;
    int Width = 0;
    int Escapement = 0;  // tenths of a degree, counter-clockwise
    int Orientation = 0;
    int Weight = FW_NORMAL;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    std::uint8_t CharSet = 0;
    std::uint8_t OutPrecision = 0;
    std::uint8_t ClipPrecision = 0;
    std::uint8_t Quality = 0;
    std::uint8_t PitchAndFamily = 0;
    std::string FaceName;
};

// The logical font of `font` (face, height, weight and style bits, pitch) turned by
// `escapement` tenths of a degree, counter-clockwise, with the given orientation.
TLogFont LogFontOf(const TFont& font, int escapement, int orientation = 0);

// The text's extent along and across its baseline (as if it were not rotated).
TSize RotatedTextExtent(const TLogFont& font, const std::string& text);
// Draws `text` in `color` with its cell's top-left corner at (x, y), the baseline turned by the
// font's escapement around that corner, clipped to `clip`, smoothed as the canvas's text is.
void RotatedTextOut(TCanvas& canvas, const TLogFont& font, int x, int y, const TRect& clip, const std::string& text,
                    TColor color);

}  // namespace ui
