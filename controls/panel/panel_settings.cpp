#include "controls/panel/panel_settings.h"

namespace panel {

TFinePanelSettings::TFinePanelSettings()
    : caption_(std::make_unique<TPanelCaption>()),
      font_(std::make_unique<ui::TFont>()),
      status_bar_(std::make_unique<TPanelStatusBar>()) {
    caption_->OnChange = [this](ui::TPersistent*) { Changed(); };
}

TFinePanelSettings::~TFinePanelSettings() = default;

void TFinePanelSettings::Assign(const ui::TPersistent* source) {
    if (dynamic_cast<const TFinePanelSettings*>(source) != nullptr) return;
    TPersistent::Assign(source);
}

void TFinePanelSettings::EndUpdate() {
    if (update_count_ <= 0) return;
    if (--update_count_ == 0) Changed();
}

void TFinePanelSettings::SetCaption(const TPanelCaption& value) {
    caption_->Assign(&value);
    Changed();
}

void TFinePanelSettings::SetFont(const ui::TFont& value) {
    font_->Assign(&value);
    Changed();
}

void TFinePanelSettings::SetStatusBar(const TPanelStatusBar& value) {
    status_bar_->Assign(&value);
    Changed();
}

void TFinePanelSettings::Changed() {
    if (update_count_ == 0 && OnChange) OnChange(this);
}

}  // namespace panel
