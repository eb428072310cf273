#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/bitmap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

namespace ui {
namespace {

// A white 20 x 20 bitmap with a black pen and a red brush.
class CanvasTest : public ::testing::Test {
protected:
    void SetUp() override {
        bmp.SetPixelFormat(TPixelFormat::pf32bit);
        bmp.SetSize(20, 20);
        c().Pen().SetColor(clBlack);
        c().Brush().SetColor(clRed);
    }
    TCanvas& c() { return bmp.Canvas(); }
    // The set of pixels of a colour.
    std::set<std::pair<int, int>> PixelsOf(TColor colour) {
        std::set<std::pair<int, int>> out;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x)
                if (c().Pixels(x, y) == colour) out.insert({x, y});
        return out;
    }
    std::uint32_t Raw(int x, int y) {
        std::uint32_t v;
        std::memcpy(&v, bmp.ScanLine(y) + 4 * x, 4);
        return v;
    }
    TBitmap bmp;
};

TEST_F(CanvasTest, NewBitmapIsWhiteAndOutsidePixelsAreInvalid) {
    EXPECT_EQ(c().Pixels(0, 0), clWhite);
    EXPECT_EQ(c().Pixels(19, 19), clWhite);
    EXPECT_EQ(c().Pixels(20, 0), 0xFFFFFFFFu);
    EXPECT_EQ(c().Pixels(-1, 5), 0xFFFFFFFFu);
}

TEST_F(CanvasTest, FillRectExcludesRightAndBottomEdge) {
    c().FillRect(Rect(2, 3, 12, 13));
    const auto red = PixelsOf(clRed);
    EXPECT_EQ(red.size(), 100u);
    EXPECT_TRUE(red.count({2, 3}));
    EXPECT_TRUE(red.count({11, 12}));
    EXPECT_FALSE(red.count({12, 12}));
    EXPECT_FALSE(red.count({11, 13}));
    // FillRect(0, 0, 10, 10) fills pixels 0..9.
    c().Brush().SetColor(clBlue);
    c().FillRect(Rect(0, 0, 10, 10));
    EXPECT_EQ(c().Pixels(9, 9), clBlue);
    EXPECT_EQ(c().Pixels(10, 9), clRed);
}

TEST_F(CanvasTest, RectangleOutlinesInsideItsBoundsAndFillsTheRest) {
    c().Rectangle(2, 2, 8, 6);
    EXPECT_EQ(PixelsOf(clBlack).size(), 2u * 6 + 2u * 2);  // 6 x 4 outline
    EXPECT_EQ(PixelsOf(clRed).size(), 4u * 2);
    EXPECT_EQ(c().Pixels(7, 5), clBlack);
    EXPECT_EQ(c().Pixels(8, 5), clWhite);
    EXPECT_EQ(c().Pixels(7, 6), clWhite);
    // A clear brush keeps the inside.
    c().Brush().SetStyle(TBrushStyle::bsClear);
    c().Rectangle(10, 10, 15, 15);
    EXPECT_EQ(c().Pixels(12, 12), clWhite);
    EXPECT_EQ(c().Pixels(14, 14), clBlack);
}

TEST_F(CanvasTest, FrameRectUsesBrushColour) {
    c().FrameRect(Rect(1, 1, 5, 5));
    EXPECT_EQ(PixelsOf(clRed).size(), 12u);
    EXPECT_EQ(c().Pixels(4, 4), clRed);
    EXPECT_EQ(c().Pixels(2, 2), clWhite);
}

TEST_F(CanvasTest, LineToLeavesOutItsEndPixel) {
    struct Case {
        TPoint from, to;
        std::size_t pixels;
    };
    const Case cases[] = {
        {{0, 0}, {10, 0}, 10}, {{5, 0}, {5, 7}, 7}, {{0, 0}, {6, 6}, 6}, {{10, 3}, {2, 3}, 8}, {{4, 4}, {4, 4}, 0},
    };
    for (const Case& k : cases) {
        c().Brush().SetColor(clWhite);
        c().FillRect(Rect(0, 0, 20, 20));
        c().MoveTo(k.from.X, k.from.Y);
        c().LineTo(k.to.X, k.to.Y);
        const auto black = PixelsOf(clBlack);
        EXPECT_EQ(black.size(), k.pixels) << k.to.X << "," << k.to.Y;
        EXPECT_FALSE(black.count({k.to.X, k.to.Y}));
        if (k.pixels > 0) {
            EXPECT_TRUE(black.count({k.from.X, k.from.Y}));
        }
        EXPECT_EQ(c().PenPos(), k.to);
    }
}

TEST_F(CanvasTest, XorPenTwiceRestoresPixels) {
    c().Pen().SetMode(TPenMode::pmXor);
    c().Pen().SetColor(clWhite);
    c().MoveTo(0, 5);
    c().LineTo(10, 5);
    EXPECT_EQ(c().Pixels(3, 5), clBlack);
    c().MoveTo(0, 5);
    c().LineTo(10, 5);
    EXPECT_EQ(c().Pixels(3, 5), clWhite);
}

TEST_F(CanvasTest, DrawnPixelsAreOpaqueAndUseSystemColours) {
    std::memset(bmp.ScanLine(0), 0, static_cast<std::size_t>(bmp.BytesPerScanLine()));
    c().Brush().SetColor(clBtnFace);
    c().FillRect(Rect(0, 0, 4, 1));
    EXPECT_EQ(c().Pixels(0, 0), ColorToRGB(clBtnFace));
    EXPECT_EQ(Raw(0, 0) >> 24, 0xFFu);
    EXPECT_EQ(Raw(5, 0), 0u);  // untouched
    // clNone draws nothing.
    c().Brush().SetColor(clNone);
    c().FillRect(Rect(0, 0, 20, 20));
    EXPECT_EQ(Raw(5, 0), 0u);
}

TEST_F(CanvasTest, CopyRectCopiesBytesIncludingAlpha) {
    TBitmap src;
    src.SetPixelFormat(TPixelFormat::pf32bit);
    src.SetSize(2, 2);
    const std::uint32_t px[4] = {0x80102030u, 0x00FFFFFFu, 0x01020304u, 0xFFAABBCCu};
    std::memcpy(src.ScanLine(0), px, 8);
    std::memcpy(src.ScanLine(1), px + 2, 8);
    c().CopyRect(Rect(5, 5, 7, 7), src.Canvas(), Rect(0, 0, 2, 2));
    EXPECT_EQ(Raw(5, 5), px[0]);  // half-transparent stays as it was: no blending
    EXPECT_EQ(Raw(6, 5), px[1]);
    EXPECT_EQ(Raw(5, 6), px[2]);
    EXPECT_EQ(Raw(6, 6), px[3]);
    // Stretched 2x by nearest pixel.
    c().CopyRect(Rect(0, 0, 4, 4), src.Canvas(), Rect(0, 0, 2, 2));
    EXPECT_EQ(Raw(1, 1), px[0]);
    EXPECT_EQ(Raw(2, 1), px[1]);
    EXPECT_EQ(Raw(3, 3), px[3]);
    // Partly outside the target: clipped, no write outside.
    c().CopyRect(Rect(19, 19, 21, 21), src.Canvas(), Rect(0, 0, 2, 2));
    EXPECT_EQ(Raw(19, 19), px[0]);
}

TEST_F(CanvasTest, EllipseAndPolygonStayInsideTheirBoundsWithoutGreyPixels) {
    c().Ellipse(2, 2, 12, 10);
    c().Polygon({Point(14, 2), Point(18, 2), Point(16, 8)});
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            const TColor p = c().Pixels(x, y);
            // No antialiasing: only the three colours used.
            EXPECT_TRUE(p == clWhite || p == clBlack || p == clRed) << x << "," << y << " " << std::hex << p;
            const bool in_ellipse = x >= 2 && x < 12 && y >= 2 && y < 10;
            const bool in_polygon = x >= 14 && x <= 18 && y >= 2 && y <= 8;
            if (!in_ellipse && !in_polygon) {
                EXPECT_EQ(p, clWhite) << x << "," << y;
            }
        }
    }
    EXPECT_EQ(c().Pixels(7, 6), clRed);     // ellipse centre filled
    EXPECT_EQ(c().Pixels(2, 6), clBlack);   // left edge of the outline
    EXPECT_EQ(c().Pixels(14, 2), clBlack);  // polygon vertex
}

