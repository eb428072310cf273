#include "platform/ui/graphics/jpeg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/core/streams.h"
#include "tests/ui/jpeg_fixture.h"

namespace ui {
namespace {

using test::EncodeJpegForTest;

void LoadBytes(TGraphic& graphic, const std::vector<std::uint8_t>& bytes) {
    TMemoryStream s;
    s.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    s.SetPosition(0);
    graphic.LoadFromStream(s);
}

std::vector<std::uint8_t> Flat(int width, int height, std::vector<std::uint8_t> value) {
    std::vector<std::uint8_t> out;
    for (int i = 0; i < width * height; ++i) out.insert(out.end(), value.begin(), value.end());
    return out;
}

void ExpectNear(TColor actual, TColor expected, int tolerance) {
    EXPECT_NEAR(RedOf(actual), RedOf(expected), tolerance) << std::hex << actual;
    EXPECT_NEAR(GreenOf(actual), GreenOf(expected), tolerance) << std::hex << actual;
    EXPECT_NEAR(BlueOf(actual), BlueOf(expected), tolerance) << std::hex << actual;
}

TEST(Jpeg, DecodesGreyRgbAndBothCmykConventions) {
    struct Case {
        const char* name;
        int components;
        J_COLOR_SPACE space;
        std::vector<std::uint8_t> value;
        bool adobe;
        TColor expected;
    };
    const Case cases[] = {
        {"grey", 1, JCS_GRAYSCALE, {0x80}, false, MakeColor(0x80, 0x80, 0x80)},
        {"rgb", 3, JCS_RGB, {200, 40, 90}, false, MakeColor(200, 40, 90)},
        // Plain CMYK: full magenta and yellow ink make red.
        {"cmyk", 4, JCS_CMYK, {0, 255, 255, 0}, false, MakeColor(255, 0, 0)},
        // Adobe's convention stores the same inks inverted.
        {"adobe cmyk", 4, JCS_CMYK, {255, 0, 0, 255}, true, MakeColor(255, 0, 0)},
        // Half black on no ink.
        {"cmyk black", 4, JCS_CMYK, {0, 0, 0, 128}, false, MakeColor(127, 127, 127)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TJPEGImage jpeg;
        LoadBytes(jpeg, EncodeJpegForTest(16, 8, c.components, c.space, Flat(16, 8, c.value), c.adobe));
        ASSERT_EQ(jpeg.Width(), 16);
        ASSERT_EQ(jpeg.Height(), 8);
        EXPECT_EQ(jpeg.Bitmap().PixelFormat(), TPixelFormat::pf24bit);
        TBitmap copy;
        copy.Assign(&jpeg);
        ExpectNear(copy.Canvas().Pixels(5, 4), c.expected, 3);
    }
}

TEST(Jpeg, LoadedPixelsAreOpaqueEverywhere) {
    TJPEGImage jpeg;
    LoadBytes(jpeg, EncodeJpegForTest(9, 7, 3, JCS_RGB, Flat(9, 7, {10, 20, 30}), false));
    TBitmap bitmap;
    bitmap.Assign(&jpeg);
    bitmap.SetPixelFormat(TPixelFormat::pf32bit);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x) EXPECT_EQ(bitmap.ScanLine(y)[4 * x + 3], 0xFF) << x << "," << y;
    // Drawn onto transparent 32-bit memory, the JPEG leaves opaque pixels.
    std::vector<std::uint32_t> memory(9 * 7, 0);
    TCanvas canvas(memory.data(), 9, 7, 36, TPixelFormat::pf32bit);
    canvas.Draw(0, 0, jpeg);
    for (std::uint32_t px : memory) EXPECT_EQ(px >> 24, 0xFFu);
}

// The first value of the first quantisation table (the DC step of luminance).
int FirstQuantStep(const std::vector<std::uint8_t>& data) {
    for (std::size_t i = 0; i + 5 < data.size(); ++i) {
        if (data[i] == 0xFF && data[i + 1] == 0xDB) return data[i + 5];
    }
    return -1;
}

bool HasMarker(const std::vector<std::uint8_t>& data, std::uint8_t marker) {
    for (std::size_t i = 0; i + 1 < data.size(); ++i) {
        if (data[i] == 0xFF && data[i + 1] == marker) return true;
    }
    return false;
}

TEST(Jpeg, EncodesBaselineJfifAtTheQualityAndDecodesBack) {
    TBitmap source;
    source.SetSize(32, 24);
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 32; ++x) source.Canvas().SetPixels(x, y, MakeColor(x * 8, y * 10, 128));
    }
    TJPEGImage jpeg;
    jpeg.Assign(&source);
    jpeg.SetCompressionQuality(85);
    TMemoryStream s;
    jpeg.SaveToStream(s);
    const std::vector<std::uint8_t> data = s.Bytes();
    ASSERT_GT(data.size(), 100u);
    EXPECT_EQ(data[0], 0xFF);
    EXPECT_EQ(data[1], 0xD8);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(data.data()) + 6, 4), "JFIF");
    EXPECT_TRUE(HasMarker(data, 0xC0));   // baseline frame
    EXPECT_FALSE(HasMarker(data, 0xC2));  // not progressive
    // Quality 85 scales the standard luminance table by 30 %: 16 -> 5.
    EXPECT_EQ(FirstQuantStep(data), 5);

    TJPEGImage back;
    LoadBytes(back, data);
    TBitmap decoded;
    decoded.Assign(&back);
    for (int y = 2; y < 22; y += 5) {
        for (int x = 2; x < 30; x += 5) ExpectNear(decoded.Canvas().Pixels(x, y), MakeColor(x * 8, y * 10, 128), 12);
    }
    // A new quality is used for data that came from pixels.
    jpeg.SetCompressionQuality(50);
    TMemoryStream s50;
    jpeg.SaveToStream(s50);
    EXPECT_EQ(FirstQuantStep(s50.Bytes()), 16);
}

