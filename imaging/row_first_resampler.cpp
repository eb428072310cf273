#include "imaging/row_first_resampler.h"

#include <algorithm>
#include <limits>

#include "imaging/resample_sums.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include <immintrin.h>
#define QBK_WIDE_VECTORS 1
#endif

namespace imaging {

using resample::kChannels;

namespace {

#if defined(QBK_WIDE_VECTORS)

bool HasWideVectors() { return __builtin_cpu_supports("avx2"); }

// Eight consecutive pixels a step: a byte shuffle interleaves the channels of neighbouring pixels
// within each half, so that pmaddwd multiplies them by their two weights, as the tap pairs do.
template <typename Column>
__attribute__((target("avx2"))) void ReduceWideColumns(const TColor32* source, const std::vector<Column>& columns,
                                                       const std::int16_t* weights, std::int32_t* out) {
    const __m256i order = _mm256_setr_epi8(0, 4, 1, 5, 2, 6, 3, 7, 8, 12, 9, 13, 10, 14, 11, 15,  //
                                           0, 4, 1, 5, 2, 6, 3, 7, 8, 12, 9, 13, 10, 14, 11, 15);
    const __m256i zero = _mm256_setzero_si256();
    for (const Column& c : columns) {
        const TColor32* p = source + c.Start;
        const std::int16_t* w = weights + c.Weights;
        __m256i sums = zero;
        for (int g = 0; g < c.Groups; ++g, p += 8, w += 32) {
            const __m256i pixels = _mm256_shuffle_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)), order);
            sums = _mm256_add_epi32(sums, _mm256_madd_epi16(_mm256_unpacklo_epi8(pixels, zero),
                                                            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(w))));
            sums =
                _mm256_add_epi32(sums, _mm256_madd_epi16(_mm256_unpackhi_epi8(pixels, zero),
                                                         _mm256_loadu_si256(reinterpret_cast<const __m256i*>(w + 16))));
        }
        const __m128i total = _mm_add_epi32(_mm256_castsi256_si128(sums), _mm256_extracti128_si256(sums, 1));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + static_cast<std::size_t>(c.Index) * kChannels), total);
    }
}

__attribute__((target("avx2"))) void AccumulateWide(std::uint32_t* sums, const std::int32_t* reduced, std::size_t n,
                                                    std::uint32_t weight) {
    const __m256i w = _mm256_set1_epi32(static_cast<int>(weight));
    std::size_t k = 0;
    for (; k + 8 <= n; k += 8) {
        __m256i* s = reinterpret_cast<__m256i*>(sums + k);
        const __m256i r = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(reduced + k));
        _mm256_storeu_si256(s, _mm256_add_epi32(_mm256_loadu_si256(s), _mm256_mullo_epi32(r, w)));
    }
    for (; k < n; ++k) sums[k] += weight * static_cast<std::uint32_t>(reduced[k]);
}

#else

bool HasWideVectors() { return false; }

#endif

}  // namespace

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
    const bool wide = HasWideVectors();
    wide_vertical_ = wide;
    narrow_.assign(columns_->size(), 1);
    for (std::size_t i = 0; wide && i < columns_->size(); ++i) {
        const TContributorList& list = (*columns_)[i];
        const auto n = static_cast<std::int32_t>(list.size());
        const std::int32_t groups = (n + 7) / 8;
        bool consecutive = list.front().Position + groups * 8 <= source_width;
        for (std::int32_t k = 1; consecutive && k < n; ++k)
            consecutive = list[static_cast<std::size_t>(k)].Position == list.front().Position + k;
        if (!consecutive) continue;
        narrow_[i] = 0;
        wide_.push_back({static_cast<std::int32_t>(i), list.front().Position, groups, wide_weights_.size()});
        // Per group: the low halves of both lanes hold taps 0-1 and 4-5, the high halves 2-3 and
        // 6-7, each pair repeated for the four channels.
        const auto weight = [&](std::int32_t k) {
            return k < n ? static_cast<std::int16_t>(list[static_cast<std::size_t>(k)].Weight) : std::int16_t{0};
        };
        for (std::int32_t g = 0; g < groups; ++g) {
            for (const std::int32_t half : {0, 2}) {
                for (const std::int32_t lane : {0, 4}) {
                    for (int ch = 0; ch < kChannels; ++ch) {
                        wide_weights_.push_back(weight(8 * g + lane + half));
                        wide_weights_.push_back(weight(8 * g + lane + half + 1));
                    }
                }
            }
        }
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
#if defined(QBK_WIDE_VECTORS)
    if (!wide_.empty()) ReduceWideColumns(source, wide_, wide_weights_.data(), out);
#endif
    std::size_t begin = 0;
    for (std::size_t i = 0; i < pairs_end_.size(); ++i) {
        const std::size_t end = pairs_end_[i];
        if (narrow_[i] == 0) {
            begin = end;
            continue;
        }
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
#if defined(QBK_WIDE_VECTORS)
        if (wide_vertical_) {
            AccumulateWide(sums.data(), reduced, n, w);
            continue;
        }
#endif
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
