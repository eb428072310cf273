// StretchCopy: moves a rectangle of one TBitmap32 into a rectangle of another, clipped, scaling
// with one of the resampling filters when the sizes differ, and combining every result pixel
// with the destination by the draw mode. Runs on the caller's thread unless asked for bands; no
// locking of its own.
#pragma once

#include <string>

#include "imaging/draw_mode.h"
#include "imaging/filter_kernels.h"
#include "platform/ui/core/exceptions.h"
#include "platform/ui/graphics/geometry.h"

namespace imaging {

class TContributorCache;  // contributor_cache.h

class TBitmap32;

// Raised before any pixel is written; both bitmaps stay unchanged.
class ETransformError : public ui::Exception {
public:
    explicit ETransformError(const std::string& message) : ui::Exception(message) {}
};

// Rectangles are (Left, Top, Right, Bottom) with Right and Bottom outside. The source's
// MasterAlpha weighs dmBlend and is the M argument of dmCustom's handler; dmCustom without a
// handler draws as dmOpaque. An empty source bitmap, an empty source rectangle, an empty clip
// or dmBlend with MasterAlpha 0 draw nothing. Raises ETransformError for a missing source, a
// missing or empty destination, or a source rectangle outside the source bitmap.
// Threads > 1 lets the separable filtered resampler compute bands of rows on that many threads
// (the caller's among them), and `Weights` gives it its weights from a cache; the pixels are the
// same.
void StretchCopy(TBitmap32* Dst, const ui::TRect& DstRect, const ui::TRect& DstClip, const TBitmap32* Src,
                 const ui::TRect& SrcRect, TStretchFilter Filter, TDrawMode DrawMode,
                 const TPixelCombineEvent& CombineHandler, int Threads = 1, TContributorCache* Weights = nullptr);

// The intersection of two rectangles; (0, 0, 0, 0) when they do not overlap.
ui::TRect IntersectRects(const ui::TRect& a, const ui::TRect& b);

}  // namespace imaging
