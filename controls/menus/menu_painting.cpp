#include "controls/menus/menu_painting.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <memory>
#include <vector>

#include "controls/menus/fine_main_menu.h"
#include "controls/menus/gdip.h"
#include "controls/menus/menu_styler.h"
#include "controls/menus/menu_util.h"
#include "platform/ui/controls/imagelist.h"
#include "platform/ui/controls/screen.h"
#include "platform/ui/core/sysutils.h"
#include "platform/ui/forms/actions.h"
#include "platform/ui/forms/menu_bar.h"
#include "platform/ui/graphics/draw_text.h"
#include "platform/ui/graphics/rotated_text.h"

namespace menus {

namespace {

constexpr ui::TOwnerDrawState kSelected = ui::odSelected;
constexpr ui::TOwnerDrawState kDisabled = ui::odDisabled;
constexpr ui::TOwnerDrawState kDefault = ui::odDefault;
constexpr ui::TOwnerDrawState kHot = ui::odHotLight;
// The extra width the platform gives an owner-drawn drop-down item beyond its measure.
constexpr int kDropDownExtra = 17;
const char* const kWinKeyPrefix = "Win+";
const char* const kNoteBreak = "\\n";

TFineMainMenu* StyledMenuOf(const ui::TMenuItem* item) {
    return item != nullptr ? dynamic_cast<TFineMainMenu*>(item->GetParentMenu()) : nullptr;
}

TCustomFineMenuStyler& StylerOf(const ui::TMenuItem* item) { return *StyledMenuOf(item)->CurrentStyler(); }

bool ShowNotes(const ui::TMenuItem* item) {
    const TFineMainMenu* menu = StyledMenuOf(item);
    return menu != nullptr && menu->ShowNotes();
}

bool HasNotes(const ui::TMenuItem* item, const std::string& text) {
    return ShowNotes(item) && text.find(kNoteBreak) != std::string::npos;
}

ui::TColor EndColour(ui::TColor color_to, ui::TColor color) { return color_to == ui::clNone ? color : color_to; }

// The platform's text drawing: "&" marks the mnemonic, which is underlined.
ui::TDrawTextFlags ToFlags(std::uint32_t format) {
    ui::TDrawTextFlags flags = ui::TDrawTextFlags::dtLeft;
    if (format & DT_CENTER) flags = flags | ui::TDrawTextFlags::dtCenter;
    if (format & DT_RIGHT) flags = flags | ui::TDrawTextFlags::dtRight;
    if (format & DT_SINGLELINE) flags = flags | ui::TDrawTextFlags::dtSingleLine;
    if (format & DT_NOCLIP) flags = flags | ui::TDrawTextFlags::dtNoClip;
    if (format & DT_CALCRECT) flags = flags | ui::TDrawTextFlags::dtCalcRect;
    return flags;
}

int DrawTextA(ui::TCanvas& canvas, const std::string& text, ui::TRect& rect, std::uint32_t format) {
    const std::string shown = ui::StripHotkey(text);
    const int height = ui::DrawText(canvas, shown, rect, ToFlags(format));
    if ((format & DT_CALCRECT) != 0) return height;
    // Underline the mnemonic under its character.
    std::size_t at = std::string::npos;
    for (std::size_t i = 0, shown_pos = 0; i < text.size(); ++i, ++shown_pos) {
        if (text[i] != '&' || i + 1 >= text.size()) continue;
        ++i;
        if (text[i] != '&') {
            at = shown_pos;
            break;
        }
    }
    if (at == std::string::npos || at >= shown.size()) return height;
    const int total = canvas.TextWidth(shown);
    int x = rect.Left;
    if (format & DT_CENTER) x = rect.Left + (rect.Width() - total) / 2;
    if (format & DT_RIGHT) x = rect.Right - total;
    x += canvas.TextWidth(shown.substr(0, at));
    const int w = canvas.TextWidth(shown.substr(at, 1));
    // The text stands at the rectangle's top (single lines are not centred without being asked).
    const int top = rect.Top;
    // Below the baseline where the font puts its own underline, clear of the glyphs.
    const ui::TTextMetric metric = canvas.TextMetric();
    const int underline = top + metric.Ascent + metric.UnderlinePosition;
    ui::TBrush saved;
    saved.Assign(&canvas.Brush());
    canvas.Brush().SetColor(canvas.Font().Color());
    canvas.FillRect(ui::TRect{x, underline, x + w, underline + metric.UnderlineThickness});
    canvas.SetBrush(saved);
    return height;
}

ui::TSize TextSize(ui::TCanvas& canvas, const std::string& text) {
    ui::TRect r{0, 0, 0, 0};
    DrawTextA(canvas, text, r, DT_CALCRECT | DT_SINGLELINE);
    return ui::TSize{r.Width(), r.Height()};
}

// Splits a caption at its note breaks.
std::vector<std::string> NoteLines(const std::string& caption) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t at; (at = caption.find(kNoteBreak, start)) != std::string::npos; start = at + 2) {
        lines.push_back(caption.substr(start, at - start));
    }
    lines.push_back(caption.substr(start));
    return lines;
}

