#include "controls/menus/menu_appearance.h"

#include "controls/menus/menu_util.h"
#include "controls/menus/styled_menu.h"
#include "platform/kernel/system_info.h"
#include "platform/ui/controls/screen.h"
#include "platform/ui/forms/form.h"
#include "platform/ui/forms/menu_bar.h"

namespace menus {

namespace {

ui::TColor& Indexed(std::array<ui::TColor, 2>& pair, int index) {
    if (index < 0 || index > 1) RaiseInvalidPropertyIndex(index);
    return pair[static_cast<std::size_t>(index)];
}
ui::TColor Indexed(const std::array<ui::TColor, 2>& pair, int index) {
    if (index < 0 || index > 1) RaiseInvalidPropertyIndex(index);
    return pair[static_cast<std::size_t>(index)];
}
ui::TColor& Indexed4(std::array<ui::TColor, 4>& colors, int index) {
    if (index < 0 || index > 3) RaiseInvalidPropertyIndex(index);
    return colors[static_cast<std::size_t>(index)];
}

void MakeTransparent(ui::TBitmap& bitmap) {
    bitmap.SetTransparent(true);
    bitmap.SetTransparentMode(ui::TTransparentMode::tmAuto);
}

}  // namespace

void CopyFont(ui::TFont& target, const ui::TFont& source) { target.Assign(&source); }

// --- TGradientBar ---

TGradientBar::TGradientBar(ui::TMainMenu* menu) : menu_(menu) {}

void TGradientBar::Assign(const ui::TPersistent* source) {
    if (const auto* bar = dynamic_cast<const TGradientBar*>(source)) {
        colors_ = bar->colors_;
        direction_ = bar->direction_;
        return;
    }
    ui::TPersistent::Assign(source);
}

ui::TColor TGradientBar::GetColor(int index) const { return Indexed(colors_, index); }
void TGradientBar::SetColor(int index, ui::TColor value) { Indexed(colors_, index) = value; }

void TGradientBar::Changed(bool rebuild) const { StyleChanged(menu_, rebuild); }

// --- TSeparator ---

TSeparator::TSeparator(ui::TMainMenu* menu) : TGradientBar(menu) {
    SetColor(0x8F6D6E);
    SetColorTo(ui::clNone);
    SetGradientDirection(TGradientDirection::gdHorizontal);
}

void TSeparator::Assign(const ui::TPersistent* source) {
    if (const auto* s = dynamic_cast<const TSeparator*>(source)) {
        width_ = s->width_;
        gradient_type_ = s->gradient_type_;
        gradient_width_ = s->gradient_width_;
        margin_ = s->margin_;
    }
    TGradientBar::Assign(source);
}

// --- TBackground ---

TBackground::TBackground(ui::TMainMenu* menu) : TGradientBar(menu) {
    SetColor(0xFFFAFD);
    SetColorTo(ui::clNone);
    SetGradientDirection(TGradientDirection::gdVertical);
}

TBackground::~TBackground() = default;

ui::TPicture& TBackground::Image() {
    if (!image_) {
        image_ = std::make_unique<ui::TPicture>();
        image_->OnChange = [this](ui::TPersistent*) { ++image_revision_; };
    }
    if (auto* bitmap = dynamic_cast<ui::TBitmap*>(image_->Graphic())) MakeTransparent(*bitmap);
    return *image_;
}

void TBackground::SetImage(const ui::TPicture* picture) {
    if (picture != nullptr) {
        Image().Assign(picture);
    } else if (image_) {
        image_->SetGraphic(static_cast<const ui::TGraphic*>(nullptr));
        image_.reset();
        ++image_revision_;
    }
    Changed(false);
}

bool TBackground::HasImage() const { return image_ && image_->Graphic() != nullptr && !image_->Graphic()->Empty(); }

ui::TBitmap& TBackground::Buffer() {
    if (!buffer_) buffer_ = std::make_unique<ui::TBitmap>();
    return *buffer_;
}

void TBackground::Assign(const ui::TPersistent* source) {
    if (const auto* b = dynamic_cast<const TBackground*>(source)) {
        SetImage(b->image_.get());
        offset_x_ = b->offset_x_;
        offset_y_ = b->offset_y_;
        position_ = b->position_;
        SetColor(b->Color());
        SetColorTo(b->ColorTo());
        return;
    }
    TGradientBar::Assign(source);
}

// --- TCheckRadioColors ---

ui::TColor TCheckRadioColors::GetCheckColor(int index) const { return Indexed(check_.colors, index); }
void TCheckRadioColors::SetCheckColor(int index, ui::TColor value) {
    Indexed(check_.colors, index) = value;
    MarkChanged();
}
ui::TColor TCheckRadioColors::GetRadioColor(int index) const { return Indexed(radio_.colors, index); }
void TCheckRadioColors::SetRadioColor(int index, ui::TColor value) {
    Indexed(radio_.colors, index) = value;
    MarkChanged();
}

// --- TIconBar ---

TIconBar::TIconBar(ui::TMainMenu* menu) : TGradientBar(menu), TCheckRadioColors(0x6FC0FF, 0x6F4B4B) {
    SetColor(0xFFF9F9);
    SetColorTo(0xBBA0A1);
    SetGradientDirection(TGradientDirection::gdHorizontal);
}

void TIconBar::SetSize(int value) {
    size_ = Max(value, 16);
    Changed(true);
}

void TIconBar::Assign(const ui::TPersistent* source) {
    if (const auto* i = dynamic_cast<const TIconBar*>(source)) {
        SetCheckColor(0, i->CheckColor());
        SetCheckColor(1, i->CheckColorTo());
        check_.border = i->check_.border;
        check_.direction = i->check_.direction;
        SetRadioColor(0, i->RadioColor());
        SetRadioColor(1, i->RadioColorTo());
        radio_.border = i->radio_.border;
        radio_.direction = i->radio_.direction;
        SetSize(i->size_);
        separator_color_ = i->separator_color_;
        return;
    }
    TGradientBar::Assign(source);
}

// --- TSelectedItem ---

TSelectedItem::TSelectedItem(ui::TMainMenu* menu) : TGradientBar(menu), TCheckRadioColors(0x3E80FE, 0x6F4B4B) {
    SetColor(0xC2EEFF);
    SetColorTo(ui::clNone);
    SetGradientDirection(TGradientDirection::gdVertical);
    CopyFont(font_, ui::Screen().MenuFont());
    font_.SetColor(ui::clWindowText);
    CopyFont(notes_font_, ui::Screen().MenuFont());
    notes_font_.SetSize(notes_font_.Size() - 2);
    notes_font_.SetColor(ui::clWindowText);
}

void TSelectedItem::SetFont(const ui::TFont& font) {
    CopyFont(font_, font);
    Changed(true);
}
void TSelectedItem::SetNotesFont(const ui::TFont& font) {
    CopyFont(notes_font_, font);
    Changed(true);
}
void TSelectedItem::SetUseSystemFont(bool value) {
    use_system_font_ = value;
    Changed(true);
}

void TSelectedItem::Assign(const ui::TPersistent* source) {
    if (const auto* s = dynamic_cast<const TSelectedItem*>(source)) {
        color_mirror_ = s->color_mirror_;
        color_mirror_to_ = s->color_mirror_to_;
        border_color_ = s->border_color_;
        CopyFont(font_, s->font_);
        SetUseSystemFont(s->use_system_font_);
        SetCheckColor(0, s->CheckColor());
        SetCheckColor(1, s->CheckColorTo());
        check_.direction = s->check_.direction;
        SetRadioColor(0, s->RadioColor());
        SetRadioColor(1, s->RadioColorTo());
        radio_.border = s->radio_.border;
        radio_.direction = s->radio_.direction;
        return;
    }
    TGradientBar::Assign(source);
}

// --- TRootItem ---

TRootItem::TRootItem(ui::TMainMenu* menu) : TGradientBar(menu) {
    SetColor(0xE5D7D7);
    SetColorTo(0xF7F2F2);
    SetGradientDirection(TGradientDirection::gdHorizontal);
    CopyFont(font_, ui::Screen().MenuFont());
}

ui::TColor TRootItem::GetSelectedColor(int index) const {
    return Indexed4(const_cast<std::array<ui::TColor, 4>&>(selected_), index);
}
void TRootItem::SetSelectedColor(int index, ui::TColor value) {
    Indexed4(selected_, index) = value;
    Changed(true);
}
ui::TColor TRootItem::GetHoverColor(int index) const {
    return Indexed4(const_cast<std::array<ui::TColor, 4>&>(hover_), index);
}
void TRootItem::SetHoverColor(int index, ui::TColor value) {
    Indexed4(hover_, index) = value;
    Changed(true);
}
void TRootItem::SetFont(const ui::TFont& font) {
    CopyFont(font_, font);
    Changed(true);
}
void TRootItem::SetUseSystemFont(bool value) {
    use_system_font_ = value;
    Changed(true);
}

void TRootItem::Assign(const ui::TPersistent* source) {
    if (const auto* r = dynamic_cast<const TRootItem*>(source)) {
        CopyFont(font_, r->font_);
        SetUseSystemFont(r->use_system_font_);
        SetSelectedColor(0, r->SelectedColor());
        SetSelectedColor(1, r->SelectedColorTo());
        selected_direction_ = r->selected_direction_;
        selected_border_color_ = r->selected_border_color_;
        selected_text_color_ = r->selected_text_color_;
        SetHoverColor(0, r->HoverColor());
        SetHoverColor(1, r->HoverColorTo());
        hover_direction_ = r->hover_direction_;
        hover_border_color_ = r->hover_border_color_;
        hover_text_color_ = r->hover_text_color_;
        SetSelectedColor(2, r->SelectedColorMirror());
        SetSelectedColor(3, r->SelectedColorMirrorTo());
        return;
    }
    TGradientBar::Assign(source);
}

// --- TBarCaption ---

TBarCaption::TBarCaption(ui::TMainMenu* menu) : caption_menu_(menu) {
    font_.SetName("Tahoma");
    font_.SetSize(14);
    font_.SetColor(ui::clWhite);
    font_.SetStyle(ui::TFontStyles{ui::TFontStyle::fsBold, ui::TFontStyle::fsItalic});
}

void TBarCaption::SetFont(const ui::TFont& font) {
    CopyFont(font_, font);
    StyleChanged(caption_menu_, true);
}

void TBarCaption::Assign(const ui::TPersistent* source) {
    if (const auto* c = dynamic_cast<const TBarCaption*>(source)) {
        caption_margin_ = c->caption_margin_;
        alignment_ = c->alignment_;
        caption_ = c->caption_;
        CopyFont(font_, c->font_);
        shadow_color_ = c->shadow_color_;
        highlight_color_ = c->highlight_color_;
        depth_ = c->depth_;
        direction_ = c->direction_;
        return;
    }
    ui::TPersistent::Assign(source);
}

// --- TSideBar ---

TSideBar::TSideBar(ui::TMainMenu* menu)
    : TBarCaption(nullptr),
      background_(std::make_unique<TBackground>(nullptr)),
      image_(std::make_unique<TBackground>(nullptr)),
      menu_(menu) {}

void TSideBar::SetVisible(bool value) {
    visible_ = value;
    // Only a styled menu already shown in a window is rebuilt.
    if (GetStyledMenu(menu_) == nullptr) return;
    const auto* form = dynamic_cast<const ui::TForm*>(menu_->Owner());
    if (form != nullptr && form->MenuBar() != nullptr && form->Menu() == menu_) StyleChanged(menu_, true);
}

void TSideBar::SetBackground(const TBackground& value) {
    background_->Assign(&value);
    if (value.ImageOrNull() != nullptr && dynamic_cast<const ui::TBitmap*>(value.ImageOrNull()->Graphic()) != nullptr) {
        MakeTransparent(background_->Buffer());
    }
    StyleChanged(menu_, true);
}

void TSideBar::SetImage(const TBackground& value) {
    image_->Assign(&value);
    StyleChanged(menu_, true);
}

void TSideBar::Assign(const ui::TPersistent* source) {
    if (const auto* s = dynamic_cast<const TSideBar*>(source)) {
        SetVisible(s->visible_);
        image_->Assign(s->image_.get());
        background_->Assign(s->background_.get());
        side_ = s->side_;
        size_ = s->size_;
        splitter_width_ = s->splitter_width_;
        splitter_margin_ = s->splitter_margin_;
        splitter_gradient_width_ = s->splitter_gradient_width_;
        splitter_gradient_type_ = s->splitter_gradient_type_;
        SetBorderColor(s->border_color_);
    }
    TBarCaption::Assign(source);
}

// --- TMenuGlyphs ---

TMenuGlyphs::TMenuGlyphs(ui::TMainMenu* menu) : menu_(menu) {
    sub_menu_.LoadFromResourceName(kSubMenuGlyphResource);
    check_.LoadFromResourceName(kCheckGlyphResource);
    radio_.LoadFromResourceName(kRadioGlyphResource);
    MakeTransparent(sub_menu_);
    MakeTransparent(check_);
    MakeTransparent(radio_);
}

void TMenuGlyphs::Store(ui::TBitmap& target, const ui::TBitmap& value) {
    target.Assign(&value);
    MakeTransparent(target);
    StyleChanged(menu_, false);
}

void TMenuGlyphs::SetSubMenu(const ui::TBitmap& value) { Store(sub_menu_, value); }
void TMenuGlyphs::SetCheck(const ui::TBitmap& value) { Store(check_, value); }
void TMenuGlyphs::SetRadio(const ui::TBitmap& value) { Store(radio_, value); }

void TMenuGlyphs::Assign(const ui::TPersistent* source) {
    if (const auto* g = dynamic_cast<const TMenuGlyphs*>(source)) {
        SetSubMenu(g->sub_menu_);
        SetCheck(g->check_);
        SetRadio(g->radio_);
        return;
    }
    ui::TPersistent::Assign(source);
}

// --- TButtonAppearance ---

TButtonAppearance::TButtonAppearance(std::function<bool(const std::string&)> kernel_exports)
    : kernel_exports_(kernel_exports ? std::move(kernel_exports) : kernel::KernelExports),
      down_border_color_(static_cast<ui::TColor>(MakeColor(10, 36, 106, 0))),
      hover_border_color_(static_cast<ui::TColor>(MakeColor(10, 36, 106, 0))) {
    SetCaptionFontName();
}

void TButtonAppearance::SetCaptionFontName() {
    caption_font_.SetName(kernel_exports_("GetLocaleInfoEx") ? "Segoe UI" : "Tahoma");
}

void TButtonAppearance::Change() {
    if (OnChange) OnChange(this);
}

void TButtonAppearance::SetGradientDirection(TGradientDirection v) {
    if (v == direction_) return;
    direction_ = v;
    Change();
}

void TButtonAppearance::SetCaptionFont(const ui::TFont& font) {
    CopyFont(caption_font_, font);
    Change();
}

void TButtonAppearance::SetUseSystemFont(bool value) {
    if (value == use_system_font_) return;
    use_system_font_ = value;
    if (use_system_font_) SetCaptionFontName();
}

void TButtonAppearance::Assign(const ui::TPersistent* source) {
    const auto* b = dynamic_cast<const TButtonAppearance*>(source);
    if (b == nullptr) return;
    color_ = b->color_;
    color_to_ = b->color_to_;
    hover_color_ = b->hover_color_;
    hover_color_to_ = b->hover_color_to_;
    down_color_ = b->down_color_;
    down_color_to_ = b->down_color_to_;
    direction_ = b->direction_;
    border_color_ = b->border_color_;
    hover_border_color_ = b->hover_border_color_;
    down_border_color_ = b->down_border_color_;
}

}  // namespace menus
