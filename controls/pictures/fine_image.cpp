#include "controls/pictures/fine_image.h"

#include "controls/pictures/picture_decoding.h"
#include "platform/ui/forms/stdctrls.h"
#include "platform/ui/graphics/picture.h"

namespace panel {

void TFineImage::Assign(const ui::TPersistent* source) {
    if (source == this) return;
    Forget();
    if (source == nullptr) {
        data_.Clear();
        Changed();
        return;
    }
    if (const auto* image = dynamic_cast<const TFineImage*>(source)) {
        if (image->Empty()) return;
        CopyData(*image);
        Changed();
        return;
    }
    const ui::TGraphic* graphic = nullptr;
    if (const auto* control = dynamic_cast<const ui::TImage*>(source)) {
        graphic = control->Picture().Graphic();
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

void TFineImage::Draw(ui::TCanvas& canvas, const ui::TRect& rect) const {
    if (empty_ || !picture_) return;
    RenderStretched(*picture_, canvas, rect);
}

}  // namespace panel
