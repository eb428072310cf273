#include "imaging/row_first_resampler.h"

#include <algorithm>
#include <limits>

#include "imaging/resample_sums.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace imaging {

using resample::kChannels;

bool TRowFirstResampler::Exact(const TContributorTable& columns, const TContributorTable& rows) {
    // The horizontal pass multiplies in 16-bit lanes.
    return resample::SumsFit32(columns, rows) && resample::WeightsFit16(columns);
}

TRowFirstResampler::TRowFirstResampler(int source_width, int source_height,
                                       std::shared_ptr<const TContributorTable> columns, bool clamp)
    : source_width_(source_width), columns_(std::move(columns)), source_height_(source_height), clamp_(clamp) {
    for (const TContributorList& list : *columns_) {
        for (std::size_t k = 0; k < list.size(); k += 2) {
            const TContributor& t0 = list[k];
            const TContributor t1 = k + 1 < list.size() ? list[k + 1] : TContributor{t0.Position, 0};
            const std::uint32_t weights =
                (static_cast<std::uint32_t>(t1.Weight) << 16) | (static_cast<std::uint32_t>(t0.Weight) & 0xFFFFu);
            pairs_.push_back({{weights, weights, weights, weights}, t0.Position, t1.Position});
        }
        pairs_end_.push_back(pairs_.size());
    }
    reduced_.resize(static_cast<std::size_t>(source_height_) * columns_->size() * kChannels);
}

void TRowFirstResampler::AddRows(int first, int count, const TColor32* pixels) {
    const std::size_t row_sums = columns_->size() * kChannels;
    for (int y = std::max(first, 0); y < std::min(first + count, source_height_); ++y) {
        ReduceRow(pixels + static_cast<std::size_t>(y - first) * source_width_,
                  reduced_.data() + static_cast<std::size_t>(y) * row_sums);
    }
}

void TRowFirstResampler::ReduceRow(const TColor32* source, std::int32_t* out) const {
    std::size_t begin = 0;
    for (std::size_t i = 0; i < pairs_end_.size(); ++i) {
        const std::size_t end = pairs_end_[i];
#if defined(__SSE2__)
        // pmaddwd multiplies the interleaved channel bytes of the pair's two pixels by their two
        // 16-bit weights and adds the products into one 32-bit sum a channel.
        const __m128i zero = _mm_setzero_si128();
        __m128i sums = zero;
        for (std::size_t p = begin; p < end; ++p) {
            const TapPair& pair = pairs_[p];
            const __m128i a = _mm_cvtsi32_si128(static_cast<int>(source[pair.A]));
            const __m128i b = _mm_cvtsi32_si128(static_cast<int>(source[pair.B]));
            const __m128i channels = _mm_unpacklo_epi8(_mm_unpacklo_epi8(a, b), zero);
            sums = _mm_add_epi32(
                sums, _mm_madd_epi16(channels, _mm_load_si128(reinterpret_cast<const __m128i*>(pair.Weights))));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i * kChannels), sums);
#else
        for (int ch = 0; ch < kChannels; ++ch) {
            std::int32_t s = 0;
            for (std::size_t p = begin; p < end; ++p) {
                const TapPair& pair = pairs_[p];
                s += static_cast<std::int16_t>(pair.Weights[0] & 0xFFFFu) *
                         static_cast<std::int32_t>(resample::ChannelOf(source[pair.A], ch)) +
                     static_cast<std::int16_t>(pair.Weights[0] >> 16) *
                         static_cast<std::int32_t>(resample::ChannelOf(source[pair.B], ch));
            }
            out[i * kChannels + static_cast<std::size_t>(ch)] = s;
        }
#endif
        begin = end;
    }
}

void TRowFirstResampler::ComputeRow(const TContributorList& taps, TColor32* out) const {
    const std::size_t n = columns_->size() * kChannels;
    // Unsigned, so that the arithmetic is defined even where it would wrap; Exact keeps every
    // sum inside the signed range, and the bits are those of the signed sums.
    std::vector<std::uint32_t> sums(n, 0);
    for (const TContributor& t : taps) {
        const std::int32_t* reduced = reduced_.data() + static_cast<std::size_t>(t.Position) * n;
        const auto w = static_cast<std::uint32_t>(t.Weight);
        for (std::size_t k = 0; k < n; ++k) sums[k] += w * static_cast<std::uint32_t>(reduced[k]);
    }
    for (std::size_t i = 0; i < columns_->size(); ++i) {
        std::int32_t packed[kChannels];
        for (int ch = 0; ch < kChannels; ++ch)
            packed[ch] = static_cast<std::int32_t>(sums[i * kChannels + static_cast<std::size_t>(ch)]);
        out[i] = resample::PackPixel(packed, clamp_);
    }
}

}  // namespace imaging
