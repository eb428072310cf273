// Regions: areas of pixels made of rectangles and round rectangles, with the platform's
// rasterisation (a region of (l, t, r, b) covers columns l..r-1 and rows t..b-1), and drawing
// clipped to one.
#pragma once

#include <memory>
#include <vector>

#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/geometry.h"

class QImage;

namespace ui {

class TRegion {
public:
    TRegion() = default;
    // The pixels of `r` (none when it is empty).
    static TRegion Rect(const TRect& r);
    // The platform's round-rectangle region of (l, t, r, b): the rounded shape of
    // (l, t, r - 1, b - 1), one pixel inside the right and bottom edges of the outline that
    // RoundRect draws for the same rectangle, so that clipping to it keeps that outline. Corners
    // are quarter ellipses of `corner_width` x `corner_height` (clamped to the size); a pixel
    // belongs when its centre lies inside. Symmetric left to right and top to bottom.
    static TRegion RoundRect(const TRect& r, int corner_width, int corner_height);
    // The rounded shape of `r` itself: every pixel RoundRect draws for it.
    static TRegion RoundShape(const TRect& r, int corner_width, int corner_height);

    // Every pixel of either region.
    TRegion Union(const TRegion& other) const;
    bool Contains(int x, int y) const;
    bool IsEmpty() const { return spans_.empty(); }
    // The smallest rectangle holding every pixel (empty for an empty region).
    TRect Bounds() const;

private:
    std::vector<TRect> spans_;  // the region is their union; they may overlap
};

// Draws the round rectangle (l, t, r, b) with corners of `corner_width` x `corner_height`
// over columns l..r-1 and rows t..b-1: its outline (the pixels of the shape with a neighbour
// outside it, left, right, above or below) in the pen colour, the inside with the brush.
void RoundRect(TCanvas& canvas, const TRect& r, int corner_width, int corner_height);

// Drawing clipped to a region for the scope's lifetime: whatever is drawn on the canvas
// meanwhile keeps only the pixels inside the region; the picture outside it is as it was when
// the scope began. Scopes nest (the clip is then the intersection).
class TClipScope {
public:
    TClipScope(TCanvas& canvas, const TRegion& region);
    ~TClipScope();
    TClipScope(const TClipScope&) = delete;
    TClipScope& operator=(const TClipScope&) = delete;

private:
    TCanvas& canvas_;
    TRegion region_;
    std::unique_ptr<QImage> saved_;
};

}  // namespace ui
