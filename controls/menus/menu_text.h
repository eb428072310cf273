// The texts of an item: fonts and colours by state, note lines, and drawing through the
// platform's text drawing or, when the styler asks for smoothing, the anti-aliasing text layer.
#pragma once

#include <cstdint>
#include <string>

#include "platform/ui/forms/menus.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/geometry.h"

namespace menus {

// Text-format bits of the item texts, as the platform's text drawing numbers them.
inline constexpr std::uint32_t DT_LEFT = 0, DT_CENTER = 1, DT_RIGHT = 2, DT_SINGLELINE = 0x20, DT_EXPANDTABS = 0x40,
                               DT_NOCLIP = 0x100, DT_CALCRECT = 0x400, DT_RTLREADING = 0x20000;

// Draws, or with DT_CALCRECT measures into `rect`, one text of the item.
void DrawMenuText(ui::TMenuItem* item, ui::TCanvas& canvas, const std::string& text, std::uint32_t format,
                  ui::TOwnerDrawState state, ui::TRect& rect);

// The platform's text drawing with the mnemonic ("&") underlined under its character.
int DrawTextA(ui::TCanvas& canvas, const std::string& text, ui::TRect& rect, std::uint32_t format);
// The extent of one line of text.
ui::TSize TextSize(ui::TCanvas& canvas, const std::string& text);

}  // namespace menus
