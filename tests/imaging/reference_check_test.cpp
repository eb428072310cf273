// Two checks of the filtered resampler that share no code with it:
// - a literal per-pixel evaluation of the contributor lists, with its own kernels and weights,
//   that must agree byte for byte;
// - a float64 Lanczos-3 with exact (unquantised) weights that must stay within 1 level on
//   smooth pictures, which catches half-pixel shifts and a wrong support.
#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "imaging/bitmap32.h"

using namespace imaging;

namespace {

using LD = long double;

struct Tap {
    int pos;
    int weight;
};

// Kernels as plain formulas; every value that is single precision goes through a float.
float RefSinc(float x) {
    if (x == 0.0f) return 1.0f;
    const float px = static_cast<float>(3.14159265358979323846264338327950288L * static_cast<LD>(x));
    return static_cast<float>(sinl(px) / static_cast<LD>(px));
}

float RefKernel(TStretchFilter f, float x) {
    const float t = x < 0 ? -x : x;
    switch (f) {
    case TStretchFilter::sfLinear:
        if (x >= -1.0f && x < 0.0f) return static_cast<float>(static_cast<LD>(x) + 1.0L);
        if (x >= 0.0f && x < 1.0f) return static_cast<float>(1.0L - static_cast<LD>(x));
        return 0.0f;
    case TStretchFilter::sfSpline: {
        if (t >= 2.0f) return 0.0f;
        if (t >= 1.0f) {
            const float u = static_cast<float>(2.0L - static_cast<LD>(t));
            return static_cast<float>(static_cast<LD>(u) * u * u / 6.0L);
        }
        const float t2 = static_cast<float>(static_cast<LD>(t) * t);
        return static_cast<float>(0.5L * t2 * t - t2 + 2.0L / 3.0L);
    }
    case TStretchFilter::sfLanczos:
        if (t >= 3.0f) return 0.0f;
        return static_cast<float>(static_cast<LD>(RefSinc(t)) * RefSinc(static_cast<float>(static_cast<LD>(t) / 3.0L)));
    case TStretchFilter::sfMitchell: {
        if (t >= 2.0f) return 0.0f;
        const float t2 = static_cast<float>(static_cast<LD>(t) * t);
        const float t3 = static_cast<float>(static_cast<LD>(t2) * t);
        if (t < 1.0f) return static_cast<float>((7.0L * t3 - 12.0L * t2 + 16.0L / 3.0L) / 6.0L);
        return static_cast<float>((-(7.0L / 3.0L) * t3 + 12.0L * t2 - 20.0L * t + 32.0L / 3.0L) / 6.0L);
    }
    case TStretchFilter::sfNearest:
        break;
    }
    return 0.0f;
}

float RefRadius(TStretchFilter f) {
    return f == TStretchFilter::sfLanczos ? 3.0f : (f == TStretchFilter::sfLinear ? 1.0f : 2.0f);
}

// Nearest integer, halves to even: the default rounding mode of the floating-point unit.
long long RefRound(LD v) {
    EXPECT_EQ(std::fegetround(), FE_TONEAREST);
    return std::llrintl(v);
}

std::vector<Tap> RefTaps(int dst_lo, int dst_hi, int pos, int src_lo, int src_hi, TStretchFilter f) {
    const int src_w = src_hi - src_lo;
    if (src_w == 1) return {{src_lo, 256}};
    const float scale = static_cast<float>(static_cast<LD>(dst_hi - dst_lo) / src_w);
    const float inv = static_cast<float>(1.0L / scale);
    const float c = static_cast<float>((static_cast<LD>(pos - dst_lo) + 0.5L) * inv + src_lo - 0.5L);
    const bool down = scale < 1.0f;
    const float radius = down ? static_cast<float>(static_cast<LD>(RefRadius(f)) * inv) : RefRadius(f);
    std::vector<Tap> taps;
    for (long long j = static_cast<long long>(floorl(static_cast<LD>(c) - radius));
         j <= static_cast<long long>(ceill(static_cast<LD>(c) + radius)); ++j) {
        long long w;
        if (down)
            w = RefRound(static_cast<LD>(RefKernel(f, static_cast<float>((static_cast<LD>(c) - j) * scale))) * 256.0L *
                         scale);
        else
            w = RefRound(static_cast<LD>(RefKernel(f, static_cast<float>(static_cast<LD>(c) - j))) * 256.0L);
        if (w == 0) continue;
        const int p = j < src_lo ? src_lo : (j > src_hi - 1 ? src_hi - 1 : static_cast<int>(j));
        taps.push_back({p, static_cast<int>(w)});
    }
    if (taps.empty()) return {{static_cast<int>(floorl(c)), 256}};
    int sum = 0;
    for (const Tap& t : taps) sum += t.weight;
    taps[(taps.size() - 1) / 2].weight -= sum - 256;
    return taps;
}

// The whole destination rectangle dst_w x dst_h drawn from src (opaque, no clipping),
// evaluated one destination pixel at a time.
std::vector<TColor32> RefResample(const std::vector<TColor32>& src, int sw, int sh, int dw, int dh, TStretchFilter f) {
    const bool clamp = f == TStretchFilter::sfLanczos || f == TStretchFilter::sfMitchell;
    std::vector<TColor32> out(static_cast<std::size_t>(dw) * dh);
    for (int y = 0; y < dh; ++y) {
        const std::vector<Tap> rows = RefTaps(0, dh, y, 0, sh, f);
        for (int x = 0; x < dw; ++x) {
            const std::vector<Tap> cols = RefTaps(0, dw, x, 0, sw, f);
            TColor32 pixel = 0;
            for (int ch = 0; ch < 4; ++ch) {
                long long sum = 0;
                for (const Tap& c : cols)
                    for (const Tap& r : rows)
                        sum += static_cast<long long>(c.weight) * r.weight *
                               ((src[static_cast<std::size_t>(r.pos) * sw + c.pos] >> (8 * ch)) & 0xFF);
                long long v;
                if (clamp)
                    v = sum < 0 ? 0 : (sum > 0xFF0000 ? 255 : (sum >> 16) & 0xFF);
                else
                    v = (sum >> 16) & 0xFF;
                pixel |= static_cast<TColor32>(v) << (8 * ch);
            }
            out[static_cast<std::size_t>(y) * dw + x] = pixel;
        }
    }
    return out;
}

std::vector<TColor32> Draw(const std::vector<TColor32>& src, int sw, int sh, int dw, int dh, TStretchFilter f) {
    TBitmap32 s, d;
    s.SetSize(sw, sh);
    std::copy(src.begin(), src.end(), s.Bits());
    s.SetStretchFilter(f);
    d.SetSize(dw, dh);
    d.Draw(d.BoundsRect(), s.BoundsRect(), &s);
    return std::vector<TColor32>(d.Bits(), d.Bits() + static_cast<std::size_t>(dw) * dh);
}

}  // namespace

