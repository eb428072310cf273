#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

#include "imaging/bitmap32.h"
#include "platform/ui/core/filer.h"
#include "platform/ui/core/streams.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/jpeg.h"
#include "platform/ui/graphics/picture.h"
#include "tests/imaging/picture_files.h"
#include "tests/support/resident_memory.h"
#include "tests/ui/gif_fixture.h"

using namespace imaging;

namespace {

std::vector<std::uint8_t> Bytes(std::initializer_list<int> v) { return {v.begin(), v.end()}; }

std::string TempPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() /
            ("qbk_imaging_" + std::to_string(std::random_device{}()) + "_" + name))
        .string();
}

}  // namespace

TEST(Bitmap32, CreationAndSizing) {
    TBitmap32 b;
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(b.MasterAlpha(), 255u);
    EXPECT_EQ(b.DrawMode(), TDrawMode::dmOpaque);
    EXPECT_EQ(b.StretchFilter(), TStretchFilter::sfNearest);
    int changes = 0, resizes = 0, handles = 0;
    b.OnChange = [&](ui::TPersistent*) { ++changes; };
    b.OnResize = [&](ui::TPersistent*) { ++resizes; };
    b.OnHandleChanged = [&](ui::TPersistent*) { ++handles; };
    b.Clear(0);  // empty: nothing
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(b.SetSize(3, 2));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(resizes, 1);
    EXPECT_EQ(handles, 1);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(b.Bits()[i], 0u);  // fresh memory is transparent black
    EXPECT_NE(b.Handle(), nullptr);
    EXPECT_FALSE(b.SetSize(3, 2));  // same size: nothing fires
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(resizes, 1);
    EXPECT_EQ(b.BoundsRect(), ui::Rect(0, 0, 3, 2));
    EXPECT_EQ(b.PixelPointer(2, 1), b.Bits() + 5);
    b.SetMasterAlpha(255);  // unchanged value: no notification
    EXPECT_EQ(changes, 1);
    b.SetMasterAlpha(17);
    EXPECT_EQ(changes, 2);
    b.BeginUpdate();
    b.Clear(7);
    b.EndUpdate();
    EXPECT_EQ(changes, 2);
    b.Lock();
    EXPECT_EQ(b.LockCount(), 1);
    b.Unlock();
    EXPECT_EQ(b.LockCount(), 0);
}

TEST(Bitmap32, SizeBeyondTheSectionLimitFailsAndLeavesItEmpty) {
    TBitmap32 b;
    b.SetSize(4, 4);
    int handles = 0;
    b.OnHandleChanged = [&](ui::TPersistent*) { ++handles; };
    try {
        b.SetSize(50000, 20000);
        FAIL() << "no exception";
    } catch (const ui::Exception& e) {
        EXPECT_STREQ(e.what(), "Can't allocate the DIB handle");
    }
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(b.Width(), 0);
    EXPECT_EQ(b.Height(), 0);
    EXPECT_EQ(b.Handle(), nullptr);
    EXPECT_EQ(handles, 1);
}

TEST(Bitmap32, DataBytesOfATwoByOneBitmapAndRoundTrip) {
    TBitmap32 b;
    b.SetSize(2, 1);
    b.Bits()[0] = 0xFF0000FF;
    b.Bits()[1] = 0x80FFFFFF;
    ui::TMemoryStream s;
    b.WriteData(s);
    EXPECT_EQ(s.Bytes(), Bytes({0x02, 0, 0, 0, 0x01, 0, 0, 0, 0xFF, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0x80}));
    TBitmap32 back;
    int changes = 0;
    back.OnChange = [&](ui::TPersistent*) { ++changes; };
    s.SetPosition(0);
    back.ReadData(s);
    EXPECT_EQ(back.Width(), 2);
    EXPECT_EQ(back.Height(), 1);
    EXPECT_EQ(back.Bits()[0], 0xFF0000FFu);
    EXPECT_EQ(back.Bits()[1], 0x80FFFFFFu);
    EXPECT_GE(changes, 1);
    // Written only when it differs from the ancestor's, or when not empty without one.
    TBitmap32 empty;
    EXPECT_TRUE(b.ShouldWriteData(nullptr));
    EXPECT_FALSE(empty.ShouldWriteData(nullptr));
    EXPECT_FALSE(b.ShouldWriteData(&back));
    back.Bits()[1] = 0x80FFFFFE;
    EXPECT_TRUE(b.ShouldWriteData(&back));
    EXPECT_FALSE(empty.ShouldWriteData(&empty));
}

