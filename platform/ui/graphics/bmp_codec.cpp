#include "platform/ui/graphics/bmp_codec.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <string>

#include "platform/ui/core/exceptions.h"
#include "platform/ui/graphics/picture_size_limit.h"

namespace ui::bmp {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::uint32_t kBiAlphaBitfields = 6;

[[noreturn]] void Fail(const std::string& reason) { throw EInvalidGraphic("Bitmap image is not valid: " + reason); }

// Little-endian reads that check every access against the data.
class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::size_t size() const { return size_; }
    bool Has(std::size_t offset, std::size_t count) const { return offset <= size_ && count <= size_ - offset; }

    std::uint8_t U8(std::size_t offset) const {
        if (!Has(offset, 1)) Fail("file is truncated");
        return data_[offset];
    }
    std::uint16_t U16(std::size_t offset) const {
        if (!Has(offset, 2)) Fail("file is truncated");
        return static_cast<std::uint16_t>(data_[offset] | (data_[offset + 1] << 8));
    }
    std::uint32_t U32(std::size_t offset) const {
        if (!Has(offset, 4)) Fail("file is truncated");
        return std::uint32_t{data_[offset]} | (std::uint32_t{data_[offset + 1]} << 8) |
               (std::uint32_t{data_[offset + 2]} << 16) | (std::uint32_t{data_[offset + 3]} << 24);
    }
    std::int32_t I32(std::size_t offset) const { return static_cast<std::int32_t>(U32(offset)); }
    const std::uint8_t* At(std::size_t offset) const { return data_ + offset; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

// One channel of a bit-field pixel: its mask, shift and the largest value it can hold.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0;

    explicit Channel(std::uint32_t m = 0) : mask(m) {
        if (mask == 0) return;
        shift = std::countr_zero(mask);
        max = mask >> shift;
    }
    bool Present() const { return mask != 0; }
    // Scales the field to 0..255, rounding to nearest.
    std::uint8_t Extract(std::uint32_t pixel) const {
        if (mask == 0) return 0;
        const std::uint64_t v = (pixel & mask) >> shift;
        return static_cast<std::uint8_t>((v * 255 + max / 2) / max);
    }
};

struct Header {
    int width = 0;
    int height = 0;  // always positive here; top_down tells the row order
    bool top_down = false;
    int bits = 0;
    std::uint32_t compression = kBiRgb;
    std::size_t header_size = 0;
    std::size_t pixel_offset = 0;
    std::uint32_t colors_used = 0;
    bool core = false;                     // 12-byte header: 3-byte palette entries
    std::array<std::uint32_t, 4> masks{};  // red, green, blue, alpha
};

Header ReadHeader(const Reader& in) {
    if (in.size() < kFileHeaderSize + 12) Fail("file is truncated");
    if (in.U8(0) != 'B' || in.U8(1) != 'M') Fail("no bitmap signature");
    Header h;
    h.pixel_offset = in.U32(10);
    h.header_size = in.U32(kFileHeaderSize);
    const std::size_t info = kFileHeaderSize;
    long long width = 0;
    long long height = 0;
    int planes = 1;
    if (h.header_size == 12) {
        h.core = true;
        width = in.U16(info + 4);
        height = in.U16(info + 6);
        planes = in.U16(info + 8);
        h.bits = in.U16(info + 10);
    } else if (h.header_size == 40 || h.header_size == 52 || h.header_size == 56 || h.header_size == 108 ||
               h.header_size == 124) {
        if (!in.Has(info, h.header_size)) Fail("file is truncated");
        width = in.I32(info + 4);
        height = in.I32(info + 8);
        planes = in.U16(info + 12);
        h.bits = in.U16(info + 14);
        h.compression = in.U32(info + 16);
        h.colors_used = in.U32(info + 32);
        if (h.header_size > 40) {
            // The larger headers carry the masks themselves (alpha from 56 bytes on).
            for (std::size_t i = 0; i < (h.header_size >= 56 ? 4u : 3u); ++i) h.masks[i] = in.U32(info + 40 + 4 * i);
        } else if (h.compression == kBiBitfields || h.compression == kBiAlphaBitfields) {
            const std::size_t count = h.compression == kBiAlphaBitfields ? 4 : 3;
            if (!in.Has(info + 40, 4 * count)) Fail("bit-field masks are missing");
            for (std::size_t i = 0; i < count; ++i) h.masks[i] = in.U32(info + 40 + 4 * i);
            h.header_size += 4 * count;
        }
    } else {
        Fail("unsupported header size " + std::to_string(h.header_size));
    }
    if (planes != 1) Fail("plane count is not 1");
    if (height < 0) {
        h.top_down = true;
        height = -height;
    }
    if (width <= 0 || height <= 0) Fail("width or height is not positive");
    CheckPictureSize("Bitmap", static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height));
    h.width = static_cast<int>(width);
    h.height = static_cast<int>(height);

