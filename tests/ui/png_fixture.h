// Builds PNG files byte by byte for the tests, independent of the code under test: pictures of
// one colour of any size in little data (their rows deflated as runs), and header fields that
// lie.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ui::test {

inline std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0) {
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

inline void PutBigEndian32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

inline void PutChunk(std::vector<std::uint8_t>& out, const char* type, const std::vector<std::uint8_t>& data) {
    PutBigEndian32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBigEndian32(out, Crc32(out.data() + start, out.size() - start));
}

// A zlib stream of `count` zero bytes with the deflate encoder's fixed codes: one literal 0, then
// copies of 258 bytes from 1 back (13 bits each), the rest as literals.
inline std::vector<std::uint8_t> DeflatedZeros(std::uint64_t count) {
    std::vector<std::uint8_t> out = {0x78, 0x01};
    std::uint32_t bits = 0;
    int filled = 0;
    auto put = [&](std::uint32_t value, int n) {  // least significant bit first
        for (int i = 0; i < n; ++i) {
            bits |= ((value >> i) & 1u) << filled;
            if (++filled == 8) {
                out.push_back(static_cast<std::uint8_t>(bits));
                bits = 0;
                filled = 0;
            }
        }
    };
    auto code = [&](std::uint32_t value, int n) {  // Huffman codes go most significant bit first
        for (int i = n - 1; i >= 0; --i) put((value >> i) & 1u, 1);
    };
    put(1, 1);  // the last block
    put(1, 2);  // fixed codes
    std::uint64_t left = count;
    if (left > 0) {
        code(0x30, 8);  // literal 0
        --left;
    }
    for (; left >= 258; left -= 258) {
        code(0xC5, 8);  // length 258
        code(0, 5);     // distance 1
    }
    for (; left > 0; --left) code(0x30, 8);
    code(0, 7);  // end of block
    if (filled > 0) out.push_back(static_cast<std::uint8_t>(bits));
    // Adler-32 of zeros: the byte sum stays 1, the sum of sums counts the bytes.
    PutBigEndian32(out, static_cast<std::uint32_t>((count % 65521) << 16 | 1u));
    return out;
}

// A PNG of `width` x `height` pixels, every sample 0, of the given bit depth and colour type
// (0 grey, 2 RGB, 3 palette, 4 grey and alpha, 6 RGBA), not interlaced.
inline std::vector<std::uint8_t> ZeroPng(std::uint32_t width, std::uint32_t height, std::uint8_t bit_depth,
                                         std::uint8_t colour_type) {
    const int samples = colour_type == 2 ? 3 : colour_type == 4 ? 2 : colour_type == 6 ? 4 : 1;
    const std::uint64_t row_bytes = (std::uint64_t{width} * samples * bit_depth + 7) / 8;
    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    PutBigEndian32(header, width);
    PutBigEndian32(header, height);
    header.insert(header.end(), {bit_depth, colour_type, 0, 0, 0});
    PutChunk(out, "IHDR", header);
    if (colour_type == 3) PutChunk(out, "PLTE", {0, 0, 0});
    PutChunk(out, "IDAT", DeflatedZeros(std::uint64_t{height} * (1 + row_bytes)));
    PutChunk(out, "IEND", {});
    return out;
}

// `png` with its image header claiming another size, its checksum made right again.
inline std::vector<std::uint8_t> PngClaiming(std::vector<std::uint8_t> png, std::uint32_t width, std::uint32_t height) {
    std::vector<std::uint8_t> size;
    PutBigEndian32(size, width);
    PutBigEndian32(size, height);
    std::copy(size.begin(), size.end(), png.begin() + 16);
    std::vector<std::uint8_t> crc;
    PutBigEndian32(crc, Crc32(png.data() + 12, 4 + 13));
    std::copy(crc.begin(), crc.end(), png.begin() + 29);
    return png;
}

}  // namespace ui::test
