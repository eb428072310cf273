// The texts of an item: fonts and colours by state, note lines, and drawing through the
// platform's text drawing or, when the styler asks for smoothing, the anti-aliasing text layer.
#pragma once

#include <string>

#include "platform/ui/forms/menus.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/draw_text.h"
#include "platform/ui/graphics/geometry.h"

namespace menus {

// Draws, or with dtCalcRect measures into `rect`, one text of the item.
void DrawMenuText(ui::TMenuItem* item, ui::TCanvas& canvas, const std::string& text, ui::TDrawTextFlags format,
                  ui::TOwnerDrawState state, ui::TRect& rect);

// The platform's text drawing with the mnemonic ("&") underlined under its character.
int DrawTextA(ui::TCanvas& canvas, const std::string& text, ui::TRect& rect, ui::TDrawTextFlags format);
// The extent of one line of text.
ui::TSize TextSize(ui::TCanvas& canvas, const std::string& text);

}  // namespace menus