std::string Capitalised(std::string name) {
    for (std::size_t i = 1; i < name.size(); ++i) {
        name[i] = static_cast<char>(name[i - 1] == '(' ? std::toupper(static_cast<unsigned char>(name[i]))
                                                       : std::tolower(static_cast<unsigned char>(name[i])));
    }
    return name;
}

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
        u = ui::TRect{std::min(u.Left, r.Left), std::min(u.Top, r.Top), std::max(u.Right, r.Right), std::max(u.Bottom, r.Bottom)};
    }
    return ui::TRect{0, 0, u.Width() - kDropDownExtra, u.Height()};
}

void DrawMark(ui::TCanvas& canvas, const ui::TRect& square, const std::array<ui::TColor, 2>& colours, ui::TColor border,
              TGradientDirection direction, bool fill) {
    GradientRect(canvas, square, fill, border, direction, colours[1], colours[0]);
}

struct MarkLook {
    std::array<ui::TColor, 2> colours;
    ui::TColor border;
    TGradientDirection direction;
};

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

void SideBarCaption(TSideBar& bar, ui::TCanvas& canvas, const ui::TRect& rect) {
    const int angle = bar.Direction() == TDirection::dUpToDown ? -90 : 90;
    const ui::TLogFont font = CreateRotatedFont(bar.Font(), angle);
    const ui::TSize s = ui::RotatedTextExtent(font, bar.Caption());
    const int height = RectHeight(rect);
    int x = static_cast<int>(std::nearbyint((bar.Size() - s.cy) / 2.0 - 0.5));
    ui::TRect clip = rect;
    clip.Bottom += 1;
    int y = 0;
    const bool down_to_up = bar.Direction() == TDirection::dDownToUp;
    const ui::TAlignment a = bar.Alignment();
    if (a == ui::TAlignment::taCenter) {
        y = static_cast<int>(std::nearbyint((height + s.cx) / 2.0 - 0.5));
    } else if ((a == ui::TAlignment::taRightJustify) == down_to_up) {
        y = bar.CaptionMargin() + s.cx;
    } else {
        y = height - bar.CaptionMargin();
        const TBackgroundPosition p = bar.Image().Position();
        if (bar.Image().HasImage() && (p == TBackgroundPosition::bpBottomLeft || p == TBackgroundPosition::bpBottomRight)) {
            y -= bar.Image().ImageOrNull()->Height();
        }
    }
    if (!down_to_up) {
        y -= s.cx;
        x += s.cy + 1;
    }
    x += rect.Left;
    y += rect.Top;
    const int d = bar.Depth();
    if (bar.HighlightColor() != ui::clNone) ui::RotatedTextOut(canvas, font, x - d, y + d, clip, bar.Caption(), bar.HighlightColor());
    if (bar.ShadowColor() != ui::clNone) ui::RotatedTextOut(canvas, font, x + d, y - d, clip, bar.Caption(), bar.ShadowColor());
    ui::RotatedTextOut(canvas, font, x, y, clip, bar.Caption(), bar.Font().Color());
}

void SideBarBorder(TSideBar& bar, ui::TCanvas& canvas, ui::TRect rect) {
    if (bar.BorderColor() == ui::clNone) return;
    if (bar.Side() == 0) rect.Right -= bar.SplitterWidth();
    else rect.Left += bar.SplitterWidth();
    canvas.Brush().SetColor(bar.BorderColor());
    canvas.FrameRect(rect);
}

