#include "platform/ui/graphics/decoded_image.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QSize>

#include "platform/ui/graphics/picture_size_limit.h"

namespace ui {

namespace {

const char* FormatName(TDecodedFormat format) { return format == TDecodedFormat::dfPNG ? "PNG" : "GIF"; }
const char* ReaderFormat(TDecodedFormat format) { return format == TDecodedFormat::dfPNG ? "png" : "gif"; }

}  // namespace

void TDecodedImage::LoadFromStream(TStream& stream) {
    const std::vector<std::uint8_t> data = ReadRemaining(stream);
    QByteArray bytes(reinterpret_cast<const char*>(data.data()), static_cast<qsizetype>(data.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, ReaderFormat(format_));
    // The size the header gives, before anything is allocated: a picture too large to load says
    // so, whatever the reader would report once its allocation fails.
    const QSize size = reader.size();
    if (size.isValid()) CheckPictureSize(FormatName(format_), size.width(), size.height());
    // The reader would allocate whatever the header claims; keep it within what bitmaps accept.
    reader.setAllocationLimit(256);
    const QImage image = reader.read();
    if (image.isNull()) {
        throw EInvalidGraphic(std::string(FormatName(format_)) +
                              " image is not valid: " + reader.errorString().toStdString());
    }
    SetImage(image, image.hasAlphaChannel() ? TPixelFormat::pf32bit : TPixelFormat::pf24bit);
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
