#include "app/album_payload.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "app/download_files.h"
#include "platform/ui/core/exceptions.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/jpeg.h"

namespace app {
namespace {

std::uint16_t U16At(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b.at(at) | (b.at(at + 1) << 8));
}
std::uint32_t U32At(const std::vector<std::uint8_t>& b, std::size_t at) {
    return U16At(b, at) | (static_cast<std::uint32_t>(U16At(b, at + 2)) << 16);
}

// Writes a JPEG start marker followed by filler, `size` bytes in all, so entry sizes are exact.
JpegEncoder FixedSizeEncoder(std::size_t size) {
    return [size](const ui::TBitmap&, ui::TStream& dest) {
        std::vector<std::uint8_t> bytes(size, 0x5A);
        bytes[0] = 0xFF;
        bytes[1] = 0xD8;
        dest.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    };
}

class PayloadTest : public testing::Test {
protected:
    void AddPage(const std::string& caption, int w = 4, int h = 3) {
        auto bitmap = std::make_unique<ui::TBitmap>();
        bitmap->SetPixelFormat(ui::TPixelFormat::pf32bit);
        bitmap->SetSize(w, h);
        pages_.push_back({caption, bitmap.get()});
        bitmaps_.push_back(std::move(bitmap));
    }
    std::vector<std::uint8_t> Payload(int family, int variant, std::uint16_t version, const JpegEncoder& encode) {
        ui::TMemoryStream out;
        BuildAlbumPayload(pages_, family, DeviceFamilyAt(family).Variants[static_cast<std::size_t>(variant)], version,
                          out, encode);
        return out.Bytes();
    }

