#include "platform/ui/graphics/regions.h"

#include <QImage>

#include <algorithm>
#include <cmath>

namespace ui {

TRegion TRegion::Rect(const TRect& r) {
    TRegion region;
    if (!r.IsEmpty()) region.spans_.push_back(r);
    return region;
}

TRegion TRegion::RoundRect(const TRect& r, int corner_width, int corner_height) {
    return RoundShape(TRect{r.Left, r.Top, r.Right - 1, r.Bottom - 1}, corner_width, corner_height);
}

TRegion TRegion::RoundShape(const TRect& r, int corner_width, int corner_height) {
    TRegion region;
    if (r.IsEmpty()) return region;
    const double rx = std::clamp(corner_width, 0, r.Width()) / 2.0;
    const double ry = std::clamp(corner_height, 0, r.Height()) / 2.0;
    const int h = r.Height();
    for (int i = 0; i < h; ++i) {
        // Distance of the row's centre from the corner ellipses' centre line, measured from the
        // nearer edge so that row i and row h-1-i get the same inset.
        const double from_edge = std::min(i, h - 1 - i) + 0.5;
        int inset = 0;
        if (ry > 0 && rx > 0 && from_edge < ry) {
            const double dy = (ry - from_edge) / ry;
            const double reach = rx * std::sqrt(std::max(0.0, 1.0 - dy * dy));
            // A column is in when its centre (inset + 0.5 from the edge) lies past rx - reach.
            inset = static_cast<int>(std::ceil(rx - reach - 0.5));
            inset = std::max(inset, 0);
        }
        const int left = r.Left + inset;
        const int right = r.Right - inset;
        if (right > left) region.spans_.push_back(TRect{left, r.Top + i, right, r.Top + i + 1});
    }
    return region;
}

TRegion TRegion::Union(const TRegion& other) const {
    TRegion region = *this;
    region.spans_.insert(region.spans_.end(), other.spans_.begin(), other.spans_.end());
    return region;
}

bool TRegion::Contains(int x, int y) const {
    const TPoint p{x, y};
    return std::any_of(spans_.begin(), spans_.end(), [&](const TRect& s) { return s.Contains(p); });
}

TRect TRegion::Bounds() const {
    if (spans_.empty()) return TRect{};
    TRect b = spans_.front();
    for (const TRect& s : spans_) {
        b.Left = std::min(b.Left, s.Left);
        b.Top = std::min(b.Top, s.Top);
        b.Right = std::max(b.Right, s.Right);
        b.Bottom = std::max(b.Bottom, s.Bottom);
    }
    return b;
}

void RoundRect(TCanvas& canvas, const TRect& r, int corner_width, int corner_height) {
    const TRegion region = TRegion::RoundShape(r, corner_width, corner_height);
    if (region.IsEmpty()) return;
    const bool fill = canvas.Brush().Style() != TBrushStyle::bsClear && canvas.Brush().Color() != clNone;
    const bool outline = canvas.Pen().Style() != TPenStyle::psClear && canvas.Pen().Color() != clNone;
    const TRect b = region.Bounds();
    for (int y = b.Top; y < b.Bottom; ++y) {
        for (int x = b.Left; x < b.Right; ++x) {
            if (!region.Contains(x, y)) continue;
            const bool edge = !region.Contains(x - 1, y) || !region.Contains(x + 1, y) || !region.Contains(x, y - 1) ||
                              !region.Contains(x, y + 1);
            if (edge && outline) {
                canvas.SetPixels(x, y, canvas.Pen().Color());
            } else if (fill) {
                canvas.SetPixels(x, y, canvas.Brush().Color());
            }
        }
    }
}

TClipScope::TClipScope(TCanvas& canvas, const TRegion& region) : canvas_(canvas), region_(region) {
    if (QImage* image = canvas.Image(); image != nullptr && !image->isNull()) {
        saved_ = std::make_unique<QImage>(image->copy());
    }
}

TClipScope::~TClipScope() {
    QImage* image = canvas_.Image();
    if (!saved_ || image == nullptr || image->size() != saved_->size() || image->format() != saved_->format()) return;
    // Whole pixels are put back byte for byte, so no colour conversion can creep in.
    const int bytes = image->depth() / 8;
    if (bytes <= 0) return;
    for (int y = 0; y < image->height(); ++y) {
        uchar* line = image->scanLine(y);
        const uchar* old = saved_->constScanLine(y);
        for (int x = 0; x < image->width(); ++x) {
            if (!region_.Contains(x, y)) {
                std::copy_n(old + static_cast<std::ptrdiff_t>(x) * bytes, bytes,
                            line + static_cast<std::ptrdiff_t>(x) * bytes);
            }
        }
    }
}

}  // namespace ui
