#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "imaging/bitmap32.h"
#include "imaging/filtered_resampler.h"
#include "imaging/samplers.h"
#include "imaging/stretch_copy.h"

using namespace imaging;
using ui::Rect;

namespace {

constexpr TColor32 kSentinel = 0x5A5A5A5A;

void FillRandom(TBitmap32& b, unsigned seed) {
    std::mt19937 rng(seed);
    for (int i = 0; i < b.Width() * b.Height(); ++i) b.Bits()[i] = rng();
}

const TStretchFilter kAllFilters[] = {TStretchFilter::sfNearest, TStretchFilter::sfLinear, TStretchFilter::sfSpline,
                                      TStretchFilter::sfLanczos, TStretchFilter::sfMitchell};

}  // namespace

TEST(StretchCopy, ConstantPictureStaysConstantAndSizesAreExact) {
    const std::pair<int, int> scales[][2] = {{{10, 8}, {3, 2}},      {{10, 8}, {37, 29}}, {{1, 1}, {7, 5}},
                                             {{5, 1}, {17, 9}},      {{1, 6}, {4, 2}},    {{64, 48}, {63, 49}},
                                             {{300, 200}, {7, 220}}, {{9, 9}, {9, 4}}};
    const TColor32 colour = 0xC8336699;
    for (TStretchFilter f : kAllFilters) {
        for (const auto& s : scales) {
            TBitmap32 src, dst;
            src.SetSize(s[0].first, s[0].second);
            src.Clear(colour);
            src.SetStretchFilter(f);
            dst.SetSize(s[1].first + 6, s[1].second + 4);
            dst.Clear(kSentinel);
            const ui::TRect r = ui::Bounds(3, 2, s[1].first, s[1].second);
            dst.Draw(r, src.BoundsRect(), &src);
            for (int y = 0; y < dst.Height(); ++y)
                for (int x = 0; x < dst.Width(); ++x) {
                    const bool inside = r.Contains(ui::Point(x, y));
                    ASSERT_EQ(*dst.PixelPointer(x, y), inside ? colour : kSentinel)
                        << "filter " << static_cast<int>(f) << " " << s[0].first << "x" << s[0].second << " -> "
                        << s[1].first << "x" << s[1].second << " at " << x << "," << y;
                }
        }
    }
}

TEST(StretchCopy, EqualSizesCopyExactlyWithEveryFilter) {
    TBitmap32 src, dst;
    src.SetSize(13, 7);
    FillRandom(src, 1);
    dst.SetSize(20, 10);
    for (TStretchFilter f : kAllFilters) {
        src.SetStretchFilter(f);
        dst.Clear(0);
        dst.Draw(Rect(5, 2, 13, 7), Rect(3, 1, 11, 6), &src);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 8; ++x) ASSERT_EQ(*dst.PixelPointer(5 + x, 2 + y), *src.PixelPointer(3 + x, 1 + y));
    }
}

TEST(StretchCopy, ClippedDrawEqualsTheMatchingPartOfTheWholeDraw) {
    TBitmap32 src;
    src.SetSize(57, 41);
    FillRandom(src, 2);
    for (TStretchFilter f : kAllFilters) {
        src.SetStretchFilter(f);
        // Whole 120 x 90 draw, then the same rectangle partly outside a smaller bitmap.
        TBitmap32 whole, part;
        whole.SetSize(120, 90);
        whole.Draw(whole.BoundsRect(), src.BoundsRect(), &src);
        part.SetSize(50, 40);
        part.Draw(Rect(-40, -30, 80, 60), src.BoundsRect(), &src);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 50; ++x)
                ASSERT_EQ(*part.PixelPointer(x, y), *whole.PixelPointer(x + 40, y + 30))
                    << static_cast<int>(f) << " at " << x << "," << y;
    }
}

