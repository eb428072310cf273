// Shared routines of the menu painting: the rotated-font maker, rectangle arithmetic, colour
// splitting and composing, and the exception of the appearance objects.
#pragma once

#include <cstdint>

#include "platform/ui/core/exceptions.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/colors.h"
#include "platform/ui/graphics/geometry.h"
#include "platform/ui/graphics/graphics.h"
#include "platform/ui/graphics/rotated_text.h"

namespace menus {

// Raised by the appearance objects' indexed colour accessors with "Invalid property index %d.".
class EInvalidPropertyIndex : public ui::Exception {
public:
    explicit EInvalidPropertyIndex(const std::string& message) : ui::Exception(message) {}
};
// Raises EInvalidPropertyIndex for `index`.
[[noreturn]] void RaiseInvalidPropertyIndex(int index);

// A logical font like `font`, its baseline turned by `angle` degrees counter-clockwise.
ui::TLogFont CreateRotatedFont(const ui::TFont& font, int angle);

inline int RectWidth(const ui::TRect& r) { return r.Right - r.Left; }
inline int RectHeight(const ui::TRect& r) { return r.Bottom - r.Top; }
// Makes `r` a `w` x `h` rectangle centred on the old one; an odd difference leaves the extra
// pixel of margin at the right or bottom.
void CenterRect(ui::TRect& r, int w, int h);
// (0, 0, width, height) of the bitmap, or an empty rectangle for none.
ui::TRect BitmapRect(const ui::TBitmap* bitmap);
// The colour made RGB (system colours resolved) and split into red, green and blue.
void SplitColor(ui::TColor color, std::uint8_t& red, std::uint8_t& green, std::uint8_t& blue);
// alpha << 24 | blue << 16 | green << 8 | red.
constexpr std::uint32_t MakeColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t alpha) {
    return static_cast<std::uint32_t>(alpha) << 24 | static_cast<std::uint32_t>(blue) << 16 |
           static_cast<std::uint32_t>(green) << 8 | red;
}
inline int Min(int a, int b) { return a < b ? a : b; }
inline int Max(int a, int b) { return a > b ? a : b; }

}  // namespace menus