TEST(ReferenceCheck, FilteredResamplerAgreesByteForByteOnRandomPictures) {
    std::mt19937 rng(20261210);
    const TStretchFilter filters[] = {TStretchFilter::sfLanczos, TStretchFilter::sfMitchell, TStretchFilter::sfSpline,
                                      TStretchFilter::sfLinear};
    int compared = 0;
    for (int round = 0; round < 60; ++round) {
        const int sw = 1 + static_cast<int>(rng() % 40), sh = 1 + static_cast<int>(rng() % 40);
        int dw = 1 + static_cast<int>(rng() % 50), dh = 1 + static_cast<int>(rng() % 50);
        if (dw == sw && dh == sh) ++dw;  // equal sizes take the block copy
        std::vector<TColor32> src(static_cast<std::size_t>(sw) * sh);
        for (TColor32& p : src) p = rng();
        for (TStretchFilter f : filters) {
            // sfLinear enlarging in both directions goes to the bilinear sampler instead.
            if (f == TStretchFilter::sfLinear && dw > sw && dh > sh) continue;
            ASSERT_EQ(Draw(src, sw, sh, dw, dh, f), RefResample(src, sw, sh, dw, dh, f))
                << sw << "x" << sh << " -> " << dw << "x" << dh << " filter " << static_cast<int>(f);
            ++compared;
        }
    }
    EXPECT_GT(compared, 200);
}

