#include "controls/panel/panel_caption.h"

#include <algorithm>
#include <utility>

namespace panel {

namespace {

using ui::Store;

// Copies `value` into `font` with the font's own notification held back, so that the setter
// reports the copy once whether or not the font differed.
void CopyFontQuietly(ui::TFont& font, const ui::TFont& value) {
    ui::TNotifyEvent hook = std::exchange(font.OnChange, nullptr);
    try {
        font.Assign(&value);
    } catch (...) {
        font.OnChange = std::move(hook);
        throw;
    }
    font.OnChange = std::move(hook);
}

}  // namespace

TPanelCaption::TPanelCaption()
    : background_(std::make_unique<ui::TBitmap>()),
      close_min_glyph_(std::make_unique<ui::TBitmap>()),
      close_max_glyph_(std::make_unique<ui::TBitmap>()),
      font_(std::make_unique<ui::TFont>()),
      max_glyph_(std::make_unique<ui::TBitmap>()),
      min_glyph_(std::make_unique<ui::TBitmap>()) {
    font_->SetColor(ui::clHighlightText);
    font_->OnChange = [this](ui::TPersistent*) { Changed(); };
}

TPanelCaption::~TPanelCaption() = default;

void TPanelCaption::Assign(const ui::TPersistent* source) {
    const auto& other = ui::CheckedCast<TPanelCaption>(source);
    if (&other == this) return;
    SetBackground(other.Background());
    SetButtonPosition(other.button_position_);
    SetColor(other.color_);
    SetColorTo(other.color_to_);
    SetCloseColor(other.close_color_);
    SetCloseButton(other.close_button_);
    SetCloseButtonColor(other.close_button_color_);
    SetCloseButtonHoverColor(other.close_button_hover_color_);
    SetCloseMinGlyph(other.CloseMinGlyph());
    SetCloseMaxGlyph(other.CloseMaxGlyph());
    SetFlat(other.flat_);
    SetFont(other.Font());
    SetHeight(other.height_);
    SetIndent(other.indent_);
    SetMaxGlyph(other.MaxGlyph());
    SetMinGlyph(other.MinGlyph());
    SetMinMaxButton(other.min_max_button_);
    SetMinMaxButtonColor(other.min_max_button_color_);
    SetMinMaxButtonHoverColor(other.min_max_button_hover_color_);
    SetShadeLight(other.shade_light_);
    SetShadeGrain(other.shade_grain_);
    SetShadeType(other.shade_type_);
    SetShape(other.shape_);
    SetGradientDirection(other.gradient_direction_);
}

void TPanelCaption::SetBackground(const ui::TBitmap& value) {
    background_->Assign(&value);
    ShadeChanged();
}

void TPanelCaption::SetButtonPosition(TCaptionButtonPosition value) {
    button_position_ = value;
    LayoutChanged();
}

void TPanelCaption::SetColor(TColor value) {
    if (Store(color_, value)) ShadeChanged();
}

void TPanelCaption::SetColorTo(TColor value) {
    color_to_ = value;
    Changed();
}

void TPanelCaption::SetCloseColor(TColor value) {
    if (Store(close_color_, value)) Changed();
}

void TPanelCaption::SetCloseButton(bool value) {
    if (Store(close_button_, value)) Changed();
}

void TPanelCaption::SetCloseButtonColor(TColor value) {
    if (Store(close_button_color_, value)) Changed();
}

void TPanelCaption::SetCloseMinGlyph(const ui::TBitmap& value) {
    close_min_glyph_->Assign(&value);
    Changed();
}

void TPanelCaption::SetCloseMaxGlyph(const ui::TBitmap& value) {
    close_max_glyph_->Assign(&value);
    Changed();
}

void TPanelCaption::SetFlat(bool value) {
    flat_ = value;
    ShadeChanged();
}

void TPanelCaption::SetFont(const ui::TFont& value) {
    CopyFontQuietly(*font_, value);
    Changed();
}

void TPanelCaption::SetGradientDirection(TGradientDirection value) {
    gradient_direction_ = value;
    Changed();
}

void TPanelCaption::SetHeight(int value) {
    if (Store(height_, value)) Changed();
}

void TPanelCaption::SetIndent(int value) {
    if (Store(indent_, value)) Changed();
}

void TPanelCaption::SetTopIndent(int value) {
    if (Store(top_indent_, value)) Changed();
}

void TPanelCaption::SetMaxGlyph(const ui::TBitmap& value) {
    max_glyph_->Assign(&value);
    LayoutChanged();
}

void TPanelCaption::SetMinGlyph(const ui::TBitmap& value) {
    min_glyph_->Assign(&value);
    LayoutChanged();
}

void TPanelCaption::SetMinMaxButton(bool value) {
    if (Store(min_max_button_, value)) Changed();
}

void TPanelCaption::SetMinMaxButtonColor(TColor value) {
    if (Store(min_max_button_color_, value)) Changed();
}

void TPanelCaption::SetPosition(TCaptionPosition value) {
    if (!Store(position_, value)) return;
    if (OnPositionChange) OnPositionChange(this);
}

void TPanelCaption::SetShadeLight(int value) {
    shade_light_ = std::max(value, kMinShadeLight);
    ShadeChanged();
}

void TPanelCaption::SetShadeGrain(std::uint8_t value) {
    shade_grain_ = value;
    ShadeChanged();
}

void TPanelCaption::SetShadeType(TShadeType value) {
    shade_type_ = value;
    ShadeChanged();
}

void TPanelCaption::SetShape(TCaptionShape value) {
    shape_ = value;
    ShadeChanged();
}

void TPanelCaption::SetText(const std::string& value) {
    text_ = value;
    Changed();
}

void TPanelCaption::SetVisible(bool value) {
    visible_ = value;
    Changed();
    if (OnStateChange) OnStateChange(this);
}

void TPanelCaption::Changed() {
    if (OnChange) OnChange(this);
}

void TPanelCaption::LayoutChanged() {
    if (OnLayoutChange) OnLayoutChange(this);
}

void TPanelCaption::ShadeChanged() {
    if (OnShadeChange) OnShadeChange(this);
    Changed();
}

}  // namespace panel
