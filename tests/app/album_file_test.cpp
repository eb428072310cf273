#include "app/album_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "app/add_picture.h"
#include "app/album_file_format.h"
#include "app/device_family.h"
#include "platform/kernel/sinks.h"
#include "platform/ui/core/exceptions.h"
#include "tests/app/fake_album.h"
#include "tests/support/resident_memory.h"
#include "tests/support/temp_folder.h"
#include "tests/ui/bmp_fixture.h"

namespace app {
namespace {

namespace fs = std::filesystem;
using testing_support::FakeAlbum;

// A 32-bit bitmap whose every pixel is distinct, alpha included.
std::unique_ptr<ui::TBitmap> Pattern(int w, int h, std::uint32_t seed) {
    auto bitmap = std::make_unique<ui::TBitmap>();
    bitmap->SetPixelFormat(ui::TPixelFormat::pf32bit);
    bitmap->SetSize(w, h);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(bitmap->ScanLine(y));
        for (int x = 0; x < w; ++x) row[x] = seed * 2654435761u + static_cast<std::uint32_t>(y * w + x) * 40503u;
    }
    return bitmap;
}

std::vector<std::uint32_t> PixelsOf(const ui::TBitmap& bitmap) {
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < bitmap.Height(); ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(bitmap.ScanLine(y));
        pixels.insert(pixels.end(), row, row + bitmap.Width());
    }
    return pixels;
}

void PutU16(std::vector<std::uint8_t>& b, std::uint16_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void PutU32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    PutU16(b, static_cast<std::uint16_t>(v));
    PutU16(b, static_cast<std::uint16_t>(v >> 16));
}
std::vector<std::uint8_t> BmpOf(const ui::TBitmap& bitmap) {
    ui::TMemoryStream s;
    bitmap.SaveToStream(s);
    return s.Bytes();
}

// A bitmap file of w x h pixels in a few bytes: run-length coded, its end-of-picture code at once
// leaves every pixel the palette's first colour.
std::vector<std::uint8_t> TinyRleBmp(int w, int h) {
    ui::test::BmpSpec spec;
    spec.width = w;
    spec.height = h;
    spec.bits = 8;
    spec.compression = 1;
    spec.palette = {0x000000};
    spec.pixels = {0, 1};
    return ui::test::MakeBmp(spec);
}

// A version-2 album file of `family` with one record per (caption, picture data).
std::vector<std::uint8_t> AlbumBytes(std::uint16_t family,
                                     const std::vector<std::pair<std::string, std::vector<std::uint8_t>>>& records) {
    std::vector<std::uint8_t> b;
    PutU16(b, 2);
    PutU16(b, family);
    PutU16(b, static_cast<std::uint16_t>(records.size()));
    for (const auto& [caption, data] : records) {
        PutU16(b, static_cast<std::uint16_t>(caption.size()));
        b.insert(b.end(), caption.begin(), caption.end());
        PutU32(b, static_cast<std::uint32_t>(data.size()));
        b.insert(b.end(), data.begin(), data.end());
    }
    return b;
}

class AlbumFileTest : public testing::Test {
protected:
    void SetUp() override {
        dir_ = test_support::TestTempFolder("qbk_album_");
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        previous_sink_ =
            kernel::SetMessageBoxSink([this](const std::string& text, const std::string& caption, unsigned flags) {
                messages_.push_back(text + "|" + caption + "|" + std::to_string(flags));
                return static_cast<int>(kernel::kIdOk);
            });
    }
    void TearDown() override {
        kernel::SetMessageBoxSink(previous_sink_);
        fs::remove_all(dir_);
    }
    std::string Path(const char* name) const { return (dir_ / name).string(); }
    void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    std::vector<std::uint8_t> ReadBytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void AddCard(FakeAlbum& album, const std::string& caption, int w, int h, std::uint32_t seed) {
        album.cards.push_back({caption, Pattern(w, h, seed)});
    }
    // An album of family 0 with one card "keep", to see whether a failed open touched it.
    void MakeUntouched(FakeAlbum& album) { AddCard(album, "keep", 2, 2, 9); }

