#include "tests/pictures/picture_fixture.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "platform/ui/core/streams.h"
#include "platform/ui/graphics/decoded_image.h"

namespace panel_test {

std::vector<std::uint8_t> PngFile(int width, int height, ui::TColor color) {
    ui::TDecodedImage image(ui::TDecodedFormat::dfPNG);
    image.SetSize(width, height);
    image.Canvas().Brush().SetColor(color);
    image.Canvas().FillRect(ui::Rect(0, 0, width, height));
    ui::TMemoryStream stream;
    image.SaveToStream(stream);
    return stream.Bytes();
}

namespace {

void Word(std::vector<std::uint8_t>& out, int v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

// LZW data of a solid run of pixels at minimum code size 2: a clear code before every second
// pixel keeps the codes 3 bits wide, so no dictionary is needed.
std::vector<std::uint8_t> SolidImageData(int pixels, int index) {
    constexpr int kClear = 4, kEnd = 5, kBits = 3;
    std::vector<int> codes;
    for (int i = 0; i < pixels; ++i) {
        if (i % 2 == 0) codes.push_back(kClear);
        codes.push_back(index);
    }
    codes.push_back(kEnd);
    std::vector<std::uint8_t> bytes;
    unsigned accumulator = 0;
    int filled = 0;
    for (int code : codes) {
        accumulator |= static_cast<unsigned>(code) << filled;
        filled += kBits;
        while (filled >= 8) {
            bytes.push_back(static_cast<std::uint8_t>(accumulator & 0xFF));
            accumulator >>= 8;
            filled -= 8;
        }
    }
    if (filled > 0) bytes.push_back(static_cast<std::uint8_t>(accumulator & 0xFF));
    std::vector<std::uint8_t> out{2};  // minimum code size
    for (std::size_t i = 0; i < bytes.size(); i += 255) {
        const std::size_t n = std::min<std::size_t>(255, bytes.size() - i);
        out.push_back(static_cast<std::uint8_t>(n));
        out.insert(out.end(), bytes.begin() + static_cast<std::ptrdiff_t>(i),
                   bytes.begin() + static_cast<std::ptrdiff_t>(i + n));
    }
    out.push_back(0);
    return out;
}

std::vector<std::uint8_t> Build(int sw, int sh, const std::vector<GifFrameSpec>& frames,
                                std::vector<std::size_t>* markers) {
    std::vector<std::uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
    Word(out, sw);
    Word(out, sh);
    out.push_back(0x81);  // global colour table of 4 entries
    out.push_back(0);
    out.push_back(0);
    for (ui::TColor c : kGifPalette) {
        out.push_back(ui::RedOf(c));
        out.push_back(ui::GreenOf(c));
        out.push_back(ui::BlueOf(c));
    }
    for (const GifFrameSpec& f : frames) {
        if (markers) markers->push_back(out.size());
        out.insert(out.end(), {0x21, 0xF9, 0x04, 0x00, 0x0A, 0x00, 0x00, 0x00});
        out.push_back(0x2C);
        Word(out, f.left);
        Word(out, f.top);
        Word(out, f.width);
        Word(out, f.height);
        out.push_back(0);
        const std::vector<std::uint8_t> data = SolidImageData(f.width * f.height, f.color_index);
        out.insert(out.end(), data.begin(), data.end());
    }
    out.push_back(0x3B);
    return out;
}

}  // namespace

std::vector<std::uint8_t> GifFile(int screen_width, int screen_height, const std::vector<GifFrameSpec>& frames) {
    return Build(screen_width, screen_height, frames, nullptr);
}

std::vector<std::size_t> GifMarkerOffsets(int screen_width, int screen_height,
                                          const std::vector<GifFrameSpec>& frames) {
    std::vector<std::size_t> markers;
    Build(screen_width, screen_height, frames, &markers);
    return markers;
}

void SetBytes(ui::TMemoryStream& stream, const std::vector<std::uint8_t>& bytes) {
    stream.Clear();
    if (!bytes.empty()) stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    stream.Seek(0, ui::TSeekOrigin::soBeginning);
}

std::string WriteTempFile(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const char* dir = std::getenv("TMPDIR");
    const std::string path =
        std::string(dir && *dir ? dir : "/tmp") + "/qbk_panel_" + std::to_string(::getpid()) + "_" + name;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
}

}  // namespace panel_test
