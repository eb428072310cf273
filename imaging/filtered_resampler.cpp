#include "imaging/filtered_resampler.h"

#include <algorithm>
#include <limits>

#include "imaging/resample_sums.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace imaging {

using resample::ChannelOf;
using resample::kChannels;
using resample::PackPixel;

TFilteredResampler::TFilteredResampler(const TColor32* bits, int source_width, TContributorTable columns,
                                       TContributorTable rows, bool clamp)
    : bits_(bits), source_width_(source_width), columns_(std::move(columns)), rows_(std::move(rows)), clamp_(clamp) {
    if (columns_.empty() || rows_.empty()) {
        columns_.clear();
        rows_.clear();
        return;
    }
    lo_ = std::numeric_limits<int>::max();
    hi_ = std::numeric_limits<int>::min();
    for (const TContributorList& list : columns_)
        for (const TContributor& c : list) {
            lo_ = std::min(lo_, c.Position);
            hi_ = std::max(hi_, c.Position);
        }
    sums_.assign(static_cast<std::size_t>(hi_ - lo_ + 1) * kChannels, 0);

    // The vector path multiplies in 16-bit lanes and sums the horizontal pass in doubles; both
    // are exact while the weights fit 16 bits and no sum can leave the 32-bit range.
    fast_ok_ =
        resample::SumsFit32(columns_, rows_) && resample::WeightsFit16(rows_) && resample::WeightsFit16(columns_);
#if defined(__SSE2__)
    if (fast_ok_) sums_exact_.assign(sums_.size(), 0.0);
#endif
}

TResamplePath TFilteredResampler::ComputeRow(int row, TColor32* out, TResamplePath path) {
    const TContributorList& taps = rows_[static_cast<std::size_t>(row)];
#if defined(__SSE2__)
    if (path == TResamplePath::Fast && fast_ok_) {
        VerticalFast(taps);
        HorizontalFast(out);
        return TResamplePath::Fast;
    }
#else
    (void)path;
#endif
    VerticalReference(taps);
    HorizontalReference(out);
    return TResamplePath::Reference;
}

void TFilteredResampler::VerticalReference(const TContributorList& taps) {
    for (int x = lo_; x <= hi_; ++x) {
        std::int32_t* sum = &sums_[static_cast<std::size_t>(x - lo_) * kChannels];
        for (int ch = 0; ch < kChannels; ++ch) {
            std::int32_t s = 0;
            for (const TContributor& t : taps) {
                const TColor32 p = bits_[static_cast<std::size_t>(t.Position) * source_width_ + x];
                s += t.Weight * static_cast<std::int32_t>(ChannelOf(p, ch));
            }
            sum[ch] = s;
        }
    }
}

void TFilteredResampler::HorizontalReference(TColor32* out) const {
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        std::int32_t packed[kChannels];
        for (int ch = 0; ch < kChannels; ++ch) {
            // 64-bit, then wrapped to 32 bits as the signed 32-bit sums of the definition are;
            // the constructor's bound keeps real pictures far from the wrap.
            std::int64_t s = 0;
            for (const TContributor& t : columns_[i])
                s += std::int64_t{t.Weight} * sums_[static_cast<std::size_t>(t.Position - lo_) * kChannels + ch];
            packed[ch] = static_cast<std::int32_t>(s);
        }
        out[i] = PackPixel(packed, clamp_);
    }
}

#if defined(__SSE2__)

