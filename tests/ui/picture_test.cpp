#include "platform/ui/graphics/picture.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>

#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/ui/graphics/decoded_image.h"
#include "platform/ui/graphics/icon.h"
#include "platform/ui/graphics/jpeg.h"
#include "platform/ui/graphics/picture_size_limit.h"
#include "tests/ui/gif_fixture.h"
#include "tests/ui/jpeg_fixture.h"
#include "tests/ui/png_fixture.h"

namespace ui {
namespace {

class PictureTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (const std::string& p : files_) std::remove(p.c_str());
    }
    std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        const std::string path =
            (std::filesystem::temp_directory_path() / ("qbk_pic_" + std::to_string(::getpid()) + "_" + name)).string();
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        files_.push_back(path);
        return path;
    }
    std::vector<std::string> files_;
};

std::vector<std::uint8_t> QtEncode(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    EXPECT_TRUE(writer.write(image)) << writer.errorString().toStdString();
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

// A 1 x 1 GIF whose only pixel is palette entry 0, red (GIFs are read-only in the toolkit).
const std::vector<std::uint8_t> kRedGif = {'G', 'I',  'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0xFF, 0,    0, 0,   0,
                                           0,   0x2C, 0,   0,   0,   0,   1, 0, 1, 0, 0,    2, 2, 0x44, 0x01, 0, 0x3B};

// One .ico file holding the images of several single-image files, in the given order.
std::vector<std::uint8_t> MergeIcons(const std::vector<std::vector<std::uint8_t>>& icons) {
    const std::size_t count = icons.size();
    std::vector<std::uint8_t> out = {0, 0, 1, 0, static_cast<std::uint8_t>(count), 0};
    std::vector<std::uint8_t> payload;
    std::size_t offset = 6 + 16 * count;
    for (const auto& icon : icons) {
        std::uint32_t size;
        std::uint32_t at;
        std::memcpy(&size, icon.data() + 6 + 8, 4);
        std::memcpy(&at, icon.data() + 6 + 12, 4);
        std::vector<std::uint8_t> entry(icon.begin() + 6, icon.begin() + 22);
        const auto new_at = static_cast<std::uint32_t>(offset + payload.size());
        std::memcpy(entry.data() + 12, &new_at, 4);
        out.insert(out.end(), entry.begin(), entry.end());
        payload.insert(payload.end(), icon.begin() + at, icon.begin() + at + size);
    }
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

QImage Filled(int w, int h, QRgb argb) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(argb);
    return image;
}

TEST_F(PictureTest, PicksTheFormatByExtension) {
    QImage png = Filled(3, 2, 0x80FF0000);  // half-transparent red
    TBitmap bmp;
    bmp.SetSize(2, 2);
    bmp.Canvas().SetPixels(0, 0, clBlue);
    TMemoryStream bmp_stream;
    bmp.SaveToStream(bmp_stream);
    const std::vector<std::uint8_t> jpg =
        test::EncodeJpegForTest(5, 4, 3, JCS_RGB, std::vector<std::uint8_t>(5 * 4 * 3, 100), false);
    struct Case {
        std::string name;
        std::vector<std::uint8_t> bytes;
        std::string class_name;
        int width, height;
    };
    const Case cases[] = {
        {"a.bmp", bmp_stream.Bytes(), "TBitmap", 2, 2},
        {"b.JPG", jpg, "TJPEGImage", 5, 4},
        {"c.jpeg", jpg, "TJPEGImage", 5, 4},
        {"d.png", QtEncode(png, "png"), "TDecodedImage", 3, 2},
        {"e.gif", kRedGif, "TDecodedImage", 1, 1},
        {"f.ico", QtEncode(Filled(16, 16, 0xFF00FF00), "ico"), "TIcon", 16, 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TPicture picture;
        int changes = 0;
        picture.OnChange = [&](TPersistent*) { ++changes; };
        picture.LoadFromFile(Write(c.name, c.bytes));
        ASSERT_NE(picture.Graphic(), nullptr);
        EXPECT_EQ(picture.Graphic()->ClassName(), c.class_name);
        EXPECT_EQ(picture.Width(), c.width);
        EXPECT_EQ(picture.Height(), c.height);
        EXPECT_GE(changes, 1);
    }
}

TEST_F(PictureTest, PngKeepsAlphaAndGifShowsItsColours) {
    TPicture picture;
    picture.LoadFromFile(Write("alpha.png", QtEncode(Filled(3, 2, 0x80FF0000), "png")));
    auto* png = dynamic_cast<TBitmap*>(picture.Graphic());
    ASSERT_NE(png, nullptr);
    ASSERT_EQ(png->PixelFormat(), TPixelFormat::pf32bit);
    std::uint32_t px;
    std::memcpy(&px, png->ScanLine(1) + 8, 4);
    EXPECT_EQ(px, 0x80FF0000u);

    picture.LoadFromFile(Write("red.gif", kRedGif));
    EXPECT_EQ(picture.Bitmap().Canvas().Pixels(0, 0), clRed);
}

TEST_F(PictureTest, IconShowsTheLargestImageWithItsAlpha) {
    const std::vector<std::uint8_t> ico =
        MergeIcons({QtEncode(Filled(16, 16, 0xFF0000FF), "ico"), QtEncode(Filled(32, 32, 0x40FF0000), "ico"),
                    QtEncode(Filled(24, 24, 0xFF00FF00), "ico")});
    TPicture picture;
    picture.LoadFromFile(Write("three.ico", ico));
    auto* icon = dynamic_cast<TIcon*>(picture.Graphic());
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->Width(), 32);
    std::uint32_t px;
    std::memcpy(&px, icon->Bitmap().ScanLine(5) + 20, 4);
    EXPECT_EQ(px, 0x40FF0000u);
    // Drawn blended over white: a quarter red.
    TBitmap target;
    target.SetSize(32, 32);
    target.Canvas().Draw(0, 0, *icon);
    const TColor c = target.Canvas().Pixels(10, 10);
    EXPECT_EQ(RedOf(c), 255);
    EXPECT_NEAR(GreenOf(c), 191, 2);
}

TEST_F(PictureTest, RefusesMetafilesUnknownExtensionsAndCorruptData) {
    const std::string emf = Write("x.emf", {1, 2, 3});
    const std::string xyz = Write("x.xyz", {1, 2, 3});
    TPicture picture;
    picture.LoadFromFile(Write("keep.gif", kRedGif));
    struct Case {
        std::string path;
        std::string message;  // empty: only the class is checked
    };
    const Case cases[] = {
        {emf, "Metafiles are not supported on this platform (.emf)"},
        {Write("y.WMF", {1}), "Metafiles are not supported on this platform (.WMF)"},
        {xyz, "Unknown picture file extension (.xyz)"},
        {Write("noext", {1}), "Unknown picture file extension (.)"},
        {Write("bad.png", {0x89, 'P', 'N', 'G', 1, 2, 3}), ""},
        {Write("bad.gif", {'G', 'I', 'F', '8', '9', 'a', 1}), ""},
        {Write("bad.ico", {0, 0, 1, 0, 5, 0}), ""},
        {Write("bad.jpg", {0xFF, 0xD8, 0xFF}), ""},
        {Write("bad.bmp", {'B', 'M'}), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        try {
            picture.LoadFromFile(c.path);
            ADD_FAILURE() << "accepted";
        } catch (const EInvalidGraphic& e) {
            if (!c.message.empty()) {
                EXPECT_EQ(e.what(), c.message);
            }
        }
        // The picture keeps what it had.
        ASSERT_NE(picture.Graphic(), nullptr);
        EXPECT_EQ(picture.Width(), 1);
    }
    EXPECT_THROW(picture.LoadFromFile("/nonexistent/folder/p.bmp"), EFOpenError);
}

// A copy of `bytes` with the 16-bit value at `at` replaced, in either byte order.
std::vector<std::uint8_t> Patched16(std::vector<std::uint8_t> bytes, std::size_t at, int value, bool big_endian) {
    const auto hi = static_cast<std::uint8_t>(value >> 8), lo = static_cast<std::uint8_t>(value);
    bytes.at(at) = big_endian ? hi : lo;
    bytes.at(at + 1) = big_endian ? lo : hi;
    return bytes;
}

// A small JPEG whose frame header claims width x height (the decoder reads no further).
std::vector<std::uint8_t> JpegClaiming(int width, int height) {
    std::vector<std::uint8_t> jpg =
        test::EncodeJpegForTest(8, 8, 3, JCS_RGB, std::vector<std::uint8_t>(8 * 8 * 3, 100), false);
    for (std::size_t i = 0; i + 9 < jpg.size(); ++i) {
        if (jpg[i] == 0xFF && jpg[i + 1] == 0xC0)
            return Patched16(Patched16(jpg, i + 5, height, true), i + 7, width, true);
    }
    ADD_FAILURE() << "no frame header";
    return jpg;
}

// A constant 1-bit picture: 9000 x 8000 pixels in a few kilobytes of PNG.
std::vector<std::uint8_t> ConstantPng(int width, int height) {
    QImage image(width, height, QImage::Format_Mono);
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    image.fill(1);
    return QtEncode(image, "png");
}

TEST_F(PictureTest, TooLargePicturesSaySoWhateverTheirFormat) {
    TBitmap small;
    small.SetSize(2, 2);
    TMemoryStream bmp;
    small.SaveToStream(bmp);
    std::vector<std::uint8_t> huge_bmp = bmp.Bytes();
    huge_bmp = Patched16(Patched16(huge_bmp, 18, 20000, false), 22, 20000, false);
    const std::vector<std::uint8_t> huge_gif = Patched16(
        Patched16(Patched16(Patched16(kRedGif, 6, 16000, false), 8, 12000, false), 24, 16000, false), 26, 12000, false);
    const std::vector<std::uint8_t> png = ConstantPng(40, 30);
    const std::vector<std::uint8_t> cut_png(png.begin(), png.begin() + static_cast<std::ptrdiff_t>(png.size() / 2));
    struct Case {
        std::string name;
        std::vector<std::uint8_t> bytes;
        std::string message;
    };
    const Case cases[] = {
        {"big.png", ConstantPng(9000, 8000), "PNG image is too large: 9000 x 8000 pixels (at most 67108864 pixels)"},
        {"big.jpg", JpegClaiming(16000, 12000),
         "JPEG image is too large: 16000 x 12000 pixels (at most 67108864 pixels)"},
        {"big.gif", huge_gif, "GIF image is too large: 16000 x 12000 pixels (at most 67108864 pixels)"},
        {"big.bmp", huge_bmp, "Bitmap image is too large: 20000 x 20000 pixels (at most 67108864 pixels)"},
        // A picture cut short is still reported as such.
        {"cut.png", cut_png, "PNG image is not valid: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TPicture picture;
        picture.LoadFromFile(Write("keep.gif", kRedGif));
        try {
            picture.LoadFromFile(Write(c.name, c.bytes));
            ADD_FAILURE() << "accepted";
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(std::string(e.what()).substr(0, c.message.size()), c.message);
        }
        EXPECT_EQ(picture.Width(), 1);  // the picture keeps what it had
    }
    // The limit itself: 8192 x 8192 is the largest square.
    EXPECT_NO_THROW(CheckPictureSize("PNG", 8192, 8192));
    EXPECT_THROW(CheckPictureSize("PNG", 8192, 8193), EInvalidGraphic);
    EXPECT_THROW(CheckPictureSize("PNG", 0xFFFFFFFF, 0xFFFFFFFF), EInvalidGraphic);
}

TEST_F(PictureTest, PicturesLargerThanTheirDataCanHoldAreRefusedBeforeTheyDecode) {
    // A PNG's rows are deflated: a byte unpacks to 1032 at most. A GIF's codes give 2731 pixels a
    // byte at most. Headers claiming more than the file can hold are refused from the header.
    const std::vector<std::uint8_t> small_png = test::ZeroPng(40, 30, 8, 6);
    const std::vector<std::uint8_t> lying_png = test::PngClaiming(small_png, 8192, 8192);
    // An icon whose one image is that PNG: the directory says 256 x 256, the image's own header more.
    std::vector<std::uint8_t> lying_ico = {0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 1, 0, 32, 0};
    for (std::uint32_t v : {static_cast<std::uint32_t>(lying_png.size()), 22u}) {
        for (int i = 0; i < 4; ++i) lying_ico.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
    lying_ico.insert(lying_ico.end(), lying_png.begin(), lying_png.end());
    const std::vector<std::uint8_t> lying_gif = Patched16(
        Patched16(Patched16(Patched16(kRedGif, 6, 8000, false), 8, 8000, false), 24, 8000, false), 26, 8000, false);
    struct Case {
        std::string name;
        std::vector<std::uint8_t> bytes;
        std::string refusal;  // empty: it loads
    };
    const Case cases[] = {
        {"lying.png", lying_png,
         "PNG image is not valid: 8192 x 8192 pixels cannot be decoded from " + std::to_string(lying_png.size()) +
             " bytes"},
        {"lying.gif", lying_gif, "GIF image is not valid: 8000 x 8000 pixels cannot be decoded from 2 bytes"},
        {"lying.ico", lying_ico,
         "Icon image is not valid: 8192 x 8192 pixels cannot be decoded from " + std::to_string(lying_png.size()) +
             " bytes"},
        // As much as the data can honestly hold loads: 1 bit a pixel, deflated as runs.
        {"honest.png", test::ZeroPng(2000, 2000, 1, 0), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TPicture picture;
        picture.LoadFromFile(Write("keep.gif", kRedGif));
        if (c.refusal.empty()) {
            picture.LoadFromFile(Write(c.name, c.bytes));
            EXPECT_EQ(picture.Width(), 2000);
            continue;
        }
        try {
            picture.LoadFromFile(Write(c.name, c.bytes));
            ADD_FAILURE() << "accepted";
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(e.what(), c.refusal);
        }
        EXPECT_EQ(picture.Width(), 1);
    }
}

TEST_F(PictureTest, SixteenBitPngOfUpToTheSizeLimitLoads) {
    // 5800 x 5800 pixels of 16-bit RGB take 8 bytes a pixel as the toolkit reads them: more than a
    // picture of 32-bit pixels of the size limit, still within the limit's pixels.
    const std::string file = Write("deep.png", test::ZeroPng(5800, 5800, 16, 2));
    TPicture picture;
    picture.LoadFromFile(file);
    ASSERT_NE(picture.Graphic(), nullptr);
    EXPECT_EQ(picture.Width(), 5800);
    EXPECT_EQ(picture.Height(), 5800);
    EXPECT_EQ(picture.Bitmap().Canvas().Pixels(5799, 5799), clBlack);
}

TEST_F(PictureTest, AGifCutShortIsRefusedAndOneCutAfterItsImageLoads) {
    test::GifSpec spec;
    spec.width = 40;
    spec.height = 30;
    spec.palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    for (int i = 0; i < spec.width * spec.height; ++i) spec.indices.push_back(static_cast<std::uint8_t>(1 + i % 3));
    const std::vector<std::uint8_t> gif = test::MakeGif(spec);
    const std::size_t data_start = 6 + 7 + 768 + 10 + 1;  // header, screen, palette, descriptor, code size
    const std::size_t trailer = gif.size() - 1;
    std::vector<std::size_t> cuts = {data_start, data_start + 1, data_start + 256, trailer - 1};
    for (std::size_t cut = data_start; cut < trailer; cut += 97) cuts.push_back(cut);
    for (const std::size_t cut : cuts) {
        SCOPED_TRACE(cut);
        TPicture picture;
        try {
            picture.LoadFromFile(Write(
                "cut.gif", std::vector<std::uint8_t>(gif.begin(), gif.begin() + static_cast<std::ptrdiff_t>(cut))));
            ADD_FAILURE() << "a GIF cut inside its image was shown";
        } catch (const EInvalidGraphic& e) {
            EXPECT_STREQ(e.what(), "GIF image is not valid: data is truncated");
        }
    }
    // Without its trailer the image is whole.
    TPicture picture;
    picture.LoadFromFile(
        Write("whole.gif", std::vector<std::uint8_t>(gif.begin(), gif.begin() + static_cast<std::ptrdiff_t>(trailer))));
    EXPECT_EQ(picture.Bitmap().Canvas().Pixels(0, 0), clRed);
    EXPECT_EQ(picture.Bitmap().Canvas().Pixels(1, 0), clLime);
    EXPECT_EQ(picture.Bitmap().Canvas().Pixels(39, 29), clBlue);  // pixel 1199: index 1 + 1199 % 3
}

TEST_F(PictureTest, AssignCopiesTheGraphicAndBitmapReplacesOthers) {
    TPicture a;
    a.LoadFromFile(Write("one.gif", kRedGif));
    TPicture b;
    b.Assign(&a);
    ASSERT_NE(b.Graphic(), nullptr);
    EXPECT_NE(b.Graphic(), a.Graphic());
    EXPECT_EQ(b.Graphic()->ClassName(), "TDecodedImage");
    EXPECT_EQ(b.Width(), 1);

    TJPEGImage jpeg;
    TPicture c;
    c.Assign(&jpeg);
    EXPECT_EQ(c.Graphic()->ClassName(), "TJPEGImage");
    TBitmap& bitmap = c.Bitmap();  // not a bitmap: replaced by an empty one
    EXPECT_EQ(c.Graphic(), &bitmap);
    EXPECT_TRUE(bitmap.Empty());
    c.Assign(nullptr);
    EXPECT_EQ(c.Graphic(), nullptr);
    EXPECT_EQ(c.Width(), 0);

    TFont font;
    EXPECT_THROW(c.Assign(&font), EConvertError);
}

TEST_F(PictureTest, SavesInTheGraphicsOwnFormat) {
    TPicture picture;
    picture.Bitmap().SetSize(4, 3);
    picture.Bitmap().Canvas().SetPixels(3, 2, clFuchsia);
    const std::string path = Write("saved.bmp", {});
    picture.SaveToFile(path);
    TPicture back;
    back.LoadFromFile(path);
    EXPECT_EQ(back.Width(), 4);
    EXPECT_EQ(back.Bitmap().Canvas().Pixels(3, 2), clFuchsia);
}

}  // namespace
}  // namespace ui
