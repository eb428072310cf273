#include "imaging/contributor_table.h"

#include <algorithm>
#include <cmath>

namespace imaging {

namespace {

int ClampPosition(std::int64_t j, int SrcLo, int SrcHi) {
    // Edge rule: taps beyond the source repeat its first or last pixel.
    return static_cast<int>(std::clamp<std::int64_t>(j, SrcLo, SrcHi - 1));
}

// Every list sums to 256: the rounding surplus goes to (or is taken from) the middle element.
void Normalise(TContributorList& list, float centre, int SrcLo, int SrcHi) {
    if (list.empty()) {
        // All weights rounded to zero (a very strong reduction): take the pixel under the centre.
        list.push_back({ClampPosition(static_cast<std::int64_t>(std::floor(Extended{centre})), SrcLo, SrcHi), 256});
        return;
    }
    std::int32_t sum = 0;
    for (const TContributor& c : list) sum += c.Weight;
    if (sum != 256) list[(list.size() - 1) / 2].Weight -= sum - 256;
}

}  // namespace

TContributorTable BuildContributorTable(int DstLo, int DstHi, int ClipLo, int ClipHi, int SrcLo, int SrcHi,
                                        TStretchFilter Filter) {
    const int SrcW = SrcHi - SrcLo;
    const std::int64_t DstW = std::int64_t{DstHi} - DstLo;  // a destination may reach far outside the bitmap
    const int ClipW = ClipHi - ClipLo;
    TContributorTable table;
    if (SrcW <= 0 || ClipW <= 0 || DstW <= 0) return table;
    table.resize(static_cast<std::size_t>(ClipW));
    if (SrcW == 1) {
        for (TContributorList& list : table) list.push_back({SrcLo, 256});
        return table;
    }

    const TFilterInfo filter = FilterInfo(Filter);
    // Scale and its inverse are single precision; they set every centre and weight below.
    const float Scale = static_cast<float>(Extended{static_cast<Extended>(DstW)} / SrcW);
    const float s = static_cast<float>(1 / Extended{Scale});
    const bool reducing = Scale < 1.0f;
    // Reducing stretches the kernel over 1/Scale source pixels (single precision radius).
    const float radius = reducing ? static_cast<float>(Extended{filter.Radius} * s) : filter.Radius;

    for (int i = 0; i < ClipW; ++i) {
        const std::int64_t d = std::int64_t{i} + ClipLo - DstLo;
        // Pixel-centre convention: destination centre d + 0.5 maps to source coordinate
        // (d + 0.5) * s, less 0.5 to index pixels by their left edge; stored in single.
        const float c = static_cast<float>((static_cast<Extended>(d) + 0.5L) * s + SrcLo - 0.5L);
        const auto first = static_cast<std::int64_t>(std::floor(Extended{c} - radius));
        const auto last = static_cast<std::int64_t>(std::ceil(Extended{c} + radius));
        TContributorList& list = table[static_cast<std::size_t>(i)];
        list.reserve(static_cast<std::size_t>(last - first + 1));
        for (std::int64_t j = first; j <= last; ++j) {
            std::int64_t w;
            if (reducing) {
                // The kernel's argument is rounded to single; the weight is the kernel scaled
                // by 256 * Scale in extended precision, rounded half to even.
                const float x = static_cast<float>((Extended{c} - static_cast<Extended>(j)) * Scale);
                w = RoundHalfEven(Extended{filter.Kernel(x)} * 256 * Scale);
            } else {
                const float x = static_cast<float>(Extended{c} - static_cast<Extended>(j));
                w = RoundHalfEven(Extended{filter.Kernel(x)} * 256);
            }
            if (w != 0) list.push_back({ClampPosition(j, SrcLo, SrcHi), static_cast<std::int32_t>(w)});
        }
        Normalise(list, c, SrcLo, SrcHi);
    }
    return table;
}

}  // namespace imaging