    fs::path dir_;
    kernel::MessageBoxSink previous_sink_;
    std::vector<std::string> messages_;
};

TEST_F(AlbumFileTest, EmptyAlbumIsSixBytes) {
    FakeAlbum album;
    SaveAlbum(album, 3, Path("empty.ZRB"));
    EXPECT_EQ(ReadBytes(Path("empty.ZRB")), (std::vector<std::uint8_t>{2, 0, 3, 0, 0, 0}));
    EXPECT_EQ(ui::Screen().Cursor(), ui::crDefault);
}

TEST_F(AlbumFileTest, RoundTripIsPixelExactAndKeepsCaptions) {
    FakeAlbum album;
    AddCard(album, "Beach", 176, 220, 1);
    AddCard(album, "", 176, 220, 2);
    AddCard(album, "Caf\xC3\xA9 \xE2\x82\xAC", 176, 220, 3);
    SaveAlbum(album, 0, Path("a.ZRB"));

    // Captions are Windows-1252 in the file.
    const auto bytes = ReadBytes(Path("a.ZRB"));
    const std::size_t first_bmp = 6 + 2 + 5 + 4;
    EXPECT_EQ(bytes[first_bmp], 'B');
    EXPECT_EQ(bytes[first_bmp + 1], 'M');

    FakeAlbum loaded;
    AddCard(loaded, "old", 2, 2, 4);
    OpenAlbum(loaded, 0, Path("a.ZRB"));
    ASSERT_EQ(loaded.cards.size(), 3u);
    EXPECT_EQ(loaded.card_width, 190);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(loaded.cards[i].caption, album.cards[i].caption);
        ASSERT_EQ(loaded.cards[i].picture->Width(), album.cards[i].picture->Width());
        ASSERT_EQ(loaded.cards[i].picture->Height(), album.cards[i].picture->Height());
        EXPECT_EQ(PixelsOf(*loaded.cards[i].picture), PixelsOf(*album.cards[i].picture)) << i;
    }
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(loaded.cursor_during_new_card, ui::crHourGlass);
    EXPECT_EQ(ui::Screen().Cursor(), ui::crDefault);
}

TEST_F(AlbumFileTest, CaptionsOutsideWindows1252AreStoredAsQuestionMarks) {
    FakeAlbum album;
    AddCard(album, "\xE4\xB8\xAD!", 1, 1, 5);
    SaveAlbum(album, 1, Path("q.ZRB"));
    const auto bytes = ReadBytes(Path("q.ZRB"));
    EXPECT_EQ(bytes[6], 2);
    EXPECT_EQ(bytes[8], '?');
    EXPECT_EQ(bytes[9], '!');
}

