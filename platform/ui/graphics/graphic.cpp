#include "platform/ui/graphics/graphic.h"

namespace ui {

void TGraphic::LoadFromFile(const std::string& file_name) {
    TFileStream stream(file_name, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(stream);
}

void TGraphic::SaveToFile(const std::string& file_name) const {
    TFileStream stream(file_name, fmCreate);
    SaveToStream(stream);
}

void TGraphic::SetTransparent(bool transparent) {
    if (transparent_ == transparent) return;
    transparent_ = transparent;
    Changed();
}

void TGraphic::Changed() {
    if (OnChange) OnChange(this);
}

}  // namespace ui
