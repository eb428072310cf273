#include "controls/panel/panel_styler.h"

namespace panel {

TFinePanelStyler::TFinePanelStyler(ui::TComponent* owner)
    : ui::TComponent(owner), settings_(std::make_unique<TFinePanelSettings>()) {}

TFinePanelStyler::~TFinePanelStyler() = default;

}  // namespace panel
