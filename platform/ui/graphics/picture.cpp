#include "platform/ui/graphics/picture.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <functional>
#include <optional>

#include "platform/ui/graphics/bmp_codec.h"
#include "platform/ui/graphics/decoded_image.h"
#include "platform/ui/graphics/icon.h"
#include "platform/ui/graphics/jpeg.h"

namespace ui {

namespace {

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// The formats the pictures of the program come in, by file extension. Fixed: nothing registers
// formats at run time.
struct Format {
    const char* extension;
    std::unique_ptr<TGraphic> (*create)();
};

constexpr std::array<Format, 6> kFormats = {{
    {"bmp", [] { return std::unique_ptr<TGraphic>(std::make_unique<TBitmap>()); }},
    {"ico", [] { return std::unique_ptr<TGraphic>(std::make_unique<TIcon>()); }},
    {"jpg", [] { return std::unique_ptr<TGraphic>(std::make_unique<TJPEGImage>()); }},
    {"jpeg", [] { return std::unique_ptr<TGraphic>(std::make_unique<TJPEGImage>()); }},
    {"png", [] { return std::unique_ptr<TGraphic>(std::make_unique<TDecodedImage>(TDecodedFormat::dfPNG)); }},
    {"gif", [] { return std::unique_ptr<TGraphic>(std::make_unique<TDecodedImage>(TDecodedFormat::dfGIF)); }},
}};

// The extension of a file name: after the last dot of its last path element, or empty.
std::string ExtensionOf(const std::string& file_name) {
    const std::size_t slash = file_name.find_last_of('/');
    const std::size_t dot = file_name.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    return file_name.substr(dot + 1);
}

}  // namespace

std::unique_ptr<TGraphic> CreateGraphicForExtension(const std::string& extension) {
    std::string ext = extension;
    if (!ext.empty() && ext.front() == '.') ext.erase(0, 1);
    const std::string key = Lower(ext);
    for (const Format& f : kFormats) {
        if (key == f.extension) return f.create();
    }
    if (key == "emf" || key == "wmf") {
        throw EInvalidGraphic("Metafiles are not supported on this platform (." + ext + ")");
    }
    throw EInvalidGraphic("Unknown picture file extension (." + ext + ")");
}

namespace {

// Whether the file's format has a decoder that writes 32-bit pixels itself (JPEG).
bool DecodesPixels32(const std::string& file_name) {
    const std::string key = Lower(ExtensionOf(file_name));
    const auto format =
        std::find_if(kFormats.begin(), kFormats.end(), [&](const Format& f) { return key == f.extension; });
    return format != kFormats.end() && dynamic_cast<TJPEGImage*>(format->create().get()) != nullptr;
}

// The file opened as TGraphic::LoadFromFile opens it, so that a missing file fails alike.
std::unique_ptr<TFileStream> OpenPictureFile(const std::string& file_name) {
    return std::make_unique<TFileStream>(file_name, fmOpenRead | fmShareDenyWrite);
}

std::uint64_t FileBytes(TStream& stream) {
    return static_cast<std::uint64_t>(std::max<std::int64_t>(stream.Size() - stream.Position(), 0));
}

// Up to `count` bytes from the stream's position.
std::vector<std::uint8_t> ReadHead(TStream& stream, std::size_t count) {
    std::vector<std::uint8_t> head(static_cast<std::size_t>(std::min<std::uint64_t>(count, FileBytes(stream))));
    stream.ReadBuffer(head.data(), static_cast<std::int64_t>(head.size()));
    return head;
}

// The memory a format's load takes, from the file's headers, in bytes a pixel at the decoder's
// peak (and the file's bytes where it is read whole).
TPictureLoadCost CostOf(const std::string& key, TStream& file, int band_rows) {
    TPictureLoadCost cost;
    const std::uint64_t file_bytes = FileBytes(file);
    std::uint64_t bytes_per_pixel = 0;
    std::uint64_t held_file_bytes = 0;
    if (key == "jpg" || key == "jpeg") {
        // Decoded straight into 32-bit pixels, the file read a block at a time.
        const TJpegHeader jpeg = ReadJpegHeader(file);
        cost.width = static_cast<std::uint32_t>(jpeg.width);
        cost.height = static_cast<std::uint32_t>(jpeg.height);
        cost.whole = 4 * cost.width * cost.height + jpeg.decoder_bytes;
        cost.banded = 4 * cost.width * static_cast<std::uint64_t>(std::max(band_rows, 1)) + jpeg.decoder_bytes;
        return cost;
    }
    if (key == "bmp") {
        // The pixel part of the file, the decoded pixels and the bitmap they go into.
        const std::vector<std::uint8_t> head = ReadHead(file, bmp::kLayoutBytes);
        const bmp::BmpLayout layout = bmp::ReadLayout(head.data(), head.size());
        cost.width = static_cast<std::uint32_t>(layout.width);
        cost.height = static_cast<std::uint32_t>(layout.height);
        bytes_per_pixel = 8;
        held_file_bytes = std::min(file_bytes, layout.file_bytes);
    } else if (key == "png") {
        // The picture as the toolkit reads it, then as 32-bit pixels, then in the bitmap's layout.
        const std::vector<std::uint8_t> head = ReadHead(file, kPngHeaderBytes);
        if (const std::optional<TPngHeader> png = ReadPngHeader(head.data(), head.size())) {
            cost.width = png->width;
            cost.height = png->height;
            bytes_per_pixel = static_cast<std::uint64_t>(std::max(png->ReadBytesPerPixel() + 4, 7));
        }
    } else if (key == "gif") {
        // The logical screen as the toolkit reads it, then in the bitmap's layout.
        const std::vector<std::uint8_t> head = ReadHead(file, 10);
        if (head.size() == 10) {
            cost.width = static_cast<std::uint32_t>(head[6] | (head[7] << 8));
            cost.height = static_cast<std::uint32_t>(head[8] | (head[9] << 8));
            bytes_per_pixel = 8;
        }
    } else if (key == "ico") {
        // The file up to its images' end, the image shown as the toolkit reads it and in 32 bits.
        const std::int64_t start = file.Position();
        const std::vector<std::uint8_t> directory = ReadHead(file, 6 + 16 * 65535);
        TIconImage shown = ReadIconDirectory(directory.data(), directory.size());
        if (shown.offset < file_bytes) {
            file.SetPosition(start + static_cast<std::int64_t>(shown.offset));
            const std::vector<std::uint8_t> own = ReadHead(file, kIconImageHeaderBytes);
            ReadIconImageHeader(shown, own.data(), own.size());
        }
        cost.width = shown.width;
        cost.height = shown.height;
        bytes_per_pixel = static_cast<std::uint64_t>(shown.png ? shown.png->ReadBytesPerPixel() + 4 : 8);
        held_file_bytes = file_bytes;
    }
    cost.whole = held_file_bytes + bytes_per_pixel * cost.width * cost.height;
    cost.banded = cost.whole;
    return cost;
}

}  // namespace

bool LoadPictureFilePixels32(const std::string& file_name,
                             const std::function<std::uint8_t*(int width, int height)>& pixels_for) {
    if (!DecodesPixels32(file_name)) return false;
    DecodeJpegPixels32(*OpenPictureFile(file_name), pixels_for);
    return true;
}

bool LoadPictureFileBands32(const std::string& file_name, int band_rows,
                            const std::function<std::uint8_t*(int width, int height)>& start,
                            const std::function<std::uint8_t*(int first, int count)>& band_done) {
    if (!DecodesPixels32(file_name)) return false;
    DecodeJpegBands32(*OpenPictureFile(file_name), band_rows, start, band_done);
    return true;
}

TPictureLoadCost PictureFileLoadCost(const std::string& file_name, int band_rows) {
    const std::string key = Lower(ExtensionOf(file_name));
    try {
        const std::unique_ptr<TFileStream> file = OpenPictureFile(file_name);
        return CostOf(key, *file, band_rows);
    } catch (const Exception&) {
        // Loading it fails too, and says why.
        return TPictureLoadCost{};
    }
}

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Assign(const TPersistent* source) {
    if (source == nullptr) {
        SetGraphic(std::unique_ptr<TGraphic>());
        return;
    }
    if (const auto* picture = dynamic_cast<const TPicture*>(source)) {
        if (picture != this) SetGraphic(picture->Graphic());
        return;
    }
    if (const auto* graphic = dynamic_cast<const TGraphic*>(source)) {
        SetGraphic(graphic);
        return;
    }
    TPersistent::Assign(source);
}

void TPicture::AssignTo(TPersistent* dest) const {
    if (graphic_ != nullptr && dynamic_cast<TGraphic*>(dest) != nullptr) {
        dest->Assign(graphic_.get());
        return;
    }
    TPersistent::AssignTo(dest);
}

void TPicture::SetGraphic(const TGraphic* graphic) {
    if (graphic == nullptr) {
        SetGraphic(std::unique_ptr<TGraphic>());
        return;
    }
    if (graphic == graphic_.get()) return;
    std::unique_ptr<TGraphic> copy = graphic->NewOfSameClass();
    copy->Assign(graphic);
    SetGraphic(std::move(copy));
}

void TPicture::SetGraphic(std::unique_ptr<TGraphic> graphic) {
    graphic_ = std::move(graphic);
    Hook();
    Changed();
}

TBitmap& TPicture::Bitmap() {
    auto* bitmap = dynamic_cast<TBitmap*>(graphic_.get());
    if (bitmap == nullptr) {
        auto fresh = std::make_unique<TBitmap>();
        bitmap = fresh.get();
        SetGraphic(std::move(fresh));
    }
    return *bitmap;
}

int TPicture::Width() const { return graphic_ ? graphic_->Width() : 0; }
int TPicture::Height() const { return graphic_ ? graphic_->Height() : 0; }

void TPicture::LoadFromFile(const std::string& file_name) {
    std::unique_ptr<TGraphic> graphic = CreateGraphicForExtension(ExtensionOf(file_name));
    graphic->LoadFromFile(file_name);
    SetGraphic(std::move(graphic));
}

void TPicture::SaveToFile(const std::string& file_name) const {
    if (graphic_ != nullptr && !graphic_->Empty()) graphic_->SaveToFile(file_name);
}

void TPicture::Changed() {
    if (OnChange) OnChange(this);
}

void TPicture::Hook() {
    if (graphic_ != nullptr) graphic_->OnChange = [this](TPersistent*) { Changed(); };
}

}  // namespace ui
