#include "platform/ui/graphics/bitmap.h"

#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QImage>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/ui/graphics/bmp_codec.h"

namespace ui {

namespace {

QImage::Format QtFormat(TPixelFormat format) {
    return format == TPixelFormat::pf32bit ? QImage::Format_ARGB32 : QImage::Format_BGR888;
}

int BytesPerPixel(TPixelFormat format) { return format == TPixelFormat::pf32bit ? 4 : 3; }

// A new white, opaque image; a zero size gives the null image.
QImage MakeImage(int width, int height, TPixelFormat format) {
    if (width <= 0 || height <= 0) return QImage();
    QImage image(width, height, QtFormat(format));
    if (image.isNull()) throw EOutOfResources("Out of system resources");
    image.fill(QColor(255, 255, 255, 255));
    return image;
}

// Converts between our two layouts on the bytes: 24 -> 32 makes alpha 255, 32 -> 24 drops it.
QImage ConvertLayout(const QImage& source, TPixelFormat to) {
    QImage out = MakeImage(source.width(), source.height(), to);
    for (int y = 0; y < source.height(); ++y) {
        const uchar* in = source.constScanLine(y);
        uchar* dst = out.scanLine(y);
        for (int x = 0; x < source.width(); ++x) {
            if (to == TPixelFormat::pf32bit) {
                std::memcpy(dst + 4 * x, in + 3 * x, 3);
                dst[4 * x + 3] = 0xFF;
            } else {
                std::memcpy(dst + 3 * x, in + 4 * x, 3);
            }
        }
    }
    return out;
}

// The toolkit hands a conversion of more than 2 x 65536 pixels to threads of its own pool. A
// picture is already decoded on one thread of the program's pool, with the other pictures on the
// others, so it is converted on that thread, a band of rows at a time that the toolkit keeps
// there (which also leaves the thread checker no threads it cannot follow).
QImage ConvertedOnThisThread(const QImage& source, QImage::Format format) {
    if (source.format() == format || source.isNull()) return source;
    QImage out(source.size(), format);
    if (out.isNull()) throw EOutOfResources("Out of system resources");
    const int band = std::max(1, 65536 / std::max(source.width(), 1));
    for (int y = 0; y < source.height(); y += band) {
        const int rows = std::min(band, source.height() - y);
        QImage part(source.constScanLine(y), source.width(), rows, source.bytesPerLine(), source.format());
        part.setColorTable(source.colorTable());
        const QImage converted = part.convertToFormat(format);
        const auto bytes = static_cast<std::size_t>(std::min(converted.bytesPerLine(), out.bytesPerLine()));
        for (int r = 0; r < rows; ++r) std::memcpy(out.scanLine(y + r), converted.constScanLine(r), bytes);
    }
    return out;
}

}  // namespace

TBitmap::TBitmap() : image_(std::make_unique<QImage>()), canvas_(std::make_unique<TCanvas>(image_.get())) {
    canvas_->OnChange = [this](TPersistent*) { Changed(); };
}

TBitmap::~TBitmap() = default;

void TBitmap::Assign(const TPersistent* source) {
    if (source == nullptr) {
        SetSize(0, 0);
        return;
    }
    if (const auto* bitmap = dynamic_cast<const TBitmap*>(source)) {
        if (bitmap == this) return;
        // Qt shares the pixels until either side writes: a cheap copy with value semantics.
        *image_ = *bitmap->image_;
        width_ = bitmap->width_;
        height_ = bitmap->height_;
        pixel_format_ = bitmap->pixel_format_;
        transparent_mode_ = bitmap->transparent_mode_;
        transparent_color_ = bitmap->transparent_color_;
        SetTransparent(bitmap->Transparent());
        Changed();
        return;
    }
    TGraphic::Assign(source);
}

void TBitmap::AssignTo(TPersistent* dest) const { TGraphic::AssignTo(dest); }

int TBitmap::Width() const { return width_; }
int TBitmap::Height() const { return height_; }
void TBitmap::SetWidth(int width) { SetSize(width, height_); }
void TBitmap::SetHeight(int height) { SetSize(width_, height); }
bool TBitmap::Empty() const { return width_ == 0 || height_ == 0; }

void TBitmap::SetSize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == width_ && height == height_) return;
    QImage next = MakeImage(width, height, pixel_format_);
    if (!next.isNull() && !image_->isNull()) {
        const int rows = std::min(height, image_->height());
        const auto bytes = static_cast<std::size_t>(std::min(width, image_->width()) * BytesPerPixel(pixel_format_));
        for (int y = 0; y < rows; ++y) std::memcpy(next.scanLine(y), image_->constScanLine(y), bytes);
    }
    *image_ = std::move(next);
    width_ = width;
    height_ = height;
    Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
    if (format == pixel_format_) return;
    if (!image_->isNull()) *image_ = ConvertLayout(*image_, format);
    pixel_format_ = format;
    Changed();
}

std::uint8_t* TBitmap::ScanLine(int row) {
    if (row < 0 || row >= height_ || image_->isNull()) {
        throw EInvalidGraphicOperation("Scan line index out of range");
    }
    return image_->scanLine(row);
}