    switch (h.compression) {
    case kBiRgb:
        if (h.bits != 1 && h.bits != 4 && h.bits != 8 && h.bits != 16 && h.bits != 24 && h.bits != 32) {
            Fail("unsupported bit depth " + std::to_string(h.bits));
        }
        break;
    case kBiRle8:
        if (h.bits != 8) Fail("RLE8 needs 8 bits per pixel");
        break;
    case kBiRle4:
        if (h.bits != 4) Fail("RLE4 needs 4 bits per pixel");
        break;
    case kBiBitfields:
    case kBiAlphaBitfields:
        if (h.bits != 16 && h.bits != 32) Fail("bit fields need 16 or 32 bits per pixel");
        break;
    default:
        Fail("unsupported compression " + std::to_string(h.compression));
    }
    if ((h.compression == kBiRle8 || h.compression == kBiRle4) && h.top_down) Fail("RLE rows cannot run top-down");
    return h;
}

struct Palette {
    std::vector<std::uint32_t> colors;  // 0xFFRRGGBB
    std::uint32_t At(std::uint32_t index) const {
        // An index past the palette shows black, as the platform draws it; it never reads past.
        return index < colors.size() ? colors[index] : 0xFF000000u;
    }
};

Palette ReadPalette(const Reader& in, const Header& h) {
    Palette palette;
    if (h.bits > 8) return palette;
    const std::uint32_t full = 1u << h.bits;
    const std::size_t entry = h.core ? 3 : 4;
    const std::size_t start = kFileHeaderSize + h.header_size;
    // No count given (always so in the 12-byte header): a full palette, or as many entries as
    // fit before the pixels, which is what writers of short palettes leave.
    const std::uint32_t count =
        h.colors_used != 0 ? h.colors_used
                           : static_cast<std::uint32_t>(std::min<std::size_t>(full, (h.pixel_offset - start) / entry));
    if (count > full) Fail("palette has more colours than the bit depth allows");
    const std::size_t bytes = static_cast<std::size_t>(count) * entry;
    if (!in.Has(start, bytes)) Fail("palette is truncated");
    if (start + bytes > h.pixel_offset) Fail("palette overlaps the pixel data");
    palette.colors.resize(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t* p = in.At(start + i * entry);
        palette.colors[i] = 0xFF000000u | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
    }
    return palette;
}

std::size_t Stride(const Header& h) {
    return ((static_cast<std::size_t>(h.width) * static_cast<std::size_t>(h.bits) + 31) / 32) * 4;
}

// The output row that file row `file_row` lands in.
int OutRow(const Header& h, int file_row) { return h.top_down ? file_row : h.height - 1 - file_row; }