void SideBarSplitter(TSideBar& bar, ui::TCanvas& canvas, const ui::TRect& rect) {
    if (bar.SplitterColor() == ui::clNone || bar.Side() > 1) return;
    const ui::TRect strip = bar.Side() == 0 ? ui::TRect{rect.Right - bar.SplitterWidth(), rect.Top, rect.Right, rect.Bottom}
                                            : ui::TRect{rect.Left, rect.Top, rect.Left + bar.SplitterWidth(), rect.Bottom};
    GradientLine(canvas, strip, bar.SplitterMargin(), bar.SplitterGradientWidth(), bar.SplitterGradientType(),
                 TGradientDirection::gdVertical, bar.SplitterColorTo(), bar.SplitterColor());
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
        const std::array<ui::TColor, 4> c = selected
            ? std::array<ui::TColor, 4>{ri.SelectedColor(), ri.SelectedColorTo(), ri.SelectedColorMirror(), ri.SelectedColorMirrorTo()}
            : std::array<ui::TColor, 4>{ri.HoverColor(), ri.HoverColorTo(), ri.HoverColorMirror(), ri.HoverColorMirrorTo()};
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
    const std::uint32_t alignment = root ? DT_CENTER : DT_LEFT;
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
    if (!root) t.Left += s.IconBar().Size() + 8;
    else if (has_image || has_bitmap) t.Left += glyph_width;
    const std::uint32_t format = alignment | DT_SINGLELINE | DT_EXPANDTABS;
    ui::TRect measured = t;
    DrawMenuText(item, canvas, item->Caption(), format | DT_CALCRECT | DT_NOCLIP, state, measured);
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
        DrawMenuText(item, canvas, ShortCutText(item->ShortCut(), menu->IntlKeybShortCuts()), DT_RIGHT, state, measured);
    }
}

// Item texts through the anti-aliasing layer: one graphics object on the canvas and one string
// format (no wrapping, the mnemonic underlined) for a whole text, a family and font per font in
// use; everything is freed with the writer.
class GdipTextWriter {
public:
    GdipTextWriter(ui::TCanvas& canvas, TAntiAlias anti_alias)
        : graphics_(&canvas), format_(gdiplus::StringFormatFlagsNoWrap, 0) {
        const bool clear_type = anti_alias == TAntiAlias::aaClearType;
        graphics_.SetTextRenderingHint(clear_type ? gdiplus::TextRenderingHintClearTypeGridFit
                                                  : gdiplus::TextRenderingHintAntiAlias);
        format_.SetHotkeyPrefix(gdiplus::HotkeyPrefixShow);
    }
    TGPStringFormat& Format() { return format_; }
    // Text from here on is in `font`, at its size in points.
    void UseFont(const ui::TFont& font) {
        font_.reset();
        family_ = std::make_unique<TGPFontFamily>(ui::Utf8ToUtf16(font.Name()), nullptr);
        font_ = std::make_unique<TGPFont>(family_.get(), static_cast<float>(font.Size()), 0, gdiplus::UnitPoint);
    }
    void Draw(const std::string& text, const RectF& layout, ui::TColor colour) {
        TGPSolidBrush brush(ColorToGdipARGB(colour));
        graphics_.DrawString(text, -1, font_.get(), layout, &format_, &brush);
    }
    // The height of a line in the current font: the box of "gh", rounded.
    int LineHeight(const RectF& layout) {
        RectF box;
        graphics_.MeasureString(u"gh", 2, font_.get(), layout, &format_, box, nullptr, nullptr);
        return static_cast<int>(std::lround(box.Height));
    }

private:
    TGPGraphics graphics_;
    TGPStringFormat format_;
    std::unique_ptr<TGPFontFamily> family_;
    std::unique_ptr<TGPFont> font_;
};

RectF LayoutOf(const ui::TRect& rect) {
    return RectF{static_cast<float>(rect.Left), static_cast<float>(rect.Top), static_cast<float>(RectWidth(rect)),
                 static_cast<float>(RectHeight(rect))};
}

}  // namespace

// --- item tests ---

ui::TMenuItem* FirstVisibleChild(const ui::TMenuItem* parent) {
    if (parent == nullptr) return nullptr;
    for (int i = 0; i < parent->Count(); ++i) {
        if (parent->Items(i)->Visible()) return parent->Items(i);
    }
    return nullptr;
}

bool IsFirstVisible(const ui::TMenuItem* item) {
    return item->Parent() != nullptr && FirstVisibleChild(item->Parent()) == item;
}

bool InLaterColumn(const ui::TMenuItem* item) {
    const ui::TMenuItem* parent = item->Parent();
    if (parent == nullptr) return false;
    for (int i = 0; i < parent->Count(); ++i) {
        const ui::TMenuItem* sibling = parent->Items(i);
        if (sibling->Visible() && sibling->Break()) return true;
        if (sibling == item) break;
    }
    return false;
}

int ItemDepth(const ui::TMenuItem* item) {
    int ancestors = 0;
    for (const ui::TMenuItem* p = item->Parent(); p != nullptr; p = p->Parent()) ++ancestors;
    return ancestors - 1;
}

bool IsRootItem(const ui::TMenuItem* item) { return item->Parent() != nullptr && item->Parent()->Parent() == nullptr; }

