#include "platform/ui/graphics/icon.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include <algorithm>

#include "platform/ui/graphics/decoded_image.h"
#include "platform/ui/graphics/picture_size_limit.h"

namespace ui {

namespace {

[[noreturn]] void Invalid(const std::string& reason) { throw EInvalidGraphic("Icon image is not valid: " + reason); }

std::uint16_t U16(const std::uint8_t* d, std::size_t at) {
    return static_cast<std::uint16_t>(d[at] | (d[at + 1] << 8));
}
std::uint16_t U16(const std::vector<std::uint8_t>& d, std::size_t at) { return U16(d.data(), at); }
std::uint32_t U32(const std::vector<std::uint8_t>& d, std::size_t at) {
    return std::uint32_t{U16(d, at)} | (std::uint32_t{U16(d, at + 2)} << 16);
}

constexpr std::size_t kDirectoryHead = 6;
constexpr std::size_t kDirectoryEntry = 16;

// The bytes of the file its directory's images reach to: a file is read no further.
std::uint64_t DirectoryExtent(const std::vector<std::uint8_t>& directory) {
    const std::size_t count = U16(directory, 4);
    std::uint64_t extent = directory.size();
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t e = kDirectoryHead + kDirectoryEntry * i;
        extent = std::max(extent, std::uint64_t{U32(directory, e + 12)} + U32(directory, e + 8));
    }
    return extent;
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

TIconImage ReadIconDirectory(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> head(data, data + std::min(size, kDirectoryHead));
    if (head.size() < kDirectoryHead) Invalid("no icon directory");
    const std::vector<std::uint8_t> directory(data,
                                              data + std::min(size, kDirectoryHead + kDirectoryEntry * U16(head, 4)));
    const int entry = ChooseEntry(directory);
    const std::size_t e = kDirectoryHead + kDirectoryEntry * static_cast<std::size_t>(entry);
    TIconImage image;
    image.entry = entry;
    image.width = directory[e] == 0 ? 256 : directory[e];
    image.height = directory[e + 1] == 0 ? 256 : directory[e + 1];
    image.bytes = U32(directory, e + 8);
    image.offset = U32(directory, e + 12);
    return image;
}

void ReadIconImageHeader(TIconImage& image, const std::uint8_t* own, std::size_t size) {
    size = static_cast<std::size_t>(std::min<std::uint64_t>(size, image.bytes));
    if (const std::optional<TPngHeader> png = ReadPngHeader(own, size)) {
        image.width = png->width;
        image.height = png->height;
        image.png = png;
    } else if (size >= 12 && U16(own, 0) == 40 && U16(own, 2) == 0) {
        const auto width = static_cast<std::int32_t>(U16(own, 4) | (std::uint32_t{U16(own, 6)} << 16));
        const auto height = static_cast<std::int32_t>(U16(own, 8) | (std::uint32_t{U16(own, 10)} << 16));
        image.width = static_cast<std::uint32_t>(std::max(width, 0));
        image.height = static_cast<std::uint32_t>(std::max(height, 0)) / 2;
    }
}

void TIcon::LoadFromStream(TStream& stream) {
    // The directory first, then no more of the file than its images reach to.
    const std::int64_t available = std::max<std::int64_t>(stream.Size() - stream.Position(), 0);
    auto read_up_to = [&](std::vector<std::uint8_t>& data, std::uint64_t wanted) {
        wanted = std::min(wanted, static_cast<std::uint64_t>(available));
        if (wanted <= data.size()) return;
        const std::size_t have = data.size();
        data.resize(static_cast<std::size_t>(wanted));
        stream.ReadBuffer(data.data() + have, static_cast<std::int64_t>(wanted - have));
    };
    std::vector<std::uint8_t> data;
    read_up_to(data, kDirectoryHead);
    if (data.size() < kDirectoryHead) Invalid("no icon directory");
    read_up_to(data, kDirectoryHead + kDirectoryEntry * U16(data, 4));
    if (data.size() == kDirectoryHead + kDirectoryEntry * U16(data, 4)) read_up_to(data, DirectoryExtent(data));
    // The image shown is checked as a picture of its own format is, before anything decodes it.
    TIconImage shown = ReadIconDirectory(data.data(), data.size());
    const std::size_t own = static_cast<std::size_t>(std::min<std::uint64_t>(shown.offset, data.size()));
    ReadIconImageHeader(shown, data.data() + own, data.size() - own);
    CheckPictureSize("Icon", shown.width, shown.height);
    if (shown.png) {
        CheckPictureData("Icon", shown.width, shown.height, shown.png->UnpackedBytes(),
                         std::min<std::uint64_t>(shown.bytes, data.size() - own), kDeflateMostPerByte);
    }
    QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data.data()), static_cast<qsizetype>(data.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    const std::uint64_t picture_bytes = std::uint64_t{shown.width} * shown.height *
                                        static_cast<std::uint64_t>(shown.png ? shown.png->ReadBytesPerPixel() : 4);
    reader.setAllocationLimit(static_cast<int>((picture_bytes >> 20) + 1));
    const int entry = shown.entry;
    if (!reader.jumpToImage(entry) && entry != 0) Invalid("image " + std::to_string(entry) + " cannot be reached");
    QImage image = reader.read();
    if (image.isNull()) Invalid(reader.errorString().toStdString());
    auto pixels = std::make_unique<TBitmap>();
    pixels->SetImage(std::move(image), TPixelFormat::pf32bit);
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
