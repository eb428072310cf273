#include "platform/ui/graphics/picture.h"

namespace ui {

namespace {

// The extension of a file name: after the last dot of its last path element, or empty.
std::string ExtensionOf(const std::string& file_name) {
    const std::size_t slash = file_name.find_last_of('/');
    const std::size_t dot = file_name.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    return file_name.substr(dot + 1);
}

// The file's format when its decoder writes 32-bit pixels itself, else nullptr.
const TPictureFormatInfo* DecodedToPixels32(const std::string& file_name) {
    const TPictureFormatInfo* format = FindPictureFormat(ExtensionOf(file_name));
    return format != nullptr && format->decode32 != nullptr ? format : nullptr;
}

// The file opened as TGraphic::LoadFromFile opens it, so that a missing file fails alike.
std::unique_ptr<TFileStream> OpenPictureFile(const std::string& file_name) {
    return std::make_unique<TFileStream>(file_name, fmOpenRead | fmShareDenyWrite);
}

}  // namespace

std::unique_ptr<TGraphic> CreateGraphicForExtension(const std::string& extension) {
    if (const TPictureFormatInfo* format = FindPictureFormat(extension)) return format->create();
    const std::string ext = !extension.empty() && extension.front() == '.' ? extension.substr(1) : extension;
    if (IsMetafileExtension(ext)) {
        throw EInvalidGraphic("Metafiles are not supported on this platform (." + ext + ")");
    }
    throw EInvalidGraphic("Unknown picture file extension (." + ext + ")");
}

bool LoadPictureFilePixels32(const std::string& file_name,
                             const std::function<std::uint8_t*(int width, int height)>& pixels_for) {
    const TPictureFormatInfo* format = DecodedToPixels32(file_name);
    if (format == nullptr) return false;
    format->decode32(*OpenPictureFile(file_name),
                     [&](int width, int height) {
                         return TPixelBand{pixels_for(width, height), height};
                     },
                     {});
    return true;
}

bool LoadPictureFileBands32(const std::string& file_name, const TPixelBandStart& start,
                            const TPixelBandDone& band_done) {
    const TPictureFormatInfo* format = DecodedToPixels32(file_name);
    if (format == nullptr) return false;
    format->decode32(*OpenPictureFile(file_name), start, band_done);
    return true;
}

TPictureLoadCost PictureFileLoadCost(const std::string& file_name, int band_rows) {
    try {
        const std::unique_ptr<TFileStream> file = OpenPictureFile(file_name);
        const TPictureFormatInfo* format = FindPictureFormat(ExtensionOf(file_name));
        return format != nullptr ? format->load_cost(*file, band_rows) : TPictureLoadCost{};
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