TEST(Bitmap32, ReadDataRejectsSizesTheStreamCannotHold) {
    struct Case {
        std::vector<std::uint8_t> bytes;
        bool ok;
        int w, h;
    } cases[] = {
        // Negative sizes become 0: a valid empty bitmap.
        {Bytes({0xFB, 0xFF, 0xFF, 0xFF, 0x0A, 0, 0, 0}), true, 0, 10},
        // 3 x 1 claimed, two pixels present.
        {Bytes({3, 0, 0, 0, 1, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8}), false, 0, 0},
        // Width * height * 4 overflows 32 bits (0x40000000 x 4) and 64-bit-wise exceeds the stream.
        {Bytes({0, 0, 0, 0x40, 4, 0, 0, 0, 1, 2, 3, 4}), false, 0, 0},
        {Bytes({0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0xFF, 0x7F}), false, 0, 0},
    };
    for (const Case& c : cases) {
        TBitmap32 b;
        b.SetSize(5, 5);
        b.Clear(0x11223344);
        ui::TMemoryStream s;
        s.WriteBuffer(c.bytes.data(), static_cast<std::int64_t>(c.bytes.size()));
        s.SetPosition(0);
        int changes = 0;
        b.OnChange = [&](ui::TPersistent*) { ++changes; };
        if (c.ok) {
            EXPECT_NO_THROW(b.ReadData(s));
        } else {
            EXPECT_THROW(b.ReadData(s), ui::EReadError);
        }
        EXPECT_EQ(b.Width(), c.w);
        EXPECT_EQ(b.Height(), c.h);
        EXPECT_TRUE(b.Empty());
        EXPECT_GE(changes, 1);
    }
    // Too short for the size fields: an error, the bitmap keeps its pixels.
    TBitmap32 b;
    b.SetSize(2, 2);
    b.Clear(9);
    ui::TMemoryStream s;
    s.WriteBuffer("\x02\x00", 2);
    s.SetPosition(0);
    EXPECT_THROW(b.ReadData(s), ui::EReadError);
    EXPECT_EQ(b.Width(), 2);
    EXPECT_EQ(b.Bits()[3], 9u);
}

TEST(Bitmap32, AssignToAndFromClassLibraryBitmaps) {
    TBitmap32 b;
    b.SetSize(3, 2);
    const TColor32 px[6] = {0xFF102030, 0x80405060, 0x00708090, 0x01020304, 0xFEDCBA98, 0x7F7F7F7F};
    std::copy(px, px + 6, b.Bits());
    ui::TBitmap target;
    target.Assign(&b);
    EXPECT_EQ(target.PixelFormat(), ui::TPixelFormat::pf32bit);
    ASSERT_EQ(target.Width(), 3);
    ASSERT_EQ(target.Height(), 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            TColor32 v;
            std::memcpy(&v, target.ScanLine(y) + 4 * x, 4);
            EXPECT_EQ(v, px[y * 3 + x]) << x << "," << y;
        }
    // Back: a 32-bit bitmap keeps its alpha bytes.
    TBitmap32 again;
    again.Assign(&target);
    EXPECT_TRUE(std::equal(px, px + 6, again.Bits()));
    // A 24-bit bitmap becomes opaque.
    target.SetPixelFormat(ui::TPixelFormat::pf24bit);
    again.Assign(&target);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(again.Bits()[i], px[i] | 0xFF000000u) << i;
    // Settings travel between TBitmap32s, events do not.
    b.SetStretchFilter(TStretchFilter::sfLanczos);
    b.SetMasterAlpha(99);
    b.SetOuterColor(0x12345678);
    b.OnChange = [](ui::TPersistent*) {};
    TBitmap32 copy;
    int changes = 0;
    copy.OnChange = [&](ui::TPersistent*) { ++changes; };
    copy.Assign(&b);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(copy.StretchFilter(), TStretchFilter::sfLanczos);
    EXPECT_EQ(copy.MasterAlpha(), 99u);
    EXPECT_EQ(copy.OuterColor(), 0x12345678u);
    EXPECT_TRUE(std::equal(px, px + 6, copy.Bits()));
    copy.Assign(nullptr);
    EXPECT_TRUE(copy.Empty());
    // Something that is neither a graphic nor a picture: the conversion error, counter restored.
    ui::TFont font;
    EXPECT_THROW(copy.Assign(&font), ui::EConvertError);
    EXPECT_EQ(copy.UpdateCount(), 0);
}

