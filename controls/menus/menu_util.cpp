#include "controls/menus/menu_util.h"

#include "platform/ui/core/sysutils.h"

namespace menus {

void RaiseInvalidPropertyIndex(int index) {
    throw EInvalidPropertyIndex("Invalid property index " + std::to_string(index) + ".");
}

ui::TLogFont CreateRotatedFont(const ui::TFont& font, int angle) {
    ui::TLogFont log;
    log.Height = font.Height();
    log.Width = 0;
    log.Escapement = angle * 10;
    log.Orientation = 0;
    const ui::TFontStyles style = font.Style();
    log.Weight = style.Contains(ui::TFontStyle::fsBold) ? ui::FW_BOLD : ui::FW_NORMAL;
    log.Italic = style.Contains(ui::TFontStyle::fsItalic);
    log.Underline = style.Contains(ui::TFontStyle::fsUnderline);
    log.StrikeOut = style.Contains(ui::TFontStyle::fsStrikeOut);
    log.CharSet = ui::DEFAULT_CHARSET;
    log.FaceName = font.Name();
    switch (font.Pitch()) {
    case ui::TFontPitch::fpVariable: log.PitchAndFamily = ui::VARIABLE_PITCH; break;
    case ui::TFontPitch::fpFixed: log.PitchAndFamily = ui::FIXED_PITCH; break;
    case ui::TFontPitch::fpDefault: log.PitchAndFamily = ui::DEFAULT_PITCH; break;
    }
    return log;
}

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
