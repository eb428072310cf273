// Builds GIF files byte by byte for the tests (the toolkit writes none): one image of palette
// indices, its codes left uncompressed (each a literal, the code table cleared before it grows).
#pragma once

#include <cstdint>
#include <vector>

namespace ui::test {

struct GifSpec {
    int width = 1;
    int height = 1;
    std::vector<std::uint8_t> indices;   // width * height palette indices, rows from the top
    std::vector<std::uint32_t> palette;  // 0x00RRGGBB, 256 entries at most
};

inline std::vector<std::uint8_t> MakeGif(const GifSpec& s) {
    std::vector<std::uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
    auto u16 = [&](int v) {
        out.push_back(static_cast<std::uint8_t>(v));
        out.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    u16(s.width);
    u16(s.height);
    out.insert(out.end(), {0xF7, 0, 0});  // a global table of 256 colours
    for (std::size_t i = 0; i < 256; ++i) {
        const std::uint32_t c = i < s.palette.size() ? s.palette[i] : 0;
        out.insert(out.end(), {static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
                               static_cast<std::uint8_t>(c)});
    }
    out.push_back(0x2C);
    u16(0);
    u16(0);
    u16(s.width);
    u16(s.height);
    out.push_back(0);
    out.push_back(8);  // the code size: codes start 9 bits wide, clear is 256, end 257
    std::vector<std::uint8_t> codes;
    std::uint32_t bits = 0;
    int filled = 0;
    auto put = [&](std::uint32_t code) {
        bits |= code << filled;
        for (filled += 9; filled >= 8; filled -= 8, bits >>= 8) codes.push_back(static_cast<std::uint8_t>(bits));
    };
    for (std::size_t i = 0; i < s.indices.size(); ++i) {
        if (i % 200 == 0) put(256);
        put(s.indices[i]);
    }
    put(257);
    if (filled > 0) codes.push_back(static_cast<std::uint8_t>(bits));
    for (std::size_t at = 0; at < codes.size(); at += 255) {
        const std::size_t n = std::min<std::size_t>(255, codes.size() - at);
        out.push_back(static_cast<std::uint8_t>(n));
        out.insert(out.end(), codes.begin() + static_cast<std::ptrdiff_t>(at),
                   codes.begin() + static_cast<std::ptrdiff_t>(at + n));
    }
    out.push_back(0);     // the image's data ends
    out.push_back(0x3B);  // the file ends
    return out;
}

}  // namespace ui::test
