// The background image of a panel.
#include <gtest/gtest.h>

#include <string>

#include "controls/pictures/fine_image.h"
#include "platform/ui/core/exceptions.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/picture.h"
#include "tests/pictures/picture_fixture.h"
#include "tests/support/render.h"

namespace {

using panel::TFineImage;

class FineImageTest : public ::testing::Test {
protected:
    void SetUp() override { test_support::EnsureApplication(); }
};

TEST_F(FineImageTest, PngReportsItsSizeAndSavesItsBytesUnchanged) {
    const std::vector<std::uint8_t> png = panel_test::PngFile(37, 23, ui::clRed);
    TFineImage image;
    int changes = 0;
    image.OnChange = [&](ui::TPersistent*) { ++changes; };
    ui::TMemoryStream in;
    panel_test::SetBytes(in, png);
    image.LoadFromStream(in);
    EXPECT_FALSE(image.Empty());
    EXPECT_EQ(image.Width(), 37);
    EXPECT_EQ(image.Height(), 23);
    EXPECT_EQ(changes, 1);
    ui::TMemoryStream out;
    image.SaveToStream(out);
    EXPECT_EQ(out.Bytes(), png);
}

TEST_F(FineImageTest, DrawsStretchedIntoTheRectangle) {
    TFineImage image;
    ui::TMemoryStream in;
    panel_test::SetBytes(in, panel_test::PngFile(2, 2, ui::clBlue));
    image.LoadFromStream(in);
    ui::TBitmap target;
    target.SetSize(20, 20);
    target.Canvas().Brush().SetColor(ui::clWhite);
    target.Canvas().FillRect(ui::Rect(0, 0, 20, 20));
    image.Draw(target.Canvas(), ui::Rect(5, 5, 15, 15));
    EXPECT_EQ(target.Canvas().Pixels(5, 5), ui::clBlue);
    EXPECT_EQ(target.Canvas().Pixels(14, 14), ui::clBlue);
    EXPECT_EQ(target.Canvas().Pixels(4, 5), ui::clWhite);
    EXPECT_EQ(target.Canvas().Pixels(15, 14), ui::clWhite);
}

TEST_F(FineImageTest, CorruptOrMissingFileGivesAnEmptyImageThatDrawsNothing) {
    for (const std::string& path : {panel_test::WriteTempFile("corrupt.png", {0x89, 'P', 'N', 'G', 1, 2, 3}),
                                    std::string("/nonexistent/picture.png")}) {
        TFineImage image;
        EXPECT_NO_THROW(image.LoadFromFile(path)) << path;
        EXPECT_TRUE(image.Empty()) << path;
        EXPECT_EQ(image.Width(), 0);
        ui::TBitmap target;
        target.SetSize(4, 4);
        target.Canvas().Brush().SetColor(ui::clWhite);
        target.Canvas().FillRect(ui::Rect(0, 0, 4, 4));
        image.Draw(target.Canvas(), ui::Rect(0, 0, 4, 4));
        EXPECT_EQ(target.Canvas().Pixels(1, 1), ui::clWhite);
    }
}

TEST_F(FineImageTest, UnreadableStreamRaisesTheDecodingMessage) {
    TFineImage image;
    ui::TMemoryStream in;
    panel_test::SetBytes(in, {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c'});
    try {
        image.LoadFromStream(in);
        FAIL() << "no exception";
    } catch (const ui::Exception& e) {
        EXPECT_STREQ(e.what(), "Could not load image. Invalid format");
    }
    EXPECT_EQ(image.Width(), 0);
}

TEST_F(FineImageTest, AssignedBitmapGivesItsFileBytesAndDraws) {
    ui::TBitmap bitmap;
    bitmap.SetSize(3, 2);
    bitmap.Canvas().Brush().SetColor(ui::clLime);
    bitmap.Canvas().FillRect(ui::Rect(0, 0, 3, 2));
    ui::TPicture picture;
    picture.SetGraphic(&bitmap);
    for (const ui::TPersistent* source :
         {static_cast<const ui::TPersistent*>(&bitmap), static_cast<const ui::TPersistent*>(&picture)}) {
        TFineImage image;
        image.Assign(source);
        ASSERT_FALSE(image.Empty());
        EXPECT_EQ(image.Data().Bytes().at(0), 'B');
        EXPECT_EQ(image.Width(), 3);
        ui::TBitmap target;
        target.SetSize(3, 2);
        image.Draw(target.Canvas(), ui::Rect(0, 0, 3, 2));
        EXPECT_EQ(target.Canvas().Pixels(2, 1), ui::clLime);

        TFineImage copy;
        copy.Assign(&image);
        EXPECT_EQ(copy.Data().Bytes(), image.Data().Bytes());
        EXPECT_EQ(copy.Height(), 2);
        copy.Assign(nullptr);
        EXPECT_TRUE(copy.Empty());
        EXPECT_EQ(copy.Data().Size(), 0);
    }
}

}  // namespace
