// The four samplers under StretchCopy. Each is called with a clip that is already inside both
// the destination bitmap and the destination rectangle and not empty, and with a source
// rectangle that lies inside the source bitmap; they never read or write outside those.
//
// Write-back of a computed pixel C onto destination pixel D: dmOpaque stores C, dmBlend blends
// C over D with the master alpha, dmCustom calls the handler with (C, D, MasterAlpha).
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/color32.h"
#include "imaging/draw_mode.h"
#include "imaging/filter_kernels.h"
#include "platform/ui/graphics/geometry.h"

namespace imaging {

class TContributorCache;  // contributor_cache.h

struct TSourcePixels {
    const TColor32* Bits;  // Width x Height, rows top-down, no padding
    int Width;
    int Height;
};

struct TDestPixels {
    TColor32* Bits;
    int Width;
    int Height;
};

struct TWriteBack {
    TDrawMode Mode;  // dmCustom only with a handler
    std::uint32_t MasterAlpha;
    const TPixelCombineEvent* Handler;
};

// One source sample of the bilinear enlarger: the pixel at Position gets Weight (0..256), the
// pixel at Neighbour gets 256 - Weight. Neighbour is Position + 1 except at the source's edge,
// where it is Position itself, so nothing beyond the edge is read.
struct TLinearSample {
    std::int32_t Position;
    std::int32_t Weight;
    std::int32_t Neighbour;
};

// Equal sizes: pixels copied (or combined) one to one.
void CopyBlock(const TDestPixels& Dst, const ui::TRect& DstRect, const ui::TRect& DstClip, const TSourcePixels& Src,
               const ui::TRect& SrcRect, const TWriteBack& Mode);
// Nearest source pixel, in single-precision steps.
void SampleNearest(const TDestPixels& Dst, const ui::TRect& DstRect, const ui::TRect& DstClip, const TSourcePixels& Src,
                   const ui::TRect& SrcRect, const TWriteBack& Mode);
// Bilinear interpolation with 8-bit weights; only for enlarging in both directions.
void SampleBilinearUp(const TDestPixels& Dst, const ui::TRect& DstRect, const ui::TRect& DstClip,
                      const TSourcePixels& Src, const ui::TRect& SrcRect, const TWriteBack& Mode);
// The separable filtered resampler with the filter's kernel (sfLinear, sfSpline, sfLanczos,
// sfMitchell). Threads > 1 computes bands of rows on that many threads, the caller's among them,
// from one set of weights: the rows are those of one resampler. With `Weights` the tables come
// from that cache (the same weights, built once for draws of the same sizes).
void SampleFiltered(const TDestPixels& Dst, const ui::TRect& DstRect, const ui::TRect& DstClip,
                    const TSourcePixels& Src, const ui::TRect& SrcRect, TStretchFilter Filter, const TWriteBack& Mode,
                    int Threads = 1, TContributorCache* Weights = nullptr);

// The bilinear enlarger's samples for one direction (exposed for tests): one per clipped
// destination position ClipLo..ClipHi-1 of the destination run DstLo..DstHi, over the source
// run SrcLo..SrcHi of a source SrcSize pixels long.
std::vector<TLinearSample> BuildLinearSamples(int DstLo, int DstHi, int ClipLo, int ClipHi, int SrcLo, int SrcHi,
                                              int SrcSize);

}  // namespace imaging