void TFilteredResampler::VerticalFast(const TContributorList& taps) {
    // Taps go in pairs: pmaddwd multiplies the interleaved channel bytes of two source rows by
    // their two 16-bit weights and adds the products into one 32-bit sum per channel.
    struct TapPair {
        const TColor32* a;
        const TColor32* b;
        __m128i weights;
    };
    std::vector<TapPair> pairs;
    pairs.reserve((taps.size() + 1) / 2);
    for (std::size_t k = 0; k < taps.size(); k += 2) {
        const TContributor& t0 = taps[k];
        // An odd last tap pairs with itself at weight 0.
        const TContributor t1 = (k + 1 < taps.size()) ? taps[k + 1] : TContributor{t0.Position, 0};
        const std::uint32_t packed_w =
            (static_cast<std::uint32_t>(t1.Weight) << 16) | (static_cast<std::uint32_t>(t0.Weight) & 0xFFFFu);
        pairs.push_back({bits_ + static_cast<std::size_t>(t0.Position) * source_width_ + lo_,
                         bits_ + static_cast<std::size_t>(t1.Position) * source_width_ + lo_,
                         _mm_set1_epi32(static_cast<int>(packed_w))});
    }

    const int n = hi_ - lo_ + 1;
    const __m128i zero = _mm_setzero_si128();
    std::int32_t* sums = sums_.data();
    double* exact = sums_exact_.data();
    int x = 0;
    for (; x + 8 <= n; x += 8) {
        __m128i acc[8];
        for (__m128i& a : acc) a = zero;
        for (const TapPair& p : pairs) {
            for (int half = 0; half < 2; ++half) {
                const __m128i ra = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p.a + x + 4 * half));
                const __m128i rb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p.b + x + 4 * half));
                const __m128i lo = _mm_unpacklo_epi8(ra, rb);  // pixels 0-1: a0 b0 a1 b1 ...
                const __m128i hi = _mm_unpackhi_epi8(ra, rb);  // pixels 2-3
                __m128i* a = acc + 4 * half;
                a[0] = _mm_add_epi32(a[0], _mm_madd_epi16(_mm_unpacklo_epi8(lo, zero), p.weights));
                a[1] = _mm_add_epi32(a[1], _mm_madd_epi16(_mm_unpackhi_epi8(lo, zero), p.weights));
                a[2] = _mm_add_epi32(a[2], _mm_madd_epi16(_mm_unpacklo_epi8(hi, zero), p.weights));
                a[3] = _mm_add_epi32(a[3], _mm_madd_epi16(_mm_unpackhi_epi8(hi, zero), p.weights));
            }
        }
        for (int k = 0; k < 8; ++k) {
            std::int32_t* s = sums + static_cast<std::size_t>(x + k) * kChannels;
            _mm_storeu_si128(reinterpret_cast<__m128i*>(s), acc[k]);
            _mm_storeu_pd(exact + static_cast<std::size_t>(x + k) * kChannels, _mm_cvtepi32_pd(acc[k]));
            _mm_storeu_pd(exact + static_cast<std::size_t>(x + k) * kChannels + 2,
                          _mm_cvtepi32_pd(_mm_unpackhi_epi64(acc[k], acc[k])));
        }
    }
    for (; x < n; ++x) {
        for (int ch = 0; ch < kChannels; ++ch) {
            std::int32_t s = 0;
            for (const TContributor& t : taps)
                s += t.Weight * static_cast<std::int32_t>(ChannelOf(
                                    bits_[static_cast<std::size_t>(t.Position) * source_width_ + lo_ + x], ch));
            sums[static_cast<std::size_t>(x) * kChannels + ch] = s;
            exact[static_cast<std::size_t>(x) * kChannels + ch] = s;
        }
    }
}

void TFilteredResampler::HorizontalFast(TColor32* out) {
    // Doubles hold every product and sum exactly here (the constructor's bound), and SSE2 has
    // a two-lane double multiply where it lacks a 32-bit integer one.
    const double* exact = sums_exact_.data();
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        __m128d lo = _mm_setzero_pd();  // blue, green
        __m128d hi = _mm_setzero_pd();  // red, alpha
        for (const TContributor& t : columns_[i]) {
            const double* s = exact + static_cast<std::size_t>(t.Position - lo_) * kChannels;
            const __m128d w = _mm_set1_pd(static_cast<double>(t.Weight));
            lo = _mm_add_pd(lo, _mm_mul_pd(_mm_loadu_pd(s), w));
            hi = _mm_add_pd(hi, _mm_mul_pd(_mm_loadu_pd(s + 2), w));
        }
        const __m128i sums = _mm_unpacklo_epi64(_mm_cvtpd_epi32(lo), _mm_cvtpd_epi32(hi));
        alignas(16) std::int32_t packed[kChannels];
        _mm_store_si128(reinterpret_cast<__m128i*>(packed), sums);
        out[i] = PackPixel(packed, clamp_);
    }
}

#endif

}  // namespace imaging
