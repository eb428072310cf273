#include "app/download_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "platform/ui/core/exceptions.h"
#include "platform/ui/graphics/bitmap.h"
#include "tests/app/download_file_check.h"
#include "tests/support/temp_folder.h"

namespace app {
namespace {

namespace fs = std::filesystem;

using app_test::ReferenceArc;
using app_test::U16At;
using app_test::U32At;

JpegEncoder FixedSizeEncoder(std::size_t size) {
    return [size](const ui::TBitmap&, ui::TStream& dest) {
        std::vector<std::uint8_t> bytes(size, 0x33);
        bytes[0] = 0xFF;
        bytes[1] = 0xD8;
        dest.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    };
}

void FillPayload(ui::TMemoryStream& payload, std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + 1);
    payload.WriteBuffer(bytes.data(), static_cast<std::int64_t>(size));
}

std::vector<std::uint8_t> ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(DownloadFileTest, V1Layout) {
    const TDeviceProperty& v = DeviceFamilyAt(1).Variants[1];
    ui::TMemoryStream payload;
    FillPayload(payload, 23);
    ui::TMemoryStream file;
    WriteDownloadFileV1(v, payload, file);
    const auto& b = file.Bytes();
    ASSERT_EQ(b.size(), 8u + 23);
    EXPECT_EQ(U16At(b, 0), 0xE769);
    EXPECT_EQ(U16At(b, 2), 0x5833);
    EXPECT_EQ(U16At(b, 4), 0x2309);
    EXPECT_EQ(b[6], 5);
    EXPECT_EQ(b[7], 5);
    EXPECT_TRUE(std::equal(payload.Bytes().begin(), payload.Bytes().end(), b.begin() + 8));
}

TEST(DownloadFileTest, V2LayoutLengthReservedBytesAndCrc) {
    const TDeviceProperty& v = DeviceFamilyAt(3).Variants[1];
    for (std::size_t p : {15u, 1000u}) {
        SCOPED_TRACE(p);
        ui::TMemoryStream payload;
        FillPayload(payload, p);
        ui::TMemoryStream file;
        WriteDownloadFileV2(v, payload, file);
        const auto& b = file.Bytes();
        ASSERT_EQ(b.size(), 48 + p);
        EXPECT_EQ(U16At(b, 0), 0xE855);
        EXPECT_EQ(U32At(b, 2), 16u);
        EXPECT_EQ(U16At(b, 6), 1);
        EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 17), "5831-8109");
        for (std::size_t i = 17; i <= 20; ++i) EXPECT_EQ(b[i], 0) << i;
        EXPECT_EQ(b[21], 11);
        EXPECT_EQ(U16At(b, 22), 0xE880);
        EXPECT_EQ(U32At(b, 24), p + 4);
        EXPECT_EQ(U32At(b, 28), 0x68740000u);
        EXPECT_TRUE(std::equal(payload.Bytes().begin(), payload.Bytes().end(), b.begin() + 32));
        EXPECT_EQ(U16At(b, 32 + p), 0xE856);
        EXPECT_EQ(U32At(b, 34 + p), 10u);
        EXPECT_EQ(U32At(b, 38 + p), 0u);
        EXPECT_EQ(U32At(b, 42 + p), 32 + p);
        EXPECT_EQ(U16At(b, 46 + p), ReferenceArc(b.data(), 32 + p));
    }
}

TEST(DownloadFileTest, NamesOfEveryFamily) {
    struct Case {
        int family;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {0, {"5831-0009_HW4-6_album.HPA", "5831-0109_HW4-6_album.HPA"}},
        {1, {"5833-2309_HW2-3_album.HPA", "5833-2309_HW5_album.HPA"}},
        {2, {"5833-2303_HW4-5_album.HPA"}},
        {3, {"5831-8009_album.HPA", "5831-8109_album.HPA"}},
        {4, {"5833-8309_album.HPA"}},
    };
    for (const Case& c : cases) {
        const TDeviceFamily& row = DeviceFamilyAt(c.family);
        ASSERT_EQ(row.Count, c.names.size()) << c.family;
        for (std::size_t v = 0; v < row.Count; ++v) {
            EXPECT_EQ(DownloadFileName(c.family, row.Variants[v], "album.HPA"), c.names[v]);
            EXPECT_EQ(DownloadFileName(c.family, row.Variants[v], "/tmp/x.y/album.HPA"), "/tmp/x.y/" + c.names[v]);
        }
    }
}

class ExportTest : public testing::Test {
protected:
    void SetUp() override {
        dir_ = test_support::TestTempFolder("qbk_export_");
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        bitmap_.SetSize(2, 2);
        pages_.push_back({"one", &bitmap_});
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path dir_;
    ui::TBitmap bitmap_;
    AlbumPages pages_;
};

TEST_F(ExportTest, WritesOneFilePerVariantWithPayloadVersion1) {
    ExportDownloadFiles(pages_, 3, (dir_ / "album.HPA").string(), FixedSizeEncoder(40));
    ExportDownloadFiles(pages_, 1, (dir_ / "album.HPA").string(), FixedSizeEncoder(40));
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"5831-8009_album.HPA", "5831-8109_album.HPA",
                                               "5833-2309_HW2-3_album.HPA", "5833-2309_HW5_album.HPA"}));
    const auto v2 = ReadFile(dir_ / "5831-8109_album.HPA");
    const std::size_t p = 15 + 4 + 40;
    ASSERT_EQ(v2.size(), 48 + p);
    EXPECT_EQ(U16At(v2, 32 + 11), 1);  // payload version
    EXPECT_EQ(v2[32 + 19], 0xFF);      // version 1: the entry is the JPEG alone
    const auto v1 = ReadFile(dir_ / "5833-2309_HW5_album.HPA");
    ASSERT_EQ(v1.size(), 8 + p);
    EXPECT_EQ(U32At(v1, 8 + 3), 0x40740000u);  // the second variant's own address
    EXPECT_EQ(U16At(v1, 8 + 11), 1);
}

TEST_F(ExportTest, CapacityErrorStopsAtTheVariantThatOverflows) {
    // Family 1: variant 0 and variant 1 share the capacity, so the first already fails and no
    // file is written at all; the old file of that name survives.
    const auto target = dir_ / "5833-2309_HW2-3_album.HPA";
    { std::ofstream(target) << "old"; }
    EXPECT_THROW(ExportDownloadFiles(pages_, 1, (dir_ / "album.HPA").string(), FixedSizeEncoder(0xC0000)),
                 ui::Exception);
    EXPECT_EQ(ReadFile(target), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
    EXPECT_FALSE(fs::exists(dir_ / "5833-2309_HW5_album.HPA"));
}

// A card whose picture is empty would go out as a JPEG of no bytes: the export is refused
// before any file is written, with the card named.
TEST_F(ExportTest, EmptyPictureIsRefusedBeforeAnyFile) {
    const ui::TBitmap empty;
    pages_.push_back({"two", &empty});
    try {
        ExportDownloadFiles(pages_, 0, (dir_ / "album.HPA").string());
        FAIL() << "exported";
    } catch (const ui::Exception& e) {
        EXPECT_STREQ(e.what(), "Card \"two\" has no picture");
    }
    EXPECT_TRUE(fs::is_empty(dir_));
}

TEST_F(ExportTest, UncreatableFileRaisesFileError) {
    EXPECT_THROW(ExportDownloadFiles(pages_, 4, (dir_ / "missing" / "album.HPA").string(), FixedSizeEncoder(4)),
                 ui::EFCreateError);
    EXPECT_TRUE(fs::is_empty(dir_));
}

}  // namespace
}  // namespace app