TEST_F(AlbumFileTest, VersionsAndFamilies) {
    // Version 1 and unknown versions have no family field: they are family 0 files.
    const auto bmp = BmpOf(*Pattern(3, 2, 6));
    auto make = [&](std::uint16_t version, std::optional<std::uint16_t> family) {
        std::vector<std::uint8_t> b;
        PutU16(b, version);
        if (family) PutU16(b, *family);
        PutU16(b, 1);
        PutU16(b, 1);
        b.push_back('v');
        PutU32(b, static_cast<std::uint32_t>(bmp.size()));
        b.insert(b.end(), bmp.begin(), bmp.end());
        return b;
    };
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        int selected_family;
        bool loads;
    };
    const Case cases[] = {
        {"v1 on family 0", make(1, std::nullopt), 0, true}, {"v1 on family 1", make(1, std::nullopt), 1, false},
        {"v3 reads as v1", make(3, std::nullopt), 0, true}, {"v2 family 4 on 4", make(2, 4), 4, true},
        {"v2 family 4 on 3", make(2, 4), 3, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        messages_.clear();
        WriteBytes(Path("v.ZRB"), c.bytes);
        FakeAlbum album;
        MakeUntouched(album);
        OpenAlbum(album, c.selected_family, Path("v.ZRB"));
        EXPECT_EQ(ui::Screen().Cursor(), ui::crDefault);
        if (c.loads) {
            ASSERT_EQ(album.cards.size(), 1u);
            EXPECT_EQ(album.cards[0].caption, "v");
            EXPECT_EQ(album.cards[0].picture->Width(), ScreenWidth(c.selected_family));
            EXPECT_EQ(album.card_width, AlbumCardWidth(c.selected_family));
            EXPECT_TRUE(messages_.empty());
        } else {
            // Refused before anything changes: the album on screen stays.
            ASSERT_EQ(album.cards.size(), 1u);
            EXPECT_EQ(album.cards[0].caption, "keep");
            EXPECT_EQ(album.updates_closed, 0);
            ASSERT_EQ(messages_.size(), 1u);
            EXPECT_EQ(messages_[0], "This file is not compatible to your selected device|Varnhold QBK|" +
                                        std::to_string(kernel::kMbOk | kernel::kMbIconInformation));
        }
    }
}

TEST_F(AlbumFileTest, TruncatedAndLyingFilesRaiseAndLeaveTheAlbum) {
    FakeAlbum album;
    AddCard(album, "one", 4, 4, 7);
    AddCard(album, "two", 4, 4, 8);
    SaveAlbum(album, 0, Path("good.ZRB"));
    const auto good = ReadBytes(Path("good.ZRB"));
    const std::size_t record1 = 6 + 2 + 3 + 4 + BmpOf(*album.cards[0].picture).size();

    auto with_u32 = [&](std::size_t at, std::uint32_t v) {
        auto b = good;
        for (int i = 0; i < 4; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
        return b;
    };
    auto with_u16 = [&](std::size_t at, std::uint16_t v) {
        auto b = good;
        b[at] = static_cast<std::uint8_t>(v);
        b[at + 1] = static_cast<std::uint8_t>(v >> 8);
        return b;
    };
    auto cut = [&](std::size_t n) {
        return std::vector<std::uint8_t>(good.begin(), good.begin() + static_cast<long>(n));
    };
    auto corrupt_bmp = good;
    corrupt_bmp[6 + 2 + 3 + 4] = 'X';  // not a BMP signature any more
    auto longer = good;
    longer.push_back(0);

    const std::pair<const char*, std::vector<std::uint8_t>> cases[] = {
        {"empty file", {}},
        {"inside the header", cut(3)},
        {"count without records", cut(6)},
        {"inside a caption length", cut(7)},
        {"inside a caption", cut(9)},
        {"inside a data length", cut(12)},
        {"inside the first picture", cut(40)},
        {"inside the second picture", cut(good.size() - 1)},
        {"count lies", with_u16(4, 3)},
        {"caption length lies", with_u16(record1, 0xFFFF)},
        {"data length lies", with_u32(6 + 2 + 3, 0xFFFFFFF0u)},
        {"data length 0", with_u32(6 + 2 + 3, 0)},
        {"a byte after the last picture", longer},
        {"picture is no bitmap", corrupt_bmp},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        WriteBytes(Path("bad.ZRB"), bytes);
        FakeAlbum target;
        MakeUntouched(target);
        EXPECT_THROW(OpenAlbum(target, 0, Path("bad.ZRB")), ui::Exception);
        ASSERT_EQ(target.cards.size(), 1u);
        EXPECT_EQ(target.cards[0].caption, "keep");
        EXPECT_EQ(ui::Screen().Cursor(), ui::crDefault);
    }
    EXPECT_TRUE(messages_.empty());
}

TEST_F(AlbumFileTest, StructuralErrorsAreNamed) {
    const std::vector<std::uint8_t> bytes{2, 0, 0, 0, 1, 0, 5, 0, 'a'};
    ui::TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    stream.SetPosition(0);
    ReadAlbumFileHeader(stream);
    try {
        ReadAlbumFileRecord(stream, 0, AlbumPictureBounds{176, 220});
        FAIL();
    } catch (const ui::EReadError& e) {
        EXPECT_STREQ(e.what(), "Album file is not valid: it ends inside a caption");
    }
}

TEST_F(AlbumFileTest, PicturesLargerThanAnyScreenAreRefusedBeforeTheyDecode) {
    // Every picture of an album was scaled into a screen when it was added; one made for another
    // family's screen is fitted when it opens. A few bytes that claim more than any screen (8192 x
    // 8192 would decode to 256 MB) are refused from their header.
    struct Case {
        int family;
        int width, height;
        const char* refusal;  // nullptr: the picture opens
    };
    const Case cases[] = {
        {0, 176, 220, nullptr},
        {0, 1, 1, nullptr},
        {0, 320, 320, nullptr},
        {0, 321, 1, "picture 2 is 321 x 1 pixels, larger than any device's screen"},
        {0, 1, 321, "picture 2 is 1 x 321 pixels, larger than any device's screen"},
        {0, 8192, 8192, "picture 2 is 8192 x 8192 pixels, larger than any device's screen"},
        {1, 240, 320, nullptr},
        {4, 320, 240, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height) + " in family " +
                     std::to_string(c.family));
        WriteBytes(Path("big.ZRB"),
                   AlbumBytes(static_cast<std::uint16_t>(c.family),
                              {{"small", BmpOf(*Pattern(2, 2, 1))}, {"big", TinyRleBmp(c.width, c.height)}}));
        FakeAlbum album;
        MakeUntouched(album);
        if (c.refusal == nullptr) {
            OpenAlbum(album, c.family, Path("big.ZRB"));
            EXPECT_EQ(album.cards.size(), 2u);
            continue;
        }
        try {
            OpenAlbum(album, c.family, Path("big.ZRB"));
            ADD_FAILURE() << "opened";
        } catch (const ui::EReadError& e) {
            EXPECT_EQ(std::string(e.what()), std::string("Album file is not valid: ") + c.refusal);
        }
        ASSERT_EQ(album.cards.size(), 1u);
        EXPECT_EQ(album.cards[0].caption, "keep");
        EXPECT_EQ(ui::Screen().Cursor(), ui::crDefault);
    }
}

