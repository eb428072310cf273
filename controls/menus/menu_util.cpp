#include "controls/menus/menu_util.h"

#include "platform/ui/core/sysutils.h"

namespace menus {

void RaiseInvalidPropertyIndex(int index) {
    throw EInvalidPropertyIndex("Invalid property index " + std::to_string(index) + ".");
}

ui::TLogFont CreateRotatedFont(const ui::TFont& font, int angle) { return ui::LogFontOf(font, angle * 10); }

void CenterRect(ui::TRect& r, int w, int h) {
    // Integer division truncates toward zero, as the platform's does.
    const int cx = (r.Left + r.Right + w) / 2;
    r.Right = cx;
    r.Left = cx - w;
    const int cy = (r.Top + r.Bottom + h) / 2;
    r.Bottom = cy;
    r.Top = cy - h;
}

ui::TRect BitmapRect(const ui::TBitmap* bitmap) {
    if (bitmap == nullptr) return ui::TRect{0, 0, 0, 0};
    return ui::TRect{0, 0, bitmap->Width(), bitmap->Height()};
}

void SplitColor(ui::TColor color, std::uint8_t& red, std::uint8_t& green, std::uint8_t& blue) {
    const ui::TColor rgb = ui::ColorToRGB(color);
    red = static_cast<std::uint8_t>(rgb & 0xFF);
    green = static_cast<std::uint8_t>((rgb >> 8) & 0xFF);
    blue = static_cast<std::uint8_t>((rgb >> 16) & 0xFF);
}

}  // namespace menus