TEST(Bitmap32, JpegDecodedStraightIntoThePixelsIsWhatThePictureGives) {
    ui::TBitmap source;
    source.SetSize(53, 31);
    for (int y = 0; y < 31; ++y)
        for (int x = 0; x < 3 * 53; ++x) source.ScanLine(y)[x] = static_cast<std::uint8_t>((x * 11 + y * 7) ^ (x * y));
    ui::TJPEGImage jpeg;
    jpeg.Assign(&source);
    const std::string jpg = TempPath("straight.jpg");
    jpeg.SaveToFile(jpg);

    // Into an empty bitmap, one of the same size and one of another size: pixels and events alike.
    for (const std::pair<int, int>& before : {std::pair{0, 0}, std::pair{53, 31}, std::pair{20, 90}}) {
        SCOPED_TRACE(testing::Message() << before.first << "x" << before.second);
        struct Watched {
            TBitmap32 bitmap;
            int changes = 0, resizes = 0, handles = 0;
        } straight, through_picture;
        for (Watched* w : {&straight, &through_picture}) {
            w->bitmap.SetSize(before.first, before.second);
            w->bitmap.OnChange = [w](ui::TPersistent*) { ++w->changes; };
            w->bitmap.OnResize = [w](ui::TPersistent*) { ++w->resizes; };
            w->bitmap.OnHandleChanged = [w](ui::TPersistent*) { ++w->handles; };
        }
        straight.bitmap.LoadFromFile(jpg);
        ui::TPicture picture;
        picture.LoadFromFile(jpg);
        through_picture.bitmap.Assign(&picture);
        ASSERT_EQ(straight.bitmap.Width(), 53);
        ASSERT_EQ(straight.bitmap.Height(), 31);
        EXPECT_EQ(std::memcmp(straight.bitmap.Bits(), through_picture.bitmap.Bits(), 53 * 31 * 4), 0);
        EXPECT_EQ(straight.changes, through_picture.changes);
        EXPECT_EQ(straight.resizes, through_picture.resizes);
        EXPECT_EQ(straight.handles, through_picture.handles);
        ASSERT_NE(straight.bitmap.Handle(), nullptr);
    }

    // A damaged file: the error passes and the bitmap keeps its pixels.
    const std::string cut = test::WriteCutCopy(jpg, TempPath("cut.jpg"), 0.5);
    TBitmap32 kept;
    kept.LoadFromFile(jpg);
    const std::vector<TColor32> pixels(kept.Bits(), kept.Bits() + 53 * 31);
    EXPECT_THROW(kept.LoadFromFile(cut), ui::EInvalidGraphic);
    ASSERT_EQ(kept.Width(), 53);
    EXPECT_EQ(std::memcmp(kept.Bits(), pixels.data(), pixels.size() * 4), 0);
    std::remove(jpg.c_str());
    std::remove(cut.c_str());
}

TEST(Bitmap32, LoadsJpegOpaqueAndA32BitBmpWithItsAlpha) {
    ui::TBitmap source;
    source.SetPixelFormat(ui::TPixelFormat::pf32bit);
    source.SetSize(8, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x) {
            const TColor32 v = Color32(static_cast<std::uint8_t>(x * 30 + y), 200, static_cast<std::uint8_t>(x * 20),
                                       static_cast<std::uint8_t>(y * 40));
            std::memcpy(source.ScanLine(y) + 4 * x, &v, 4);
        }
    const std::string bmp = TempPath("alpha.bmp"), jpg = TempPath("photo.jpg");
    source.SaveToFile(bmp);
    ui::TJPEGImage jpeg;
    jpeg.Assign(&source);
    jpeg.SaveToFile(jpg);

    TBitmap32 fromBmp;
    fromBmp.LoadFromFile(bmp);
    ASSERT_EQ(fromBmp.Width(), 8);
    ASSERT_EQ(fromBmp.Height(), 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x) {
            TColor32 v;
            std::memcpy(&v, source.ScanLine(y) + 4 * x, 4);
            EXPECT_EQ(*fromBmp.PixelPointer(x, y), v) << x << "," << y;
        }

    TBitmap32 fromJpeg;
    fromJpeg.LoadFromFile(jpg);
    ASSERT_EQ(fromJpeg.Width(), 8);
    ASSERT_EQ(fromJpeg.Height(), 6);
    for (int i = 0; i < 48; ++i) EXPECT_EQ(AlphaOf(fromJpeg.Bits()[i]), 255) << i;
    EXPECT_NEAR(RedOf(*fromJpeg.PixelPointer(4, 3)), 200, 12);

    // An unreadable file: the error passes, the bitmap is unchanged.
    EXPECT_ANY_THROW(fromJpeg.LoadFromFile(TempPath("missing.jpg")));
    EXPECT_EQ(fromJpeg.Width(), 8);
    std::remove(bmp.c_str());
    std::remove(jpg.c_str());
}

