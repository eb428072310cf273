#include "platform/ui/graphics/picture_formats.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/bmp_codec.h"
#include "platform/ui/graphics/decoded_image.h"
#include "platform/ui/graphics/gif_blocks.h"
#include "platform/ui/graphics/icon.h"
#include "platform/ui/graphics/jpeg.h"

namespace ui {

namespace {

using namespace std::string_view_literals;

// --- Memory a load takes, from a file's headers -------------------------------------------------

std::uint64_t FileBytes(TStream& stream) {
    return static_cast<std::uint64_t>(std::max<std::int64_t>(stream.Size() - stream.Position(), 0));
}

// Up to `count` bytes from the stream's position.
std::vector<std::uint8_t> ReadHead(TStream& stream, std::size_t count) {
    std::vector<std::uint8_t> head(static_cast<std::size_t>(std::min<std::uint64_t>(count, FileBytes(stream))));
    stream.ReadBuffer(head.data(), static_cast<std::int64_t>(head.size()));
    return head;
}

// A format loaded whole through its graphic: `bytes_per_pixel` at its decoder's peak, and the
// file's bytes where it is read whole. It has no bands.
TPictureLoadCost WholeCost(std::uint64_t width, std::uint64_t height, std::uint64_t bytes_per_pixel,
                           std::uint64_t held_file_bytes) {
    TPictureLoadCost cost;
    cost.width = width;
    cost.height = height;
    cost.whole = held_file_bytes + bytes_per_pixel * width * height;
    cost.banded = cost.whole;
    return cost;
}

TPictureLoadCost BitmapCost(TStream& file, int) {
    // The pixel part of the file, the decoded pixels and the bitmap they go into.
    const std::uint64_t file_bytes = FileBytes(file);
    const std::vector<std::uint8_t> head = ReadHead(file, bmp::kLayoutBytes);
    const bmp::BmpLayout layout = bmp::ReadLayout(head.data(), head.size());
    return WholeCost(static_cast<std::uint32_t>(layout.width), static_cast<std::uint32_t>(layout.height), 8,
                     std::min(file_bytes, layout.file_bytes));
}

TPictureLoadCost IconCost(TStream& file, int) {
    // The file up to its images' end, the image shown as the toolkit reads it and in 32 bits.
    const std::uint64_t file_bytes = FileBytes(file);
    const std::int64_t start = file.Position();
    const std::vector<std::uint8_t> directory = ReadHead(file, 6 + 16 * 65535);
    TIconImage shown = ReadIconDirectory(directory.data(), directory.size());
    if (shown.offset < file_bytes) {
        file.SetPosition(start + static_cast<std::int64_t>(shown.offset));
        const std::vector<std::uint8_t> own = ReadHead(file, kIconImageHeaderBytes);
        ReadIconImageHeader(shown, own.data(), own.size());
    }
    return WholeCost(shown.width, shown.height,
                     static_cast<std::uint64_t>(shown.png ? shown.png->ReadBytesPerPixel() + 4 : 8), file_bytes);
}

TPictureLoadCost JpegCost(TStream& file, int band_rows) {
    // Decoded straight into 32-bit pixels, the file read a block at a time.
    const TJpegHeader jpeg = ReadJpegHeader(file);
    TPictureLoadCost cost;
    cost.width = static_cast<std::uint32_t>(jpeg.width);
    cost.height = static_cast<std::uint32_t>(jpeg.height);
    cost.whole = 4 * cost.width * cost.height + jpeg.decoder_bytes;
    cost.banded = 4 * cost.width * static_cast<std::uint64_t>(std::max(band_rows, 1)) + jpeg.decoder_bytes;
    return cost;
}

TPictureLoadCost PngCost(TStream& file, int) {
    // The picture as the toolkit reads it, then as 32-bit pixels, then in the bitmap's layout.
    const std::vector<std::uint8_t> head = ReadHead(file, kPngHeaderBytes);
    const std::optional<TPngHeader> png = ReadPngHeader(head.data(), head.size());
    if (!png) return TPictureLoadCost{};
    return WholeCost(png->width, png->height, static_cast<std::uint64_t>(std::max(png->ReadBytesPerPixel() + 4, 7)), 0);
}

TPictureLoadCost GifCost(TStream& file, int) {
    // The logical screen as the toolkit reads it, then in the bitmap's layout.
    const std::vector<std::uint8_t> head = ReadHead(file, 10);
    if (head.size() != 10) return TPictureLoadCost{};
    return WholeCost(static_cast<std::uint32_t>(head[6] | (head[7] << 8)),
                     static_cast<std::uint32_t>(head[8] | (head[9] << 8)), 8, 0);
}

// --- The graphics and their pixels ---------------------------------------------------------------

std::unique_ptr<TGraphic> NewBitmap() { return std::make_unique<TBitmap>(); }
std::unique_ptr<TGraphic> NewIcon() { return std::make_unique<TIcon>(); }
std::unique_ptr<TGraphic> NewJpeg() { return std::make_unique<TJPEGImage>(); }
std::unique_ptr<TGraphic> NewPng() { return std::make_unique<TDecodedImage>(TDecodedFormat::dfPNG); }
std::unique_ptr<TGraphic> NewGif() { return std::make_unique<TDecodedImage>(TDecodedFormat::dfGIF); }

// Each is given only graphics its own row made (TPictureFormatInfo::pixels).
const TBitmap& BitmapItself(const TGraphic& graphic) { return static_cast<const TBitmap&>(graphic); }
const TBitmap& IconPixels(const TGraphic& graphic) { return static_cast<const TIcon&>(graphic).Bitmap(); }
const TBitmap& JpegPixels(const TGraphic& graphic) { return static_cast<const TJPEGImage&>(graphic).Bitmap(); }

// The toolkit's reader paints a GIF's first image onto its logical screen; the picture service
// shows the image alone.
std::optional<TRect> GifFirstImage(TStream& data) {
    const std::optional<TGifFirstImage> first = FindGifFirstImage(data);
    if (!first) return std::nullopt;
    return first->bounds;
}

void DecodeJpeg32(TStream& file, const TPixelBandStart& start, const TPixelBandDone& band_done) {
    DecodeJpegBands32(file, start, band_done);
}

// --- The registry ---------------------------------------------------------------------------------

constexpr std::array<TPictureFormatInfo, kPictureFormatCount> kFormats = {{
    {.format = TPictureFormat::gfBitmap,
     .extensions = {"bmp"},
     .description = "Bitmaps",
     .signature = "BM"sv,
     .create = NewBitmap,
     .pixels = BitmapItself,
     .load_cost = BitmapCost},
    {.format = TPictureFormat::gfIcon,
     .extensions = {"ico"},
     .description = "Icons",
     .signature = "\0\0\1\0"sv,
     .create = NewIcon,
     .pixels = IconPixels,
     .load_cost = IconCost},
    {.format = TPictureFormat::gfJPEG,
     .extensions = {"jpg", "jpeg"},
     .description = "JPEG Image File",
     .signature = "\xFF\xD8\xFF"sv,
     .create = NewJpeg,
     .pixels = JpegPixels,
     .load_cost = JpegCost,
     .decode32 = DecodeJpeg32},
    {.format = TPictureFormat::gfPNG,
     .extensions = {"png"},
     .description = "Portable Network Graphics",
     .signature = "\x89PNG\r\n\x1A\n"sv,
     .create = NewPng,
     .pixels = BitmapItself,
     .load_cost = PngCost},
    {.format = TPictureFormat::gfGIF,
     .extensions = {"gif"},
     .description = "GIF Image",
     .signature = "GIF8"sv,
     .create = NewGif,
     .pixels = BitmapItself,
     .shown_part = GifFirstImage,
     .load_cost = GifCost},
}};

// A row left out reads as the first format, out of its place.
constexpr bool EveryFormatHasItsRow() {
    for (std::size_t i = 0; i < kFormats.size(); ++i) {
        const TPictureFormatInfo& row = kFormats[i];
        if (row.format != static_cast<TPictureFormat>(i) || row.extensions[0].empty() || row.description.empty() ||
            row.signature.empty() || row.create == nullptr || row.pixels == nullptr || row.load_cost == nullptr) {
            return false;
        }
    }
    return true;
}
static_assert(EveryFormatHasItsRow(), "kFormats holds one whole row for each TPictureFormat, in its order");

std::string_view WithoutDot(std::string_view extension) {
    if (!extension.empty() && extension.front() == '.') extension.remove_prefix(1);
    return extension;
}

// ASCII letters in either case, as file extensions are matched.
bool SameExtension(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace

const std::array<TPictureFormatInfo, kPictureFormatCount>& PictureFormats() { return kFormats; }

const TPictureFormatInfo& PictureFormatInfo(TPictureFormat format) {
    return kFormats[static_cast<std::size_t>(format)];
}

const TPictureFormatInfo* FindPictureFormat(std::string_view extension) {
    const std::string_view key = WithoutDot(extension);
    for (const TPictureFormatInfo& row : kFormats) {
        for (std::string_view own : row.extensions) {
            if (!own.empty() && SameExtension(own, key)) return &row;
        }
    }
    return nullptr;
}

const TPictureFormatInfo* FindPictureFormatOfData(const std::uint8_t* data, std::size_t size) {
    if (data == nullptr) return nullptr;
    for (const TPictureFormatInfo& row : kFormats) {
        if (size >= row.signature.size() && std::memcmp(data, row.signature.data(), row.signature.size()) == 0) {
            return &row;
        }
    }
    return nullptr;
}

bool IsMetafileExtension(std::string_view extension) {
    const std::string_view key = WithoutDot(extension);
    return SameExtension(key, "emf") || SameExtension(key, "wmf");
}

}  // namespace ui