TEST(ReferenceCheck, LanczosStaysWithinOneLevelOfExactWeights) {
    // Exact Lanczos-3 in doubles, weights normalised to 1, taps clamped to the edge.
    auto exact_taps = [](int dst, int pos, int src) {
        const double scale = static_cast<double>(dst) / src;
        const double c = (pos + 0.5) / scale - 0.5;
        const double support = scale < 1 ? 3.0 / scale : 3.0;
        const double stretch = scale < 1 ? scale : 1.0;
        auto sinc = [](double x) { return x == 0 ? 1.0 : std::sin(M_PI * x) / (M_PI * x); };
        std::vector<std::pair<int, double>> taps;
        double total = 0;
        for (int j = static_cast<int>(std::floor(c - support)); j <= static_cast<int>(std::ceil(c + support)); ++j) {
            const double x = (c - j) * stretch;
            const double w = std::abs(x) < 3 ? sinc(x) * sinc(x / 3) : 0.0;
            taps.emplace_back(std::clamp(j, 0, src - 1), w);
            total += w;
        }
        for (auto& t : taps) t.second /= total;
        return taps;
    };
    const std::pair<int, int> sizes[][2] = {{{64, 48}, {20, 15}},
                                            {{50, 40}, {173, 97}},
                                            {{97, 61}, {32, 88}},
                                            {{200, 150}, {27, 19}},
                                            {{31, 17}, {62, 34}}};
    for (const auto& sz : sizes) {
        const int sw = sz[0].first, sh = sz[0].second, dw = sz[1].first, dh = sz[1].second;
        // Smooth, but steep enough (several levels per source pixel) that a half-pixel shift
        // shows as more than one level.
        std::vector<TColor32> src(static_cast<std::size_t>(sw) * sh);
        for (int y = 0; y < sh; ++y)
            for (int x = 0; x < sw; ++x) {
                const auto v =
                    static_cast<TColor32>(std::lround(127.5 + 110 * std::sin(x * 3.0 / sw) * std::cos(y * 2.5 / sh)));
                const auto g = static_cast<TColor32>(std::lround(30 + 190.0 * (x + y) / (sw + sh)));
                src[static_cast<std::size_t>(y) * sw + x] = 0xFF000000u | (v << 16) | (g << 8) | (255 - v);
            }
        const std::vector<TColor32> got = Draw(src, sw, sh, dw, dh, TStretchFilter::sfLanczos);
        for (int y = 0; y < dh; ++y) {
            const auto rows = exact_taps(dh, y, sh);
            for (int x = 0; x < dw; ++x) {
                const auto cols = exact_taps(dw, x, sw);
                for (int ch = 0; ch < 4; ++ch) {
                    double v = 0;
                    for (const auto& r : rows)
                        for (const auto& c : cols)
                            v += r.second * c.second *
                                 ((src[static_cast<std::size_t>(r.first) * sw + c.first] >> (8 * ch)) & 0xFF);
                    const double expected = std::clamp(std::round(v), 0.0, 255.0);
                    const double actual = (got[static_cast<std::size_t>(y) * dw + x] >> (8 * ch)) & 0xFF;
                    ASSERT_LE(std::abs(actual - expected), 1.0)
                        << sw << "x" << sh << " -> " << dw << "x" << dh << " at " << x << "," << y << " ch " << ch;
                }
            }
        }
    }
}