bool IsLastRootItem(const ui::TMenuItem* item) {
    if (!IsRootItem(item)) return false;
    // The bar does not wrap: the last visible bar item is the last.
    const ui::TMenuItem* parent = item->Parent();
    for (int i = parent->Count() - 1; i >= 0; --i) {
        if (parent->Items(i)->Visible()) return parent->Items(i) == item;
    }
    return false;
}

bool SideBarShown(const ui::TMenuItem* item) {
    const TFineMainMenu* menu = StyledMenuOf(item);
    if (menu == nullptr || IsRootItem(item) || item->Parent() == nullptr) return false;
    TSideBar& bar = menu->CurrentStyler()->SideBar();
    if (!bar.Visible()) return false;
    switch (bar.VisibleIn()) {
    case TSideBarVisibleIn::viFirstVisible: return item->Parent() == FirstVisibleChild(menu->Items());
    case TSideBarVisibleIn::viFirstLevel: return IsRootItem(item->Parent());
    case TSideBarVisibleIn::viAnyLevel: return true;
    }
    return false;
}

// --- measuring ---

void MeasureItem(ui::TMenuItem* item, ui::TCanvas& canvas, int& width, int& height, bool side_bar) {
    if (!item->Visible()) {
        width = height = 0;
        return;
    }
    TFineMainMenu* menu = StyledMenuOf(item);
    if (menu == nullptr) return;
    TCustomFineMenuStyler& s = *menu->CurrentStyler();
    const bool root = IsRootItem(item);
    if (root) {
        const ui::TSize button = ui::MenuBarButtonSize();
        width = button.cx;
        height = button.cy;
    }
    if (item->IsLine()) {
        width = -2;
        height = s.Separator().Width() + 2;
        return;
    }
    if (!root) width = s.IconBar().Size();
    ui::TImageList* images = menu->Images();
    if (images != nullptr && (item->ImageIndex() >= 0 || !root)) {
        if (!root) height = std::max(height, images->Height());
        else width = images->Width();
    } else if (!item->HasBitmap() || item->Bitmap().Empty()) {
        if (!root) height -= 3;
        else width = -7;
    } else {
        if (!root) height = std::max(height, item->Bitmap().Height());
        else width = item->Bitmap().Width();
    }
    if (!root) {
        width += 15;
        height += 2;
    }
    const bool notes = HasNotes(item, item->Caption());
    std::string text = notes ? item->Caption().substr(0, item->Caption().find(kNoteBreak)) : item->Caption();
    if (item->ShortCut() != ui::scNone) text += ShortCutText(item->ShortCut(), menu->IntlKeybShortCuts());
    if (root) {
        if (!s.RootItem().UseSystemFont()) canvas.SetFont(s.RootItem().Font());
    } else if (!s.UseSystemFont()) {
        canvas.SetFont(s.Font());
    } else if (!s.SelectedItem().UseSystemFont()) {
        canvas.SetFont(s.SelectedItem().Font());
    }
    const ui::TSize extent = TextSize(canvas, text);
    width += extent.cx + 7;
    height = std::max(height, extent.cy + 6);
    if (root) return;
    if ((item->ShortCut() & 0x200) != 0) width += canvas.TextWidth(kWinKeyPrefix);
    if (side_bar && !InLaterColumn(item)) width += s.SideBar().Size() + s.SideBar().SplitterWidth();
    height += height % 2;
    width += kDropDownExtra;
    if (notes) {
        canvas.SetFont(s.NotesFont());
        const int h = canvas.TextHeight("gh");
        std::string rest = item->Caption();
        for (std::size_t at; (at = rest.find(kNoteBreak)) != std::string::npos;) {
            width = std::max(width, TextSize(canvas, rest.substr(0, at)).cx);
            height += h;
            rest.erase(0, at + 2);
        }
        if (!rest.empty()) width = std::max(width, TextSize(canvas, rest).cx + s.IconBar().Size() + 32);
    }
}