TEST(Bitmap32, DataPropertyStreamsThroughTheFiler) {
    TBitmap32 b;
    b.SetSize(2, 1);
    b.Bits()[0] = 0xFF0000FF;
    b.Bits()[1] = 0x80FFFFFF;
    // The property list: the name, binary data (value kind 10, 16 bytes), the end of the list.
    ui::TMemoryStream s;
    ui::WriteDefinedProperties(b, s);
    std::vector<std::uint8_t> expected = Bytes({4, 'D', 'a', 't', 'a', 10, 16, 0, 0, 0});
    for (int v : {0x02, 0, 0, 0, 0x01, 0, 0, 0, 0xFF, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0x80, 0}) {
        expected.push_back(static_cast<std::uint8_t>(v));
    }
    EXPECT_EQ(s.Bytes(), expected);
    TBitmap32 back;
    back.SetSize(7, 7);
    s.SetPosition(0);
    ui::ReadDefinedProperties(back, s);
    ASSERT_EQ(back.Width(), 2);
    ASSERT_EQ(back.Height(), 1);
    EXPECT_EQ(back.Bits()[0], 0xFF0000FFu);
    EXPECT_EQ(back.Bits()[1], 0x80FFFFFFu);

    // Nothing is written for a bitmap equal to its ancestor's, nor for an empty one without one.
    TBitmap32 empty;
    const struct {
        const char* name;
        TBitmap32* object;
        const TBitmap32* ancestor;
        bool written;
    } cases[] = {
        {"equal to its ancestor", &b, &back, false},
        {"empty, no ancestor", &empty, nullptr, false},
        {"its ancestor empty", &b, &empty, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ui::TMemoryStream out;
        ui::WriteDefinedProperties(*c.object, out, c.ancestor);
        EXPECT_EQ(out.Size() > 1, c.written);
    }

    // Binary data longer than the stream holds is refused before it is read; the bitmap stays.
    ui::TMemoryStream lying;
    const std::vector<std::uint8_t> head = Bytes({4, 'D', 'a', 't', 'a', 10, 0xFF, 0xFF, 0xFF, 0x7F, 2, 0});
    lying.WriteBuffer(head.data(), static_cast<std::int64_t>(head.size()));
    lying.SetPosition(0);
    EXPECT_THROW(ui::ReadDefinedProperties(back, lying), ui::EReadError);
    EXPECT_EQ(back.Width(), 2);
}

TEST(Bitmap32, HalfTransparentIconPixelsAreDrawnOverBlackAsPngPixelsAre) {
    // The same picture as a PNG and as an icon: red at half opacity, hiding pure red at full.
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(0x80FF0000);
    TBitmap32 from_png, from_icon;
    for (auto [format, bitmap] : {std::pair{"png", &from_png}, std::pair{"ico", &from_icon}}) {
        const std::string file = TempPath(std::string("half.") + format);
        ASSERT_TRUE(image.save(QString::fromStdString(file), format));
        bitmap->LoadFromFile(file);
        std::remove(file.c_str());
    }
    ASSERT_EQ(from_icon.Width(), 16);
    const TColor32 png = *from_png.PixelPointer(8, 8);
    EXPECT_EQ(AlphaOf(png), 255);
    EXPECT_NEAR(RedOf(png), 128, 1);
    EXPECT_EQ(*from_icon.PixelPointer(8, 8), png);
}

TEST(Bitmap32, APictureFileIsReadNoFurtherThanItsPicture) {
    // A picture of each format followed by 4 GiB that no decoder reaches, in a sparse file, loads
    // in little memory; 4 GiB that hold no picture are refused as cheaply.
    constexpr std::uintmax_t kHuge = std::uintmax_t{4} << 30;
    QImage image(64, 48, QImage::Format_ARGB32);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) image.setPixel(x, y, 0xFF000000u | static_cast<QRgb>(x * 4 << 16 | y * 5));
    ui::test::GifSpec gif;
    gif.width = 64;
    gif.height = 48;
    gif.palette = {0x000000, 0xFFFFFF};
    gif.indices.assign(64 * 48, 1);
    for (const char* format : {"bmp", "png", "jpg", "ico", "gif", "none.jpg", "none.png", "none.bmp"}) {
        SCOPED_TRACE(format);
        const std::string file = TempPath(std::string("tail.") + format);
        const std::string kind(format);
        if (kind == "gif") {
            const std::vector<std::uint8_t> bytes = ui::test::MakeGif(gif);
            std::ofstream(file, std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        } else if (kind.rfind("none", 0) == 0) {
            std::ofstream{file};
        } else {
            ASSERT_TRUE(image.save(QString::fromStdString(file), format));
        }
        std::filesystem::resize_file(file, kHuge);
        const test_support::PeakWatch memory;
        TBitmap32 bitmap;
        if (kind.rfind("none", 0) == 0) {
            EXPECT_THROW(bitmap.LoadFromFile(file), ui::EInvalidGraphic);
        } else {
            bitmap.LoadFromFile(file);
            EXPECT_EQ(bitmap.Width(), 64);
            EXPECT_EQ(bitmap.Height(), 48);
        }
        if (test_support::kPeaksAreThePrograms) {
            EXPECT_LT(memory.RiseMiB(), 64.0);
        }
        std::remove(file.c_str());
    }
}