TEST(Jpeg, KeepsLoadedDataUnchangedOnSave) {
    const std::vector<std::uint8_t> file = EncodeJpegForTest(4, 4, 1, JCS_GRAYSCALE, Flat(4, 4, {9}), false);
    TJPEGImage jpeg;
    LoadBytes(jpeg, file);
    jpeg.SetCompressionQuality(10);
    TMemoryStream s;
    jpeg.SaveToStream(s);
    EXPECT_EQ(s.Bytes(), file);
}

TEST(Jpeg, CorruptOrTruncatedDataRaisesAndKeepsThePicture) {
    const std::vector<std::uint8_t> good = EncodeJpegForTest(16, 16, 3, JCS_RGB, Flat(16, 16, {1, 2, 3}), false);
    std::vector<std::uint8_t> garbage(good.begin(), good.begin() + 2);
    garbage.insert(garbage.end(), 200, 0x5A);
    std::vector<std::uint8_t> bad_frame = good;
    // Zero height in the frame header.
    for (std::size_t i = 0; i + 8 < bad_frame.size(); ++i) {
        if (bad_frame[i] == 0xFF && bad_frame[i + 1] == 0xC0) {
            bad_frame[i + 5] = 0;
            bad_frame[i + 6] = 0;
            break;
        }
    }
    const std::vector<std::vector<std::uint8_t>> inputs = {
        {},
        std::vector<std::uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2)),
        std::vector<std::uint8_t>(good.begin(), good.begin() + 20),
        garbage,
        bad_frame,
    };
    TJPEGImage jpeg;
    LoadBytes(jpeg, good);
    for (const auto& input : inputs) {
        try {
            LoadBytes(jpeg, input);
            ADD_FAILURE() << "accepted " << input.size() << " bytes";
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(std::string(e.what()).rfind("JPEG image is not valid: ", 0), 0u) << e.what();
        }
        EXPECT_EQ(jpeg.Width(), 16);
    }
    EXPECT_THROW(jpeg.SetWidth(3), EInvalidGraphicOperation);
}

// A picture with detail in every channel, so that any difference in the colour conversion or
// the upsampling between the two decodings shows.
std::vector<std::uint8_t> Detailed(int width, int height, int components) {
    std::vector<std::uint8_t> out;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < components; ++c)
                out.push_back(static_cast<std::uint8_t>((x * 7 + y * 13 + c * 71) ^ (x * y)));
        }
    }
    return out;
}

