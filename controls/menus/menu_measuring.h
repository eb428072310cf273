// The sizes of menu-bar buttons and drop-down items, for the platform's measure requests.
#pragma once

#include "platform/ui/forms/menus.h"
#include "platform/ui/graphics/canvas.h"

namespace menus {

// The extra width the platform gives an owner-drawn drop-down item beyond its measure.
inline constexpr int kDropDownExtra = 17;

void MeasureItem(ui::TMenuItem* item, ui::TCanvas& canvas, int& width, int& height, bool side_bar);

}  // namespace menus
