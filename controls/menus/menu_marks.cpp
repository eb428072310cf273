// Check and radio marks, and the sub-menu arrow.
#include "controls/menus/menu_marks.h"

#include "controls/menus/menu_gradients.h"
#include "controls/menus/menu_item_checks.h"
#include "controls/menus/menu_styler.h"
#include "controls/menus/menu_util.h"

namespace menus {

void DrawMark(ui::TCanvas& canvas, const ui::TRect& square, const std::array<ui::TColor, 2>& colours, ui::TColor border,
              TGradientDirection direction, bool fill) {
    GradientRect(canvas, square, fill, border, direction, colours[1], colours[0]);
}

MarkLook CheckLook(TCustomFineMenuStyler& s, bool selected, bool radio) {
    if (selected) {
        TSelectedItem& si = s.SelectedItem();
        return radio ? MarkLook{{si.RadioColor(), si.RadioColorTo()}, si.RadioBorder(), si.RadioGradientDirection()}
                     : MarkLook{{si.CheckColor(), si.CheckColorTo()}, si.CheckBorder(), si.CheckGradientDirection()};
    }
    TIconBar& ib = s.IconBar();
    return radio ? MarkLook{{ib.RadioColor(), ib.RadioColorTo()}, ib.RadioBorder(), ib.RadioGradientDirection()}
                 : MarkLook{{ib.CheckColor(), ib.CheckColorTo()}, ib.CheckBorder(), ib.CheckGradientDirection()};
}

void DrawCheckMark(const ui::TMenuItem* item, ui::TCanvas& canvas, const ui::TRect& r, const ui::TRect& square,
                   const ui::TRect& glyph, ui::TOwnerDrawState state) {
    TCustomFineMenuStyler& s = StylerOf(item);
    const bool selected = (state & kSelected) != 0;
    const MarkLook look = CheckLook(s, selected, item->RadioItem());
    DrawMark(canvas, square, look.colours, look.border, look.direction, (state & kDisabled) == 0);
    if (selected && s.SelectedItem().BorderColor() != ui::clNone) {
        canvas.Brush().SetColor(s.SelectedItem().BorderColor());
        canvas.FrameRect(r);
    }
    const ui::TBitmap& mark = item->RadioItem() ? s.Glyphs().Radio() : s.Glyphs().Check();
    canvas.Draw(glyph.Left, glyph.Top, mark);
}

void DrawSubMenuArrow(const ui::TMenuItem* item, ui::TCanvas& canvas, const ui::TRect& r) {
    const ui::TBitmap& arrow = StylerOf(item).Glyphs().SubMenu();
    const int y = (r.Top + r.Bottom - 5) / 2;
    ui::TRect box{r.Right - 8, y, r.Right - 5, y + 6};
    CenterRect(box, arrow.Width(), arrow.Height());
    canvas.Draw(box.Left, box.Top, arrow);
}

}  // namespace menus
