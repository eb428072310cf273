// The separable filtered resampler: given the column and row contributor tables of one draw,
// computes the clipped destination's pixels one row at a time.
//
// For each destination row, the vertical pass sums Weight x channel over the row list, for
// every source column any column list names (Lo..Hi), into signed 32-bit sums; the horizontal
// pass then sums Weight x vertical sum over each column list. Two 256-based weights make
// 65536 = 1.0, so a channel's value sits in bits 16-23 of its sum; the bits below are dropped
// (truncation, no rounding term). All of this is exact integer arithmetic, which is why the
// vector path, which groups the same products differently, gives the same bytes.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/color32.h"
#include "imaging/contributor_table.h"

namespace imaging {

enum class TResamplePath : std::uint8_t {
    Reference,  // the plain loops, one channel at a time
    Fast,       // vector passes where the processor has them; the reference elsewhere
};

class TFilteredResampler {
public:
    // Source: `bits` of a bitmap `source_width` pixels wide, rows top-down; every position in
    // the tables must name a pixel inside it. `clamp` packs sums outside 0..255 as 0 and 255
    // (kernels with negative lobes); without it the bits 16-23 are taken as they are.
    TFilteredResampler(const TColor32* bits, int source_width, TContributorTable columns, TContributorTable rows,
                       bool clamp);

    // Clipped destination size; 0 x 0 when either table is empty (nothing to draw).
    int Columns() const { return static_cast<int>(columns_.size()); }
    int Rows() const { return static_cast<int>(rows_.size()); }

    // Computes clipped destination row `row` (0 = the clip's first) into `out`, Columns() pixels.
    // Returns the path that ran: Fast falls back to Reference where the processor has no vector
    // passes or a weight does not fit their lanes.
    TResamplePath ComputeRow(int row, TColor32* out, TResamplePath path = TResamplePath::Fast);

private:
    void VerticalReference(const TContributorList& taps);
    void HorizontalReference(TColor32* out) const;
#if defined(__SSE2__)
    void VerticalFast(const TContributorList& taps);
    void HorizontalFast(TColor32* out);
#endif

    const TColor32* bits_;
    int source_width_;
    TContributorTable columns_;
    TContributorTable rows_;
    bool clamp_;
    int lo_ = 0;  // first and last source column named by any column list
    int hi_ = -1;
    bool fast_ok_ = false;            // every weight fits the vector path's 16-bit lanes
    std::vector<std::int32_t> sums_;  // 4 per source column Lo..Hi, in memory byte order b, g, r, a
    std::vector<double> sums_exact_;  // the same as doubles for the vector horizontal pass
};

}  // namespace imaging
