#include "app/add_picture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "app/album_payload.h"
#include "app/device_family.h"
#include "platform/kernel/sinks.h"
#include "platform/ui/controls/application.h"
#include "platform/ui/controls/screen.h"
#include "platform/ui/core/exceptions.h"
#include "platform/ui/core/streams.h"
#include "platform/ui/graphics/decoded_image.h"
#include "platform/ui/graphics/jpeg.h"
#include "tests/app/fake_album.h"
#include "tests/imaging/picture_files.h"
#include "tests/support/temp_folder.h"

namespace app {
namespace {

namespace fs = std::filesystem;
using testing_support::FakeAlbum;

TEST(CaptionFromFileNameTest, FolderAndExtensionGo) {
    const std::pair<const char*, const char*> cases[] = {
        {"/pics/beach.day.jpg", "beach.day"}, {"beach.jpg", "beach"}, {"/a.b/noext", "noext"}, {"/pics/.jpg", ""},
        {"C:\\pics\\x.bmp", "C:\\pics\\x"},  // a backslash is part of a Linux file name
    };
    for (const auto& [file, caption] : cases) EXPECT_EQ(CaptionFromFileName(file), caption) << file;
}

std::uint32_t PixelAt(const ui::TBitmap& b, int x, int y) {
    return reinterpret_cast<const std::uint32_t*>(b.ScanLine(y))[x];
}

class AddPictureTest : public testing::Test {
protected:
    void SetUp() override {
        dir_ = test_support::TestTempFolder("qbk_addpic_");
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // A uniformly white, opaque picture file: the Lanczos filter keeps a constant picture
    // constant, so every covered pixel is white and every other one stays black.
    std::string WhiteBmp(int w, int h) {
        ui::TBitmap bitmap;
        bitmap.SetSize(w, h);  // new pixels are white
        const std::string name = (dir_ / (std::to_string(w) + "x" + std::to_string(h) + ".bmp")).string();
        bitmap.SaveToFile(name);
        return name;
    }

    // More files than the pool has threads, of every size class, with a BMP among the JPEGs.
    std::vector<std::string> Selection(int count) {
        std::vector<std::string> files;
        for (int i = 0; i < count; ++i) {
            if (i % 5 == 3) {
                files.push_back(WhiteBmp(40 + i, 30 + 2 * i));
            } else {
                files.push_back(imaging::test::WriteDetailedPicture(
                    (dir_ / ("p" + std::to_string(i) + ".jpg")).string(), 200 + 37 * i, 500 - 23 * i, i));
            }
        }
        return files;
    }

    fs::path dir_;
};

// Every card of two albums: caption, size, layout and pixel bytes.
void ExpectSameCards(const FakeAlbum& a, const FakeAlbum& b) {
    ASSERT_EQ(a.cards.size(), b.cards.size());
    EXPECT_EQ(a.card_width, b.card_width);
    for (std::size_t i = 0; i < a.cards.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "card " << i);
        EXPECT_EQ(a.cards[i].caption, b.cards[i].caption);
        const ui::TBitmap& p = *a.cards[i].picture;
        const ui::TBitmap& q = *b.cards[i].picture;
        ASSERT_EQ(p.Width(), q.Width());
        ASSERT_EQ(p.Height(), q.Height());
        ASSERT_EQ(p.PixelFormat(), q.PixelFormat());
        int rows_differing = 0;
        for (int y = 0; y < p.Height(); ++y) {
            if (std::memcmp(p.ScanLine(y), q.ScanLine(y), static_cast<std::size_t>(p.BytesPerScanLine())) != 0)
                ++rows_differing;
        }
        EXPECT_EQ(rows_differing, 0);
    }
}

TEST_F(AddPictureTest, PictureLandsInTheFittedRectangleWithBlackBars) {
    struct Case {
        int family, w, h;
        ui::TRect rect;
    };
    const Case cases[] = {
        {0, 1000, 450, {0, 0, 176, 79}},     // wide
        {0, 300, 600, {33, 0, 143, 220}},    // tall
        {0, 400, 300, {0, 0, 176, 132}},     // exactly 3:4
        {0, 1000, 900, {-34, 0, 210, 220}},  // cut off on both sides
        {1, 800, 200, {0, 0, 320, 80}},     {1, 500, 700, {74, 0, 245, 240}}, {1, 640, 480, {0, 0, 320, 240}},
        {3, 1000, 300, {0, 0, 240, 72}},    {4, 100, 400, {80, 0, 160, 320}}, {4, 480, 640, {0, 0, 240, 320}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "family " << c.family << " " << c.w << "x" << c.h);
        FakeAlbum album;
        AddPicture(album, c.family, WhiteBmp(c.w, c.h), false);
        ASSERT_EQ(album.cards.size(), 1u);
        const ui::TBitmap& p = *album.cards[0].picture;
        ASSERT_EQ(p.Width(), ScreenWidth(c.family));
        ASSERT_EQ(p.Height(), ScreenHeight(c.family));
        EXPECT_EQ(p.PixelFormat(), ui::TPixelFormat::pf32bit);
        EXPECT_EQ(album.card_width, AlbumCardWidth(c.family));
        int wrong = 0;
        for (int y = 0; y < p.Height(); ++y) {
            for (int x = 0; x < p.Width(); ++x) {
                const bool inside = x >= c.rect.Left && x < c.rect.Right && y >= c.rect.Top && y < c.rect.Bottom;
                if (PixelAt(p, x, y) != (inside ? 0xFFFFFFFFu : 0x00000000u)) ++wrong;
            }
        }
        EXPECT_EQ(wrong, 0);
    }
}

// A 2 x 1 GIF: a red pixel and a transparent one whose palette colour is pure green.
const std::vector<std::uint8_t> kRedAndHiddenGreenGif = {
    'G',  'I',  'F', '8',  '9', 'a', 2, 0, 1, 0, 0x80, 0, 0,    0xFF, 0, 0,   0, 0xFF, 0,  // screen, palette
    0x21, 0xF9, 4,   0x01, 0,   0,   1, 0,                                                 // index 1 transparent
    0x2C, 0,    0,   0,    0,   2,   0, 1, 0, 0, 2,    2, 0x44, 0x0A, 0, 0x3B};            // pixels 0, 1

// The pixels the device shows for a card: its payload entry decoded.
std::unique_ptr<ui::TBitmap> DevicePicture(const FakeAlbum& album, int family) {
    ui::TMemoryStream payload;
    BuildAlbumPayload(PagesOf(album), family, DeviceFamilyAt(family).Variants[0], 1, payload);
    const std::vector<std::uint8_t> bytes = payload.Bytes();
    const std::size_t entry = 15 + 4 * album.cards.size();  // version 1: head, index, then the JPEG
    ui::TMemoryStream jpeg;
    jpeg.WriteBuffer(bytes.data() + entry, static_cast<std::int64_t>(bytes.size() - entry));
    jpeg.SetPosition(0);
    ui::TJPEGImage image;
    image.LoadFromStream(jpeg);
    auto decoded = std::make_unique<ui::TBitmap>();
    decoded->Assign(&image.Bitmap());
    return decoded;
}

TEST_F(AddPictureTest, TransparentAreasShowBlackOnTheCardAndOnTheDevice) {
    // 200 x 150 on a transparent field hiding pure green: a red rectangle and a band of white at
    // half alpha. It fills the top 176 x 132 of family 0's screen.
    ui::TBitmap field;
    field.SetPixelFormat(ui::TPixelFormat::pf32bit);
    field.SetSize(200, 150);
    for (int y = 0; y < 150; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(field.ScanLine(y));
        for (int x = 0; x < 200; ++x) {
            const bool red = x >= 50 && x < 150 && y >= 40 && y < 110;
            const bool band = y >= 120 && x >= 20 && x < 180;
            row[x] = red ? 0xFFFF0000u : band ? 0x80FFFFFFu : 0x0000FF00u;
        }
    }
    ui::TDecodedImage png(ui::TDecodedFormat::dfPNG);
    png.Assign(&field);
    const std::string png_file = (dir_ / "hidden.png").string();
    png.SaveToFile(png_file);
    const std::string gif_file = (dir_ / "hidden.gif").string();
    std::ofstream(gif_file, std::ios::binary)
        .write(reinterpret_cast<const char*>(kRedAndHiddenGreenGif.data()),
               static_cast<std::streamsize>(kRedAndHiddenGreenGif.size()));

    struct Point {
        int x, y;
        std::uint32_t card;  // the card's pixel; the device's is within a JPEG's error of it
    };
    struct Case {
        std::string file;
        std::vector<Point> points;
    };
    const Case cases[] = {
        {png_file,
         {{5, 5, 0xFF000000},
          {170, 60, 0xFF000000},
          {88, 66, 0xFFFF0000},
          {88, 118, 0xFF808080},
          {88, 180, 0x00000000}}},  // below the picture: the uncovered screen
        {gif_file, {{2, 40, 0xFFFF0000}, {173, 40, 0xFF000000}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        FakeAlbum album;
        AddPicture(album, 0, c.file, false);
        ASSERT_EQ(album.cards.size(), 1u);
        const ui::TBitmap& card = *album.cards[0].picture;
        // Red, black and grey only: green never leads anywhere, not even where the edges blend.
        int green = 0;
        for (int y = 0; y < card.Height(); ++y)
            for (int x = 0; x < card.Width(); ++x) {
                const std::uint32_t p = PixelAt(card, x, y);
                if (((p >> 8) & 0xFF) > ((p >> 16) & 0xFF)) ++green;
            }
        EXPECT_EQ(green, 0);
        const std::unique_ptr<ui::TBitmap> device = DevicePicture(album, 0);
        for (const Point& p : c.points) {
            SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
            EXPECT_EQ(PixelAt(card, p.x, p.y) >> 24, p.card >> 24);
            for (const int shift : {16, 8, 0}) {
                const int expected = static_cast<int>((p.card >> shift) & 0xFF);
                EXPECT_NEAR(static_cast<int>((PixelAt(card, p.x, p.y) >> shift) & 0xFF), expected, 1) << shift;
                const ui::TColor shown = device->Canvas().Pixels(p.x, p.y);  // 0x00BBGGRR
                const int on_device = static_cast<int>((shown >> (16 - shift)) & 0xFF);
                EXPECT_NEAR(on_device, expected, 24) << shift;
            }
        }
    }
}

TEST_F(AddPictureTest, CardWidthsAndCaption) {
    const std::string file = (dir_ / "beach.day.bmp").string();
    fs::copy_file(WhiteBmp(8, 6), file);
    const std::pair<int, int> widths[] = {{0, 190}, {1, 334}, {3, 254}, {4, 254}};
    for (const auto& [family, width] : widths) {
        FakeAlbum album;
        AddPicture(album, family, file, false);
        EXPECT_EQ(album.card_width, width);
        EXPECT_EQ(album.cards.at(0).caption, "beach.day");
    }
}

TEST_F(AddPictureTest, InsertGoesBeforeTheSelectedCardElseAppends) {
    FakeAlbum album;
    const std::string file = WhiteBmp(4, 3);
    AddPicture(album, 1, file, true);  // nothing selected: appended
    album.cards[0].caption = "first";
    AddPicture(album, 1, file, false);
    album.cards[1].caption = "second";
    album.selected = 1;
    AddPicture(album, 1, file, true);
    ASSERT_EQ(album.cards.size(), 3u);
    EXPECT_EQ(album.cards[0].caption, "first");
    EXPECT_EQ(album.cards[1].caption, "4x3");
    EXPECT_EQ(album.cards[2].caption, "second");
}

TEST_F(AddPictureTest, UnreadableFileStopsTheLoopAndReachesTheErrorReport) {
    const std::string bad = (dir_ / "broken.bmp").string();
    { std::ofstream(bad) << "not a picture"; }
    const std::vector<std::string> files{WhiteBmp(4, 3), bad, WhiteBmp(6, 3)};
    std::vector<std::string> reports;
    const auto previous = kernel::SetMessageBoxSink([&](const std::string& text, const std::string&, unsigned) {
        reports.push_back(text);
        return static_cast<int>(kernel::kIdOk);
    });
    FakeAlbum album;
    // As the main window runs it: from the event loop, errors go to the default report.
    ui::Guarded([&] { AddPictures(album, 0, files, false); });
    kernel::SetMessageBoxSink(previous);
    ASSERT_EQ(album.cards.size(), 1u);
    EXPECT_EQ(album.cards[0].caption, "4x3");
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_FALSE(reports[0].empty());
    EXPECT_EQ(ui::Screen().Cursor(), ui::crDefault);
    EXPECT_EQ(album.cursor_during_new_card, ui::crHourGlass);
}

TEST_F(AddPictureTest, MissingFileRaisesWithCursorRestored) {
    FakeAlbum album;
    EXPECT_THROW(AddPicture(album, 0, (dir_ / "none.jpg").string(), false), ui::Exception);
    EXPECT_TRUE(album.cards.empty());
    EXPECT_EQ(ui::Screen().Cursor(), ui::crDefault);
}

TEST_F(AddPictureTest, SeveralFilesAtOnceGiveTheCardsOfAddingThemOneByOne) {
    const std::vector<std::string> files = Selection(19);
    for (const int family : {0, 1}) {
        for (const bool insert : {false, true}) {
            SCOPED_TRACE(testing::Message() << "family " << family << (insert ? ", inserted" : ", appended"));
            FakeAlbum one_by_one, at_once;
            for (FakeAlbum* album : {&one_by_one, &at_once}) {
                // Two cards already there, the second selected: inserted cards go between them.
                album->NewCard("before", false);
                album->NewCard("after", false);
                album->selected = 1;
            }
            for (const std::string& file : files) AddPicture(one_by_one, family, file, insert);
            AddPictures(at_once, family, files, insert);
            ExpectSameCards(one_by_one, at_once);
            EXPECT_EQ(at_once.cards.size(), files.size() + 2);
            EXPECT_EQ(at_once.cursor_during_new_card, ui::crHourGlass);
            EXPECT_EQ(ui::Screen().Cursor(), ui::crDefault);
        }
    }
}

TEST_F(AddPictureTest, UnreadableFileAmongManyAddsTheOnesBeforeItAndReportsIt) {
    std::vector<std::string> files = Selection(17);
    // A JPEG cut short in the middle of the selection.
    const std::string cut = imaging::test::WriteCutCopy(files[0], (dir_ / "cut.jpg").string(), 0.5);
    const std::size_t bad_at = 8;
    files.insert(files.begin() + bad_at, cut);
    std::vector<std::string> reports;
    const auto previous = kernel::SetMessageBoxSink([&](const std::string& text, const std::string&, unsigned) {
        reports.push_back(text);
        return static_cast<int>(kernel::kIdOk);
    });
    FakeAlbum album;
    ui::Guarded([&] { AddPictures(album, 1, files, false); });
    kernel::SetMessageBoxSink(previous);

    FakeAlbum expected;
    for (std::size_t i = 0; i < bad_at; ++i) AddPicture(expected, 1, files[i], false);
    ExpectSameCards(album, expected);
    // The cards came inside one update of the card list, closed also on the failure.
    EXPECT_EQ(album.new_cards_outside_update, 0);
    EXPECT_EQ(album.updates_closed, 1);
    EXPECT_EQ(album.update_depth, 0);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find("JPEG image is not valid"), std::string::npos) << reports[0];
    EXPECT_EQ(ui::Screen().Cursor(), ui::crDefault);
    EXPECT_EQ(album.cursor_during_new_card, ui::crHourGlass);
}

}  // namespace
}  // namespace app