TEST(StretchCopy, BandsOnThreadsGiveThePixelsOfOneDraw) {
    TBitmap32 src;
    src.SetSize(301, 217);
    FillRandom(src, 7);
    struct Case {
        ui::TRect dst;
        TDrawMode mode;
        int threads;
    };
    // Reductions and enlargements, clipped, blended, and more bands than rows.
    const Case cases[] = {
        {Rect(0, 0, 64, 48), TDrawMode::dmOpaque, 8},        {Rect(-13, 5, 70, 40), TDrawMode::dmOpaque, 3},
        {Rect(0, 0, 64, 48), TDrawMode::dmBlend, 5},         {Rect(0, 0, 90, 3), TDrawMode::dmOpaque, 16},
        {Rect(-200, -10, 700, 500), TDrawMode::dmOpaque, 7},
    };
    for (TStretchFilter f : kAllFilters) {
        src.SetStretchFilter(f);
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "filter " << static_cast<int>(f) << ", " << c.threads << " threads");
            TBitmap32 one, banded;
            for (TBitmap32* b : {&one, &banded}) {
                b->SetSize(80, 60);
                FillRandom(*b, 9);
            }
            src.SetMasterAlpha(c.mode == TDrawMode::dmBlend ? 130 : 255);
            StretchCopy(&one, c.dst, one.BoundsRect(), &src, src.BoundsRect(), f, c.mode, src.OnPixelCombine);
            StretchCopy(&banded, c.dst, banded.BoundsRect(), &src, src.BoundsRect(), f, c.mode, src.OnPixelCombine,
                        c.threads);
            int wrong = 0;
            for (int i = 0; i < 80 * 60; ++i) wrong += one.Bits()[i] != banded.Bits()[i];
            EXPECT_EQ(wrong, 0);
        }
    }
}

TEST(StretchCopy, ErrorsAndSilentCases) {
    TBitmap32 src, dst, empty;
    src.SetSize(4, 4);
    dst.SetSize(4, 4);
    const TPixelCombineEvent none;
    auto message = [&](TBitmap32* d, const TBitmap32* s, ui::TRect sr) -> std::string {
        try {
            StretchCopy(d, Rect(0, 0, 3, 3), Rect(0, 0, 4, 4), s, sr, TStretchFilter::sfLanczos, TDrawMode::dmOpaque,
                        none);
        } catch (const ETransformError& e) {
            return e.what();
        }
        return "";
    };
    // A null source is an error, tested before the source's emptiness.
    EXPECT_EQ(message(&dst, nullptr, Rect(0, 0, 4, 4)), "Source bitmap is nil or empty");
    EXPECT_EQ(message(nullptr, &src, Rect(0, 0, 4, 4)), "Destination bitmap is nil or empty");
    EXPECT_EQ(message(&empty, &src, Rect(0, 0, 4, 4)), "Destination bitmap is nil or empty");
    EXPECT_EQ(message(&dst, &src, Rect(-1, 0, 4, 4)), "Source rectangle is invalid");
    EXPECT_EQ(message(&dst, &src, Rect(0, 0, 5, 4)), "Source rectangle is invalid");
    // Silent: empty source bitmap (even into a null destination), empty source rectangle.
    EXPECT_EQ(message(nullptr, &empty, Rect(0, 0, 4, 4)), "");
    dst.Clear(kSentinel);
    EXPECT_EQ(message(&dst, &src, Rect(2, 2, 2, 4)), "");
    EXPECT_EQ(*dst.PixelPointer(0, 0), kSentinel);
}

TEST(StretchCopy, NegativeSizeBitmapIsEmptyAndDrawsNothing) {
    TBitmap32 odd, normal;
    EXPECT_TRUE(odd.SetSize(-5, 10));
    EXPECT_EQ(odd.Width(), 0);
    EXPECT_EQ(odd.Height(), 10);
    EXPECT_TRUE(odd.Empty());
    EXPECT_EQ(odd.Bits(), nullptr);
    normal.SetSize(4, 4);
    normal.Clear(kSentinel);
    int changes = 0;
    normal.OnChange = [&](ui::TPersistent*) { ++changes; };
    normal.Draw(normal.BoundsRect(), Rect(0, 0, 4, 4), &odd);
    odd.Draw(Rect(0, 0, 4, 4), normal.BoundsRect(), &normal);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(*normal.PixelPointer(3, 3), kSentinel);
}

