#include "platform/ui/graphics/icon.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

namespace ui {

namespace {

[[noreturn]] void Invalid(const std::string& reason) { throw EInvalidGraphic("Icon image is not valid: " + reason); }

std::uint16_t U16(const std::vector<std::uint8_t>& d, std::size_t at) {
    return static_cast<std::uint16_t>(d[at] | (d[at + 1] << 8));
}

// Picks the directory entry to show: the largest image, the deepest among equal sizes. The
// directory is read here (bounded by the data) because the toolkit's reader hands out every
// image already converted to 32 bits, which hides the depth.
int ChooseEntry(const std::vector<std::uint8_t>& data) {
    if (data.size() < 6 || U16(data, 0) != 0 || U16(data, 2) != 1) Invalid("no icon directory");
    const int count = U16(data, 4);
    if (count == 0) Invalid("no images");
    if (data.size() < 6 + 16 * static_cast<std::size_t>(count)) Invalid("directory is truncated");
    int best = -1;
    long long best_area = -1;
    int best_bits = -1;
    for (int i = 0; i < count; ++i) {
        const std::size_t e = 6 + 16 * static_cast<std::size_t>(i);
        const int w = data[e] == 0 ? 256 : data[e];
        const int h = data[e + 1] == 0 ? 256 : data[e + 1];
        const int bits = U16(data, e + 6);
        const long long area = static_cast<long long>(w) * h;
        if (area > best_area || (area == best_area && bits > best_bits)) {
            best = i;
            best_area = area;
            best_bits = bits;
        }
    }
    return best;
}

}  // namespace

TIcon::TIcon() : bitmap_(std::make_unique<TBitmap>()) {}

TIcon::~TIcon() = default;

void TIcon::Assign(const TPersistent* source) {
    if (const auto* icon = dynamic_cast<const TIcon*>(source)) {
        if (icon == this) return;
        bitmap_->Assign(icon->bitmap_.get());
        data_ = icon->data_;
        Changed();
        return;
    }
    TGraphic::Assign(source);
}

void TIcon::AssignTo(TPersistent* dest) const {
    if (auto* bitmap = dynamic_cast<TBitmap*>(dest)) {
        bitmap->Assign(bitmap_.get());
        return;
    }
    TGraphic::AssignTo(dest);
}

int TIcon::Width() const { return bitmap_->Width(); }
int TIcon::Height() const { return bitmap_->Height(); }
void TIcon::SetWidth(int) { throw EInvalidGraphicOperation("Cannot change the size of an icon"); }
void TIcon::SetHeight(int) { throw EInvalidGraphicOperation("Cannot change the size of an icon"); }
bool TIcon::Empty() const { return bitmap_->Empty(); }

void TIcon::LoadFromStream(TStream& stream) {
    std::vector<std::uint8_t> data = ReadRemaining(stream);
    const int entry = ChooseEntry(data);
    QByteArray bytes(reinterpret_cast<const char*>(data.data()), static_cast<qsizetype>(data.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    if (!reader.jumpToImage(entry) && entry != 0) Invalid("image " + std::to_string(entry) + " cannot be reached");
    const QImage image = reader.read();
    if (image.isNull()) Invalid(reader.errorString().toStdString());
    auto pixels = std::make_unique<TBitmap>();
    pixels->SetImage(image, TPixelFormat::pf32bit);
    bitmap_ = std::move(pixels);
    data_ = std::move(data);
    Changed();
}

void TIcon::SaveToStream(TStream& stream) const {
    stream.WriteBuffer(data_.data(), static_cast<std::int64_t>(data_.size()));
}

void TIcon::Draw(TCanvas& canvas, const TRect& rect) const {
    if (!Empty()) canvas.BlendImage(rect, bitmap_->Image());
}

}  // namespace ui
