// Contributor tables of the filtered resampler: for each clipped destination column (or row),
// the source columns (rows) that feed it and their 8-bit fixed-point weights (256 = 1.0).
// Built once per draw and per direction, before any pixel work.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/filter_kernels.h"

namespace imaging {

struct TContributor {
    std::int32_t Position;  // absolute source column or row
    std::int32_t Weight;    // 256 means 1.0; may be negative for kernels with negative lobes
};
// In increasing source order; positions repeat where the edge rule clamps several taps onto
// the same edge pixel. Every list's weights sum to exactly 256.
using TContributorList = std::vector<TContributor>;
// One list per clipped destination position; index 0 is the clip's first column (row).
using TContributorTable = std::vector<TContributorList>;

// The destination runs DstLo..DstHi (exclusive), of which ClipLo..ClipHi is drawn; the source
// runs SrcLo..SrcHi. Empty when the source is empty or nothing is clipped in. The filter must be
// one with a kernel (sfLinear, sfSpline, sfLanczos, sfMitchell; sfNearest gives the box).
TContributorTable BuildContributorTable(int DstLo, int DstHi, int ClipLo, int ClipHi, int SrcLo, int SrcHi,
                                        TStretchFilter Filter);

}  // namespace imaging
