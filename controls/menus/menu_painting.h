// Measuring and painting of a styled menu's items from its current styler: the menu-bar
// gradient, hover and selected buttons, the drop-down side bar with its rotated caption, the
// icon bar, the background with an optional picture, separators, check and radio marks, images,
// the sub-menu arrow, captions with note lines ("\n", a backslash and an n, separates them) and
// shortcut texts. Also the gradient primitives the menus share.
#pragma once

#include <cstdint>
#include <string>

#include "controls/menus/menu_appearance.h"
#include "platform/ui/forms/menus.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/geometry.h"

namespace menus {

// Text-format bits of the item texts, as the platform's text drawing numbers them.
inline constexpr std::uint32_t DT_LEFT = 0, DT_CENTER = 1, DT_RIGHT = 2, DT_SINGLELINE = 0x20, DT_EXPANDTABS = 0x40,
                               DT_NOCLIP = 0x100, DT_CALCRECT = 0x400, DT_RTLREADING = 0x20000;

// Item tests.
ui::TMenuItem* FirstVisibleChild(const ui::TMenuItem* parent);
bool IsFirstVisible(const ui::TMenuItem* item);
bool InLaterColumn(const ui::TMenuItem* item);
int ItemDepth(const ui::TMenuItem* item);
bool IsRootItem(const ui::TMenuItem* item);
bool IsLastRootItem(const ui::TMenuItem* item);
bool SideBarShown(const ui::TMenuItem* item);

void MeasureItem(ui::TMenuItem* item, ui::TCanvas& canvas, int& width, int& height, bool side_bar);
void DrawItem(ui::TMenuItem* item, ui::TCanvas& canvas, ui::TRect rect, bool side_bar, ui::TOwnerDrawState state);
// Draws, or with DT_CALCRECT measures into `rect`, one text of the item.
void DrawMenuText(ui::TMenuItem* item, ui::TCanvas& canvas, const std::string& text, std::uint32_t format,
                  ui::TOwnerDrawState state, ui::TRect& rect);
// The text shown for a shortcut; `international` builds it from the keyboard's key names.
std::string ShortCutText(ui::TShortCut shortcut, bool international);

// Gradients: Color is the start colour, ColorTo the end colour (clNone: the same as Color).
void GradientFill(ui::TBitmap* bitmap, ui::TCanvas& canvas, const ui::TRect& rect, TGradientDirection direction,
                  ui::TColor color_to, ui::TColor color);
void GradientRectClipped(ui::TBitmap* bitmap, ui::TCanvas& canvas, const ui::TRect& rect, TGradientDirection direction,
                         ui::TColor color_to, ui::TColor color, const ui::TRect& clip);
void GradientRect(ui::TCanvas& canvas, const ui::TRect& rect, bool fill, ui::TColor border, TGradientDirection direction,
                  ui::TColor color_to, ui::TColor color);
void MirrorGradientRect(ui::TCanvas& canvas, const ui::TRect& rect, bool fill, ui::TColor border,
                        TGradientDirection direction, ui::TColor mirror_to, ui::TColor mirror, ui::TColor color_to,
                        ui::TColor color);
void GradientLine(ui::TCanvas& canvas, ui::TRect rect, int margin, int width, TGradientType type,
                  TGradientDirection direction, ui::TColor color_to, ui::TColor color);
void DrawBackground(ui::TCanvas& canvas, ui::TRect rect, TBackground& background, bool paint_colour);
ui::TPoint ImagePosition(const TBackground& background, const ui::TRect& rect);

}  // namespace menus
