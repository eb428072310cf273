#include <gtest/gtest.h>

#include <QImage>

#include "controls/cardlist/card_fill_painting.h"
#include "platform/ui/graphics/canvas.h"

namespace cardlist {
namespace {

TEST(FineGradient, BlackToWhiteOver512PixelsBandByBand) {
    QImage image(512, 4, QImage::Format_ARGB32);
    image.fill(Qt::red);
    ui::TCanvas canvas(&image);
    TFineGradient g;
    g.SetColor(ui::clBlack);
    g.SetColorTo(ui::clWhite);
    PaintGradient(canvas, g, ui::TRect{0, 0, 512, 4});
    // Bands are 3 pixels long and start every 2 pixels, so pixel x shows band x / 2, whose grey
    // level is 255 * i / 256 truncated; the last band reaches only 254 and stays inside.
    for (int x = 0; x < 512; ++x) {
        const int level = 255 * (x / 2) / 256;
        for (int y = 0; y < 4; ++y) {
            ASSERT_EQ(canvas.Pixels(x, y), ui::MakeColor(level, level, level)) << "x=" << x << " y=" << y;
        }
    }
    EXPECT_EQ(canvas.Pixels(511, 0), ui::MakeColor(254, 254, 254));
}

TEST(FineGradient, NoneColoursFillSolidOrNothingAndClipToTheRectangle) {
    QImage image(40, 40, QImage::Format_ARGB32);
    image.fill(Qt::black);
    ui::TCanvas canvas(&image);
    TFineGradient g;
    g.SetColor(ui::clRed);  // ColorTo stays clNone
    PaintGradient(canvas, g, ui::TRect{0, 0, 10, 10});
    EXPECT_EQ(canvas.Pixels(9, 9), ui::clRed);
    EXPECT_EQ(canvas.Pixels(10, 10), ui::clBlack);
    g.SetColor(ui::clNone);
    g.SetColorTo(ui::clWhite);
    PaintGradient(canvas, g, ui::TRect{20, 20, 30, 30});
    EXPECT_EQ(canvas.Pixels(25, 25), ui::clBlack);
    // A vertical gradient over 300 rows: bands of Round(300/256)+1 = 2 must not spill below.
    g.SetColor(ui::clWhite);
    g.SetColorTo(ui::clBlack);
    g.SetDirection(TFineGradientDirection::gdVertical);
    QImage tall(4, 301, QImage::Format_ARGB32);
    tall.fill(Qt::red);
    ui::TCanvas tall_canvas(&tall);
    PaintGradient(tall_canvas, g, ui::TRect{0, 0, 4, 300});
    EXPECT_EQ(tall_canvas.Pixels(0, 300), ui::clRed);
    EXPECT_EQ(tall_canvas.Pixels(0, 0), ui::clWhite);
}

TEST(LevelProgress, BlockGeometry) {
    struct Case {
        int filled;
        std::vector<std::pair<int, int>> blocks;  // first and last pixel column of each block
    };
    const std::vector<Case> cases = {
        {25, {{2, 8}, {11, 17}, {20, 25}}},
        {1, {}},
        {5, {{2, 5}}},
        {9, {{2, 9}}},
        {10, {{2, 8}}},                      // remainder 1: no last block
        {27, {{2, 8}, {11, 17}, {20, 26}}},  // 3 blocks, remainder 0
    };
    const ui::TRect rect{0, 0, 100, 12};
    for (const Case& c : cases) {
        const auto blocks = LevelProgressBlocks(rect, c.filled, false);
        ASSERT_EQ(blocks.size(), c.blocks.size()) << "filled " << c.filled;
        for (std::size_t i = 0; i < blocks.size(); ++i) {
            EXPECT_EQ(blocks[i].Left, c.blocks[i].first) << "filled " << c.filled;
            EXPECT_EQ(blocks[i].Right - 1, c.blocks[i].second) << "filled " << c.filled;
            EXPECT_EQ(blocks[i].Top, 2);
            EXPECT_EQ(blocks[i].Bottom, 10);
        }
    }
}

class LevelProgressPixels : public ::testing::Test {
protected:
    LevelProgressPixels() : image_(102, 12, QImage::Format_ARGB32), canvas_(&image_) { image_.fill(Qt::black); }
    TLevelProgressRecord Record() {
        TProgressAppearance a;
        TLevelProgressRecord r = LevelProgressRecordFrom(a);
        r.ShowGradient = false;
        r.ShowPercentage = false;
        r.Background = ui::clWhite;
        return r;
    }
    QImage image_;
    ui::TCanvas canvas_;
};

TEST_F(LevelProgressPixels, StackedAt80ShowsLevel0For70AndLevel1For10Percent) {
    TLevelProgressRecord r = Record();
    r.Stacked = true;
    DrawLevelProgress(canvas_, ui::TRect{0, 0, 102, 12}, 80, r);
    // Inner length 100 from x = 1: level 0 over 1..70, level 1 over 71..80, background after.
    EXPECT_EQ(canvas_.Pixels(1, 5), r.Level0Color);
    EXPECT_EQ(canvas_.Pixels(70, 5), r.Level0Color);
    EXPECT_EQ(canvas_.Pixels(71, 5), r.Level1Color);
    EXPECT_EQ(canvas_.Pixels(80, 5), r.Level1Color);
    EXPECT_EQ(canvas_.Pixels(81, 5), ui::clWhite);
}

TEST_F(LevelProgressPixels, PositionBeyondMaximumFillsTheBar) {
    TLevelProgressRecord r = Record();
    DrawLevelProgress(canvas_, ui::TRect{0, 0, 102, 12}, 150, r);
    EXPECT_EQ(canvas_.Pixels(1, 5), r.Level3Color);
    EXPECT_EQ(canvas_.Pixels(100, 5), r.Level3Color);
}

TEST_F(LevelProgressPixels, EmptyOrInvertedRangeDrawsOnlyTheFrame) {
    TLevelProgressRecord r = Record();
    for (int max : {0, -5}) {
        r.Min = 0;
        r.Max = max;
        DrawLevelProgress(canvas_, ui::TRect{0, 0, 102, 12}, 50, r);
        EXPECT_EQ(canvas_.Pixels(50, 5), ui::clWhite) << "max " << max;
    }
}

}  // namespace
}  // namespace cardlist