TEST(Jpeg, ThirtyTwoBitDecodeGivesTheBitmapsBytesMadeOpaque) {
    struct Case {
        const char* name;
        int components;
        J_COLOR_SPACE space;
        bool adobe;
    };
    const Case cases[] = {
        {"grey", 1, JCS_GRAYSCALE, false},
        {"rgb", 3, JCS_RGB, false},
        {"cmyk", 4, JCS_CMYK, false},
        {"adobe cmyk", 4, JCS_CMYK, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int w = 37, h = 21;  // odd sizes: partial blocks and padded 24-bit rows
        const std::vector<std::uint8_t> file =
            EncodeJpegForTest(w, h, c.components, c.space, Detailed(w, h, c.components), c.adobe);
        TJPEGImage jpeg;
        LoadBytes(jpeg, file);
        std::vector<std::uint8_t> pixels;
        DecodeJpegPixels32(file.data(), file.size(), [&](int width, int height) {
            EXPECT_EQ(width, w);
            EXPECT_EQ(height, h);
            pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0x11);
            return pixels.data();
        });
        ASSERT_EQ(pixels.size(), static_cast<std::size_t>(w * h * 4));
        int wrong = 0;
        for (int y = 0; y < h; ++y) {
            const std::uint8_t* expected = jpeg.Bitmap().ScanLine(y);
            const std::uint8_t* actual = pixels.data() + static_cast<std::size_t>(y) * w * 4;
            for (int x = 0; x < w; ++x) {
                if (std::memcmp(actual + 4 * x, expected + 3 * x, 3) != 0 || actual[4 * x + 3] != 0xFF) ++wrong;
            }
        }
        EXPECT_EQ(wrong, 0);
    }
}

TEST(Jpeg, BandsOfRowsAreTheWholeDecodeInOrder) {
    // Band sizes that divide the height, that leave a short last band, of one row and taller
    // than the picture; CMYK rows pass through their conversion too.
    struct Case {
        int components;
        J_COLOR_SPACE space;
        int band_rows;
    };
    const Case cases[] = {{3, JCS_RGB, 7}, {3, JCS_RGB, 5}, {1, JCS_GRAYSCALE, 1}, {4, JCS_CMYK, 8}, {3, JCS_RGB, 100}};
    const int w = 37, h = 21;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.band_rows);
        const std::vector<std::uint8_t> file =
            EncodeJpegForTest(w, h, c.components, c.space, Detailed(w, h, c.components), false);
        std::vector<std::uint8_t> whole;
        DecodeJpegPixels32(file.data(), file.size(), [&](int width, int height) {
            whole.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
            return whole.data();
        });
        // Two buffers taken in turn, as a caller handing bands to other threads would.
        std::vector<std::uint8_t> buffers[2];
        int turn = 0;
        std::vector<std::uint8_t> joined;
        std::vector<std::pair<int, int>> bands;
        DecodeJpegBands32(
            file.data(), file.size(), c.band_rows,
            [&](int width, int height) {
                EXPECT_EQ(width, w);
                EXPECT_EQ(height, h);
                for (auto& b : buffers) b.assign(static_cast<std::size_t>(c.band_rows) * width * 4, 0x11);
                return buffers[0].data();
            },
            [&](int first, int count) {
                bands.emplace_back(first, count);
                joined.insert(joined.end(), buffers[turn].begin(), buffers[turn].begin() + count * w * 4);
                turn = 1 - turn;
                return buffers[turn].data();
            });
        ASSERT_FALSE(bands.empty());
        int next = 0;
        for (const auto& [first, count] : bands) {
            EXPECT_EQ(first, next);
            EXPECT_EQ(count, std::min(c.band_rows, h - first));
            next = first + count;
        }
        EXPECT_EQ(next, h);
        EXPECT_TRUE(joined == whole);
    }
}

// A memory stream that counts the bytes read from it and notes a move back.
class ReadCountingStream : public TMemoryStream {
public:
    std::int64_t Read(void* buffer, std::int64_t count) override {
        const std::int64_t n = TMemoryStream::Read(buffer, count);
        bytes_read += n;
        return n;
    }
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override {
        const std::int64_t before = Position();
        const std::int64_t after = TMemoryStream::Seek(offset, origin);
        if (after < before) moved_back = true;
        return after;
    }
    std::int64_t bytes_read = 0;
    bool moved_back = false;
};

