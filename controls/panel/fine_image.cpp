#include "controls/panel/fine_image.h"

#include "controls/panel/picture_decoding.h"
#include "platform/ui/core/exceptions.h"
#include "platform/ui/forms/stdctrls.h"
#include "platform/ui/graphics/picture.h"

namespace panel {

TFineImage::TFineImage() = default;
TFineImage::~TFineImage() = default;

void TFineImage::Reset() {
    empty_ = true;
    picture_.reset();
}

void TFineImage::Decode() { picture_ = DecodePictureData(data_.Bytes()); }

void TFineImage::TakeData(ui::TStream& stream) {
    data_.LoadFromStream(stream);
    empty_ = false;
    Decode();
}

void TFineImage::Assign(const ui::TPersistent* source) {
    Reset();
    if (source == nullptr) {
        data_.Clear();
        Changed();
        return;
    }
    if (const auto* image = dynamic_cast<const TFineImage*>(source)) {
        if (image == this || image->Empty()) return;
        data_.Clear();
        image->data_.SaveToStream(data_);
        data_.Seek(0, ui::TSeekOrigin::soBeginning);
        empty_ = false;
        Decode();
        Changed();
        return;
    }
    const ui::TGraphic* graphic = nullptr;
    if (const auto* control = dynamic_cast<const ui::TImage*>(source)) {
        graphic = control->Picture().Graphic();
        if (graphic == nullptr) return;
    } else if (const auto* picture = dynamic_cast<const ui::TPicture*>(source)) {
        graphic = picture->Graphic();
    } else {
        graphic = dynamic_cast<const ui::TGraphic*>(source);
    }
    if (graphic == nullptr) return;
    ui::TMemoryStream bytes;
    graphic->SaveToStream(bytes);
    bytes.Seek(0, ui::TSeekOrigin::soBeginning);
    TakeData(bytes);
    Changed();
}

int TFineImage::Width() const { return DecodedWidth(picture_.get()); }
int TFineImage::Height() const { return DecodedHeight(picture_.get()); }

void TFineImage::LoadFromFile(const std::string& file_name) {
    try {
        ui::TFileStream stream(file_name, ui::fmOpenRead | ui::fmShareDenyWrite);
        Reset();
        TakeData(stream);
        Changed();
    } catch (const std::exception&) {
        Reset();
    }
}

void TFineImage::LoadFromStream(ui::TStream& stream) {
    ReadData(stream);
    Changed();
}

void TFineImage::ReadData(ui::TStream& stream) {
    Reset();
    TakeData(stream);
}

void TFineImage::SaveToStream(ui::TStream& stream) const { data_.SaveToStream(stream); }

void TFineImage::Draw(ui::TCanvas& canvas, const ui::TRect& rect) const {
    if (empty_ || !picture_) return;
    RenderStretched(*picture_, canvas, rect);
}

}  // namespace panel
