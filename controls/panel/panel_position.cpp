#include "controls/panel/panel_position.h"

namespace panel {

void TPanelPosition::Assign(const ui::TPersistent* source) {
    const auto& other = ui::CheckedCast<TPanelPosition>(source);
    key_ = other.key_;
    section_ = other.section_;
    save_ = other.save_;
    location_ = other.location_;
}

}  // namespace panel
