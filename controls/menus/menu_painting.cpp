// Painting of one item: the drop-down behind it, its look by state, its glyph and texts.
#include "controls/menus/menu_painting.h"

#include <algorithm>
#include <array>

#include "controls/menus/fine_main_menu.h"
#include "controls/menus/menu_background.h"
#include "controls/menus/menu_gradients.h"
#include "controls/menus/menu_item_checks.h"
#include "controls/menus/menu_marks.h"
#include "controls/menus/menu_measuring.h"
#include "controls/menus/menu_shortcuts.h"
#include "controls/menus/menu_side_bar.h"
#include "controls/menus/menu_styler.h"
#include "controls/menus/menu_text.h"
#include "controls/menus/menu_util.h"
#include "platform/ui/controls/imagelist.h"
#include "platform/ui/forms/actions.h"
#include "platform/ui/forms/menu_bar.h"
#include "platform/ui/graphics/draw_text.h"

namespace menus {

namespace {

ui::TMenuWindow* WindowOfCanvas(ui::TCanvas& canvas) { return ui::TMenuWindow::FromCanvas(canvas); }

// The union of the item's drop-down items, relative to its own top-left, right edge less the
// platform's extra.
ui::TRect DropDownArea(const ui::TMenuItem* item, ui::TCanvas& canvas) {
    ui::TMenuWindow* w = WindowOfCanvas(canvas);
    if (w == nullptr || w->ItemCount() == 0) return ui::TRect{0, 0, canvas.Width(), canvas.Height()};
    (void)item;
    ui::TRect u = w->ItemRect(0);
    for (int i = 1; i < w->ItemCount(); ++i) {
        const ui::TRect r = w->ItemRect(i);
        u = ui::TRect{std::min(u.Left, r.Left), std::min(u.Top, r.Top), std::max(u.Right, r.Right),
                      std::max(u.Bottom, r.Bottom)};
    }
    return ui::TRect{0, 0, u.Width() - kDropDownExtra, u.Height()};
}

void DrawSeparator(const ui::TMenuItem* item, ui::TCanvas& canvas, ui::TRect r) {
    TSeparator& sep = StylerOf(item).Separator();
    r.Left += StylerOf(item).IconBar().Size();
    const int y = r.Top + RectHeight(r) / 2;
    const ui::TRect line{r.Left, y - sep.Width() / 2, r.Right, y + (sep.Width() + 1) / 2};
    GradientLine(canvas, line, sep.Margin(), sep.GradientWidth(), sep.GradientType(), sep.GradientDirection(),
                 sep.ColorTo(), sep.Color());
}

ui::TImageList* ActionImages(const ui::TMenuItem* item) {
    const auto* action = dynamic_cast<const ui::TContainedAction*>(item->Action());
    return action != nullptr && action->ActionList() != nullptr ? action->ActionList()->Images() : nullptr;
}

void DrawContent(ui::TMenuItem* item, ui::TCanvas& canvas, const ui::TRect& r, ui::TOwnerDrawState state) {
    TFineMainMenu* menu = StyledMenuOf(item);
    if (menu == nullptr) return;
    TCustomFineMenuStyler& s = *menu->CurrentStyler();
    const bool root = IsRootItem(item);
    const bool selected = (state & kSelected) != 0;
    const bool hot = (state & kHot) != 0;
    TRootItem& ri = s.RootItem();
    // 1. The item's background.
    if (root && (selected || hot)) {
        const std::array<ui::TColor, 4> c =
            selected ? std::array<ui::TColor, 4>{ri.SelectedColor(), ri.SelectedColorTo(), ri.SelectedColorMirror(),
                                                 ri.SelectedColorMirrorTo()}
                     : std::array<ui::TColor, 4>{ri.HoverColor(), ri.HoverColorTo(), ri.HoverColorMirror(),
                                                 ri.HoverColorMirrorTo()};
        const ui::TColor border = selected ? ri.SelectedBorderColor() : ri.HoverBorderColor();
        const TGradientDirection dir = selected ? ri.SelectedGradientDirection() : ri.HoverGradientDirection();
        if (c[2] != ui::clNone) {
            MirrorGradientRect(canvas, r, true, border, dir, c[3], c[2], c[1], c[0]);
        } else {
            GradientRect(canvas, r, true, border, dir, c[1], c[0]);
        }
        if (selected && item->Count() > 0) {
            canvas.Brush().SetColor(s.Background().Color());
            canvas.FillRect(ui::TRect{r.Left, r.Bottom - 1, r.Right, r.Bottom});
        }
    } else if (root && ri.Color() != ui::clNone) {
        ui::TMenuWindow* w = GetMenuWindow(item->GetParentMenu());
        if (w == nullptr) return;
        ui::TRect c{0, r.Top, w->WindowRect().Width(), r.Bottom};
        ui::TRect p = r;
        if (IsLastRootItem(item)) p.Right = c.Right;
        c.Right += 100;
        GradientRectClipped(nullptr, canvas, c, ri.GradientDirection(), ri.ColorTo(), ri.Color(), p);
    } else if (!root && selected) {
        TSelectedItem& si = s.SelectedItem();
        MirrorGradientRect(canvas, r, true, si.BorderColor(), si.GradientDirection(), si.ColorMirrorTo(),
                           si.ColorMirror(), si.ColorTo(), si.Color());
    }
    // 2.-4. Alignment, icon square and what goes into it.
    const ui::TDrawTextFlags alignment = root ? ui::TDrawTextFlags::dtCenter : ui::TDrawTextFlags::dtLeft;
    ui::TRect icon{r.Left, r.Top + 1, r.Left + s.IconBar().Size(), r.Bottom - 1};
    CenterRect(icon, std::min(RectWidth(icon), RectHeight(icon)), std::min(RectWidth(icon), RectHeight(icon)));
    ui::TImageList* images = menu->Images();
    ui::TImageList* action_images = ActionImages(item);
    const bool has_image = images != nullptr && item->ImageIndex() >= 0 && item->ImageIndex() < images->Count();
    const bool has_action_image =
        action_images != nullptr && item->ImageIndex() != -1 && item->ImageIndex() < action_images->Count();
    const bool has_bitmap = item->HasBitmap() && !const_cast<ui::TMenuItem*>(item)->Bitmap().Empty() && !has_image;
    const bool draw_check = item->Checked() && !root && !has_image && !has_bitmap;
    int glyph_width = 0;
    if (has_image || has_action_image || has_bitmap || draw_check) {
        ui::TImageList* list = has_action_image ? action_images : images;
        if (!has_action_image && !item->Enabled() && menu->DisabledImages() != nullptr) list = menu->DisabledImages();
        if (item->Checked() && !draw_check) {
            const MarkLook look = CheckLook(s, selected, false);
            DrawMark(canvas, icon, look.colours, look.border, look.direction, item->Enabled());
        }
        if ((has_image || has_action_image) && list != nullptr) {
            ui::TRect g = icon;
            CenterRect(g, list->Width(), list->Height());
            if (root) {
                g = ui::Bounds(r.Left + 6, g.Top, list->Width(), list->Height());
            }
            // The images made for disabled items keep their own look; others are greyed.
            const bool normal_look = item->Enabled() || list == menu->DisabledImages();
            list->Draw(canvas, g.Left, g.Top, item->ImageIndex(), normal_look);
            glyph_width = list->Width();
        } else if (draw_check) {
            const ui::TBitmap& mark = item->RadioItem() ? s.Glyphs().Radio() : s.Glyphs().Check();
            ui::TRect g = icon;
            CenterRect(g, mark.Width(), mark.Height());
            DrawCheckMark(item, canvas, r, icon, g, state);
        } else if (has_bitmap) {
            ui::TBitmap& bitmap = item->Bitmap();
            ui::TRect g = icon;
            CenterRect(g, bitmap.Width(), bitmap.Height());
            bitmap.SetTransparent(true);
            bitmap.SetTransparentMode(ui::TTransparentMode::tmAuto);
            canvas.Draw(g.Left, g.Top, bitmap);
            glyph_width = bitmap.Width();
        }
    }
    // 6. The sub-menu arrow.
    if (!root && item->Count() > 0) DrawSubMenuArrow(item, canvas, r);
    // 7. The caption.
    ui::TRect t = r;
    if (!root)
        t.Left += s.IconBar().Size() + 8;
    else if (has_image || has_bitmap)
        t.Left += glyph_width;
    const ui::TDrawTextFlags format = alignment | ui::TDrawTextFlags::dtSingleLine;
    ui::TRect measured = t;
    DrawMenuText(item, canvas, item->Caption(), format | ui::TDrawTextFlags::dtCalcRect | ui::TDrawTextFlags::dtNoClip,
                 state, measured);
    const int dy = (RectHeight(r) - RectHeight(measured)) / 2;
    measured.Top += dy;
    measured.Bottom += dy;
    if (root) {
        measured.Left = r.Left;
        measured.Right = r.Right;
    }
    DrawMenuText(item, canvas, item->Caption(), format, state, measured);
    // 8. The shortcut.
    if (!root && item->ShortCut() != ui::scNone) {
        measured.Right = r.Right - 10;
        DrawMenuText(item, canvas, ShortCutText(item->ShortCut(), menu->IntlKeybShortCuts()),
                     ui::TDrawTextFlags::dtRight, state, measured);
    }
}

}  // namespace

void DrawItem(ui::TMenuItem* item, ui::TCanvas& canvas, ui::TRect rect, bool side_bar, ui::TOwnerDrawState state) {
    TFineMainMenu* menu = StyledMenuOf(item);
    if (menu == nullptr) return;
    TCustomFineMenuStyler& s = *menu->CurrentStyler();
    TSideBar& bar = s.SideBar();
    ui::TRect r = rect;
    const bool bar_applies = side_bar && !InLaterColumn(item);
    if (bar_applies) {
        const int shift = bar.Size() + bar.SplitterWidth();
        r.Left += shift;
        if (bar.Side() == 1) {
            r.Left -= shift;
            r.Right -= shift;
        }
    }
    if (!IsRootItem(item)) {
        const ui::TRect d = DropDownArea(item, canvas);
        // The side bar, painted with the first visible item.
        if (bar_applies && IsFirstVisible(item)) DrawSideBar(bar, canvas, d);
        // The icon bar: one gradient over the whole drop-down, each item painting its part.
        TIconBar& ib = s.IconBar();
        const ui::TRect strip{r.Left, d.Top, r.Left + ib.Size(), d.Bottom};
        GradientRectClipped(nullptr, canvas, strip, ib.GradientDirection(), ib.ColorTo(), ib.Color(), r);
        if (ib.SeparatorColor() != ui::clNone) {
            canvas.Brush().SetColor(ib.SeparatorColor());
            canvas.FillRect(
                ui::TRect{strip.Right - 1, std::max(strip.Top, r.Top), strip.Right, std::min(strip.Bottom, r.Bottom)});
        }
        // The background.
        TBackground& bg = s.Background();
        ui::TRect b{strip.Right, r.Top, r.Right, r.Bottom};
        const ui::TRect g{strip.Right, d.Top, r.Right, d.Bottom};
        if (bg.MarginX() > 0 || bg.MarginY() > 0) {
            canvas.Brush().SetColor(bg.Color());
            canvas.FillRect(b);
            b = ui::TRect{b.Left + bg.MarginX(), b.Top + bg.MarginY(), b.Right - bg.MarginX(), b.Bottom - bg.MarginY()};
        }
        GradientRectClipped(nullptr, canvas, g, bg.GradientDirection(), bg.ColorTo(), bg.Color(), b);
        if (bg.HasImage()) canvas.CopyRect(b, s.BackgroundCache().Picture(bg, d).Canvas(), b);
    }
    if (item->IsLine()) {
        DrawSeparator(item, canvas, r);
    } else {
        DrawContent(item, canvas, r, state);
    }
    if (!IsRootItem(item)) FramePopupWindow(item, canvas);
}

}  // namespace menus
