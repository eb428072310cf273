// Check and radio marks in an item's icon square, and the sub-menu arrow.
#pragma once

#include <array>

#include "controls/menus/menu_appearance.h"
#include "platform/ui/forms/menus.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/geometry.h"

namespace menus {

class TCustomFineMenuStyler;

// The colours, border and direction of a check or radio square.
struct MarkLook {
    std::array<ui::TColor, 2> colours;
    ui::TColor border;
    TGradientDirection direction;
};

// The look of a selected item's marks comes from the selected item, others' from the icon bar.
MarkLook CheckLook(TCustomFineMenuStyler& s, bool selected, bool radio);
void DrawMark(ui::TCanvas& canvas, const ui::TRect& square, const std::array<ui::TColor, 2>& colours, ui::TColor border,
              TGradientDirection direction, bool fill);
// The square again in the mark's colours, the selected frame, and the check or radio glyph.
void DrawCheckMark(const ui::TMenuItem* item, ui::TCanvas& canvas, const ui::TRect& r, const ui::TRect& square,
                   const ui::TRect& glyph, ui::TOwnerDrawState state);
void DrawSubMenuArrow(const ui::TMenuItem* item, ui::TCanvas& canvas, const ui::TRect& r);

}  // namespace menus
