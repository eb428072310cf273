#include "platform/ui/graphics/decoded_image.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QSize>

#include <algorithm>
#include <cstring>
#include <optional>

#include "platform/ui/graphics/gif_blocks.h"
#include "platform/ui/graphics/picture_size_limit.h"
#include "platform/ui/graphics/stream_device.h"

namespace ui {

namespace {

const char* FormatName(TDecodedFormat format) { return format == TDecodedFormat::dfPNG ? "PNG" : "GIF"; }
const char* ReaderFormat(TDecodedFormat format) { return format == TDecodedFormat::dfPNG ? "png" : "gif"; }

[[noreturn]] void Invalid(TDecodedFormat format, const std::string& reason) {
    throw EInvalidGraphic(std::string(FormatName(format)) + " image is not valid: " + reason);
}

std::uint32_t BigEndian32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

// Samples a pixel has for each colour type of the image header: grey, -, RGB, palette index,
// grey and alpha, -, RGBA.
int SamplesPerPixel(std::uint8_t colour_type) {
    switch (colour_type) {
    case 2:
        return 3;
    case 4:
        return 2;
    case 6:
        return 4;
    default:
        return 1;
    }
}

// What a PNG's header allows to be checked before its pixels are read: the size limit, and no
// more pixels than its data can unpack to. Returns the bytes a pixel takes as the toolkit reads
// it. Reads from the stream's position and puts it back.
int CheckPng(TStream& stream, std::uint64_t data_bytes) {
    const std::int64_t start = stream.Position();
    std::uint8_t head[kPngHeaderBytes] = {};
    const std::int64_t got = stream.Read(head, sizeof head);
    stream.SetPosition(start);
    const std::optional<TPngHeader> png = ReadPngHeader(head, got > 0 ? static_cast<std::size_t>(got) : 0);
    if (!png) return 4;  // the reader names what is wrong
    CheckPictureSize("PNG", png->width, png->height);
    CheckPictureData("PNG", png->width, png->height, png->UnpackedBytes(), data_bytes, kDeflateMostPerByte);
    return png->ReadBytesPerPixel();
}

// A GIF shows its first image: a file cut inside it is refused, as is an image of more pixels
// than its data can unpack to. Reads from the stream's position and puts it back.
std::optional<TGifFirstImage> CheckGif(TStream& stream) {
    const std::int64_t start = stream.Position();
    const std::optional<TGifFirstImage> first = FindGifFirstImage(stream);
    stream.SetPosition(start);
    if (!first) return first;  // the reader names what is wrong
    if (!first->whole) Invalid(TDecodedFormat::dfGIF, "data is truncated");
    const auto width = static_cast<std::uint64_t>(first->bounds.Width());
    const auto height = static_cast<std::uint64_t>(first->bounds.Height());
    CheckPictureSize("GIF", width, height);
    CheckPictureData("GIF", width, height, width * height, first->data_bytes, kLzwMostPerByte);
    return first;
}

}  // namespace

std::uint64_t TPngHeader::UnpackedBytes() const {
    const std::uint64_t bits = std::uint64_t{bit_depth} * static_cast<std::uint64_t>(SamplesPerPixel(colour_type));
    // Interlaced rows come in seven passes of their own lengths; their pixels at least.
    if (interlaced) return (std::uint64_t{width} * height * bits + 7) / 8;
    return std::uint64_t{height} * (1 + (std::uint64_t{width} * bits + 7) / 8);
}

std::optional<TPngHeader> ReadPngHeader(const std::uint8_t* data, std::size_t size) {
    static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size < kPngHeaderBytes || std::memcmp(data, kSignature, 8) != 0 || std::memcmp(data + 12, "IHDR", 4) != 0) {
        return std::nullopt;
    }
    TPngHeader header;
    header.width = BigEndian32(data + 16);
    header.height = BigEndian32(data + 20);
    header.bit_depth = data[24];
    header.colour_type = data[25];
    header.interlaced = data[28] != 0;
    return header;
}

void TDecodedImage::LoadFromStream(TStream& stream) {
    const auto data_bytes = static_cast<std::uint64_t>(std::max<std::int64_t>(stream.Size() - stream.Position(), 0));
    // The headers first, read straight from the stream; the reader then reads it a piece at a time.
    int bytes_per_pixel = 4;
    // The reader grows its picture past a GIF's logical screen to hold the first image, and reads
    // on to the end of the file after it: it is given the file up to the image's end.
    QSize reach;
    std::int64_t length = -1;
    if (format_ == TDecodedFormat::dfPNG) {
        bytes_per_pixel = CheckPng(stream, data_bytes);
    } else if (const std::optional<TGifFirstImage> first = CheckGif(stream)) {
        reach = QSize(first->bounds.Right, first->bounds.Bottom);
        length = static_cast<std::int64_t>(first->end);
    }
    TStreamDevice device(stream, length);
    QImageReader reader(&device, ReaderFormat(format_));
    // The size the header gives, before anything is allocated: a picture too large to load says
    // so, whatever the reader would report once its allocation fails.
    QSize size = reader.size();
    if (size.isValid()) {
        CheckPictureSize(FormatName(format_), size.width(), size.height());
        size = size.expandedTo(reach);
        CheckPictureSize(FormatName(format_), size.width(), size.height());
    }
    // The reader allocates what the header claims: no more than the picture the checks above
    // passed takes as it reads it (or one of the size limit when it tells no size).
    const std::uint64_t pixels =
        size.isValid() ? static_cast<std::uint64_t>(size.width()) * size.height() : kMaxPicturePixels;
    reader.setAllocationLimit(static_cast<int>(((pixels * static_cast<std::uint64_t>(bytes_per_pixel)) >> 20) + 1));
    QImage image = reader.read();
    if (image.isNull()) Invalid(format_, reader.errorString().toStdString());
    const bool alpha = image.hasAlphaChannel();
    SetImage(std::move(image), alpha ? TPixelFormat::pf32bit : TPixelFormat::pf24bit);
}

void TDecodedImage::SaveToStream(TStream& stream) const {
    if (Empty()) return;
    if (format_ == TDecodedFormat::dfGIF) throw EInvalidGraphicOperation("Cannot save GIF images");
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(Image())) {
        throw EInvalidGraphicOperation("Cannot save PNG image: " + writer.errorString().toStdString());
    }
    stream.WriteBuffer(bytes.constData(), bytes.size());
}

}  // namespace ui
