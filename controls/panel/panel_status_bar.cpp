#include "controls/panel/panel_status_bar.h"

namespace panel {

namespace {
using ui::Store;
}  // namespace

TPanelStatusBar::TPanelStatusBar() : font_(std::make_unique<ui::TFont>()) {
    font_->SetName("Tahoma");
    font_->OnChange = [this](ui::TPersistent*) { Changed(); };
}

TPanelStatusBar::~TPanelStatusBar() = default;

void TPanelStatusBar::Assign(const ui::TPersistent* source) {
    const auto* other = dynamic_cast<const TPanelStatusBar*>(source);
    if (other == nullptr || other == this) return;
    SetColor(other->color_);
    SetColorTo(other->color_to_);
    SetGradientDirection(other->gradient_direction_);
    SetBorderStyle(other->border_style_);
    SetBorderColor(other->border_color_);
    SetFont(*other->font_);
}

void TPanelStatusBar::SetBevelInner(bool value) {
    if (Store(bevel_inner_, value)) Changed();
}
void TPanelStatusBar::SetBorderColor(TColor value) {
    if (Store(border_color_, value)) Changed();
}
void TPanelStatusBar::SetBorderStyle(ui::TBorderStyle value) {
    if (Store(border_style_, value)) Changed();
}
void TPanelStatusBar::SetImageIndex(int value) {
    if (Store(image_index_, value)) Changed();
}
void TPanelStatusBar::SetText(const std::string& value) {
    if (Store(text_, value)) Changed();
}
void TPanelStatusBar::SetColor(TColor value) {
    if (Store(color_, value)) Changed();
}
void TPanelStatusBar::SetColorTo(TColor value) {
    if (Store(color_to_, value)) Changed();
}
void TPanelStatusBar::SetGradientDirection(TGradientDirection value) {
    if (Store(gradient_direction_, value)) Changed();
}
void TPanelStatusBar::SetHeight(int value) {
    if (Store(height_, value)) Changed();
}
void TPanelStatusBar::SetVisible(bool value) {
    if (Store(visible_, value)) Changed();
}

void TPanelStatusBar::Changed() {
    if (OnChange) OnChange(this);
}

}  // namespace panel