TEST(StretchCopy, DrawModes) {
    TBitmap32 src, dst;
    src.SetSize(2, 2);
    src.Clear(0xFFFFFFFF);
    dst.SetSize(4, 4);
    for (TStretchFilter f : kAllFilters) {
        src.SetStretchFilter(f);
        // Blend with MasterAlpha 0: untouched.
        src.SetDrawMode(TDrawMode::dmBlend);
        src.SetMasterAlpha(0);
        dst.Clear(0xFF000000);
        dst.Draw(dst.BoundsRect(), src.BoundsRect(), &src);
        EXPECT_EQ(*dst.PixelPointer(1, 1), 0xFF000000u);
        // Blend at 128 of opaque white over opaque black.
        src.SetMasterAlpha(128);
        dst.Draw(dst.BoundsRect(), src.BoundsRect(), &src);
        EXPECT_EQ(*dst.PixelPointer(2, 1), 0xFF808080u) << static_cast<int>(f);
        // Custom: the handler gets the computed pixel, the destination and MasterAlpha.
        src.SetDrawMode(TDrawMode::dmCustom);
        int calls = 0;
        src.OnPixelCombine = [&](TColor32 F, TColor32& B, TColor32 M) {
            ++calls;
            EXPECT_EQ(F, 0xFFFFFFFFu);
            EXPECT_EQ(M, 128u);
            B = 0x01020304;
        };
        dst.Draw(Rect(1, 1, 4, 4), src.BoundsRect(), &src);
        EXPECT_EQ(calls, 9);
        EXPECT_EQ(*dst.PixelPointer(3, 3), 0x01020304u);
        // Custom without a handler draws opaque.
        src.OnPixelCombine = nullptr;
        dst.Draw(dst.BoundsRect(), src.BoundsRect(), &src);
        EXPECT_EQ(*dst.PixelPointer(0, 0), 0xFFFFFFFFu);
        src.SetDrawMode(TDrawMode::dmOpaque);
    }
}

TEST(StretchCopy, NegativeLobesClampAtHardEdges) {
    for (TStretchFilter f : {TStretchFilter::sfLanczos, TStretchFilter::sfMitchell}) {
        TBitmap32 src, dst;
        src.SetSize(8, 1);
        for (int x = 0; x < 8; ++x) src.Bits()[x] = x < 4 ? 0xFF000000u : 0xFFFFFFFFu;
        src.SetStretchFilter(f);
        dst.SetSize(40, 3);
        dst.Draw(dst.BoundsRect(), src.BoundsRect(), &src);
        // Ringing would go below 0 beside the edge and above 255 past it: the packing clamps it
        // instead of wrapping, so the dark side stays dark and the light side light.
        // (A wrapped undershoot would read as about 255, a wrapped overshoot as about 0.)
        for (int x = 0; x < 18; ++x) EXPECT_LT(dst.Bits()[x] & 0xFFu, 32u) << x;
        for (int x = 22; x < 40; ++x) EXPECT_GT(dst.Bits()[x] & 0xFFu, 223u) << x;
        EXPECT_EQ(dst.Bits()[0], 0xFF000000u);
        EXPECT_EQ(dst.Bits()[39], 0xFFFFFFFFu);
    }
}

TEST(StretchCopy, LinearMixedScalingUsesTheTriangleFilter) {
    TBitmap32 src, via_draw, direct;
    src.SetSize(10, 30);
    FillRandom(src, 3);
    src.SetStretchFilter(TStretchFilter::sfLinear);
    via_draw.SetSize(25, 12);
    via_draw.Draw(via_draw.BoundsRect(), src.BoundsRect(), &src);
    direct.SetSize(25, 12);
    SampleFiltered({direct.Bits(), 25, 12}, direct.BoundsRect(), direct.BoundsRect(), {src.Bits(), 10, 30},
                   src.BoundsRect(), TStretchFilter::sfLinear, {TDrawMode::dmOpaque, 255, nullptr});
    EXPECT_TRUE(std::equal(direct.Bits(), direct.Bits() + 25 * 12, via_draw.Bits()));
}

