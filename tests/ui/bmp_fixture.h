// Builds BMP files byte by byte for the codec tests: the header fields are given explicitly so
// a test can make any of them lie.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace ui::test {

struct BmpSpec {
    int header_size = 40;  // 12, 40, 108 or 124
    std::int32_t width = 1;
    std::int32_t height = 1;  // negative: top-down
    std::uint16_t bits = 24;
    std::uint32_t compression = 0;
    std::vector<std::uint32_t> palette;        // 0x00RRGGBB
    std::optional<std::uint32_t> colors_used;  // default: palette size
    std::vector<std::uint32_t> masks;          // red, green, blue[, alpha]
    std::vector<std::uint8_t> pixels;          // the pixel data exactly as stored
    std::optional<std::uint32_t> offset;       // default: right after the palette
    std::uint16_t planes = 1;
};

inline std::vector<std::uint8_t> MakeBmp(const BmpSpec& s) {
    std::vector<std::uint8_t> out;
    auto u16 = [&](std::uint32_t v) {
        out.push_back(static_cast<std::uint8_t>(v));
        out.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    auto u32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    const bool core = s.header_size == 12;
    const bool masks_after_header = s.header_size == 40 && (s.compression == 3 || s.compression == 6);
    const std::size_t entry = core ? 3 : 4;
    const std::size_t offset = 14 + static_cast<std::size_t>(s.header_size) +
                               (masks_after_header ? 4 * s.masks.size() : 0) + entry * s.palette.size();
    out.push_back('B');
    out.push_back('M');
    u32(static_cast<std::uint32_t>(offset + s.pixels.size()));
    u32(0);
    u32(s.offset.value_or(static_cast<std::uint32_t>(offset)));
    u32(static_cast<std::uint32_t>(s.header_size));
    if (core) {
        u16(static_cast<std::uint32_t>(s.width));
        u16(static_cast<std::uint32_t>(s.height));
        u16(s.planes);
        u16(s.bits);
    } else {
        u32(static_cast<std::uint32_t>(s.width));
        u32(static_cast<std::uint32_t>(s.height));
        u16(s.planes);
        u16(s.bits);
        u32(s.compression);
        u32(static_cast<std::uint32_t>(s.pixels.size()));
        u32(2835);
        u32(2835);
        u32(s.colors_used.value_or(static_cast<std::uint32_t>(s.palette.size())));
        u32(0);
        const std::size_t info_end = 14 + static_cast<std::size_t>(s.header_size);
        if (s.header_size > 40) {
            for (std::size_t i = 0; i < 4; ++i) u32(i < s.masks.size() ? s.masks[i] : 0);
        }
        while (out.size() < info_end) out.push_back(0);
        if (masks_after_header) {
            for (std::uint32_t m : s.masks) u32(m);
        }
    }
    for (std::uint32_t c : s.palette) {
        out.push_back(static_cast<std::uint8_t>(c));
        out.push_back(static_cast<std::uint8_t>(c >> 8));
        out.push_back(static_cast<std::uint8_t>(c >> 16));
        if (!core) out.push_back(0);
    }
    out.insert(out.end(), s.pixels.begin(), s.pixels.end());
    return out;
}

}  // namespace ui::test