TEST_F(CanvasTest, TextIsSmoothedInGreyStepsOfTheFontColourWithinItsCell) {
    bmp.SetSize(80, 30);
    c().Brush().SetColor(clWhite);
    c().FillRect(Rect(0, 0, 80, 30));
    c().Font().SetColor(clBlue);
    c().Font().SetHeight(-16);
    c().Brush().SetStyle(TBrushStyle::bsClear);
    const TSize extent = c().TextExtent("Hg");
    EXPECT_GT(extent.cx, 10);
    EXPECT_GE(extent.cy, 16);
    c().TextOut(2, 2, "Hg");
    int strong = 0;
    int edges = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 80; ++x) {
            const TColor p = c().Pixels(x, y);
            if (p == clWhite) continue;
            // Blue over white in steps: red and green fall together, blue stays full; no colour
            // fringes of sub-pixel smoothing.
            EXPECT_EQ(RedOf(p), GreenOf(p)) << x << "," << y << " " << std::hex << p;
            EXPECT_EQ(BlueOf(p), 0xFF) << x << "," << y << " " << std::hex << p;
            if (RedOf(p) < 0x60)
                ++strong;
            else
                ++edges;
            EXPECT_GE(x, 2);
            EXPECT_LT(x, 2 + extent.cx);
            EXPECT_GE(y, 2);
            EXPECT_LT(y, 2 + extent.cy);
        }
    }
    EXPECT_GT(strong, 20);
    EXPECT_GT(edges, 5);
    EXPECT_EQ(c().PenPos(), Point(2 + extent.cx, 2));
    // A solid brush fills the text cell.
    c().Brush().SetColor(clYellow);
    c().TextOut(40, 2, "x");
    EXPECT_EQ(c().Pixels(40, 2), clYellow);
}