const std::uint8_t* TBitmap::ScanLine(int row) const {
    if (row < 0 || row >= height_ || image_->isNull()) {
        throw EInvalidGraphicOperation("Scan line index out of range");
    }
    return image_->constScanLine(row);
}

int TBitmap::BytesPerScanLine() const {
    const int bits = pixel_format_ == TPixelFormat::pf32bit ? 32 : 24;
    return static_cast<int>(((static_cast<long long>(width_) * bits + 31) / 32) * 4);
}

TColor TBitmap::TransparentColor() const {
    if (transparent_mode_ == TTransparentMode::tmFixed) return transparent_color_;
    if (Empty()) return clDefault;
    return canvas_->Pixels(0, height_ - 1);
}

void TBitmap::SetTransparentColor(TColor color) {
    if (transparent_mode_ == TTransparentMode::tmFixed && transparent_color_ == color) return;
    transparent_color_ = color;
    transparent_mode_ = TTransparentMode::tmFixed;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode mode) {
    if (mode == transparent_mode_) return;
    transparent_mode_ = mode;
    Changed();
}

void TBitmap::LoadFromResourceName(const std::string& name) {
    QFile file(QString::fromStdString(":/bitmaps/" + name + ".bmp"));
    if (!file.open(QIODevice::ReadOnly)) throw EResNotFound("Resource " + name + " not found");
    const QByteArray bytes = file.readAll();
    TMemoryStream stream;
    stream.Write(bytes.constData(), bytes.size());
    stream.Seek(0, TSeekOrigin::soBeginning);
    LoadFromStream(stream);
}

void TBitmap::LoadFromStream(TStream& stream) {
    // The headers first, then only as much of the rest as they give the picture: a huge file
    // behind a small picture is not read into memory.
    const std::int64_t available = std::max<std::int64_t>(stream.Size() - stream.Position(), 0);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::min<std::int64_t>(available, bmp::kLayoutBytes)));
    stream.ReadBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    if (static_cast<std::int64_t>(bytes.size()) < available) {
        const std::uint64_t wanted =
            std::min(static_cast<std::uint64_t>(available), bmp::ReadLayout(bytes.data(), bytes.size()).file_bytes);
        const std::size_t head = bytes.size();
        if (wanted > head) {
            bytes.resize(static_cast<std::size_t>(wanted));
            stream.ReadBuffer(bytes.data() + head, static_cast<std::int64_t>(wanted - head));
        }
    }
    const bmp::DecodedBmp decoded = bmp::Decode(bytes.data(), bytes.size());
    const TPixelFormat format = decoded.has_alpha ? TPixelFormat::pf32bit : TPixelFormat::pf24bit;
    auto image = std::make_unique<QImage>(MakeImage(decoded.width, decoded.height, format));
    for (int y = 0; y < decoded.height; ++y) {
        const std::uint32_t* row = decoded.pixels.data() + static_cast<std::size_t>(y) * decoded.width;
        uchar* out = image->scanLine(y);
        for (int x = 0; x < decoded.width; ++x) {
            if (format == TPixelFormat::pf32bit) {
                std::memcpy(out + 4 * x, &row[x], 4);
            } else {
                std::memcpy(out + 3 * x, &row[x], 3);
            }
        }
    }
    ReplaceImage(std::move(image), format);
}

void TBitmap::SaveToStream(TStream& stream) const {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width_) * height_);
    for (int y = 0; y < height_ && !image_->isNull(); ++y) {
        const uchar* in = image_->constScanLine(y);
        std::uint32_t* out = pixels.data() + static_cast<std::size_t>(y) * width_;
        for (int x = 0; x < width_; ++x) {
            if (pixel_format_ == TPixelFormat::pf32bit) {
                std::memcpy(&out[x], in + 4 * x, 4);
            } else {
                out[x] = 0xFF000000u | (std::uint32_t{in[3 * x + 2]} << 16) | (std::uint32_t{in[3 * x + 1]} << 8) |
                         in[3 * x];
            }
        }
    }
    const std::vector<std::uint8_t> file = bmp::Encode32(pixels.data(), width_, height_);
    stream.WriteBuffer(file.data(), static_cast<std::int64_t>(file.size()));
}

void TBitmap::Draw(TCanvas& canvas, const TRect& rect) const {
    if (Empty()) return;
    const TRect all{0, 0, width_, height_};
    if (Transparent()) {
        const TColor key = TransparentColor();
        canvas.CopyImage(rect, *image_, all, &key);
    } else {
        canvas.CopyImage(rect, *image_, all);
    }
}

void TBitmap::SetImage(QImage image, TPixelFormat format) {
    // A large picture is held at most twice at any time: as read and converted, then converted
    // and in this bitmap's layout.
    image = ConvertedOnThisThread(image, QImage::Format_ARGB32);
    if (format != TPixelFormat::pf32bit) image = ConvertLayout(image, format);
    ReplaceImage(std::make_unique<QImage>(std::move(image)), format);
}

void TBitmap::ReplaceImage(std::unique_ptr<QImage> image, TPixelFormat format) {
    // The canvas keeps pointing at image_, so the pixels move into it rather than replace it.
    *image_ = std::move(*image);
    width_ = image_->width();
    height_ = image_->height();
    pixel_format_ = format;
    Changed();
}

}  // namespace ui
