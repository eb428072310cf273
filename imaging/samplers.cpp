#include "imaging/samplers.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "imaging/blend.h"
#include "imaging/contributor_cache.h"
#include "imaging/contributor_table.h"
#include "imaging/filtered_resampler.h"
#include "platform/kernel/ordered_work.h"

namespace imaging {

namespace {

// Leaves packed-integer mode before the floating-point set-up and again on every way out,
// exceptions included, so the caller's floating-point code is never disturbed.
class PackedModeGuard {
public:
    PackedModeGuard() { EndPackedMode(); }
    ~PackedModeGuard() { EndPackedMode(); }
    PackedModeGuard(const PackedModeGuard&) = delete;
    PackedModeGuard& operator=(const PackedModeGuard&) = delete;
};

TColor32* DestRow(const TDestPixels& Dst, int y) { return Dst.Bits + static_cast<std::ptrdiff_t>(y) * Dst.Width; }
const TColor32* SourceRow(const TSourcePixels& Src, int y) {
    return Src.Bits + static_cast<std::ptrdiff_t>(y) * Src.Width;
}

// How a blending write-back weighs the pixels: the block copy and the nearest sampler use the
// plain per-pixel-alpha blend when MasterAlpha is 255 or more; the interpolating samplers always
// blend with the master alpha.
enum class BlendRule { PlainAtFullMaster, AlwaysMaster };

void WriteBackRow(const TColor32* computed, TColor32* dest, int count, const TWriteBack& Mode, BlendRule rule) {
    switch (Mode.Mode) {
    case TDrawMode::dmOpaque:
        CopyPixels(computed, dest, count);
        return;
    case TDrawMode::dmBlend:
        if (rule == BlendRule::PlainAtFullMaster && Mode.MasterAlpha >= 255)
            BlendRow(computed, dest, count);
        else
            BlendRowMasterAlpha(computed, dest, count, Mode.MasterAlpha);
        return;
    case TDrawMode::dmCustom:
        for (int i = 0; i < count; ++i) (*Mode.Handler)(computed[i], dest[i], Mode.MasterAlpha);
        return;
    }
}

// Offset of destination position `pos` inside the destination run starting at `lo`; 64-bit
// because a destination rectangle may reach far outside the bitmap.
std::int64_t Offset(int pos, int lo) { return std::int64_t{pos} - lo; }

// Nearest source index for destination offset d (0-based) of a run of dst_len positions:
// a single position takes the middle of the source run; otherwise the single-precision ratio
// steps from the run's first pixel and the product is truncated toward zero.
int NearestIndex(std::int64_t d, std::int64_t dst_len, int src_lo, int src_hi, float ratio) {
    if (dst_len < 2) return (src_lo + src_hi - 1) / 2;
    const auto index =
        static_cast<std::int64_t>(std::trunc(static_cast<Extended>(d) * ratio + static_cast<Extended>(src_lo)));
    // Never outside the source run, even where the single-precision ratio rounds up.
    return static_cast<int>(std::clamp<std::int64_t>(index, src_lo, src_hi - 1));
}

float NearestRatio(int src_len, std::int64_t dst_len) {
    return static_cast<float>(static_cast<Extended>(src_len) / static_cast<Extended>(dst_len));
}

}  // namespace

void CopyBlock(const TDestPixels& Dst, const ui::TRect& DstRect, const ui::TRect& DstClip, const TSourcePixels& Src,
               const ui::TRect& SrcRect, const TWriteBack& Mode) {
    const int sx = SrcRect.Left + DstClip.Left - DstRect.Left;
    const int sy = SrcRect.Top + DstClip.Top - DstRect.Top;
    const int n = DstClip.Width();
    for (int y = DstClip.Top; y < DstClip.Bottom; ++y) {
        const TColor32* s = SourceRow(Src, sy + (y - DstClip.Top)) + sx;
        TColor32* d = DestRow(Dst, y) + DstClip.Left;
        WriteBackRow(s, d, n, Mode, BlendRule::PlainAtFullMaster);
    }
}

void SampleNearest(const TDestPixels& Dst, const ui::TRect& DstRect, const ui::TRect& DstClip, const TSourcePixels& Src,
                   const ui::TRect& SrcRect, const TWriteBack& Mode) {
    const std::int64_t DstW = std::int64_t{DstRect.Right} - DstRect.Left;
    const std::int64_t DstH = std::int64_t{DstRect.Bottom} - DstRect.Top;
    const float x_ratio = NearestRatio(SrcRect.Width(), DstW);
    const float y_ratio = NearestRatio(SrcRect.Height(), DstH);
    const int n = DstClip.Width();

    std::vector<int> columns(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const std::int64_t d = Offset(i + DstClip.Left, DstRect.Left);
        columns[static_cast<std::size_t>(i)] = NearestIndex(d, DstW, SrcRect.Left, SrcRect.Right, x_ratio);
    }
    std::vector<TColor32> buffer(static_cast<std::size_t>(n));

    int previous_row = -1;
    for (int y = DstClip.Top; y < DstClip.Bottom; ++y) {
        const int sy = NearestIndex(Offset(y, DstRect.Top), DstH, SrcRect.Top, SrcRect.Bottom, y_ratio);
        TColor32* d = DestRow(Dst, y) + DstClip.Left;
        if (Mode.Mode == TDrawMode::dmOpaque) {
            if (sy == previous_row) {
                // Same source row as the row above: the finished row is copied down.
                CopyPixels(DestRow(Dst, y - 1) + DstClip.Left, d, n);
            } else {
                const TColor32* s = SourceRow(Src, sy);
                for (int i = 0; i < n; ++i) d[i] = s[columns[static_cast<std::size_t>(i)]];
            }
        } else {
            if (sy != previous_row) {
                const TColor32* s = SourceRow(Src, sy);
                for (int i = 0; i < n; ++i)
                    buffer[static_cast<std::size_t>(i)] = s[columns[static_cast<std::size_t>(i)]];
            }
            WriteBackRow(buffer.data(), d, n, Mode, BlendRule::PlainAtFullMaster);
        }
        previous_row = sy;
    }
}

std::vector<TLinearSample> BuildLinearSamples(int DstLo, int DstHi, int ClipLo, int ClipHi, int SrcLo, int SrcHi,
                                              int SrcSize) {
    const Extended ratio = static_cast<Extended>(SrcHi - SrcLo) / (static_cast<Extended>(DstHi) - DstLo);
    std::vector<TLinearSample> samples;
    samples.reserve(static_cast<std::size_t>(std::max(ClipHi - ClipLo, 0)));
    for (int pos = ClipLo; pos < ClipHi; ++pos) {
        const std::int64_t d = Offset(pos, DstLo);
        // Pixel centres: destination centre d + 0.5 in source coordinates, less 0.5 so that
        // t counts from the first source pixel's centre; the result is rounded to single.
        float t = static_cast<float>(ratio * (static_cast<Extended>(d) + 0.5L) + SrcLo - 0.5L);
        // Edge rule: positions before the first or after the last pixel of the source bitmap
        // (not of the source rectangle) take that pixel.
        if (t < 0.0f) t = 0.0f;
        if (t > static_cast<float>(SrcSize - 1)) t = static_cast<float>(SrcSize - 1);
        const Extended whole = std::floor(Extended{t});
        const auto position = static_cast<std::int32_t>(whole);
        // The fraction's share goes to the neighbour: round half to even of frac * 256.
        const auto weight = static_cast<std::int32_t>(256 - RoundHalfEven((Extended{t} - whole) * 256));
        samples.push_back({position, weight, position + 1});
    }
    // Edge rule: a sample whose neighbour would be the first pixel after the source rectangle
    // (the last sample) or after the source bitmap takes its own pixel twice, which gives the
    // pixel at Position whatever the weight, and reads nothing outside the bitmap even when
    // it is a single pixel wide.
    if (!samples.empty() && samples.back().Position + 1 == SrcHi) samples.back().Neighbour = samples.back().Position;
    for (TLinearSample& s : samples)
        if (s.Position == SrcSize - 1) s.Neighbour = s.Position;
    return samples;
}

void SampleBilinearUp(const TDestPixels& Dst, const ui::TRect& DstRect, const ui::TRect& DstClip,
                      const TSourcePixels& Src, const ui::TRect& SrcRect, const TWriteBack& Mode) {
    PackedModeGuard guard;
    const std::vector<TLinearSample> xs = BuildLinearSamples(DstRect.Left, DstRect.Right, DstClip.Left, DstClip.Right,
                                                             SrcRect.Left, SrcRect.Right, Src.Width);
    const std::vector<TLinearSample> ys = BuildLinearSamples(DstRect.Top, DstRect.Bottom, DstClip.Top, DstClip.Bottom,
                                                             SrcRect.Top, SrcRect.Bottom, Src.Height);
    const int n = DstClip.Width();
    std::vector<TColor32> buffer(static_cast<std::size_t>(n));
    constexpr std::uint32_t kMask = 0x00FF00FFu;

    for (int row = 0; row < DstClip.Height(); ++row) {
        const TLinearSample& sy = ys[static_cast<std::size_t>(row)];
        const TColor32* upper = SourceRow(Src, sy.Position);
        const TColor32* lower = SourceRow(Src, sy.Neighbour);
        const std::uint32_t wy = static_cast<std::uint32_t>(sy.Weight);
        const std::uint32_t iwy = 256 - wy;
        TColor32* out =
            (Mode.Mode == TDrawMode::dmOpaque) ? DestRow(Dst, DstClip.Top + row) + DstClip.Left : buffer.data();
        // Blue/red and green/alpha travel as two 16-bit lane pairs; 255 * 256 fits a lane.
        std::uint32_t l_br = 0, l_ga = 0, r_br = 0, r_ga = 0;
        std::int32_t cached_x = -1, cached_neighbour = -1;
        for (int i = 0; i < n; ++i) {
            const TLinearSample& sx = xs[static_cast<std::size_t>(i)];
            if (sx.Position != cached_x || sx.Neighbour != cached_neighbour) {
                // The vertical interpolation of both columns is kept while x does not change.
                const TColor32 a = upper[sx.Position], b = upper[sx.Neighbour];
                const TColor32 c = lower[sx.Position], e = lower[sx.Neighbour];
                l_br = (((a & kMask) * wy + (c & kMask) * iwy) >> 8) & kMask;
                l_ga = ((((a >> 8) & kMask) * wy + ((c >> 8) & kMask) * iwy) >> 8) & kMask;
                r_br = (((b & kMask) * wy + (e & kMask) * iwy) >> 8) & kMask;
                r_ga = ((((b >> 8) & kMask) * wy + ((e >> 8) & kMask) * iwy) >> 8) & kMask;
                cached_x = sx.Position;
                cached_neighbour = sx.Neighbour;
            }
            const std::uint32_t wx = static_cast<std::uint32_t>(sx.Weight);
            const std::uint32_t iwx = 256 - wx;
            // Truncating shifts, no rounding term.
            const std::uint32_t br = ((wx * l_br + iwx * r_br) >> 8) & kMask;
            const std::uint32_t ga = (wx * l_ga + iwx * r_ga) & 0xFF00FF00u;
            out[i] = br | ga;
        }
        if (Mode.Mode != TDrawMode::dmOpaque)
            WriteBackRow(buffer.data(), DestRow(Dst, DstClip.Top + row) + DstClip.Left, n, Mode,
                         BlendRule::AlwaysMaster);
    }
}

void SampleFiltered(const TDestPixels& Dst, const ui::TRect& DstRect, const ui::TRect& DstClip,
                    const TSourcePixels& Src, const ui::TRect& SrcRect, TStretchFilter Filter, const TWriteBack& Mode,
                    int Threads, TContributorCache* Weights) {
    PackedModeGuard guard;
    const auto table = [&](int DstLo, int DstHi, int ClipLo, int ClipHi, int SrcLo, int SrcHi) {
        if (Weights) return *Weights->Table(DstLo, DstHi, ClipLo, ClipHi, SrcLo, SrcHi, Filter);
        return BuildContributorTable(DstLo, DstHi, ClipLo, ClipHi, SrcLo, SrcHi, Filter);
    };
    TContributorTable columns =
        table(DstRect.Left, DstRect.Right, DstClip.Left, DstClip.Right, SrcRect.Left, SrcRect.Right);
    TContributorTable rows =
        table(DstRect.Top, DstRect.Bottom, DstClip.Top, DstClip.Bottom, SrcRect.Top, SrcRect.Bottom);
    if (columns.empty() || rows.empty()) return;
    // Only the kernels with negative lobes can push a sum outside 0..255.
    const bool clamp = Filter == TStretchFilter::sfLanczos || Filter == TStretchFilter::sfMitchell;

    // Rows first..first+count-1 of the clip, with their own resampler: each row depends on the
    // source and its weights alone. A subset of the rows' weights passes the resampler's
    // exactness bound whenever the whole does, and either way both of its paths give the same
    // pixels, so the bands are the rows one resampler gives.
    const auto band = [&](std::size_t first, std::size_t count) {
        PackedModeGuard band_guard;
        TContributorTable band_rows(rows.begin() + static_cast<std::ptrdiff_t>(first),
                                    rows.begin() + static_cast<std::ptrdiff_t>(first + count));
        TFilteredResampler resampler(Src.Bits, Src.Width, columns, std::move(band_rows), clamp);
        const int n = resampler.Columns();
        std::vector<TColor32> buffer(Mode.Mode == TDrawMode::dmOpaque ? 0 : static_cast<std::size_t>(n));
        for (int row = 0; row < resampler.Rows(); ++row) {
            TColor32* dest = DestRow(Dst, DstClip.Top + static_cast<int>(first) + row) + DstClip.Left;
            if (Mode.Mode == TDrawMode::dmOpaque) {
                resampler.ComputeRow(row, dest);
            } else {
                resampler.ComputeRow(row, buffer.data());
                WriteBackRow(buffer.data(), dest, n, Mode, BlendRule::AlwaysMaster);
            }
        }
    };
    const std::size_t total = rows.size();
    if (Threads <= 1 || total < 2) {
        band(0, total);
        return;
    }
    // Small bands, several a thread: a thread the system schedules late holds up little, since
    // the caller takes on every band no thread has begun.
    const std::size_t bands = std::min<std::size_t>(total, 4 * static_cast<std::size_t>(Threads));
    kernel::RunOrdered(
        bands, Threads - 1, bands,
        [&](std::size_t k) { band(total * k / bands, total * (k + 1) / bands - total * k / bands); },
        [](std::size_t) {});
}

}  // namespace imaging
