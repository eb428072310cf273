// The drop-down side bar: backgrounds, rotated caption, border and splitter.
#include "controls/menus/menu_side_bar.h"

#include <cmath>

#include "controls/menus/menu_background.h"
#include "controls/menus/menu_gradients.h"
#include "controls/menus/menu_util.h"
#include "platform/ui/graphics/rotated_text.h"

namespace menus {

namespace {

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
        if (bar.Image().HasImage() &&
            (p == TBackgroundPosition::bpBottomLeft || p == TBackgroundPosition::bpBottomRight)) {
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
    if (bar.HighlightColor() != ui::clNone)
        ui::RotatedTextOut(canvas, font, x - d, y + d, clip, bar.Caption(), bar.HighlightColor());
    if (bar.ShadowColor() != ui::clNone)
        ui::RotatedTextOut(canvas, font, x + d, y - d, clip, bar.Caption(), bar.ShadowColor());
    ui::RotatedTextOut(canvas, font, x, y, clip, bar.Caption(), bar.Font().Color());
}

void SideBarBorder(TSideBar& bar, ui::TCanvas& canvas, ui::TRect rect) {
    if (bar.BorderColor() == ui::clNone) return;
    if (bar.Side() == 0)
        rect.Right -= bar.SplitterWidth();
    else
        rect.Left += bar.SplitterWidth();
    canvas.Brush().SetColor(bar.BorderColor());
    canvas.FrameRect(rect);
}

void SideBarSplitter(TSideBar& bar, ui::TCanvas& canvas, const ui::TRect& rect) {
    if (bar.SplitterColor() == ui::clNone || bar.Side() > 1) return;
    const ui::TRect strip = bar.Side() == 0
                                ? ui::TRect{rect.Right - bar.SplitterWidth(), rect.Top, rect.Right, rect.Bottom}
                                : ui::TRect{rect.Left, rect.Top, rect.Left + bar.SplitterWidth(), rect.Bottom};
    GradientLine(canvas, strip, bar.SplitterMargin(), bar.SplitterGradientWidth(), bar.SplitterGradientType(),
                 TGradientDirection::gdVertical, bar.SplitterColorTo(), bar.SplitterColor());
}

}  // namespace

void DrawSideBar(TSideBar& bar, ui::TCanvas& canvas, const ui::TRect& drop_down) {
    const ui::TRect& d = drop_down;
    const int w = bar.Size() + bar.SplitterWidth();
    const ui::TRect b = bar.Side() == 1 ? ui::TRect{d.Right - w, d.Top, d.Right, d.Bottom}
                                        : ui::TRect{d.Left, d.Top, d.Left + w, d.Bottom};
    DrawBackground(canvas, b, bar.Background(), true);
    if (bar.Image().Color() != ui::clNone && bar.Image().HasImage()) DrawBackground(canvas, b, bar.Image(), true);
    SideBarCaption(bar, canvas, b);
    SideBarBorder(bar, canvas, b);
    SideBarSplitter(bar, canvas, b);
}

}  // namespace menus