    std::vector<std::unique_ptr<ui::TBitmap>> bitmaps_;
    AlbumPages pages_;
};

TEST_F(PayloadTest, EmptyAlbumForEveryFamily) {
    for (int family = 0; family < kDeviceFamilyCount; ++family) {
        SCOPED_TRACE(family);
        const TDeviceProperty& v = DeviceFamilyAt(family).Variants[0];
        const auto bytes = Payload(family, 0, 1, FixedSizeEncoder(10));
        ASSERT_EQ(bytes.size(), 15u);
        const bool v2 = family >= 3;
        EXPECT_EQ(bytes[0], v2 ? 11 : 4);
        EXPECT_EQ(bytes[1], 1);
        EXPECT_EQ(bytes[2], 0);
        EXPECT_EQ(U32At(bytes, 3), v.StartAddress);
        EXPECT_EQ(U32At(bytes, 7), v.StartAddress + (v2 ? 3u : 4u));
        EXPECT_EQ(U16At(bytes, 11), 1);
        EXPECT_EQ(U16At(bytes, 13), 0);
    }
}

TEST_F(PayloadTest, IndexAndEntriesForBothVersions) {
    AddPage("Ab");
    AddPage("\xC3\xA9t\xC3\xA9 \xE2\x82\xAC");  // Windows-1252 holds all of these
    AddPage("");
    const auto v1 = Payload(1, 0, 1, FixedSizeEncoder(20));
    ASSERT_EQ(v1.size(), 15u + 12 + 60);
    EXPECT_EQ(U16At(v1, 11), 1);
    EXPECT_EQ(U16At(v1, 13), 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(U32At(v1, 15 + 4 * i), 20u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(v1[27 + 20 * i], 0xFF);
        EXPECT_EQ(v1[28 + 20 * i], 0xD8);
    }
    EXPECT_EQ(U32At(v1, 7), 0x40340000u + 4 + 12 + 60);

    const auto v2 = Payload(3, 0, 2, FixedSizeEncoder(20));
    const std::vector<std::uint8_t> caption2{0xE9, 't', 0xE9, ' ', 0x80};
    ASSERT_EQ(v2.size(), 15u + 12 + (2 + 2 + 20) + (2 + 5 + 20) + (2 + 0 + 20));
    EXPECT_EQ(U16At(v2, 11), 2);
    EXPECT_EQ(U32At(v2, 15), 24u);
    EXPECT_EQ(U32At(v2, 19), 27u);
    EXPECT_EQ(U32At(v2, 23), 22u);
    std::size_t at = 27;
    EXPECT_EQ(U16At(v2, at), 2);
    EXPECT_EQ(v2[at + 2], 'A');
    EXPECT_EQ(v2[at + 4], 0xFF);
    at += 24;
    EXPECT_EQ(U16At(v2, at), 5);
    EXPECT_EQ(std::vector<std::uint8_t>(v2.begin() + static_cast<long>(at) + 2, v2.begin() + static_cast<long>(at) + 7),
              caption2);
    at += 27;
    EXPECT_EQ(U16At(v2, at), 0);
    EXPECT_EQ(v2[at + 2], 0xFF);
    // V2 head: FileKind and the address of the last byte.
    EXPECT_EQ(v2[0], 11);
    EXPECT_EQ(U32At(v2, 7), 0x68740000u + static_cast<std::uint32_t>(v2.size() - 11) - 1);
}

TEST_F(PayloadTest, CaptionOutsideWindows1252BecomesQuestionMark) {
    AddPage(
        "a\xE4\xB8\xAD"
        "b");
    const auto v2 = Payload(0, 0, 2, FixedSizeEncoder(4));
    EXPECT_EQ(U16At(v2, 19), 3);
    EXPECT_EQ(v2[21], 'a');
    EXPECT_EQ(v2[22], '?');
    EXPECT_EQ(v2[23], 'b');
}

TEST_F(PayloadTest, CapacityLimitAtExactlyCapacityMinusFive) {
    // Family 0: capacity 0x40000. One picture: head 11 + index 8 = 19 bytes besides the entry.
    AddPage("x");
    const std::size_t limit = 0x40000 - 5;
    EXPECT_EQ(Payload(0, 0, 1, FixedSizeEncoder(limit - 19)).size(), limit);
    ui::TMemoryStream out;
    try {
        BuildAlbumPayload(pages_, 0, DeviceFamilyAt(0).Variants[0], 1, out, FixedSizeEncoder(limit - 18));
        FAIL() << "no capacity error";
    } catch (const ui::Exception& e) {
        EXPECT_STREQ(e.what(), "Too many pictures!! Please reduce the amount of pictures.");
    }
    EXPECT_EQ(out.Size(), static_cast<std::int64_t>(limit + 1));  // written bytes stay; callers discard
}

TEST_F(PayloadTest, OverlongCaptionRaisesBeforeWriting) {
    AddPage(std::string(65536, 'c'));
    ui::TMemoryStream out;
    EXPECT_THROW(BuildAlbumPayload(pages_, 1, DeviceFamilyAt(1).Variants[0], 2, out, FixedSizeEncoder(4)),
                 ui::Exception);
    EXPECT_EQ(out.Size(), 0);
    // Version 1 carries no captions, so the same album fits.
    EXPECT_NO_THROW(BuildAlbumPayload(pages_, 1, DeviceFamilyAt(1).Variants[0], 1, out, FixedSizeEncoder(4)));
}

TEST_F(PayloadTest, TransferBlockWrapsThePayload) {
    AddPage("p");
    const auto payload = Payload(4, 0, 2, FixedSizeEncoder(30));
    ui::TMemoryStream out;
    BuildTransferBlockV2(pages_, 4, DeviceFamilyAt(4).Variants[0], 2, out, FixedSizeEncoder(30));
    const auto block = out.Bytes();
    ASSERT_EQ(block.size(), payload.size() + 10);
    EXPECT_EQ(U16At(block, 0), 0xE880);
    EXPECT_EQ(U32At(block, 2), payload.size() + 4);
    EXPECT_EQ(U32At(block, 6), 0x68740000u);
    EXPECT_TRUE(std::equal(payload.begin(), payload.end(), block.begin() + 10));
}

TEST_F(PayloadTest, RealJpegEntriesDecodeToTheScreenSize) {
    for (int i = 0; i < 2; ++i) {
        auto bitmap = std::make_unique<ui::TBitmap>();
        bitmap->SetPixelFormat(ui::TPixelFormat::pf32bit);
        bitmap->SetSize(176, 220);
        pages_.push_back({"pic", bitmap.get()});
        bitmaps_.push_back(std::move(bitmap));
    }
    for (std::uint16_t version : {1, 2}) {
        SCOPED_TRACE(version);
        const auto bytes = Payload(0, 0, version, EncodeJpeg85);
        std::size_t at = 15 + 4 * pages_.size();
        for (std::size_t i = 0; i < pages_.size(); ++i) {
            const std::size_t size = U32At(bytes, 15 + 4 * i);
            const std::size_t skip = version >= 2 ? 2 + U16At(bytes, at) : 0;
            ASSERT_LE(at + size, bytes.size());
            ASSERT_EQ(bytes[at + skip], 0xFF);
            ASSERT_EQ(bytes[at + skip + 1], 0xD8);
            ui::TMemoryStream entry;
            entry.WriteBuffer(bytes.data() + at + skip, static_cast<std::int64_t>(size - skip));
            entry.SetPosition(0);
            ui::TJPEGImage jpeg;
            jpeg.LoadFromStream(entry);
            EXPECT_EQ(jpeg.Width(), 176);
            EXPECT_EQ(jpeg.Height(), 220);
            at += size;
        }
        EXPECT_EQ(at, bytes.size());
    }
}

}  // namespace
}  // namespace app