void DecodeUncompressed(const Reader& in, const Header& h, const Palette& palette, DecodedBmp& out) {
    const std::size_t stride = Stride(h);
    std::array<Channel, 4> ch;
    const bool fields = h.compression == kBiBitfields || h.compression == kBiAlphaBitfields;
    if (h.bits == 16 && !fields) {
        ch = {Channel(0x7C00), Channel(0x03E0), Channel(0x001F), Channel(0)};
    } else if (fields) {
        for (std::size_t i = 0; i < 4; ++i) ch[i] = Channel(h.masks[i]);
        // Masks reaching outside a 16-bit pixel would never match its bits.
        if (h.bits == 16 && ((h.masks[0] | h.masks[1] | h.masks[2] | h.masks[3]) & 0xFFFF0000u) != 0) {
            Fail("bit-field mask is wider than the pixel");
        }
    }
    out.has_alpha = (h.bits == 32 && !fields) || (fields && ch[3].Present());
    for (int row = 0; row < h.height; ++row) {
        const std::uint8_t* src = in.At(h.pixel_offset + stride * static_cast<std::size_t>(row));
        std::uint32_t* dst = out.pixels.data() + static_cast<std::size_t>(OutRow(h, row)) * h.width;
        for (int x = 0; x < h.width; ++x) {
            std::uint32_t argb = 0;
            switch (h.bits) {
            case 1:
                argb = palette.At((src[x >> 3] >> (7 - (x & 7))) & 1u);
                break;
            case 4:
                argb = palette.At((src[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xFu);
                break;
            case 8:
                argb = palette.At(src[x]);
                break;
            case 24:
                argb = 0xFF000000u | (std::uint32_t{src[3 * x + 2]} << 16) | (std::uint32_t{src[3 * x + 1]} << 8) |
                       src[3 * x];
                break;
            case 16:
            case 32: {
                std::uint32_t v = 0;
                if (h.bits == 16) {
                    v = static_cast<std::uint32_t>(src[2 * x] | (src[2 * x + 1] << 8));
                } else {
                    std::memcpy(&v, src + 4 * x, 4);
                }
                if (h.bits == 32 && !fields) {
                    // Our own files keep the fourth byte as alpha; it travels unchanged.
                    argb = v;
                } else {
                    const std::uint32_t a = ch[3].Present() ? ch[3].Extract(v) : 255u;
                    argb = (a << 24) | (std::uint32_t{ch[0].Extract(v)} << 16) |
                           (std::uint32_t{ch[1].Extract(v)} << 8) | ch[2].Extract(v);
                }
                break;
            }
            default:
                Fail("unsupported bit depth");
            }
            dst[x] = argb;
        }
    }
}

// Run-length coded 4- and 8-bit pixels. Rows run bottom-up; pixels no code reaches keep
// palette colour 0. A run or delta that leaves the picture, or data that ends before the
// last row, is a lie of the file and refused.
void DecodeRle(const Reader& in, const Header& h, const Palette& palette, DecodedBmp& out) {
    const bool four = h.compression == kBiRle4;
    std::fill(out.pixels.begin(), out.pixels.end(), palette.At(0));
    std::size_t pos = h.pixel_offset;
    const std::size_t end = in.size();
    if (pos > end) Fail("pixel data offset lies past the end of the file");
    long long x = 0;
    long long row = 0;  // file row, 0 = bottom
    auto put = [&](std::uint32_t index) {
        if (x >= h.width) Fail("RLE run goes past the end of a row");
        out.pixels[static_cast<std::size_t>(OutRow(h, static_cast<int>(row))) * h.width + static_cast<std::size_t>(x)] =
            palette.At(index);
        ++x;
    };
    for (;;) {
        if (row >= h.height) {
            // Everything after the last row is ignored; the end-of-bitmap code is optional there.
            return;
        }
        if (pos + 2 > end) Fail("RLE data is truncated");
        const std::uint8_t count = in.U8(pos);
        const std::uint8_t value = in.U8(pos + 1);
        pos += 2;
        if (count > 0) {
            for (int i = 0; i < count; ++i) {
                put(four ? ((i & 1) ? (value & 0xFu) : (value >> 4)) : value);
            }
            continue;
        }
        switch (value) {
        case 0:  // end of line
            x = 0;
            ++row;
            break;
        case 1:  // end of bitmap
            return;
        case 2: {  // delta
            if (pos + 2 > end) Fail("RLE data is truncated");
            x += in.U8(pos);
            row += in.U8(pos + 1);
            pos += 2;
            if (x > h.width || (row >= h.height && x > 0)) Fail("RLE delta moves outside the picture");
            break;
        }
        default: {  // absolute run of `value` pixels, padded to a 16-bit boundary
            const std::size_t bytes = four ? (value + 1u) / 2u : value;
            const std::size_t padded = (bytes + 1u) & ~std::size_t{1};
            if (!in.Has(pos, bytes)) Fail("RLE data is truncated");
            for (int i = 0; i < value; ++i) {
                const std::uint8_t b =
                    in.U8(pos + (four ? static_cast<std::size_t>(i / 2) : static_cast<std::size_t>(i)));
                put(four ? ((i & 1) ? (b & 0xFu) : (b >> 4)) : b);
            }
            pos += std::min(padded, end - pos);
            break;
        }
        }
    }
}

}  // namespace

DecodedBmp Decode(const std::uint8_t* data, std::size_t size) {
    if (data == nullptr) Fail("file is empty");
    const Reader in(data, size);
    const Header h = ReadHeader(in);
    if (h.pixel_offset < kFileHeaderSize + h.header_size) Fail("pixel data offset lies inside the header");
    if (h.pixel_offset >= size) Fail("pixel data offset lies past the end of the file");
    const Palette palette = ReadPalette(in, h);
    DecodedBmp out;
    out.width = h.width;
    out.height = h.height;
    const bool rle = h.compression == kBiRle8 || h.compression == kBiRle4;
    // Checked before the pixels are allocated, so a short file cannot claim a huge picture.
    // No overflow: the pixel count is bounded by kMaxPicturePixels.
    if (!rle && !in.Has(h.pixel_offset, Stride(h) * static_cast<std::size_t>(h.height))) {
        Fail("pixel data is truncated");
    }
    out.pixels.resize(static_cast<std::size_t>(h.width) * static_cast<std::size_t>(h.height));
    if (rle) {
        DecodeRle(in, h, palette, out);
    } else {
        DecodeUncompressed(in, h, palette, out);
    }
    return out;
}

BmpLayout ReadLayout(const std::uint8_t* data, std::size_t size) {
    if (data == nullptr) Fail("file is empty");
    const Header h = ReadHeader(Reader(data, size));
    const auto pixels = static_cast<std::uint64_t>(h.width) * static_cast<std::uint64_t>(h.height);
    std::uint64_t pixel_bytes = Stride(h) * static_cast<std::uint64_t>(h.height);
    if (h.compression == kBiRle8 || h.compression == kBiRle4) {
        // No code takes more than 4 bytes a pixel (a run of one, a delta of one column), and each
        // row ends with a 2-byte code.
        pixel_bytes = 4 * pixels + 2 * static_cast<std::uint64_t>(h.height) + 2;
    }
    return BmpLayout{h.width, h.height, h.pixel_offset + pixel_bytes};
}

std::vector<std::uint8_t> Encode32(const std::uint32_t* pixels, int width, int height) {
    if (width < 0 || height < 0) throw EInvalidGraphic("Bitmap image is not valid: negative size");
    const std::size_t image_bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
    const std::size_t offset = kFileHeaderSize + 40;
    std::vector<std::uint8_t> out(offset + image_bytes, 0);
    auto put16 = [&](std::size_t at, std::uint16_t v) {
        out[at] = static_cast<std::uint8_t>(v);
        out[at + 1] = static_cast<std::uint8_t>(v >> 8);
    };
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, static_cast<std::uint32_t>(out.size()));
    put32(10, static_cast<std::uint32_t>(offset));
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));  // positive: rows bottom-up
    put16(26, 1);
    put16(28, 32);
    put32(30, kBiRgb);
    put32(34, static_cast<std::uint32_t>(image_bytes));
    // Resolution, palette counts: 0.
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* row = pixels + static_cast<std::size_t>(height - 1 - y) * width;
        const std::size_t line = offset + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * 4;
        for (int x = 0; x < width; ++x) put32(line + 4 * static_cast<std::size_t>(x), row[x]);
    }
    return out;
}

}  // namespace ui::bmp
