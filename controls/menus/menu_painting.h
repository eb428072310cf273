// Painting of one item of a styled menu from its current styler: the menu-bar gradient, hover
// and selected buttons, the drop-down's side bar, icon bar and background, separators, check and
// radio marks, images, the sub-menu arrow, the caption and the shortcut text.
#pragma once

#include "platform/ui/forms/menus.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/geometry.h"

namespace menus {

void DrawItem(ui::TMenuItem* item, ui::TCanvas& canvas, ui::TRect rect, bool side_bar, ui::TOwnerDrawState state);

}  // namespace menus