TEST_F(AlbumFileTest, HugeFilesAreNeverReadWhole) {
    // Sparse files of 4 GiB: one whose picture claims nearly all of it, and a good album of one
    // card followed by 4 GiB that no record reaches. Both are refused; neither is read into memory.
    constexpr std::uintmax_t kHuge = std::uintmax_t{4} << 30;
    FakeAlbum album;
    AddCard(album, "one", 176, 220, 3);
    SaveAlbum(album, 0, Path("tail.ZRB"));
    fs::resize_file(Path("tail.ZRB"), kHuge);

    auto lying = AlbumBytes(0, {{"big", {}}});
    const std::size_t length_at = lying.size() - 4;
    const auto claimed = static_cast<std::uint32_t>(kHuge - lying.size());
    for (int i = 0; i < 4; ++i)
        lying[length_at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(claimed >> (8 * i));
    WriteBytes(Path("lying.ZRB"), lying);
    fs::resize_file(Path("lying.ZRB"), kHuge);

    const test_support::PeakWatch memory;
    FakeAlbum loaded;
    MakeUntouched(loaded);
    try {
        OpenAlbum(loaded, 0, Path("lying.ZRB"));
        ADD_FAILURE() << "opened";
    } catch (const ui::EReadError& e) {
        EXPECT_EQ(std::string(e.what()), "Album file is not valid: picture 1 holds " + std::to_string(claimed) +
                                             " bytes, more than a picture of any device's screen takes");
    }
    ASSERT_EQ(loaded.cards.size(), 1u);
    try {
        OpenAlbum(loaded, 0, Path("tail.ZRB"));
        ADD_FAILURE() << "opened";
    } catch (const ui::EReadError& e) {
        EXPECT_STREQ(e.what(), "Album file is not valid: it goes on after its last picture");
    }
    ASSERT_EQ(loaded.cards.size(), 1u);
    EXPECT_EQ(loaded.cards[0].caption, "keep");
    if (test_support::kPeaksAreThePrograms) {
        EXPECT_LT(memory.RiseMiB(), 256.0);
    }
}

// A picture length of 0 in a good album: read as the lengths say, the bitmap's bytes would be
// the next records ("BM" a caption length of 19,778), and the zeros of transparent black pixels
// empty pictures and captions. The file is not valid; nothing changes.
TEST_F(AlbumFileTest, PictureLengthZeroIsNotValid) {
    FakeAlbum album;
    for (std::uint32_t k = 0; k < 7; ++k) {
        auto black = std::make_unique<ui::TBitmap>();
        black->SetPixelFormat(ui::TPixelFormat::pf32bit);
        black->SetSize(176, 220);
        for (int y = 0; y < 220; ++y) std::fill_n(black->ScanLine(y), black->BytesPerScanLine(), 0);
        album.cards.push_back({"Picture " + std::to_string(k + 1), std::move(black)});
    }
    SaveAlbum(album, 0, Path("seven.ZRB"));
    auto bytes = ReadBytes(Path("seven.ZRB"));
    const std::size_t record = 6 + 2 + 9;
    const std::size_t third_length = record + (4 + BmpOf(*album.cards[0].picture).size() + 2 + 9) * 2;
    ASSERT_EQ(bytes[third_length + 4], 'B');
    for (std::size_t i = 0; i < 4; ++i) bytes[third_length + i] = 0;
    WriteBytes(Path("zero.ZRB"), bytes);

    FakeAlbum target;
    MakeUntouched(target);
    try {
        OpenAlbum(target, 0, Path("zero.ZRB"));
        FAIL() << "opened";
    } catch (const ui::EReadError& e) {
        EXPECT_STREQ(e.what(), "Album file is not valid: a picture has no data");
    }
    ASSERT_EQ(target.cards.size(), 1u);
    EXPECT_EQ(target.cards[0].caption, "keep");
    EXPECT_TRUE(messages_.empty());
}

// No file the program writes is one it cannot open: a card whose picture is empty (a picture
// item that held another graphic reads as an empty bitmap) would be saved as a bitmap of width 0,
// which the reader refuses. The save is refused instead and the old file stays.
TEST_F(AlbumFileTest, WhatSavingWritesOpeningReads) {
    FakeAlbum old_album;
    AddCard(old_album, "old", 176, 220, 1);
    SaveAlbum(old_album, 0, Path("album.ZRB"));
    const auto before = ReadBytes(Path("album.ZRB"));

    FakeAlbum album;
    AddCard(album, "full", 176, 220, 2);
    album.cards.push_back({"empty", std::make_unique<ui::TBitmap>()});
    bool refused = false;
    try {
        SaveAlbum(album, 0, Path("album.ZRB"));
    } catch (const ui::Exception& e) {
        refused = true;
        EXPECT_STREQ(e.what(), "Card \"empty\" has no picture");
    }
    EXPECT_TRUE(refused);
    FakeAlbum reopened;
    EXPECT_NO_THROW(OpenAlbum(reopened, 0, Path("album.ZRB")));
    EXPECT_EQ(ReadBytes(Path("album.ZRB")), before) << "the refused save changed the file";
}

// A picture of another size than the family's screen (an album made elsewhere, or crafted) is
// fitted into the screen as adding the same picture from a file fits it, so that the cards show
// what the device will get.
TEST_F(AlbumFileTest, PicturesOfAnotherSizeAreFittedAsAddingThemWould) {
    const struct {
        const char* name;
        int width, height;
    } sizes[] = {{"Enhanced Display screen", 320, 240}, {"tall", 100, 300}, {"one pixel", 1, 1}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(size.name);
        FakeAlbum album;
        AddCard(album, size.name, size.width, size.height, 11);
        SaveAlbum(album, 0, Path("foreign.ZRB"));
        album.cards[0].picture->SaveToFile(Path("foreign.bmp"));
        FakeAlbum added;
        AddPicture(added, 0, Path("foreign.bmp"), false);

        FakeAlbum opened;
        OpenAlbum(opened, 0, Path("foreign.ZRB"));
        ASSERT_EQ(opened.cards.size(), 1u);
        const ui::TBitmap& picture = *opened.cards[0].picture;
        EXPECT_EQ(picture.Width(), 176);
        EXPECT_EQ(picture.Height(), 220);
        EXPECT_EQ(picture.PixelFormat(), ui::TPixelFormat::pf32bit);
        EXPECT_EQ(PixelsOf(picture), PixelsOf(*added.cards[0].picture));
    }
}

// The card list lays out and refreshes once for the whole album, not once a card.
TEST_F(AlbumFileTest, CardsAreAddedInsideOneUpdate) {
    FakeAlbum album;
    for (std::uint32_t k = 0; k < 3; ++k) AddCard(album, "c" + std::to_string(k), 176, 220, k);
    SaveAlbum(album, 0, Path("three.ZRB"));
    FakeAlbum opened;
    OpenAlbum(opened, 0, Path("three.ZRB"));
    EXPECT_EQ(opened.cards.size(), 3u);
    EXPECT_EQ(opened.updates_closed, 1);
    EXPECT_EQ(opened.update_depth, 0);
    EXPECT_EQ(opened.new_cards_outside_update, 0);
}

TEST_F(AlbumFileTest, MissingFileLeavesAlbumAndCursorAlone) {
    FakeAlbum album;
    MakeUntouched(album);
    EXPECT_THROW(OpenAlbum(album, 0, Path("none.ZRB")), ui::EFOpenError);
    EXPECT_EQ(album.cards.size(), 1u);
    EXPECT_EQ(ui::Screen().Cursor(), ui::crDefault);
}

TEST_F(AlbumFileTest, FailedSaveKeepsTheOldFile) {
    FakeAlbum album;
    AddCard(album, "x", 2, 2, 1);
    SaveAlbum(album, 0, Path("keep.ZRB"));
    const auto before = ReadBytes(Path("keep.ZRB"));
    // A caption too long for its 16-bit field fails the save before any byte is written.
    FakeAlbum too_long;
    AddCard(too_long, std::string(70000, 'c'), 2, 2, 1);
    EXPECT_THROW(SaveAlbum(too_long, 0, Path("keep.ZRB")), ui::Exception);
    EXPECT_EQ(ReadBytes(Path("keep.ZRB")), before);
    // A folder in the way of the rename: the error names the file, no temporary file is left.
    fs::create_directories(dir_ / "taken.ZRB" / "inner");
    EXPECT_THROW(SaveAlbum(album, 0, Path("taken.ZRB")), ui::EFCreateError);
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir_)) ++entries;
    EXPECT_EQ(entries, 2u);  // keep.ZRB and the folder
    EXPECT_EQ(ui::Screen().Cursor(), ui::crDefault);
}

TEST_F(AlbumFileTest, ReplacedFileKeepsItsPermissions) {
    FakeAlbum album;
    AddCard(album, "x", 2, 2, 1);
    const fs::perms kept = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    WriteBytes(Path("old.ZRB"), {1, 2, 3});
    fs::permissions(Path("old.ZRB"), kept, fs::perm_options::replace);
    SaveAlbum(album, 0, Path("old.ZRB"));
    EXPECT_EQ(fs::status(Path("old.ZRB")).permissions() & fs::perms::all, kept);
    EXPECT_GT(ReadBytes(Path("old.ZRB")).size(), 6u);
}

}  // namespace
}  // namespace app
