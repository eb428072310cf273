// Frame3D: the exact pixels of nested 3-D frames.
#include <gtest/gtest.h>

#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/frames.h"

namespace ui {
namespace {

TEST(Frame3DTest, EdgesCornersAndInset) {
    TBitmap bmp;
    bmp.SetSize(12, 10);
    TCanvas& c = bmp.Canvas();
    c.Brush().SetColor(clWhite);
    c.FillRect(TRect{0, 0, 12, 10});
    c.Brush().SetColor(clAqua);  // must survive the frame

    TRect r{1, 1, 11, 9};
    Frame3D(c, r, clRed, clBlue, 2);
    EXPECT_EQ(r, (TRect{3, 3, 9, 7}));
    EXPECT_EQ(c.Brush().Color(), clAqua);

    struct Px {
        int x, y;
        TColor color;
    };
    const Px expected[] = {
        {1, 1, clRed},   {9, 1, clRed},    {10, 1, clBlue},  // top row: last pixel is bottom colour
        {1, 7, clRed},   {1, 8, clBlue},                     // left column: bottom pixel too
        {10, 8, clBlue}, {5, 8, clBlue},   {10, 4, clBlue},
        {2, 2, clRed},   {8, 2, clRed},    {9, 2, clBlue},  // second frame, one pixel in
        {2, 7, clBlue},  {9, 7, clBlue},   {3, 3, clWhite},
        {0, 0, clWhite}, {11, 9, clWhite},  // inside and outside untouched
    };
    for (const Px& p : expected) {
        SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
        EXPECT_EQ(c.Pixels(p.x, p.y), p.color);
    }
}

TEST(Frame3DTest, NoneColourDrawsNothingButStillInsets) {
    TBitmap bmp;
    bmp.SetSize(6, 6);
    TCanvas& c = bmp.Canvas();
    c.Brush().SetColor(clWhite);
    c.FillRect(TRect{0, 0, 6, 6});
    TRect r{0, 0, 6, 6};
    Frame3D(c, r, clNone, clNone, 1);
    EXPECT_EQ(r, (TRect{1, 1, 5, 5}));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(c.Pixels(x, y), clWhite);
}

}  // namespace
}  // namespace ui
