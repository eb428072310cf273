#include "platform/ui/forms/custom_panel.h"

#include <algorithm>

#include "platform/ui/graphics/frames.h"

namespace ui {

void TCustomPanel::SetBevelOuter(TBevelCut cut) {
    bevel_outer_ = cut;
    FrameChanged();
}

void TCustomPanel::SetBevelInner(TBevelCut cut) {
    bevel_inner_ = cut;
    FrameChanged();
}

void TCustomPanel::SetBevelWidth(int width) {
    bevel_width_ = std::max(width, 1);
    FrameChanged();
}

void TCustomPanel::SetBorderWidth(int width) {
    border_width_ = std::max(width, 0);
    FrameChanged();
}

void TCustomPanel::SetBorderStyle(TBorderStyle style) {
    border_style_ = style;
    FrameChanged();
}

void TCustomPanel::Paint() {
    TCanvas& canvas = Canvas();
    TRect r = ClientRect();
    auto bevel = [&](TBevelCut cut) {
        if (cut == TBevelCut::bvNone) return;
        const TBevelColors colors = BevelColors(cut);
        Frame3D(canvas, r, ColorToRGB(colors.top_left), ColorToRGB(colors.bottom_right), bevel_width_);
    };
    bevel(bevel_outer_);
    Frame3D(canvas, r, ColorToRGB(Color()), ColorToRGB(Color()), border_width_);
    bevel(bevel_inner_);
    canvas.Brush().SetStyle(TBrushStyle::bsSolid);
    canvas.Brush().SetColor(ColorToRGB(Color()));
    canvas.FillRect(r);
}

}  // namespace ui
