// The fixtures name only the header fields that matter to each case; the rest keep defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

#include "platform/ui/graphics/bmp_codec.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/core/exceptions.h"
#include "platform/ui/core/streams.h"
#include "platform/ui/graphics/bitmap.h"
#include "tests/ui/bmp_fixture.h"

namespace ui {
namespace {

using test::BmpSpec;
using test::MakeBmp;

// Decodes from a heap block of exactly the file's size, so a read past it is caught by the
// address sanitizer.
bmp::DecodedBmp DecodeExact(const std::vector<std::uint8_t>& file) {
    auto copy = std::make_unique<std::uint8_t[]>(file.size());
    if (!file.empty()) std::memcpy(copy.get(), file.data(), file.size());
    return bmp::Decode(copy.get(), file.size());
}

constexpr std::uint32_t kBlack = 0xFF000000;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kGreen = 0xFF00FF00;
constexpr std::uint32_t kBlue = 0xFF0000FF;

struct ReadCase {
    const char* name;
    BmpSpec spec;
    std::vector<std::uint32_t> expected;  // top-down 0xAARRGGBB
    bool has_alpha = false;
};

std::vector<ReadCase> ReadCases() {
    return {
        {"1-bit bottom-up",
         {.width = 2,
          .height = 2,
          .bits = 1,
          .palette = {0x000000, 0xFFFFFF},
          .pixels = {0x40, 0, 0, 0, 0x80, 0, 0, 0}},
         {kWhite, kBlack, kBlack, kWhite}},
        {"4-bit with short palette",
         {.width = 3, .height = 1, .bits = 4, .palette = {0x000000, 0xFF0000, 0x00FF00}, .pixels = {0x12, 0x00, 0, 0}},
         {kRed, kGreen, kBlack}},
        {"8-bit top-down",
         {.width = 2,
          .height = -2,
          .bits = 8,
          .palette = {0x000000, 0x0000FF, 0xFFFFFF},
          .pixels = {1, 2, 0, 0, 2, 1, 0, 0}},
         {kBlue, kWhite, kWhite, kBlue}},
        {"8-bit index past the palette is black",
         {.width = 1, .height = 1, .bits = 8, .palette = {0xFFFFFF}, .pixels = {7, 0, 0, 0}},
         {kBlack}},
        {"16-bit 5-5-5", {.width = 2, .height = 1, .bits = 16, .pixels = {0x00, 0x7C, 0x1F, 0x00}}, {kRed, kBlue}},
        {"16-bit 5-6-5 bit fields",
         {.width = 2,
          .height = 1,
          .bits = 16,
          .compression = 3,
          .masks = {0xF800, 0x07E0, 0x001F},
          .pixels = {0xE0, 0x07, 0x00, 0xF8}},
         {kGreen, kRed}},
        {"24-bit",
         {.width = 1, .height = 2, .bits = 24, .pixels = {0x30, 0x20, 0x10, 0, 0x03, 0x02, 0x01, 0}},
         {0xFF010203, 0xFF102030}},
        {"32-bit keeps alpha bytes",
         {.width = 2, .height = 1, .bits = 32, .pixels = {0x01, 0x02, 0x03, 0x80, 0xFF, 0xFF, 0xFF, 0x00}},
         {0x80030201, 0x00FFFFFF},
         true},
        {"32-bit bit fields with alpha in a 108-byte header",
         {.header_size = 108,
          .width = 1,
          .height = 1,
          .bits = 32,
          .compression = 3,
          .masks = {0x0000FF00, 0x00FF0000, 0xFF000000, 0x000000FF},
          .pixels = {0x40, 0x11, 0x22, 0x33}},
         {0x40112233},
         true},
        {"24-bit in a 124-byte header",
         {.header_size = 124, .width = 1, .height = 1, .bits = 24, .pixels = {0xCC, 0xBB, 0xAA, 0}},
         {0xFFAABBCC}},
        {"12-byte header, 3-byte palette",
         {.header_size = 12,
          .width = 2,
          .height = 1,
          .bits = 8,
          .palette = {0x00FF00, 0x0000FF},
          .pixels = {1, 0, 0, 0}},
         {kBlue, kGreen}},
        {"RLE8 runs, absolute run, unreached pixels",
         {.width = 4,
          .height = 2,
          .bits = 8,
          .compression = 1,
          .palette = {0x000000, 0xFF0000, 0x00FF00},
          .pixels = {4, 1, 0, 0, 0, 3, 2, 1, 2, 0, 0, 1}},
         {kGreen, kRed, kGreen, kBlack, kRed, kRed, kRed, kRed}},
        {"RLE4 alternating run",
         {.width = 4,
          .height = 1,
          .bits = 4,
          .compression = 2,
          .palette = {0x000000, 0xFF0000, 0x00FF00},
          .pixels = {4, 0x12, 0, 1}},
         {kRed, kGreen, kRed, kGreen}},
        {"RLE4 absolute run",
         {.width = 3,
          .height = 1,
          .bits = 4,
          .compression = 2,
          .palette = {0x000000, 0xFF0000, 0x00FF00},
          .pixels = {0, 3, 0x21, 0x20, 0, 1}},
         {kGreen, kRed, kGreen}},
        {"RLE8 delta",
         {.width = 3,
          .height = 3,
          .bits = 8,
          .compression = 1,
          .palette = {0x000000, 0xFFFFFF},
          .pixels = {0, 2, 1, 1, 1, 1, 0, 1}},
         {kBlack, kBlack, kBlack, kBlack, kWhite, kBlack, kBlack, kBlack, kBlack}},
    };
}

TEST(BmpCodec, ReadsEveryFormat) {
    for (const ReadCase& c : ReadCases()) {
        SCOPED_TRACE(c.name);
        const bmp::DecodedBmp d = DecodeExact(MakeBmp(c.spec));
        EXPECT_EQ(d.width, c.spec.width);
        EXPECT_EQ(d.height, std::abs(c.spec.height));
        EXPECT_EQ(d.has_alpha, c.has_alpha);
        EXPECT_EQ(d.pixels, c.expected);
    }
}

// Every prefix of every valid fixture either decodes or is refused cleanly; with the sanitizer
// build this proves that no length in the file is trusted beyond the data.
TEST(BmpCodec, EveryTruncationIsRefusedWithoutReadingPastTheData) {
    for (const ReadCase& c : ReadCases()) {
        const std::vector<std::uint8_t> file = MakeBmp(c.spec);
        for (std::size_t n = 0; n < file.size(); ++n) {
            const std::vector<std::uint8_t> prefix(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(n));
            try {
                DecodeExact(prefix);
                // Only RLE files may end early: their end-of-picture code is optional.
                EXPECT_TRUE(c.spec.compression == 1 || c.spec.compression == 2) << c.name << " prefix " << n;
            } catch (const EInvalidGraphic& e) {
                EXPECT_EQ(std::string(e.what()).rfind("Bitmap image is not valid: ", 0), 0u) << e.what();
            }
        }
    }
}

struct RejectCase {
    const char* name;
    BmpSpec spec;
    const char* reason;
};

TEST(BmpCodec, RefusesLyingHeaders) {
    const std::vector<std::uint8_t> px24 = {0, 0, 0, 0};
    const RejectCase cases[] = {
        {"zero width", {.width = 0, .height = 1, .pixels = px24}, "not positive"},
        {"zero height", {.width = 1, .height = 0, .pixels = px24}, "not positive"},
        {"pixel data shorter than the rows", {.width = 4, .height = 4, .pixels = px24}, "truncated"},
        {"offset past the end", {.width = 1, .height = 1, .pixels = px24, .offset = 5000}, "past the end"},
        {"offset inside the header", {.width = 1, .height = 1, .pixels = px24, .offset = 20}, "inside the header"},
        {"palette count above the bit depth",
         {.width = 1, .height = 1, .bits = 1, .palette = {0, 0}, .colors_used = 3, .pixels = px24},
         "more colours"},
        {"palette count beyond the file",
         {.width = 1, .height = 1, .bits = 8, .palette = {0, 0}, .colors_used = 200, .pixels = px24},
         "palette"},
        {"header size unknown", {.header_size = 20, .width = 1, .height = 1, .pixels = px24}, "header size"},
        {"bit depth 7", {.width = 1, .height = 1, .bits = 7, .pixels = px24}, "bit depth"},
        {"two planes", {.width = 1, .height = 1, .pixels = px24, .planes = 2}, "plane"},
        {"RLE8 at 24 bits", {.width = 1, .height = 1, .bits = 24, .compression = 1, .pixels = px24}, "RLE8"},
        {"embedded JPEG", {.width = 1, .height = 1, .compression = 4, .pixels = px24}, "compression"},
        {"bit fields at 24 bits",
         {.width = 1, .height = 1, .compression = 3, .masks = {1, 2, 4}, .pixels = px24},
         "bit fields"},
        {"16-bit mask wider than the pixel",
         {.width = 1, .height = 1, .bits = 16, .compression = 3, .masks = {0xFF0000, 0xFF00, 0xFF}, .pixels = px24},
         "wider"},
        {"RLE8 run past the row",
         {.width = 2, .height = 1, .bits = 8, .compression = 1, .palette = {0}, .pixels = {4, 0, 0, 1}},
         "run"},
        {"RLE8 absolute run past the row",
         {.width = 2, .height = 1, .bits = 8, .compression = 1, .palette = {0}, .pixels = {0, 3, 0, 0, 0, 0, 0, 1}},
         "run"},
        {"RLE8 absolute run past the data",
         {.width = 8, .height = 1, .bits = 8, .compression = 1, .palette = {0}, .pixels = {0, 8, 0, 0}},
         "truncated"},
        {"RLE8 delta outside",
         {.width = 2, .height = 2, .bits = 8, .compression = 1, .palette = {0}, .pixels = {0, 2, 5, 0, 0, 1}},
         "delta"},
        {"RLE8 ends before the last row",
         {.width = 2, .height = 2, .bits = 8, .compression = 1, .palette = {0}, .pixels = {2, 0, 0, 0}},
         "truncated"},
        {"RLE top-down",
         {.width = 2, .height = -2, .bits = 8, .compression = 1, .palette = {0}, .pixels = {0, 1}},
         "top-down"},
    };
    for (const RejectCase& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            DecodeExact(MakeBmp(c.spec));
            ADD_FAILURE() << "accepted";
        } catch (const EInvalidGraphic& e) {
            const std::string text = e.what();
            EXPECT_EQ(text.rfind("Bitmap image is not valid: ", 0), 0u) << text;
            EXPECT_NE(text.find(c.reason), std::string::npos) << text;
        }
    }
    // A size beyond the limit is refused before its pixels are looked for, as too large.
    try {
        DecodeExact(MakeBmp({.width = 100000, .height = 100000, .pixels = px24}));
        ADD_FAILURE() << "huge size accepted";
    } catch (const EInvalidGraphic& e) {
        EXPECT_STREQ(e.what(), "Bitmap image is too large: 100000 x 100000 pixels (at most 67108864 pixels)");
    }
    std::vector<std::uint8_t> bad_signature = MakeBmp({.pixels = px24});
    bad_signature[0] = 'X';
    EXPECT_THROW(DecodeExact(bad_signature), EInvalidGraphic);
    EXPECT_THROW(bmp::Decode(nullptr, 0), EInvalidGraphic);
}

TEST(BmpCodec, WriterMakesA54ByteHeader32BitBottomUpFile) {
    const std::uint32_t pixels[] = {0x80010203, 0x00FFFFFF, 0xFF0000FF,  // top row
                                    0x12345678, 0x00000000, 0xFFFFFFFF};
    const std::vector<std::uint8_t> file = bmp::Encode32(pixels, 3, 2);
    ASSERT_EQ(file.size(), 54u + 24u);
    auto u32 = [&](std::size_t at) {
        std::uint32_t v;
        std::memcpy(&v, file.data() + at, 4);
        return v;
    };
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(u32(2), 78u);   // file size
    EXPECT_EQ(u32(10), 54u);  // pixel offset
    EXPECT_EQ(u32(14), 40u);  // info header
    EXPECT_EQ(static_cast<std::int32_t>(u32(18)), 3);
    EXPECT_EQ(static_cast<std::int32_t>(u32(22)), 2);  // positive: bottom-up
    EXPECT_EQ(u32(28) & 0xFFFF, 32u);
    EXPECT_EQ(u32(30), 0u);           // BI_RGB
    EXPECT_EQ(u32(54), 0x12345678u);  // first stored row is the bottom one
    EXPECT_EQ(u32(54 + 12), 0x80010203u);
    const bmp::DecodedBmp back = DecodeExact(file);
    EXPECT_TRUE(back.has_alpha);
    EXPECT_EQ(back.pixels, std::vector<std::uint32_t>(std::begin(pixels), std::end(pixels)));
}

TEST(BmpCodec, BitmapStreamRoundTripKeepsAlphaAndFormat) {
    TBitmap a;
    a.SetPixelFormat(TPixelFormat::pf32bit);
    a.SetSize(3, 2);
    const std::uint32_t row0[3] = {0x7F112233, 0x00000000, 0xFFABCDEF};
    const std::uint32_t row1[3] = {0x01020304, 0x80808080, 0xFEFEFEFE};
    std::memcpy(a.ScanLine(0), row0, 12);
    std::memcpy(a.ScanLine(1), row1, 12);
    TMemoryStream s;
    a.SaveToStream(s);
    EXPECT_EQ(s.Size(), 54 + 24);
    s.SetPosition(0);
    TBitmap b;
    b.LoadFromStream(s);
    ASSERT_EQ(b.PixelFormat(), TPixelFormat::pf32bit);
    ASSERT_EQ(b.Width(), 3);
    ASSERT_EQ(b.Height(), 2);
    EXPECT_EQ(std::memcmp(b.ScanLine(0), row0, 12), 0);
    EXPECT_EQ(std::memcmp(b.ScanLine(1), row1, 12), 0);

    // A 24-bit file loads as 24-bit; a corrupt one leaves the bitmap as it was.
    TMemoryStream file24;
    const std::vector<std::uint8_t> bytes = MakeBmp({.width = 1, .height = 1, .pixels = {1, 2, 3, 0}});
    file24.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    file24.SetPosition(0);
    b.LoadFromStream(file24);
    EXPECT_EQ(b.PixelFormat(), TPixelFormat::pf24bit);
    EXPECT_EQ(b.Canvas().Pixels(0, 0), MakeColor(3, 2, 1));
    TMemoryStream junk;
    junk.WriteBuffer("BMjunk", 6);
    junk.SetPosition(0);
    EXPECT_THROW(b.LoadFromStream(junk), EInvalidGraphic);
    EXPECT_EQ(b.Width(), 1);
    EXPECT_EQ(b.Canvas().Pixels(0, 0), MakeColor(3, 2, 1));
}

}  // namespace
}  // namespace ui
