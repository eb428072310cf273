// Regions: their pixels, round-rectangle outlines and drawing clipped to a region.
#include <gtest/gtest.h>

#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/regions.h"

namespace ui {
namespace {

TEST(RegionTest, RectangleLeavesOutItsRightAndBottomEdges) {
    const TRegion r = TRegion::Rect(TRect{2, 3, 6, 5});
    EXPECT_TRUE(r.Contains(2, 3));
    EXPECT_TRUE(r.Contains(5, 4));
    EXPECT_FALSE(r.Contains(6, 4));
    EXPECT_FALSE(r.Contains(5, 5));
    EXPECT_FALSE(r.Contains(1, 3));
    EXPECT_TRUE(TRegion::Rect(TRect{4, 4, 4, 9}).IsEmpty());
    EXPECT_TRUE(TRegion::RoundRect(TRect{4, 4, 2, 9}, 32, 32).IsEmpty());
}

TEST(RegionTest, RoundRectangleCutsItsCornersSymmetrically) {
    const TRect box{10, 20, 110, 60};  // 100 x 40
    const TRegion r = TRegion::RoundShape(box, 32, 32);
    EXPECT_EQ(r.Bounds(), box);
    // Corner pixels are out, the middle of every edge is in.
    for (auto [x, y] : {std::pair{10, 20}, {109, 20}, {10, 59}, {109, 59}, {13, 22}}) {
        EXPECT_FALSE(r.Contains(x, y)) << x << "," << y;
    }
    for (auto [x, y] : {std::pair{60, 20}, {60, 59}, {10, 40}, {109, 40}, {26, 20}, {60, 40}}) {
        EXPECT_TRUE(r.Contains(x, y)) << x << "," << y;
    }
    // Mirrors: (x, y) in exactly when its mirror images are.
    for (int y = box.Top; y < box.Bottom; ++y) {
        for (int x = box.Left; x < box.Right; ++x) {
            const int mx = box.Left + box.Right - 1 - x;
            const int my = box.Top + box.Bottom - 1 - y;
            ASSERT_EQ(r.Contains(x, y), r.Contains(mx, y)) << x << "," << y;
            ASSERT_EQ(r.Contains(x, y), r.Contains(x, my)) << x << "," << y;
        }
    }
    // Corners larger than the rectangle are clamped: a 6 x 4 box stays inside itself.
    const TRegion tiny = TRegion::RoundShape(TRect{0, 0, 6, 4}, 32, 32);
    EXPECT_EQ(tiny.Bounds(), (TRect{0, 0, 6, 4}));
    EXPECT_TRUE(tiny.Contains(3, 1));
}

TEST(RegionTest, RoundRegionStopsOnePixelInsideTheDrawnOutline) {
    const TRect box{0, 0, 40, 20};
    const TRegion region = TRegion::RoundRect(box, 32, 32);
    EXPECT_EQ(region.Bounds(), (TRect{0, 0, 39, 19}));
    const TRegion shape = TRegion::RoundShape(TRect{0, 0, 39, 19}, 32, 32);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 40; ++x) ASSERT_EQ(region.Contains(x, y), shape.Contains(x, y)) << x << "," << y;
    }
}

TEST(RegionTest, UnionHoldsBoth) {
    const TRegion u = TRegion::Rect(TRect{0, 0, 2, 2}).Union(TRegion::Rect(TRect{5, 5, 6, 6}));
    EXPECT_TRUE(u.Contains(1, 1));
    EXPECT_TRUE(u.Contains(5, 5));
    EXPECT_FALSE(u.Contains(3, 3));
    EXPECT_EQ(u.Bounds(), (TRect{0, 0, 6, 6}));
}

class ClipTest : public testing::Test {
protected:
    void SetUp() override {
        bmp.SetSize(40, 30);
        bmp.Canvas().Brush().SetColor(clWhite);
        bmp.Canvas().FillRect(TRect{0, 0, 40, 30});
    }
    void FillAll(TColor color) {
        bmp.Canvas().Brush().SetColor(color);
        bmp.Canvas().FillRect(TRect{0, 0, 40, 30});
    }
    TBitmap bmp;
};

TEST_F(ClipTest, DrawingKeepsOnlyThePixelsInsideTheRegion) {
    const TRegion round = TRegion::RoundShape(TRect{0, 0, 40, 30}, 32, 32);
    {
        TClipScope clip(bmp.Canvas(), round);
        FillAll(clRed);
    }
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            ASSERT_EQ(bmp.Canvas().Pixels(x, y), round.Contains(x, y) ? clRed : clWhite) << x << "," << y;
        }
    }
    // After the scope drawing reaches everywhere again.
    FillAll(clBlue);
    EXPECT_EQ(bmp.Canvas().Pixels(0, 0), clBlue);
}

TEST_F(ClipTest, NestedScopesClipToTheIntersection) {
    {
        TClipScope outer(bmp.Canvas(), TRegion::Rect(TRect{0, 0, 20, 30}));
        TClipScope inner(bmp.Canvas(), TRegion::Rect(TRect{10, 0, 40, 10}));
        FillAll(clRed);
    }
    EXPECT_EQ(bmp.Canvas().Pixels(15, 5), clRed);
    EXPECT_EQ(bmp.Canvas().Pixels(25, 5), clWhite);
    EXPECT_EQ(bmp.Canvas().Pixels(5, 5), clWhite);
    EXPECT_EQ(bmp.Canvas().Pixels(15, 15), clWhite);
}

TEST_F(ClipTest, RoundRectOutlineInPenInsideInBrush) {
    TCanvas& c = bmp.Canvas();
    c.Pen().SetColor(clGray);
    c.Brush().SetColor(clYellow);
    RoundRect(c, TRect{0, 0, 40, 30}, 32, 32);
    EXPECT_EQ(c.Pixels(20, 0), clGray);   // top edge
    EXPECT_EQ(c.Pixels(20, 29), clGray);  // bottom edge, the last row inside
    EXPECT_EQ(c.Pixels(0, 15), clGray);
    EXPECT_EQ(c.Pixels(39, 15), clGray);
    EXPECT_EQ(c.Pixels(20, 15), clYellow);
    EXPECT_EQ(c.Pixels(0, 0), clWhite);  // cut corner untouched
    // Clipped to the region of the same rectangle, a fill keeps the bottom and right outline.
    {
        TClipScope clip(c, TRegion::RoundRect(TRect{0, 0, 40, 30}, 32, 32));
        c.Brush().SetColor(clBlue);
        c.FillRect(TRect{0, 0, 40, 30});
    }
    EXPECT_EQ(c.Pixels(20, 29), clGray);
    EXPECT_EQ(c.Pixels(39, 15), clGray);
    EXPECT_EQ(c.Pixels(20, 0), clBlue);
    EXPECT_EQ(c.Pixels(20, 15), clBlue);
    c.Brush().SetColor(clYellow);
    RoundRect(c, TRect{0, 0, 40, 30}, 32, 32);
    c.Brush().SetStyle(TBrushStyle::bsClear);
    c.Pen().SetColor(clRed);
    RoundRect(c, TRect{0, 0, 40, 30}, 32, 32);
    EXPECT_EQ(c.Pixels(20, 0), clRed);
    EXPECT_EQ(c.Pixels(20, 15), clYellow);  // a clear brush leaves the inside
}

}  // namespace
}  // namespace ui
