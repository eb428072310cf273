#include "controls/panel/panel_auto_size.h"

namespace panel {

void TAutoSize::Assign(const ui::TPersistent* source) {
    const auto& other = ui::CheckedCast<TAutoSize>(source);
    SetEnabled(other.enabled_);
    height_ = other.height_;
    width_ = other.width_;
}

void TAutoSize::SetEnabled(bool value) {
    enabled_ = value;
    if (enabled_ && OnResize) OnResize(this);
}

}  // namespace panel
