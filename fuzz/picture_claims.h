// What a picture file claims about its size, read from its headers before any decoder sees it.
//
// A short input whose header claims a huge picture makes a decoder allocate and clear that picture
// before it finds out that the data is missing; a fuzz target that lets such inputs through spends
// its time in the allocator instead of in the decoders. The targets pass over every input that
// claims more than kMaxClaimedPixels; the decoders' own limits are tested by the unit tests.
//
// Each reader returns the largest pixel area the file claims anywhere, or 0 when the header is too
// short or not of that format (the decoder then refuses the input, cheaply). Nothing is read
// outside the input.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace fuzz {

inline constexpr std::uint64_t kMaxClaimedPixels = 1u << 12;  // 64 x 64

namespace claims_detail {

inline std::uint32_t Le16(const std::uint8_t* p) { return p[0] | p[1] << 8; }
inline std::uint32_t Le32(const std::uint8_t* p) { return Le16(p) | Le16(p + 2) << 16; }
inline std::uint32_t Be16(const std::uint8_t* p) { return p[0] << 8 | p[1]; }
inline std::uint32_t Be32(const std::uint8_t* p) { return Be16(p) << 16 | Be16(p + 2); }
inline std::uint64_t Magnitude(std::uint32_t v) {
    const auto s = static_cast<std::int32_t>(v);
    return s < 0 ? std::uint64_t{0} - static_cast<std::int64_t>(s) : static_cast<std::uint64_t>(s);
}

}  // namespace claims_detail

// A device-independent bitmap header (12-byte core header or a 40-byte or longer info header), as
// a BMP file holds it after its 14-byte file header and an icon entry holds it alone.
inline std::uint64_t DibClaim(const std::uint8_t* d, std::size_t n) {
    using namespace claims_detail;
    if (n < 12) return 0;
    if (Le32(d) == 12) return std::uint64_t{Le16(d + 4)} * Le16(d + 6);
    return Magnitude(Le32(d + 4)) * Magnitude(Le32(d + 8));
}

inline std::uint64_t BmpClaim(const std::uint8_t* d, std::size_t n) { return n < 14 ? 0 : DibClaim(d + 14, n - 14); }

inline bool IsPng(const std::uint8_t* d, std::size_t n) {
    static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return n >= 8 && std::memcmp(d, kSignature, 8) == 0;
}

// The first chunk, IHDR, gives width and height.
inline std::uint64_t PngClaim(const std::uint8_t* d, std::size_t n) {
    using namespace claims_detail;
    if (n < 24 || !IsPng(d, n)) return 0;
    return std::uint64_t{Be32(d + 16)} * Be32(d + 20);
}

// The logical screen grown to hold every image in it (an image may reach past the screen); only
// the screen and the images before the blocks go wrong.
inline std::uint64_t GifClaim(const std::uint8_t* d, std::size_t n) {
    using namespace claims_detail;
    if (n < 13) return 0;  // the toolkit's reader does not insist on the signature
    // The picture covers the screen and every image, wherever the images lie.
    std::uint64_t width = Le16(d + 6);
    std::uint64_t height = Le16(d + 8);
    auto colour_table = [](std::uint8_t flags) -> std::size_t { return flags & 0x80 ? 3u << ((flags & 7) + 1) : 0; };
    std::size_t at = 13 + colour_table(d[10]);
    // Sub-blocks: a length byte, that many bytes, until a length of 0.
    auto skip_sub_blocks = [&] {
        while (at < n && d[at] != 0) at += 1 + std::size_t{d[at]};
        ++at;
    };
    while (at < n) {
        const std::uint8_t introducer = d[at];
        if (introducer == 0x21 && at + 1 < n) {  // extension: label, sub-blocks
            at += 2;
            skip_sub_blocks();
        } else if (introducer == 0x2C && at + 10 <= n) {  // image descriptor
            width = std::max(width, std::uint64_t{Le16(d + at + 1)} + Le16(d + at + 5));
            height = std::max(height, std::uint64_t{Le16(d + at + 3)} + Le16(d + at + 7));
            at += 10 + colour_table(d[at + 9]) + 1;  // descriptor, local colour table, LZW code size
            skip_sub_blocks();
        } else {
            break;  // trailer or something a decoder refuses
        }
    }
    return width * height;
}

// Every frame header (SOF0..SOF15 but the table markers) before the first scan.
inline std::uint64_t JpegClaim(const std::uint8_t* d, std::size_t n) {
    using namespace claims_detail;
    if (n < 4 || d[0] != 0xFF || d[1] != 0xD8) return 0;
    std::uint64_t claim = 0;
    std::size_t at = 2;
    while (at + 4 <= n && d[at] == 0xFF) {
        const std::uint8_t marker = d[at + 1];
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9) break;  // start of scan, end of image
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame && at + 9 <= n) claim = std::max(claim, std::uint64_t{Be16(d + at + 5)} * Be16(d + at + 7));
        at += 2 + Be16(d + at + 2);
    }
    return claim;
}

// Every entry of the icon directory: its own image is a PNG file or a DIB of twice the height.
inline std::uint64_t IcoClaim(const std::uint8_t* d, std::size_t n) {
    using namespace claims_detail;
    if (n < 6) return 0;
    std::uint64_t claim = 0;
    const std::size_t count = Le16(d + 4);
    for (std::size_t i = 0; i < count && 6 + 16 * (i + 1) <= n; ++i) {
        const std::uint8_t* entry = d + 6 + 16 * i;
        const std::size_t offset = Le32(entry + 12);
        if (offset >= n) continue;
        const std::uint8_t* image = d + offset;
        const std::size_t left = n - offset;
        claim = std::max(claim, IsPng(image, left) ? PngClaim(image, left) : DibClaim(image, left));
    }
    return claim;
}

// By file extension, as the picture loader picks the class.
inline std::uint64_t PictureClaim(std::string_view extension, const std::uint8_t* d, std::size_t n) {
    if (extension == "bmp") return BmpClaim(d, n);
    if (extension == "png") return PngClaim(d, n);
    if (extension == "gif") return GifClaim(d, n);
    if (extension == "jpg") return JpegClaim(d, n);
    if (extension == "ico") return IcoClaim(d, n);
    return 0;
}

}  // namespace fuzz