// --- painting ---

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
        if (bar_applies && IsFirstVisible(item)) {
            const int w = bar.Size() + bar.SplitterWidth();
            const ui::TRect b = bar.Side() == 1 ? ui::TRect{d.Right - w, d.Top, d.Right, d.Bottom}
                                                : ui::TRect{d.Left, d.Top, d.Left + w, d.Bottom};
            DrawBackground(canvas, b, bar.Background(), true);
            if (bar.Image().Color() != ui::clNone && bar.Image().HasImage()) DrawBackground(canvas, b, bar.Image(), true);
            SideBarCaption(bar, canvas, b);
            SideBarBorder(bar, canvas, b);
            SideBarSplitter(bar, canvas, b);
        }
        // The icon bar: one gradient over the whole drop-down, each item painting its part.
        TIconBar& ib = s.IconBar();
        const ui::TRect strip{r.Left, d.Top, r.Left + ib.Size(), d.Bottom};
        GradientRectClipped(nullptr, canvas, strip, ib.GradientDirection(), ib.ColorTo(), ib.Color(), r);
        if (ib.SeparatorColor() != ui::clNone) {
            canvas.Brush().SetColor(ib.SeparatorColor());
            canvas.FillRect(ui::TRect{strip.Right - 1, std::max(strip.Top, r.Top), strip.Right, std::min(strip.Bottom, r.Bottom)});
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
        if (bg.HasImage()) {
            ui::TBitmap& cache = s.BackgroundCache();
            if (cache.Width() != RectWidth(d) || cache.Height() != RectHeight(d)) {
                cache.SetSize(RectWidth(d), RectHeight(d));
                DrawBackground(cache.Canvas(), d, bg, false);
            }
            canvas.CopyRect(b, cache.Canvas(), b);
        }
    }
    if (item->IsLine()) {
        DrawSeparator(item, canvas, r);
    } else {
        DrawContent(item, canvas, r, state);
    }
    if (!IsRootItem(item)) FramePopupWindow(item, canvas);
}

void DrawMenuText(ui::TMenuItem* item, ui::TCanvas& canvas, const std::string& text, std::uint32_t format,
                  ui::TOwnerDrawState state, ui::TRect& rect) {
    TFineMainMenu* menu = StyledMenuOf(item);
    if (menu == nullptr) return;
    TCustomFineMenuStyler& s = *menu->CurrentStyler();
    std::string shown = text;
    if ((format & DT_CALCRECT) != 0 && (shown.empty() || shown == "&")) shown += " ";
    canvas.Brush().SetStyle(ui::TBrushStyle::bsClear);
    const bool selected = (state & kSelected) != 0;
    const bool root = IsRootItem(item);
    if (root) {
        canvas.SetFont(s.RootItem().UseSystemFont() ? ui::Screen().MenuFont() : s.RootItem().Font());
        if (selected && s.RootItem().SelectedTextColor() != ui::clNone) {
            canvas.Font().SetColor(s.RootItem().SelectedTextColor());
        } else if ((state & kHot) != 0 && s.RootItem().HoverTextColor() != ui::clNone) {
            canvas.Font().SetColor(s.RootItem().HoverTextColor());
        }
    } else if (!selected) {
        canvas.SetFont(s.UseSystemFont() ? ui::Screen().MenuFont() : s.Font());
    } else {
        canvas.SetFont(s.SelectedItem().UseSystemFont() ? ui::Screen().MenuFont() : s.SelectedItem().Font());
    }
    if ((state & kDefault) != 0) canvas.Font().SetStyle(canvas.Font().Style().Include(ui::TFontStyle::fsBold));
    ui::TColor disabled = ui::clNone;
    if (!item->Enabled()) {
        disabled = !selected ? ui::clBtnShadow
                   : ui::ColorToRGB(ui::clHighlight) == ui::ColorToRGB(ui::clBtnShadow) ? ui::clBtnHighlight
                                                                                      : ui::clBtnShadow;
    }
    const bool gdip = s.AntiAlias() != TAntiAlias::aaNone && (format & DT_CALCRECT) == 0;
    if (HasNotes(item, shown)) {
        // A caption with notes measures as the whole rectangle it is given, so that its lines
        // stand from the item's top down rather than centred as one block.
        if ((format & DT_CALCRECT) != 0) return;
        const std::vector<std::string> lines = NoteLines(shown);
        const ui::TFont& notes_font = selected ? s.SelectedItem().NotesFont() : s.NotesFont();
        if (disabled != ui::clNone) canvas.Font().SetColor(disabled);
        ui::TRect line = rect;
        if (gdip) {
            // The lines keep the near alignment and stand from the rectangle's top down.
            GdipTextWriter writer(canvas, s.AntiAlias());
            writer.UseFont(canvas.Font());
            RectF layout = LayoutOf(rect);
            writer.Draw(lines[0], layout, canvas.Font().Color());
            const ui::TColor notes_colour = disabled != ui::clNone ? disabled : notes_font.Color();
            writer.UseFont(notes_font);
            layout.Y += 20;
            const int h = writer.LineHeight(layout);
            for (std::size_t i = 1; i < lines.size(); ++i) {
                writer.Draw(lines[i], layout, notes_colour);
                layout.Y += static_cast<float>(h);
            }
            return;
        }
        DrawTextA(canvas, lines[0], line, format & DT_SINGLELINE);
        line.Top += canvas.TextHeight("gh");
        canvas.SetFont(notes_font);
        if (disabled != ui::clNone) canvas.Font().SetColor(disabled);
        const int h = canvas.TextHeight("gh");
        for (std::size_t i = 1; i < lines.size(); ++i) {
            DrawTextA(canvas, lines[i], line, format & DT_SINGLELINE);
            line.Top += h;
        }
        return;
    }
    if (disabled != ui::clNone) canvas.Font().SetColor(disabled);
    if (!gdip) {
        DrawTextA(canvas, shown, rect, format);
        return;
    }
    GdipTextWriter writer(canvas, s.AntiAlias());
    writer.UseFont(canvas.Font());
    writer.Format().SetLineAlignment(gdiplus::StringAlignmentCenter);
    if (root) writer.Format().SetAlignment(gdiplus::StringAlignmentCenter);
    else if ((format & DT_RIGHT) != 0) writer.Format().SetAlignment(gdiplus::StringAlignmentFar);
    writer.Draw(shown, LayoutOf(rect), canvas.Font().Color());
}