TEST(StretchCopy, BilinearEnlargingSinglePixelSources) {
    // One pixel wide (and one high): every sample reads that column (row) only, never the
    // memory before or after it.
    struct Case {
        int sw, sh, dw, dh;
    } cases[] = {{1, 3, 5, 9}, {3, 1, 9, 5}, {1, 1, 4, 4}};
    for (const Case& c : cases) {
        TBitmap32 src, dst;
        src.SetSize(c.sw, c.sh);
        FillRandom(src, 4);
        src.SetStretchFilter(TStretchFilter::sfLinear);
        dst.SetSize(c.dw, c.dh);
        dst.Draw(dst.BoundsRect(), src.BoundsRect(), &src);
        if (c.sw == 1) {
            for (int y = 0; y < c.dh; ++y)
                for (int x = 1; x < c.dw; ++x) ASSERT_EQ(*dst.PixelPointer(x, y), *dst.PixelPointer(0, y));
        }
        if (c.sh == 1) {
            for (int y = 1; y < c.dh; ++y)
                for (int x = 0; x < c.dw; ++x) ASSERT_EQ(*dst.PixelPointer(x, y), *dst.PixelPointer(x, 0));
        }
        if (c.sw == 1 && c.sh == 1) {
            EXPECT_EQ(*dst.PixelPointer(2, 2), src.Bits()[0]);
        }
    }
    const std::vector<TLinearSample> s = BuildLinearSamples(0, 6, 0, 6, 0, 1, 1);
    for (const TLinearSample& x : s) {
        EXPECT_EQ(x.Position, 0);
        EXPECT_EQ(x.Neighbour, 0);
    }
}

TEST(StretchCopy, BilinearSamplesFollowTheCentresAndEdgeRule) {
    // 4 -> 8: t = 0.5 * (d + 0.5) - 0.5 = -0.25, 0.25, ..., 3.25 clamped to 0..3.
    const std::vector<TLinearSample> s = BuildLinearSamples(0, 8, 0, 8, 0, 4, 4);
    const int positions[8] = {0, 0, 0, 1, 1, 2, 2, 3};
    const int weights[8] = {256, 192, 64, 192, 64, 192, 64, 256};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(s[i].Position, positions[i]) << i;
        EXPECT_EQ(s[i].Weight, weights[i]) << i;
    }
    EXPECT_EQ(s[6].Neighbour, 3);
    EXPECT_EQ(s[7].Neighbour, 3);  // the last column of the source: read twice
    // A source rectangle ending before the bitmap's edge: the last sample keeps its own pixel.
    const std::vector<TLinearSample> inner = BuildLinearSamples(0, 8, 0, 8, 0, 3, 10);
    EXPECT_EQ(inner.back().Neighbour, inner.back().Position);
}

TEST(FilteredResampler, FastPathEqualsReferencePath) {
    std::mt19937 rng(5);
    for (int round = 0; round < 40; ++round) {
        const int sw = 1 + static_cast<int>(rng() % 90), sh = 1 + static_cast<int>(rng() % 60);
        const int dw = 1 + static_cast<int>(rng() % 70), dh = 1 + static_cast<int>(rng() % 50);
        std::vector<TColor32> src(static_cast<std::size_t>(sw) * sh);
        for (TColor32& p : src) p = rng();
        for (TStretchFilter f : {TStretchFilter::sfLanczos, TStretchFilter::sfSpline}) {
            TFilteredResampler r(src.data(), sw, BuildContributorTable(0, dw, 0, dw, 0, sw, f),
                                 BuildContributorTable(0, dh, 0, dh, 0, sh, f), f == TStretchFilter::sfLanczos);
            std::vector<TColor32> fast(static_cast<std::size_t>(dw)), ref(static_cast<std::size_t>(dw));
            for (int y = 0; y < dh; ++y) {
                // The comparison means nothing unless the vector passes ran: on this processor and
                // with these kernels' weights they always can.
                ASSERT_EQ(r.ComputeRow(y, fast.data(), TResamplePath::Fast), TResamplePath::Fast);
                ASSERT_EQ(r.ComputeRow(y, ref.data(), TResamplePath::Reference), TResamplePath::Reference);
                ASSERT_EQ(fast, ref) << sw << "x" << sh << " -> " << dw << "x" << dh << " row " << y;
            }
        }
    }
}

TEST(StretchCopy, DrawingABitmapIntoItselfReadsTheOriginal) {
    TBitmap32 b, copy;
    b.SetSize(16, 16);
    FillRandom(b, 6);
    copy.Assign(&b);
    b.SetStretchFilter(TStretchFilter::sfLanczos);
    copy.SetStretchFilter(TStretchFilter::sfLanczos);
    TBitmap32 expected;
    expected.Assign(&b);
    expected.Draw(Rect(2, 2, 14, 14), copy.BoundsRect(), &copy);
    b.Draw(Rect(2, 2, 14, 14), b.BoundsRect(), &b);
    EXPECT_TRUE(std::equal(b.Bits(), b.Bits() + 256, expected.Bits()));
}