TEST(Jpeg, TheReceiverPicksTheBandOnceItKnowsTheSizeAndTheStreamIsReadOnce) {
    // A receiver that finds it cannot use bands takes the picture whole in one band; the decoder
    // goes on from the bytes it has read. Bands outside 1..height are held to it.
    const int w = 29, h = 23;
    const std::vector<std::uint8_t> file = EncodeJpegForTest(w, h, 3, JCS_RGB, Detailed(w, h, 3), false);
    std::vector<std::uint8_t> whole;
    DecodeJpegPixels32(file.data(), file.size(), [&](int width, int height) {
        whole.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
        return whole.data();
    });
    struct Case {
        const char* name;
        int band_rows;  // picked from the height the receiver is told
        int expected;   // the band's rows
    };
    const Case cases[] = {
        {"whole", h, h}, {"one row", 1, 1}, {"some", 6, 6}, {"more than the picture", h + 9, h}, {"none", 0, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReadCountingStream stream;
        stream.WriteBuffer(file.data(), static_cast<std::int64_t>(file.size()));
        stream.SetPosition(0);
        stream.moved_back = false;
        std::vector<std::uint8_t> band;
        std::vector<std::uint8_t> joined;
        int next = 0;
        DecodeJpegBands32(
            stream,
            [&](int width, int height) {
                EXPECT_EQ(width, w);
                EXPECT_EQ(height, h);
                band.assign(static_cast<std::size_t>(c.expected) * static_cast<std::size_t>(width) * 4, 0x11);
                return TPixelBand{band.data(), c.band_rows};
            },
            [&](int first, int count) {
                EXPECT_EQ(first, next);
                EXPECT_EQ(count, std::min(c.expected, h - first));
                joined.insert(joined.end(), band.begin(), band.begin() + count * w * 4);
                next = first + count;
                return band.data();
            });
        EXPECT_EQ(next, h);
        EXPECT_TRUE(joined == whole);
        EXPECT_LE(stream.bytes_read, static_cast<std::int64_t>(file.size()));
        EXPECT_FALSE(stream.moved_back);
    }
}

TEST(Jpeg, BandsRaiseAsTheWholeDecodeDoes) {
    const std::vector<std::uint8_t> good = EncodeJpegForTest(16, 64, 3, JCS_RGB, Detailed(16, 64, 3), false);
    const std::vector<std::uint8_t> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2));
    std::string whole_error, band_error;
    std::vector<std::uint8_t> pixels(16 * 64 * 4);
    try {
        DecodeJpegPixels32(cut.data(), cut.size(), [&](int, int) { return pixels.data(); });
    } catch (const EInvalidGraphic& e) {
        whole_error = e.what();
    }
    try {
        DecodeJpegBands32(
            cut.data(), cut.size(), 8, [&](int, int) { return pixels.data(); },
            [&](int, int) { return pixels.data(); });
    } catch (const EInvalidGraphic& e) {
        band_error = e.what();
    }
    EXPECT_FALSE(whole_error.empty());
    EXPECT_EQ(band_error, whole_error);

    // An error of the caller's while it takes a band passes out as it is.
    EXPECT_THROW(DecodeJpegBands32(
                     good.data(), good.size(), 8, [&](int, int) { return pixels.data(); },
                     [&](int first, int) -> std::uint8_t* {
                         if (first == 16) throw std::runtime_error("full");
                         return pixels.data();
                     }),
                 std::runtime_error);
}

TEST(Jpeg, ThirtyTwoBitDecodeRaisesAsTheGraphicDoes) {
    const std::vector<std::uint8_t> good = EncodeJpegForTest(16, 16, 3, JCS_RGB, Flat(16, 16, {1, 2, 3}), false);
    const std::vector<std::vector<std::uint8_t>> inputs = {
        {},
        std::vector<std::uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2)),
        std::vector<std::uint8_t>(good.begin(), good.begin() + 20),
    };
    for (const auto& input : inputs) {
        std::string graphic_error, direct_error;
        TJPEGImage jpeg;
        try {
            LoadBytes(jpeg, input);
        } catch (const EInvalidGraphic& e) {
            graphic_error = e.what();
        }
        std::vector<std::uint8_t> pixels;
        try {
            DecodeJpegPixels32(input.data(), input.size(), [&](int width, int height) {
                pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
                return pixels.data();
            });
        } catch (const EInvalidGraphic& e) {
            direct_error = e.what();
        }
        EXPECT_FALSE(graphic_error.empty()) << input.size();
        EXPECT_EQ(direct_error, graphic_error) << input.size();
    }
}

}  // namespace
}  // namespace ui
