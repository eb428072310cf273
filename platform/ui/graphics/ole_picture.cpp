#include "platform/ui/graphics/ole_picture.h"

#include <QImage>

#include <algorithm>
#include <optional>

#include "platform/ui/core/streams.h"
#include "platform/ui/core/sysutils.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/picture_formats.h"

namespace ui {

int HimetricFromPixels(int pixels) { return MulDiv(pixels, 2540, kScreenPixelsPerInch); }
int PixelsFromHimetric(int himetric, int pixels_per_inch) { return MulDiv(himetric, pixels_per_inch, 2540); }

TOlePicture::TOlePicture(std::unique_ptr<QImage> image) : image_(std::move(image)) {
    himetric_width_ = HimetricFromPixels(image_->width());
    himetric_height_ = HimetricFromPixels(image_->height());
}

TOlePicture::~TOlePicture() = default;

std::unique_ptr<TOlePicture> TOlePicture::Load(const std::uint8_t* data, std::size_t size) {
    const TPictureFormatInfo* format = FindPictureFormatOfData(data, size);
    if (format == nullptr) return nullptr;
    std::unique_ptr<TGraphic> graphic = format->create();
    TMemoryStream stream;
    stream.WriteBuffer(data, static_cast<std::int64_t>(size));
    stream.Seek(0, TSeekOrigin::soBeginning);
    try {
        graphic->LoadFromStream(stream);
    } catch (const Exception&) {
        return nullptr;
    }
    QImage pixels = format->pixels(*graphic).Image().convertToFormat(QImage::Format_ARGB32);
    if (pixels.isNull()) return nullptr;
    if (format->shown_part != nullptr) {
        stream.SetPosition(0);
        const std::optional<TRect> shown = format->shown_part(stream);
        if (!shown) return nullptr;
        const QRect area = QRect(shown->Left, shown->Top, shown->Width(), shown->Height()).intersected(pixels.rect());
        if (area.isEmpty()) return nullptr;
        pixels = pixels.copy(area);
    }
    return std::unique_ptr<TOlePicture>(new TOlePicture(std::make_unique<QImage>(std::move(pixels))));
}

void TOlePicture::Render(TCanvas& canvas, int x, int y, int cx, int cy, int src_x, int src_y, int src_cx,
                         int src_cy) const {
    if (cx == 0 || cy == 0 || src_cx == 0 || src_cy == 0 || himetric_width_ <= 0 || himetric_height_ <= 0) return;
    const int w = image_->width();
    const int h = image_->height();
    // HIMETRIC source to pixel rows and columns (rows counted from the top).
    auto column = [&](int hx) { return static_cast<int>(static_cast<long long>(hx) * w / himetric_width_); };
    auto row = [&](int hy) {
        return static_cast<int>(static_cast<long long>(himetric_height_ - hy) * h / himetric_height_);
    };
    const int sx0 = column(src_x), sx1 = column(src_x + src_cx);
    const int sy0 = row(src_y), sy1 = row(src_y + src_cy);
    const QRect source =
        QRect(QPoint(std::min(sx0, sx1), std::min(sy0, sy1)), QPoint(std::max(sx0, sx1) - 1, std::max(sy0, sy1) - 1))
            .intersected(image_->rect());
    if (source.isEmpty()) return;
    // Destination rows run with cy, source rows with sy1 - sy0: the same direction is upright.
    const bool flip_y = (cy > 0) != (sy1 > sy0);
    const bool flip_x = (cx > 0) != (sx1 > sx0);
    QImage part = image_->copy(source);
    if (flip_x || flip_y) part = part.mirrored(flip_x, flip_y);
    const TRect dest{std::min(x, x + cx), std::min(y, y + cy), std::max(x, x + cx), std::max(y, y + cy)};
    canvas.BlendImage(dest, part);
}

}  // namespace ui
