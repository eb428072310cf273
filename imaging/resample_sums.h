// The fixed-point sums both filtered resamplers share: the bound under which their integer sums
// are exact in any order, and how a sum becomes a channel's byte.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "imaging/color32.h"
#include "imaging/contributor_table.h"

namespace imaging::resample {

constexpr int kChannels = 4;

inline std::int64_t AbsWeightSum(const TContributorList& list) {
    std::int64_t sum = 0;
    for (const TContributor& c : list) sum += std::llabs(c.Weight);
    return sum;
}

// The largest AbsWeightSum of any list of the table.
inline std::int64_t WeightBound(const TContributorTable& table) {
    std::int64_t bound = 0;
    for (const TContributorList& list : table) bound = std::max(bound, AbsWeightSum(list));
    return bound;
}

// No partial sum of weight x weight x channel, in any grouping, can leave the signed 32-bit
// range: then every order of summing gives the same integers.
inline bool SumsFit32(const TContributorTable& columns, const TContributorTable& rows) {
    return WeightBound(rows) * 255 * WeightBound(columns) < (std::int64_t{1} << 31);
}

inline bool WeightsFit16(const TContributorTable& table) {
    for (const TContributorList& list : table)
        for (const TContributor& c : list)
            if (c.Weight < std::numeric_limits<std::int16_t>::min() ||
                c.Weight > std::numeric_limits<std::int16_t>::max())
                return false;
    return true;
}

// A channel's value is bits 16-23 of its sum. Clamped: sums above 0xFF0000 give 255, negative
// sums 0 (ringing of negative lobes never wraps); unclamped: the bits as they are.
inline std::uint32_t PackChannel(std::int32_t sum, bool clamp) {
    if (clamp) {
        if (sum > 0xFF0000) return 0xFF;
        if (sum < 0) return 0;
    }
    return (static_cast<std::uint32_t>(sum) >> 16) & 0xFFu;
}

// sums in memory byte order: blue, green, red, alpha.
inline TColor32 PackPixel(const std::int32_t* sums, bool clamp) {
    return PackChannel(sums[0], clamp) | (PackChannel(sums[1], clamp) << 8) | (PackChannel(sums[2], clamp) << 16) |
           (PackChannel(sums[3], clamp) << 24);
}

inline std::uint32_t ChannelOf(TColor32 pixel, int channel) { return (pixel >> (8 * channel)) & 0xFFu; }

}  // namespace imaging::resample
