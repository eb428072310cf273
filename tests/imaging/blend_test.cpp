#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "imaging/blend.h"
#include "imaging/processor_features.h"

using namespace imaging;

namespace {

// The packed-integer blend as the processor computes it: four 16-bit lanes,
// ((F - B) * w + (B << 8) + 0x80) wrapping at 16 bits, a logical shift right by 8, then
// packing with unsigned saturation.
TColor32 PackedLaneBlend(TColor32 f, TColor32 b, std::uint32_t w) {
    TColor32 out = 0;
    for (int ch = 0; ch < 4; ++ch) {
        const int fc = (f >> (8 * ch)) & 0xFF, bc = (b >> (8 * ch)) & 0xFF;
        const auto lane = static_cast<std::uint16_t>((fc - bc) * static_cast<int>(w) + (bc << 8) + 0x80);
        const std::uint32_t v = std::min<std::uint32_t>(lane >> 8, 255);
        out |= v << (8 * ch);
    }
    return out;
}

}  // namespace

TEST(Blend, RowAlphaExtremesCopyOrKeep) {
    const TColor32 src[3] = {0xFF123456, 0x00ABCDEF, 0x80FFFFFF};
    TColor32 dst[3] = {0xFF000000, 0xFF101010, 0xFF000000};
    BlendRow(src, dst, 3);
    EXPECT_EQ(dst[0], 0xFF123456u);  // alpha 255: the source exactly
    EXPECT_EQ(dst[1], 0xFF101010u);  // alpha 0: untouched
    EXPECT_EQ(dst[2], PackedLaneBlend(0x80FFFFFF, 0xFF000000, 0x80));
    BlendRow(src, dst, 0);
    BlendRow(src, dst, -3);
    EXPECT_EQ(dst[0], 0xFF123456u);
}

TEST(Blend, MasterAlphaCases) {
    struct Case {
        TColor32 f, b;
        std::uint32_t master;
        TColor32 expected;
    } cases[] = {
        // w = 255: B keeps 1/256 of its value.
        {0xFF000000, 0xFFFFFFFF, 255, 0xFF010101},
        // Opaque white over opaque black with w = 128: alpha travels like the colours (the old
        // plain path wrote 0x00808080 here).
        {0xFFFFFFFF, 0xFF000000, 128, 0xFF808080},
        // Weight 0 leaves B as it is.
        {0xFFFFFFFF, 0x12345678, 0, 0x12345678},
        {0x00FFFFFF, 0x12345678, 255, 0x12345678},
        // MasterAlpha above 255: the weight is limited to 256 (the source exactly), never more.
        {0xFF000000, 0xFFFFFFFF, 1000, 0xFF000000},
        {0xFF102030, 0xFFFFFFFF, 0xFFFFFFFF, 0xFF102030},
        {0x80FF0000, 0xFF0000FF, 300, PackedLaneBlend(0x80FF0000, 0xFF0000FF, (301 * 0x80) >> 8)},
    };
    for (const Case& c : cases) {
        TColor32 b = c.b;
        BlendPixelMasterAlpha(c.f, b, c.master);
        EXPECT_EQ(b, c.expected) << std::hex << c.f << " over " << c.b << " master " << std::dec << c.master;
        TColor32 row = c.b;
        BlendRowMasterAlpha(&c.f, &row, 1, c.master);
        EXPECT_EQ(row, c.expected);
    }
}

TEST(Blend, PortableFormEqualsPackedLanesOnRandomPixels) {
    std::mt19937 rng(7);
    for (int i = 0; i < 200000; ++i) {
        const TColor32 f = rng(), b = rng();
        const std::uint32_t master = rng() % 300;
        const std::uint32_t w = std::min<std::uint32_t>(((master + 1) * (f >> 24)) >> 8, 256);
        TColor32 got = b;
        BlendPixelMasterAlpha(f, got, master);
        ASSERT_EQ(got, w == 0 ? b : PackedLaneBlend(f, b, w)) << i;
    }
}

TEST(Blend, CopyFillClamp) {
    TColor32 a[4] = {1, 2, 3, 4}, b[4] = {};
    CopyPixels(a, b, 4);
    EXPECT_EQ(b[3], 4u);
    CopyPixels(a, a, 4);  // same address: nothing
    FillPixels(b, 3, 9);
    EXPECT_EQ(b[2], 9u);
    EXPECT_EQ(b[3], 4u);
    FillPixels(b, -1, 0);
    EXPECT_EQ(b[0], 9u);
    EXPECT_EQ(ClampInt(-4, 0, 10), 0);
    EXPECT_EQ(ClampInt(14, 0, 10), 10);
    EXPECT_EQ(ClampInt(4, 0, 10), 4);
}

TEST(ProcessorFeatures, DetectsAndDescribes) {
    const TProcessorFeatures& f = ProcessorFeatures();
    const std::string text = DescribeProcessorFeatures(f);
#if defined(__x86_64__)
    // Every 64-bit x86 processor has the identification instruction and MMX.
    EXPECT_TRUE(f.HasCpuid);
    EXPECT_TRUE(f.HasMmx);
    EXPECT_GE(f.Family, 5u);
    EXPECT_TRUE(f.PackedIntegerCapable);
    EXPECT_NE(text.find("CPUID yes"), std::string::npos) << text;
#endif
    TProcessorFeatures none;
    EXPECT_EQ(DescribeProcessorFeatures(none), "CPUID no, no packed-integer blend");
}
