// Markup pictures: GIF frames, loading from addresses, the cache and the container.
#include <gtest/gtest.h>

#include "controls/pictures/gif_frames.h"
#include "controls/pictures/html_picture.h"
#include "controls/pictures/picture_container.h"
#include "platform/ui/core/exceptions.h"
#include "platform/ui/graphics/bitmap.h"
#include "tests/pictures/picture_fixture.h"
#include "tests/support/render.h"

namespace {

using panel::THTMLPicture;
using panel::THTMLPictureCache;
using panel_test::kThreeFrames;

class HtmlPictureTest : public ::testing::Test {
protected:
    void SetUp() override { test_support::EnsureApplication(); }
};

using panel_test::LoadPicture;

TEST_F(HtmlPictureTest, SecondFrameShowsItsColourAtItsOffset) {
    const std::vector<std::uint8_t> gif = panel_test::GifFile(8, 6, kThreeFrames);
    THTMLPicture picture;
    LoadPicture(picture, gif);
    EXPECT_EQ(picture.FrameCount(), 3);
    EXPECT_EQ(picture.AnimationWidth(), 8);
    EXPECT_EQ(picture.AnimationHeight(), 6);
    int frame_changes = 0;
    picture.OnFrameChange = [&](ui::TPersistent*) { ++frame_changes; };
    picture.SetFrame(2);
    EXPECT_EQ(frame_changes, 1);
    EXPECT_EQ(picture.FrameLeft(), 2);
    EXPECT_EQ(picture.FrameTop(), 1);
    EXPECT_EQ(picture.FrameWidth(), 3);
    EXPECT_EQ(picture.FrameHeight(), 2);
    EXPECT_EQ(picture.Width(), 3);
    EXPECT_EQ(picture.Height(), 2);

    ui::TBitmap target;
    target.SetSize(8, 6);
    target.Canvas().Brush().SetColor(ui::clBlack);
    target.Canvas().FillRect(ui::Rect(0, 0, 8, 6));
    picture.Draw(target.Canvas(), ui::Rect(picture.FrameLeft(), picture.FrameTop(), 8, 6));
    EXPECT_EQ(target.Canvas().Pixels(2, 1), ui::clLime);
    EXPECT_EQ(target.Canvas().Pixels(4, 2), ui::clLime);
    EXPECT_EQ(target.Canvas().Pixels(1, 1), ui::clBlack);
    EXPECT_EQ(target.Canvas().Pixels(5, 1), ui::clBlack);

    // The whole file is kept and saved, every frame.
    ui::TMemoryStream saved;
    picture.SaveToStream(saved);
    EXPECT_EQ(saved.Bytes(), gif);
}

TEST_F(HtmlPictureTest, FrameSelectionKeepsTheHeaderAndTheDataFromTheMarkerOn) {
    const std::vector<std::uint8_t> gif = panel_test::GifFile(8, 6, kThreeFrames);
    const std::vector<std::size_t> markers = panel_test::GifMarkerOffsets(8, 6, kThreeFrames);
    ASSERT_EQ(markers.size(), 3u);
    const panel::GifFrameSelection two = panel::SelectGifFrame(gif, 2);
    std::vector<std::uint8_t> expected(gif.begin(), gif.begin() + static_cast<std::ptrdiff_t>(markers[0]));
    expected.insert(expected.end(), gif.begin() + static_cast<std::ptrdiff_t>(markers[1]), gif.end());
    EXPECT_EQ(two.data, expected);
    const panel::GifFrameSelection beyond = panel::SelectGifFrame(gif, 5);
    EXPECT_EQ(beyond.data,
              std::vector<std::uint8_t>(gif.begin(), gif.begin() + static_cast<std::ptrdiff_t>(markers[0])));
}

TEST_F(HtmlPictureTest, FrameBeyondTheCountRaises) {
    THTMLPicture picture;
    LoadPicture(picture, panel_test::GifFile(8, 6, kThreeFrames));
    try {
        picture.SetFrame(5);
        FAIL() << "no exception";
    } catch (const ui::Exception& e) {
        EXPECT_STREQ(e.what(), "Could not load image. Invalid format");
    }
}

TEST_F(HtmlPictureTest, AFrameThatDoesNotDecodeLeavesTheShownFrameWhereItWas) {
    THTMLPicture picture;
    LoadPicture(picture, panel_test::GifFile(8, 6, kThreeFrames));
    picture.SetFrame(2);
    EXPECT_THROW(picture.SetFrame(5), ui::Exception);
    // Still frame 2's picture (3 x 2), so still at frame 2's place on the 8 x 6 screen.
    EXPECT_EQ(picture.Width(), 3);
    EXPECT_EQ(picture.FrameLeft(), 2);
    EXPECT_EQ(picture.FrameTop(), 1);
    EXPECT_EQ(picture.FrameWidth(), 3);
    EXPECT_EQ(picture.FrameHeight(), 2);
    EXPECT_EQ(picture.AnimationWidth(), 8);
    // New data that does not decode leaves no picture, and no place of the old one.
    EXPECT_THROW(LoadPicture(picture, std::vector<std::uint8_t>{'G', 'I', 'F', '8', '9', 'a', 0, 0}), ui::Exception);
    EXPECT_EQ(picture.Width(), 0);
    EXPECT_EQ(picture.FrameLeft(), 0);
    EXPECT_EQ(picture.FrameTop(), 0);
    EXPECT_EQ(picture.FrameWidth(), 0);
    EXPECT_EQ(picture.AnimationWidth(), 0);
}

TEST_F(HtmlPictureTest, StreamLoadsTakeEveryByteWhereverThePositionStands) {
    const std::vector<std::uint8_t> png = panel_test::PngFile(4, 3, ui::clRed);
    const std::int64_t size = static_cast<std::int64_t>(png.size());
    for (const std::int64_t position : {std::int64_t{0}, size / 2, size}) {
        for (const bool read_data : {false, true}) {
            ui::TMemoryStream stream;
            panel_test::SetBytes(stream, png);
            stream.SetPosition(position);
            THTMLPicture picture;
            int changes = 0;
            picture.OnChange = [&](ui::TPersistent*) { ++changes; };
            if (read_data)
                picture.ReadData(stream);
            else
                picture.LoadFromStream(stream);
            const std::string where = (read_data ? "read data at " : "load at ") + std::to_string(position);
            EXPECT_EQ(picture.Data().Bytes(), png) << where;
            EXPECT_EQ(picture.Width(), 4) << where;
            EXPECT_EQ(changes, read_data ? 0 : 1) << where;
        }
    }
}

TEST_F(HtmlPictureTest, TruncatedGifIsReadWithinItsBytes) {
    // Every prefix of the file: counting and selecting frames never reads past the data's end
    // (the sanitizer build checks), and a marker whose image descriptor is cut off does not count.
    const std::vector<std::uint8_t> gif = panel_test::GifFile(8, 6, kThreeFrames);
    const std::vector<std::size_t> markers = panel_test::GifMarkerOffsets(8, 6, kThreeFrames);
    for (std::size_t n = 0; n <= gif.size(); ++n) {
        const std::vector<std::uint8_t> cut(gif.begin(), gif.begin() + static_cast<std::ptrdiff_t>(n));
        int whole = 0;
        for (std::size_t m : markers) whole += (m + 18 <= n) ? 1 : 0;
        EXPECT_EQ(panel::CountGifFrameMarkers(cut), whole) << n;
        THTMLPicture picture;
        try {
            LoadPicture(picture, cut);
            picture.SetFrame(2);
        } catch (const ui::Exception&) {}
        (void)picture.FrameCount();
    }
}

TEST_F(HtmlPictureTest, PngHasNoFramesAndItsOwnSizeAsAnimationSize) {
    THTMLPicture picture;
    LoadPicture(picture, panel_test::PngFile(37, 23, ui::clRed));
    EXPECT_EQ(picture.FrameCount(), -1);
    EXPECT_EQ(picture.AnimationWidth(), 37);
    EXPECT_EQ(picture.AnimationHeight(), 23);
    // New data forgets the count of the old.
    LoadPicture(picture, panel_test::GifFile(8, 6, kThreeFrames));
    EXPECT_EQ(picture.FrameCount(), 3);
    LoadPicture(picture, panel_test::GifFile(8, 6, {kThreeFrames[0]}));
    EXPECT_EQ(picture.FrameCount(), 1);
}

TEST_F(HtmlPictureTest, AddressesLoadResourcesAndFilesOnly) {
    const std::string file = panel_test::WriteTempFile("address.png", panel_test::PngFile(4, 3, ui::clRed));
    struct Case {
        std::string source;
        bool loads;
        int width;
    };
    const Case cases[] = {
        {"RES://A", true, 5},
        {"res://A", true, 5},
        {"RES://a", false, 0},
        {"RES://", false, 0},
        {"FILE://" + file, true, 4},
        {"file://" + file, true, 4},
        {"FILE:///nonexistent", false, 0},
        {"http://host/pic.png", false, 0},
    };
    for (const Case& c : cases) {
        THTMLPicture picture;
        picture.SetAsynchronous(false);
        picture.LoadFromAddress(c.source);
        EXPECT_EQ(!picture.Empty(), c.loads) << c.source;
        EXPECT_EQ(picture.Width(), c.width) << c.source;
        EXPECT_EQ(picture.Identifier(), c.source);
    }
    THTMLPicture asynchronous;
    asynchronous.LoadFromAddress("http://host/pic.png");
    EXPECT_EQ(asynchronous.Identifier(), "");
}

TEST_F(HtmlPictureTest, CacheKeysPicturesByTheExactSourceText) {
    THTMLPictureCache cache;
    THTMLPicture* upper = cache.PictureForAddress("RES://A");
    THTMLPicture* lower = cache.PictureForAddress("res://A");
    ASSERT_NE(upper, nullptr);
    ASSERT_NE(lower, nullptr);
    EXPECT_NE(upper, lower);
    EXPECT_EQ(cache.Count(), 2);
    EXPECT_FALSE(upper->Empty());
    // An internet address gives one empty picture, found again without a second load.
    THTMLPicture* web = cache.PictureForAddress("http://host/x.gif");
    EXPECT_TRUE(web->Empty());
    EXPECT_EQ(cache.PictureForAddress("http://host/x.gif"), web);
    EXPECT_EQ(cache.Count(), 3);
    EXPECT_EQ(cache.FindById("RES://A"), upper);
    EXPECT_EQ(cache.FindById("Res://A"), nullptr);
    EXPECT_THROW(cache.Pictures(3), ui::EListError);
    cache.FreeAll();
    EXPECT_EQ(cache.Count(), 0);
}

TEST_F(HtmlPictureTest, AssignCopiesDataFrameAndIdentifier) {
    THTMLPicture source;
    source.SetAsynchronous(false);
    source.LoadFromAddress("RES://A");
    THTMLPicture gif;
    LoadPicture(gif, panel_test::GifFile(8, 6, kThreeFrames));
    gif.SetFrame(3);
    gif.SetStretch(true);
    THTMLPicture copy;
    copy.Assign(&gif);
    EXPECT_EQ(copy.Frame(), 3);
    EXPECT_TRUE(copy.Stretch());
    EXPECT_EQ(copy.FrameLeft(), 5);
    EXPECT_EQ(copy.Data().Bytes(), gif.Data().Bytes());
    copy.Assign(&source);
    EXPECT_EQ(copy.Identifier(), "RES://A");
    EXPECT_EQ(copy.Frame(), 1);
    copy.Assign(nullptr);
    EXPECT_TRUE(copy.Empty());
    EXPECT_EQ(copy.Data().Size(), 0);
}

TEST_F(HtmlPictureTest, ContainerFindsTheFirstItemOfANameInAnyCase) {
    panel::TPictureContainer container(nullptr);
    EXPECT_EQ(container.Version(), "1.0.0.0");
    panel::TPictureItem* first = container.Items().Add();
    first->SetName("LOGO");
    panel::TPictureItem* second = container.Items().Add();
    second->SetName("logo");
    panel::TPictureItem* other = container.Items().Add();
    other->SetName("Other");
    EXPECT_EQ(container.FindPicture("Logo"), &first->Picture());
    EXPECT_EQ(container.FindPicture("OTHER"), &other->Picture());
    EXPECT_EQ(container.FindPicture("missing"), nullptr);

    LoadPicture(first->Picture(), panel_test::PngFile(2, 2, ui::clRed));
    first->SetTag(7);
    panel::TPictureContainer copy(nullptr);
    copy.SetItems(container.Items());
    ASSERT_EQ(copy.Items().Count(), 3);
    EXPECT_EQ(copy.Items().Items(0)->Name(), "LOGO");
    EXPECT_EQ(copy.Items().Items(0)->Tag(), 7);
    EXPECT_EQ(copy.Items().Items(0)->Picture().Width(), 2);
}

}  // namespace
