#include "platform/ui/graphics/frames.h"

namespace ui {

namespace {

// Keeps the caller's brush: the frame is drawn with fills and must not leak its colours.
class BrushGuard {
public:
    explicit BrushGuard(TCanvas& canvas) : canvas_(canvas) { saved_.Assign(&canvas.Brush()); }
    ~BrushGuard() { canvas_.Brush().Assign(&saved_); }
    BrushGuard(const BrushGuard&) = delete;
    BrushGuard& operator=(const BrushGuard&) = delete;

private:
    TCanvas& canvas_;
    TBrush saved_;
};

void Fill(TCanvas& canvas, TColor color, const TRect& r) {
    if (color == clNone || r.IsEmpty()) return;
    canvas.Brush().SetColor(color);
    canvas.FillRect(r);
}

}  // namespace

void Frame3D(TCanvas& canvas, TRect& rect, TColor top_color, TColor bottom_color, int width) {
    BrushGuard guard(canvas);
    for (int i = 0; i < width; ++i) {
        const TRect r = rect;
        if (!r.IsEmpty()) {
            // Top-left edges first; the bottom-right ones then take the two shared corners.
            Fill(canvas, top_color, TRect{r.Left, r.Top, r.Right - 1, r.Top + 1});
            Fill(canvas, top_color, TRect{r.Left, r.Top, r.Left + 1, r.Bottom - 1});
            Fill(canvas, bottom_color, TRect{r.Right - 1, r.Top, r.Right, r.Bottom});
            Fill(canvas, bottom_color, TRect{r.Left, r.Bottom - 1, r.Right, r.Bottom});
        }
        rect = TRect{rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1};
    }
}

TBevelColors BevelColors(TBevelCut cut) {
    switch (cut) {
    case TBevelCut::bvRaised:
    case TBevelCut::bvSpace:
        return TBevelColors{clBtnHighlight, clBtnShadow};
    case TBevelCut::bvLowered:
        return TBevelColors{clBtnShadow, clBtnHighlight};
    case TBevelCut::bvNone:
        break;
    }
    return TBevelColors{};
}

}  // namespace ui
