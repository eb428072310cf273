#include "controls/menus/menu_styler.h"

#include "controls/menus/styled_menu.h"
#include "platform/ui/controls/screen.h"

namespace menus {

TCustomFineMenuStyler::TCustomFineMenuStyler(ui::TComponent* owner)
    : ui::TComponent(owner),
      side_bar_(std::make_unique<TSideBar>(nullptr)),
      background_(std::make_unique<TBackground>(nullptr)),
      icon_bar_(std::make_unique<TIconBar>(nullptr)),
      selected_item_(std::make_unique<TSelectedItem>(nullptr)),
      root_item_(std::make_unique<TRootItem>(nullptr)),
      glyphs_(std::make_unique<TMenuGlyphs>(nullptr)),
      separator_(std::make_unique<TSeparator>(nullptr)),
      button_appearance_(std::make_unique<TButtonAppearance>()) {
    CopyFont(font_, ui::Screen().MenuFont());
    CopyFont(notes_font_, ui::Screen().MenuFont());
    notes_font_.SetSize(notes_font_.Size() - 2);
    notes_font_.SetColor(0x808080);
}

TCustomFineMenuStyler::~TCustomFineMenuStyler() {
    // The link to the menu stays: the component's end tells the menu, which must let go of it.
    MarkDestroying();
}

void TCustomFineMenuStyler::SetMenu(ui::TMainMenu* menu) {
    if (menu_ != nullptr && menu_ != menu) {
        // The notice runs both ways: a menu that still paints with this styler (another menu took
        // it over) keeps it, to learn of the styler's end.
        IStyledMenu* previous = GetStyledMenu(menu_);
        if (previous == nullptr || previous->GetMenuStyler() != this) RemoveFreeNotification(menu_);
        // The font's change event belongs to the menu that set it.
        font_.OnChange = nullptr;
    }
    menu_ = menu;
    if (menu_ != nullptr) FreeNotification(menu_);
    background_cache_.Clear();
    background_->SetMenu(menu);
    icon_bar_->SetMenu(menu);
    selected_item_->SetMenu(menu);
    root_item_->SetMenu(menu);
    glyphs_->SetMenu(menu);
    side_bar_->SetMenu(menu);
    separator_->SetMenu(menu);
    StyleChanged(menu_, false);
}

void TCustomFineMenuStyler::Notification(ui::TComponent* component, ui::TOperation operation) {
    ui::TComponent::Notification(component, operation);
    if (operation == ui::TOperation::opRemove && component == menu_) SetMenu(nullptr);
}

void TCustomFineMenuStyler::SetSeparator(const TSeparator& value) {
    separator_->Assign(&value);
    StyleChanged(menu_, false);
}
void TCustomFineMenuStyler::SetBackground(const TBackground& value) {
    background_->Assign(&value);
    background_cache_.Clear();
    StyleChanged(menu_, false);
}
void TCustomFineMenuStyler::SetIconBar(const TIconBar& value) {
    icon_bar_->Assign(&value);
    StyleChanged(menu_, false);
}
void TCustomFineMenuStyler::SetGlyphs(const TMenuGlyphs& value) {
    glyphs_->Assign(&value);
    StyleChanged(menu_, false);
}
void TCustomFineMenuStyler::SetRootItem(const TRootItem& value) {
    root_item_->Assign(&value);
    StyleChanged(menu_, false);
}
void TCustomFineMenuStyler::SetSelectedItem(const TSelectedItem& value) {
    selected_item_->Assign(&value);
    StyleChanged(menu_, false);
}
void TCustomFineMenuStyler::SetSideBar(const TSideBar& value) {
    side_bar_->Assign(&value);
    StyleChanged(menu_, true);
}
void TCustomFineMenuStyler::SetButtonAppearance(const TButtonAppearance& value) { button_appearance_->Assign(&value); }
void TCustomFineMenuStyler::SetFont(const ui::TFont& value) {
    CopyFont(font_, value);
    StyleChanged(menu_, true);
}
void TCustomFineMenuStyler::SetNotesFont(const ui::TFont& value) {
    CopyFont(notes_font_, value);
    StyleChanged(menu_, true);
}
void TCustomFineMenuStyler::SetUseSystemFont(bool value) {
    use_system_font_ = value;
    StyleChanged(menu_, true);
}
void TCustomFineMenuStyler::SetAntiAlias(TAntiAlias value) {
    anti_alias_ = value;
    StyleChanged(menu_, true);
}

void TCustomFineMenuStyler::Assign(const ui::TPersistent* source) {
    const auto* s = dynamic_cast<const TFineMenuStyler*>(source);
    if (s == nullptr) {
        ui::TComponent::Assign(source);
        return;
    }
    SetBackground(*s->background_);
    SetIconBar(*s->icon_bar_);
    SetSelectedItem(*s->selected_item_);
    SetRootItem(*s->root_item_);
    SetGlyphs(*s->glyphs_);
    SetSideBar(*s->side_bar_);
    SetSeparator(*s->separator_);
    CopyFont(font_, s->font_);
    SetUseSystemFont(s->use_system_font_);
}

}  // namespace menus
