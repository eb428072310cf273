// Colour mixing and banded gradients, against values worked out here from the rules.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "controls/panel/gradients.h"
#include "platform/ui/graphics/bitmap.h"

namespace panel {
namespace {

using ui::TColor;

TEST(MixColorsTest, RoundsHalfToEvenAndKeepsFullPercentUnchanged) {
    struct Case {
        TColor a, b;
        int percent;
        TColor expected;
    };
    const Case cases[] = {
        {1, 0, 50, 0},                               // 0.5 -> 0
        {3, 0, 50, 2},                               // 1.5 -> 2
        {ui::clBtnFace, 0x123456, 100, 0xFF00000F},  // 100 returns A as it is, system colour too
        {0x00FF00, ui::clBtnFace, 0, ui::ColorToRGB(ui::clBtnFace)},
        {0xFFFFFF, 0x000000, 20, 0x333333},  // 0.2 x 255 = 51
        {0x0000C8, 0x000064, 50, 0x000096},  // red 150, the other channels 0
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MixColors(c.a, c.b, c.percent), c.expected) << std::hex << c.a << " " << c.b << " " << c.percent;
    }
}

// The colour band i of n takes, per channel: from + round(i * (to - from) / n).
TColor BandColor(TColor from, TColor to, int i, int n) {
    auto ch = [&](int shift) {
        const int f = static_cast<int>((from >> shift) & 0xFF);
        const int t = static_cast<int>((to >> shift) & 0xFF);
        return static_cast<TColor>(f + static_cast<int>(std::nearbyint(static_cast<double>(i) * (t - f) / n))) << shift;
    };
    return ch(0) | ch(8) | ch(16);
}

// The colour each column (or row) ends with: later bands paint over the pixel they share with
// the one before.
std::vector<TColor> ExpectedBands(TColor from, TColor to, int extent, int n) {
    std::vector<TColor> out(static_cast<std::size_t>(extent), ui::clNone);
    const double w = static_cast<double>(extent) / n;
    for (int i = 0; i < n; ++i) {
        const int a = static_cast<int>(std::nearbyint(i * w));
        const int b = std::min(a + static_cast<int>(w) + 1, extent);
        for (int x = a; x < b; ++x) out[static_cast<std::size_t>(x)] = BandColor(from, to, i, n);
    }
    return out;
}

TEST(DrawGradientTest, BandsFollowTheRule) {
    struct Case {
        int steps;
        int drawn;  // the number of bands after clamping
        bool horizontal;
        int extent;
    };
    const Case cases[] = {
        {64, 32, true, 100}, {64, 32, false, 100}, {0, 1, true, 50}, {7, 7, false, 45}, {40, 32, true, 20}};
    const TColor from = 0x102030, to = 0xF0A060;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "steps " << c.steps << " horizontal " << c.horizontal);
        ui::TBitmap bmp;
        bmp.SetSize(c.horizontal ? c.extent : 6, c.horizontal ? 6 : c.extent);
        bmp.Canvas().Brush().SetColor(ui::clBlack);
        bmp.Canvas().FillRect(ui::TRect{0, 0, bmp.Width(), bmp.Height()});
        // One pixel of margin on the cross axis shows that the bands span exactly the rectangle.
        const ui::TRect r = c.horizontal ? ui::TRect{0, 1, c.extent, 5} : ui::TRect{1, 0, 5, c.extent};
        DrawGradient(bmp.Canvas(), from, to, c.horizontal, r, c.steps);
        const std::vector<TColor> expected = ExpectedBands(from, to, c.extent, c.drawn);
        std::set<TColor> seen;
        for (int i = 0; i < c.extent; ++i) {
            const int x = c.horizontal ? i : 2, y = c.horizontal ? 2 : i;
            ASSERT_EQ(bmp.Canvas().Pixels(x, y), expected[static_cast<std::size_t>(i)]) << i;
            seen.insert(bmp.Canvas().Pixels(x, y));
        }
        // Bands narrower than a pixel paint over each other; wider ones all show.
        if (c.extent >= c.drawn) {
            EXPECT_EQ(static_cast<int>(seen.size()), c.drawn);
        }
        EXPECT_EQ(bmp.Canvas().Pixels(c.horizontal ? 3 : 0, c.horizontal ? 0 : 3), ui::clBlack);
        EXPECT_EQ(bmp.Canvas().Pixels(c.horizontal ? 3 : 5, c.horizontal ? 5 : 3), ui::clBlack);
    }
}

TEST(DrawGradientTest, SystemColoursAreResolved) {
    ui::TBitmap bmp;
    bmp.SetSize(10, 4);
    DrawGradient(bmp.Canvas(), ui::clBtnFace, ui::clBtnFace, true, ui::TRect{0, 0, 10, 4}, 4);
    EXPECT_EQ(bmp.Canvas().Pixels(9, 3), ui::ColorToRGB(ui::clBtnFace));
}

TEST(DrawMirrorGradientTest, TwoHalvesEachWithItsGradientAndAFrame) {
    ui::TBitmap bmp;
    bmp.SetSize(20, 64);
    const TColor c1 = 0x000000, c2 = 0x0000F8, m1 = 0x00FF00, m2 = 0xFF0000;
    DrawMirrorGradient(bmp.Canvas(), ui::TRect{0, 0, 20, 63}, c1, c2, m1, m2, false, ui::clRed);
    // Split at 63 div 2 = 31: rows 0..30 the first gradient over 31 rows, rows 31..62 the second
    // over 32 rows.
    const std::vector<TColor> top = ExpectedBands(c1, c2, 31, 32);
    const std::vector<TColor> bottom = ExpectedBands(m1, m2, 32, 32);
    for (int y = 1; y < 31; ++y) ASSERT_EQ(bmp.Canvas().Pixels(5, y), top[static_cast<std::size_t>(y)]) << y;
    for (int y = 31; y < 62; ++y) ASSERT_EQ(bmp.Canvas().Pixels(5, y), bottom[static_cast<std::size_t>(y - 31)]) << y;
    // The frame in the frame colour around the whole rectangle; below it nothing was drawn.
    for (auto [x, y] : {std::pair{0, 10}, {19, 40}, {7, 0}, {7, 62}}) EXPECT_EQ(bmp.Canvas().Pixels(x, y), ui::clRed);
    EXPECT_NE(bmp.Canvas().Pixels(7, 63), ui::clRed);
}

TEST(DrawMirrorGradientTest, HorizontalSplitsLeftAndRightWithoutFrame) {
    ui::TBitmap bmp;
    bmp.SetSize(41, 3);
    DrawMirrorGradient(bmp.Canvas(), ui::TRect{0, 0, 41, 3}, ui::clRed, ui::clRed, ui::clBlue, ui::clBlue, true,
                       ui::clNone);
    EXPECT_EQ(bmp.Canvas().Pixels(0, 0), ui::clRed);
    EXPECT_EQ(bmp.Canvas().Pixels(19, 1), ui::clRed);
    EXPECT_EQ(bmp.Canvas().Pixels(20, 1), ui::clBlue);
    EXPECT_EQ(bmp.Canvas().Pixels(40, 2), ui::clBlue);
}

}  // namespace
}  // namespace panel
