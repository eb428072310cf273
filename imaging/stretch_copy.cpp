#include "imaging/stretch_copy.h"

#include <algorithm>
#include <vector>

#include "imaging/bitmap32.h"
#include "imaging/samplers.h"

namespace imaging {

ui::TRect IntersectRects(const ui::TRect& a, const ui::TRect& b) {
    const ui::TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
                      std::min(a.Bottom, b.Bottom)};
    if (r.Right < r.Left || r.Bottom < r.Top) return ui::TRect{};
    return r;
}

void StretchCopy(TBitmap32* Dst, const ui::TRect& DstRect, const ui::TRect& DstClip, const TBitmap32* Src,
                 const ui::TRect& SrcRect, TStretchFilter Filter, TDrawMode DrawMode,
                 const TPixelCombineEvent& CombineHandler, int Threads, TContributorCache* Weights) {
    // A missing source is an error before an empty one is a silent no-op: asking a null source
    // whether it is empty would dereference it.
    if (Src == nullptr) throw ETransformError("Source bitmap is nil or empty");
    if (Src->Empty()) return;
    if (Dst == nullptr || Dst->Empty()) throw ETransformError("Destination bitmap is nil or empty");

    if (SrcRect.IsEmpty()) return;
    if (SrcRect.Left < 0 || SrcRect.Top < 0 || SrcRect.Right > Src->Width() || SrcRect.Bottom > Src->Height())
        throw ETransformError("Source rectangle is invalid");

    ui::TRect clip = IntersectRects(DstClip, ui::TRect{0, 0, Dst->Width(), Dst->Height()});
    clip = IntersectRects(clip, DstRect);
    if (clip.IsEmpty()) return;

    TWriteBack mode{DrawMode, Src->MasterAlpha(), &CombineHandler};
    if (mode.Mode == TDrawMode::dmCustom && !CombineHandler) mode.Mode = TDrawMode::dmOpaque;
    if (mode.Mode == TDrawMode::dmBlend && mode.MasterAlpha == 0) return;

    // Drawing a bitmap into itself: the samplers read source pixels after writing destination
    // pixels, so they work from a snapshot. (Copying a block onto itself stays a no-op.)
    std::vector<TColor32> snapshot;
    TSourcePixels source{Src->Bits(), Src->Width(), Src->Height()};
    const bool same_block = DstRect.Width() == SrcRect.Width() && DstRect.Height() == SrcRect.Height() &&
                            DstRect.Left == SrcRect.Left && DstRect.Top == SrcRect.Top &&
                            mode.Mode == TDrawMode::dmOpaque;
    if (Src == Dst && !same_block) {
        snapshot.assign(Src->Bits(), Src->Bits() + static_cast<std::size_t>(Src->Width()) * Src->Height());
        source.Bits = snapshot.data();
    }
    const TDestPixels dest{Dst->Bits(), Dst->Width(), Dst->Height()};

    const std::int64_t DstW = std::int64_t{DstRect.Right} - DstRect.Left;
    const std::int64_t DstH = std::int64_t{DstRect.Bottom} - DstRect.Top;
    const int SrcW = SrcRect.Width();
    const int SrcH = SrcRect.Height();
    if (DstW == SrcW && DstH == SrcH) {
        CopyBlock(dest, DstRect, clip, source, SrcRect, mode);
        return;
    }
    switch (Filter) {
    case TStretchFilter::sfNearest:
        SampleNearest(dest, DstRect, clip, source, SrcRect, mode);
        return;
    case TStretchFilter::sfLinear:
        if (DstW > SrcW && DstH > SrcH)
            SampleBilinearUp(dest, DstRect, clip, source, SrcRect, mode);
        else
            SampleFiltered(dest, DstRect, clip, source, SrcRect, Filter, mode, Threads, Weights);
        return;
    case TStretchFilter::sfSpline:
    case TStretchFilter::sfLanczos:
    case TStretchFilter::sfMitchell:
        SampleFiltered(dest, DstRect, clip, source, SrcRect, Filter, mode, Threads, Weights);
        return;
    }
}

}  // namespace imaging
