// The separable filtered resampler the other way round, for a picture that arrives a band of
// rows at a time: every source row is summed across (the horizontal pass) as it arrives, and the
// destination rows are then summed down (the vertical pass) from those reduced rows, so the
// whole picture is never held. It forms the products of TFilteredResampler grouped the other
// way; where Exact() holds every partial sum is exact, and the pixels are the same.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "imaging/color32.h"
#include "imaging/contributor_table.h"
#include "platform/kernel/large_memory.h"

namespace imaging {

class TRowFirstResampler {
public:
    // Whether this order of summing gives TFilteredResampler's pixels for these tables, which
    // must not be empty.
    static bool Exact(const TContributorTable& columns, const TContributorTable& rows);

    // A source `source_width` x `source_height` pixels; the column table as for
    // TFilteredResampler, not empty; `clamp` as there.
    TRowFirstResampler(int source_width, int source_height, std::shared_ptr<const TContributorTable> columns,
                       bool clamp);

    int Columns() const { return static_cast<int>(columns_->size()); }

    // Source rows first..first+count-1, `pixels` holding them one after another. Several threads
    // may add different rows at the same time.
    void AddRows(int first, int count, const TColor32* pixels);

    // The destination row of one row list (of a table that with the column table is Exact) into
    // `out`, Columns() pixels, once every source row the list names has been added. Several
    // threads may compute rows at once.
    void ComputeRow(const TContributorList& taps, TColor32* out) const;

private:
    void ReduceRow(const TColor32* source, std::int32_t* out) const;

    // One horizontal tap pair: the weights of two source columns in the 16-bit lanes of one
    // 32-bit word each channel pair multiplies by (an odd last tap pairs with itself at 0).
    struct alignas(16) TapPair {
        std::uint32_t Weights[4];  // A's weight in the low half, B's in the high; 4 times over
        std::int32_t A;
        std::int32_t B;
    };

    int source_width_;
    std::shared_ptr<const TContributorTable> columns_;
    int source_height_;
    bool clamp_;
    std::vector<TapPair> pairs_;          // every column's tap pairs, one column after another
    std::vector<std::size_t> pairs_end_;  // by column: where its pairs end in pairs_
    // Columns whose taps are consecutive source columns, for processors with 256-bit integer
    // vectors: their taps in groups of eight pixels read at once.
    struct WideColumn {
        std::int32_t Index;   // the destination column
        std::int32_t Start;   // its first tap's source column
        std::int32_t Groups;  // groups of eight taps (the last padded with weight 0)
        std::size_t Weights;  // where its 32 lane weights a group begin in wide_weights_
    };
    std::vector<WideColumn> wide_;
    std::vector<std::int16_t> wide_weights_;
    std::vector<char> narrow_;  // by column: summed by tap pairs (all of them without wide vectors)
    bool wide_vertical_ = false;
    // By source row: its horizontal sums, 4 a column (b, g, r, a).
    kernel::LargeBuffer<std::int32_t> reduced_;
};

}  // namespace imaging