std::string ShortCutText(ui::TShortCut shortcut, bool international) {
    if (!international) {
        const std::string text = ui::ShortCutToText(static_cast<ui::TShortCut>(shortcut & ~0x200));
        return (shortcut & 0x200) != 0 ? kWinKeyPrefix + text : text;
    }
    const std::uint16_t key = shortcut & 0xFF;
    std::string text = key >= 112 && key <= 135 ? "F" + std::to_string(key - 111) : Capitalised(ui::KeyNameText(key));
    const std::pair<ui::TShortCut, std::uint16_t> modifiers[] = {{ui::scShift, 16}, {ui::scCtrl, 17}, {ui::scAlt, 18}};
    for (const auto& [bit, modifier_key] : modifiers) {
        if ((shortcut & bit) != 0) text = Capitalised(ui::KeyNameText(modifier_key)) + "+" + text;
    }
    return text;
}

// --- gradients ---

namespace {

void Channels(ui::TColor c, int& r, int& g, int& b) {
    const ui::TColor rgb = ui::ColorToRGB(c);
    r = static_cast<int>(rgb & 0xFF);
    g = static_cast<int>((rgb >> 8) & 0xFF);
    b = static_cast<int>((rgb >> 16) & 0xFF);
}

ui::TColor Between(ui::TColor from, ui::TColor to, int step, int steps) {
    int r0, g0, b0, r1, g1, b1;
    Channels(from, r0, g0, b0);
    Channels(to, r1, g1, b1);
    // Per channel, integer division toward zero.
    const int r = r0 + step * (r1 - r0) / steps;
    const int g = g0 + step * (g1 - g0) / steps;
    const int b = b0 + step * (b1 - b0) / steps;
    return static_cast<ui::TColor>(r | g << 8 | b << 16);
}

void Fill(ui::TCanvas& canvas, const ui::TRect& r, ui::TColor colour) {
    canvas.Brush().SetColor(colour);
    canvas.FillRect(r);
}

}  // namespace

void GradientFill(ui::TBitmap* bitmap, ui::TCanvas& canvas, const ui::TRect& rect, TGradientDirection direction,
                  ui::TColor color_to, ui::TColor color) {
    ui::TCanvas& target = bitmap != nullptr ? bitmap->Canvas() : canvas;
    if (bitmap != nullptr) bitmap->SetPixelFormat(ui::TPixelFormat::pf32bit);
    const ui::TColor end = EndColour(color_to, color);
    if (ui::ColorToRGB(end) == ui::ColorToRGB(color)) {
        Fill(target, rect, color);
        return;
    }
    if (RectHeight(rect) <= 0) return;
    if (direction == TGradientDirection::gdVertical) {
        const int steps = RectHeight(rect);
        for (int y = rect.Top; y < rect.Bottom; ++y) {
            Fill(target, ui::TRect{rect.Left, y, rect.Right, y + 1}, Between(color, end, y - rect.Top, steps));
        }
    } else {
        const int steps = RectWidth(rect);
        for (int x = rect.Left; x < rect.Right; ++x) {
            Fill(target, ui::TRect{x, rect.Top, x + 1, rect.Bottom}, Between(color, end, x - rect.Left, steps));
        }
    }
}

