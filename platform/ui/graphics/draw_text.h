// DrawText: formatted text in a rectangle, with the platform's text-drawing rules:
// - Lines are as high as the font's cell (TextHeight); single-line text ignores line breaks.
// - With word breaks, lines break at spaces (and at explicit line breaks) so that they fit the
//   rectangle's width; a word wider than the rectangle stays whole on its own line.
// - Vertical centring and bottom alignment apply to single-line text only; wrapped text always
//   starts at the top.
// - End ellipsis: a line wider than the rectangle loses characters at its end until it fits
//   with "..." appended.
// - The text is clipped to the rectangle unless dtNoClip is given.
// - Colours come from the canvas: the font colour for the glyphs; with a solid brush the text
//   cells are filled with the brush colour first, with a clear brush the background shows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/geometry.h"

namespace ui {

// Format flags; combine with |. Horizontal: left (default), centre, right. Vertical (single
// line only): top (default), centre, bottom.
enum class TDrawTextFlags : std::uint32_t {
    dtLeft = 0,
    dtTop = 0,
    dtCenter = 1u << 0,
    dtRight = 1u << 1,
    dtVCenter = 1u << 2,
    dtBottom = 1u << 3,
    dtWordBreak = 1u << 4,
    dtSingleLine = 1u << 5,
    dtNoClip = 1u << 6,
    // Measures only: nothing is drawn; the rectangle's right and bottom edges are moved to the
    // extent of the formatted text.
    dtCalcRect = 1u << 7,
    dtEndEllipsis = 1u << 8,
};

constexpr TDrawTextFlags operator|(TDrawTextFlags a, TDrawTextFlags b) {
    return static_cast<TDrawTextFlags>(static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b));
}
constexpr bool HasFlag(TDrawTextFlags set, TDrawTextFlags flag) {
    return (static_cast<std::uint32_t>(set) & static_cast<std::uint32_t>(flag)) != 0;
}

// Draws (or, with dtCalcRect, measures) UTF-8 `text` in `rect` with the canvas's font and
// brush. Returns the height of the formatted text in pixels (0 for an empty text).
int DrawText(TCanvas& canvas, const std::string& text, TRect& rect, TDrawTextFlags flags);

// The lines `text` is broken into for `width` pixels (exposed for measuring and tests).
std::vector<std::string> BreakTextLines(const TCanvas& canvas, const std::string& text, int width,
                                        TDrawTextFlags flags);

}  // namespace ui