TEST(Canvas, OverCallerMemoryWritesIntoIt) {
    std::vector<std::uint32_t> memory(4 * 3, 0);
    TCanvas canvas(memory.data(), 4, 3, 16, TPixelFormat::pf32bit);
    canvas.Brush().SetColor(MakeColor(0x11, 0x22, 0x33));
    canvas.FillRect(Rect(1, 1, 3, 2));
    EXPECT_EQ(memory[5], 0xFF112233u);
    EXPECT_EQ(memory[6], 0xFF112233u);
    EXPECT_EQ(memory[7], 0u);
    EXPECT_EQ(memory[4], 0u);
}

TEST(Canvas, WithoutPictureDrawsNothing) {
    TCanvas canvas;
    canvas.FillRect(Rect(0, 0, 10, 10));
    canvas.MoveTo(0, 0);
    canvas.LineTo(5, 5);
    EXPECT_EQ(canvas.Width(), 0);
    EXPECT_EQ(canvas.Pixels(0, 0), 0xFFFFFFFFu);
    EXPECT_GT(canvas.TextWidth("abc"), 0);
}

TEST(Bitmap, SizeFormatAndScanLines) {
    TBitmap b;
    EXPECT_TRUE(b.Empty());
    b.SetSize(-5, 10);
    EXPECT_EQ(b.Width(), 0);
    EXPECT_EQ(b.Height(), 10);
    EXPECT_TRUE(b.Empty());
    EXPECT_THROW(b.ScanLine(0), EInvalidGraphicOperation);
    b.SetSize(3, 2);
    EXPECT_EQ(b.BytesPerScanLine(), 12);  // 9 bytes padded to 4
    EXPECT_EQ(b.ScanLine(1) - b.ScanLine(0), 12);
    b.ScanLine(0)[0] = 0x10;  // blue of the top-left pixel
    b.ScanLine(0)[1] = 0x20;
    b.ScanLine(0)[2] = 0x30;
    EXPECT_EQ(b.Canvas().Pixels(0, 0), MakeColor(0x30, 0x20, 0x10));
    b.SetPixelFormat(TPixelFormat::pf32bit);
    EXPECT_EQ(b.BytesPerScanLine(), 12);
    EXPECT_EQ(b.ScanLine(0)[3], 0xFF);  // 24 -> 32 is opaque
    EXPECT_EQ(b.Canvas().Pixels(0, 0), MakeColor(0x30, 0x20, 0x10));
    EXPECT_THROW(b.ScanLine(2), EInvalidGraphicOperation);
    // Growing keeps the old pixels.
    b.SetSize(5, 5);
    EXPECT_EQ(b.Canvas().Pixels(0, 0), MakeColor(0x30, 0x20, 0x10));
    EXPECT_EQ(b.Canvas().Pixels(4, 4), clWhite);
}

TEST(Bitmap, TransparentDrawLeavesOutTheBottomLeftColour) {
    TBitmap sprite;
    sprite.SetSize(3, 3);
    sprite.Canvas().Brush().SetColor(clLime);
    sprite.Canvas().FillRect(Rect(0, 0, 3, 3));
    sprite.Canvas().SetPixels(1, 1, clRed);
    sprite.SetTransparent(true);
    EXPECT_EQ(sprite.TransparentColor(), clLime);
    TBitmap target;
    target.SetSize(5, 5);
    target.Canvas().Draw(1, 1, sprite);
    EXPECT_EQ(target.Canvas().Pixels(2, 2), clRed);
    EXPECT_EQ(target.Canvas().Pixels(1, 1), clWhite);
    sprite.SetTransparent(false);
    target.Canvas().StretchDraw(Rect(0, 0, 5, 5), sprite);
    EXPECT_EQ(target.Canvas().Pixels(0, 0), clLime);
}

TEST(Bitmap, ChangesFireOnChangeAndAssignCopies) {
    TBitmap a;
    int changes = 0;
    a.OnChange = [&](TPersistent*) { ++changes; };
    a.SetSize(2, 2);
    a.Canvas().SetPixels(0, 0, clRed);
    EXPECT_GE(changes, 2);
    TBitmap b;
    b.Assign(&a);
    EXPECT_EQ(b.Width(), 2);
    EXPECT_EQ(b.Canvas().Pixels(0, 0), clRed);
    b.Canvas().SetPixels(0, 0, clBlue);  // the copy is independent
    EXPECT_EQ(a.Canvas().Pixels(0, 0), clRed);
}

}  // namespace
}  // namespace ui