void GradientRectClipped(ui::TBitmap* bitmap, ui::TCanvas& canvas, const ui::TRect& rect, TGradientDirection direction,
                         ui::TColor color_to, ui::TColor color, const ui::TRect& clip) {
    const ui::TRect part{std::max(rect.Left, clip.Left), std::max(rect.Top, clip.Top), std::min(rect.Right, clip.Right),
                         std::min(rect.Bottom, clip.Bottom)};
    if (part.IsEmpty() || color == ui::clNone) return;
    ui::TCanvas& target = bitmap != nullptr ? bitmap->Canvas() : canvas;
    const ui::TColor end = EndColour(color_to, color);
    // Every line gets the colour it has in the whole rectangle, so separately painted pieces join.
    if (direction == TGradientDirection::gdVertical) {
        const int steps = std::max(1, RectHeight(rect));
        for (int y = part.Top; y < part.Bottom; ++y) {
            Fill(target, ui::TRect{part.Left, y, part.Right, y + 1}, Between(color, end, y - rect.Top, steps));
        }
    } else {
        const int steps = std::max(1, RectWidth(rect));
        for (int x = part.Left; x < part.Right; ++x) {
            Fill(target, ui::TRect{x, part.Top, x + 1, part.Bottom}, Between(color, end, x - rect.Left, steps));
        }
    }
}

void GradientRect(ui::TCanvas& canvas, const ui::TRect& rect, bool fill, ui::TColor border, TGradientDirection direction,
                  ui::TColor color_to, ui::TColor color) {
    if (fill && color != ui::clNone) GradientFill(nullptr, canvas, rect, direction, color_to, color);
    if (border != ui::clNone) {
        canvas.Brush().SetColor(border);
        canvas.FrameRect(rect);
    }
}

void MirrorGradientRect(ui::TCanvas& canvas, const ui::TRect& rect, bool fill, ui::TColor border,
                        TGradientDirection direction, ui::TColor mirror_to, ui::TColor mirror, ui::TColor color_to,
                        ui::TColor color) {
    if (fill && color != ui::clNone) {
        if (mirror != ui::clNone) {
            const int half = rect.Top + RectHeight(rect) / 2;
            GradientFill(nullptr, canvas, ui::TRect{rect.Left, rect.Top, rect.Right, half}, direction, color_to, color);
            GradientFill(nullptr, canvas, ui::TRect{rect.Left, half, rect.Right, rect.Bottom}, direction, mirror_to, mirror);
        } else {
            GradientFill(nullptr, canvas, rect, direction, color_to, color);
        }
    }
    if (border != ui::clNone) {
        canvas.Brush().SetColor(border);
        canvas.FrameRect(rect);
    }
}

void GradientLine(ui::TCanvas& canvas, ui::TRect rect, int margin, int width, TGradientType type,
                  TGradientDirection direction, ui::TColor color_to, ui::TColor color) {
    const ui::TColor to = EndColour(color_to, color);
    auto fade = [&](ui::TRect r, ui::TColor from, ui::TColor end, TGradientDirection dir) {
        if (!r.IsEmpty()) GradientFill(nullptr, canvas, r, dir, end, from);
    };
    if (direction == TGradientDirection::gdHorizontal) {
        rect.Left += margin;
        rect.Right -= margin;
        const int w = RectWidth(rect);
        if (width < w) {
            switch (type) {
            case TGradientType::gtLeft: Fill(canvas, ui::TRect{rect.Left + width, rect.Top, rect.Right, rect.Bottom}, to); break;
            case TGradientType::gtRight: Fill(canvas, ui::TRect{rect.Left, rect.Top, rect.Right - width, rect.Bottom}, to); break;
            case TGradientType::gtBoth:
                Fill(canvas, ui::TRect{rect.Left + width / 2, rect.Top, rect.Right - width / 2, rect.Bottom}, color);
                break;
            }
        } else {
            width = w;
        }
        if (width <= 0) return;
        const auto h = TGradientDirection::gdHorizontal;
        switch (type) {
        case TGradientType::gtLeft: fade(ui::TRect{rect.Left, rect.Top, rect.Left + width, rect.Bottom}, color, to, h); break;
        case TGradientType::gtRight: fade(ui::TRect{rect.Right - width, rect.Top, rect.Right, rect.Bottom}, to, color, h); break;
        case TGradientType::gtBoth:
            fade(ui::TRect{rect.Left, rect.Top, rect.Left + width / 2, rect.Bottom}, to, color, h);
            fade(ui::TRect{rect.Right - width / 2, rect.Top, rect.Right, rect.Bottom}, color, to, h);
            break;
        }
        return;
    }
    rect.Top += margin;
    rect.Bottom -= margin;
    if (type == TGradientType::gtBoth) width *= 2;
    const int hgt = RectHeight(rect);
    if (width < hgt) {
        switch (type) {
        case TGradientType::gtLeft: Fill(canvas, ui::TRect{rect.Left, rect.Top, rect.Right, rect.Bottom - width}, to); break;
        case TGradientType::gtRight: Fill(canvas, ui::TRect{rect.Left, rect.Top + width, rect.Right, rect.Bottom}, to); break;
        case TGradientType::gtBoth:
            Fill(canvas, ui::TRect{rect.Left, rect.Top + width / 2, rect.Right, rect.Bottom - width / 2}, color);
            break;
        }
    } else {
        width = hgt;
    }
    if (width <= 0) return;
    const auto v = TGradientDirection::gdVertical;
    switch (type) {
    case TGradientType::gtLeft: fade(ui::TRect{rect.Left, rect.Bottom - width, rect.Right, rect.Bottom}, to, color, v); break;
    case TGradientType::gtRight: fade(ui::TRect{rect.Left, rect.Top, rect.Right, rect.Top + width}, color, to, v); break;
    case TGradientType::gtBoth:
        fade(ui::TRect{rect.Left, rect.Top, rect.Right, rect.Top + width / 2}, to, color, v);
        fade(ui::TRect{rect.Left, rect.Bottom - width / 2, rect.Right, rect.Bottom}, color, to, v);
        break;
    }
}

