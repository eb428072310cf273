#include "app/add_picture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "app/device_family.h"
#include "tests/app/fake_album.h"
#include "tests/imaging/picture_files.h"
#include "platform/kernel/sinks.h"
#include "platform/ui/controls/application.h"
#include "platform/ui/controls/screen.h"
#include "platform/ui/core/exceptions.h"
#include "tests/support/temp_folder.h"

namespace app {
namespace {

namespace fs = std::filesystem;
using testing_support::FakeAlbum;

TEST(CaptionFromFileNameTest, FolderAndExtensionGo) {
    const std::pair<const char*, const char*> cases[] = {
        {"/pics/beach.day.jpg", "beach.day"},
        {"beach.jpg", "beach"},
        {"/a.b/noext", "noext"},
        {"/pics/.jpg", ""},
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
                files.push_back(imaging::test::WriteDetailedPicture((dir_ / ("p" + std::to_string(i) + ".jpg")).string(),
                                                                   200 + 37 * i, 500 - 23 * i, i));
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
            if (std::memcmp(p.ScanLine(y), q.ScanLine(y), static_cast<std::size_t>(p.BytesPerScanLine())) != 0) ++rows_differing;
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
        {0, 1000, 450, {0, 0, 176, 79}},    // wide
        {0, 300, 600, {33, 0, 143, 220}},   // tall
        {0, 400, 300, {0, 0, 176, 132}},    // exactly 3:4
        {0, 1000, 900, {-34, 0, 210, 220}}, // cut off on both sides
        {1, 800, 200, {0, 0, 320, 80}},
        {1, 500, 700, {74, 0, 245, 240}},
        {1, 640, 480, {0, 0, 320, 240}},
        {3, 1000, 300, {0, 0, 240, 72}},
        {4, 100, 400, {80, 0, 160, 320}},
        {4, 480, 640, {0, 0, 240, 320}},
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
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find("JPEG image is not valid"), std::string::npos) << reports[0];
    EXPECT_EQ(ui::Screen().Cursor(), ui::crDefault);
    EXPECT_EQ(album.cursor_during_new_card, ui::crHourGlass);
}

}  // namespace
}  // namespace app