ui::TPoint ImagePosition(const TBackground& background, const ui::TRect& rect) {
    ui::TPoint p{rect.Left, rect.Top};
    const ui::TPicture* picture = background.ImageOrNull();
    if (picture == nullptr || picture->Graphic() == nullptr || picture->Graphic()->Empty()) return p;
    const int w = picture->Width(), h = picture->Height();
    const int W = RectWidth(rect), H = RectHeight(rect);
    using P = TBackgroundPosition;
    switch (background.Position()) {
    case P::bpTopLeft: case P::bpBottomLeft: p.X += background.OffsetX(); break;
    case P::bpTopRight: case P::bpBottomRight: p.X += W + background.OffsetX() - w; break;
    case P::bpTopCenter: case P::bpBottomCenter: case P::bpCenter: p.X += (W - w) / 2 + background.OffsetX(); break;
    default: break;
    }
    switch (background.Position()) {
    case P::bpTopLeft: case P::bpTopRight: case P::bpTopCenter: p.Y += background.OffsetY(); break;
    case P::bpBottomLeft: case P::bpBottomRight: case P::bpBottomCenter: p.Y += H + background.OffsetY() - h; break;
    case P::bpCenter: p.Y += (H - h) / 2 + background.OffsetY(); break;
    default: break;
    }
    return p;
}

void DrawBackground(ui::TCanvas& canvas, ui::TRect rect, TBackground& background, bool paint_colour) {
    rect = ui::TRect{rect.Left + background.MarginX(), rect.Top + background.MarginY(), rect.Right - background.MarginX(),
                     rect.Bottom - background.MarginY()};
    ui::TBitmap& buffer = background.Buffer();
    buffer.SetSize(std::max(0, RectWidth(rect)), std::max(0, RectHeight(rect)));
    const ui::TPicture* picture = background.ImageOrNull();
    const bool has_picture = background.HasImage();
    const TBackgroundPosition pos = background.Position();
    if (paint_colour && (!has_picture || (pos != TBackgroundPosition::bpTiled && pos != TBackgroundPosition::bpStretched) ||
                         picture->Graphic()->Transparent())) {
        GradientFill(&buffer, buffer.Canvas(), ui::TRect{0, 0, buffer.Width(), buffer.Height()}, background.GradientDirection(),
                     background.ColorTo(), background.Color());
    }
    if (has_picture) {
        const ui::TGraphic& graphic = *picture->Graphic();
        const ui::TRect all{0, 0, buffer.Width(), buffer.Height()};
        if (pos == TBackgroundPosition::bpTiled) {
            if (graphic.Width() >= 1 && graphic.Height() >= 1) {
                for (int y = 0; y < buffer.Height(); y += graphic.Height()) {
                    for (int x = 0; x < buffer.Width(); x += graphic.Width()) buffer.Canvas().Draw(x, y, graphic);
                }
            }
        } else if (pos == TBackgroundPosition::bpStretched) {
            buffer.Canvas().StretchDraw(all, graphic);
        } else if (pos == TBackgroundPosition::bpXY) {
            buffer.Canvas().Draw(background.OffsetX(), background.OffsetY(), graphic);
        } else {
            const ui::TPoint p = ImagePosition(background, all);
            buffer.Canvas().Draw(p.X, p.Y, graphic);
        }
    }
    canvas.Draw(rect.Left, rect.Top, buffer);
}

}  // namespace menus
