// TCustomFineMenuStyler: the source of every colour, font, glyph and measure a styled menu
// paints with. It owns its appearance objects and gives them the menu it serves (SetMenu, called
// by the menu when it binds the styler). TFineMenuStyler is the published form.
#pragma once

#include <memory>
#include <string>

#include "controls/menus/gdip.h"
#include "controls/menus/menu_appearance.h"
#include "controls/menus/menu_background.h"
#include "platform/ui/core/component.h"
#include "platform/ui/forms/menus.h"

namespace menus {

class TCustomFineMenuStyler : public ui::TComponent {
public:
    explicit TCustomFineMenuStyler(ui::TComponent* owner);
    ~TCustomFineMenuStyler() override;
    std::string ClassName() const override { return "TCustomFineMenuStyler"; }
    // From another styler: its appearance objects (through the setters), Font and UseSystemFont.
    void Assign(const ui::TPersistent* source) override;

    // Binds the menu (null unbinds): the appearance objects get it, then StyleChanged.
    void SetMenu(ui::TMainMenu* menu);
    ui::TMainMenu* Menu() const { return menu_; }

    TSeparator& Separator() { return *separator_; }
    TBackground& Background() { return *background_; }
    TIconBar& IconBar() { return *icon_bar_; }
    TMenuGlyphs& Glyphs() { return *glyphs_; }
    TRootItem& RootItem() { return *root_item_; }
    TSelectedItem& SelectedItem() { return *selected_item_; }
    TSideBar& SideBar() { return *side_bar_; }
    TButtonAppearance& ButtonAppearance() { return *button_appearance_; }
    const ui::TFont& Font() const { return font_; }
    ui::TFont& FontRef() { return font_; }
    const ui::TFont& NotesFont() const { return notes_font_; }
    // The drop-down background picture, composed once per drop-down size (cleared when the styler
    // is bound to a menu or gets another background).
    TBackgroundCache& BackgroundCache() { return background_cache_; }

    void SetSeparator(const TSeparator& value);
    void SetBackground(const TBackground& value);
    void SetIconBar(const TIconBar& value);
    void SetGlyphs(const TMenuGlyphs& value);
    void SetRootItem(const TRootItem& value);
    void SetSelectedItem(const TSelectedItem& value);
    void SetSideBar(const TSideBar& value);
    void SetButtonAppearance(const TButtonAppearance& value);
    void SetFont(const ui::TFont& value);
    void SetNotesFont(const ui::TFont& value);
    // When true, drop-down items use the screen's menu font instead of Font.
    bool UseSystemFont() const { return use_system_font_; }
    void SetUseSystemFont(bool value);
    TAntiAlias AntiAlias() const { return anti_alias_; }
    void SetAntiAlias(TAntiAlias value);
    // The frame of the drop-downs (a plain value).
    ui::TColor MenuBorderColor() const { return menu_border_color_; }
    void SetMenuBorderColor(ui::TColor value) { menu_border_color_ = value; }

protected:
    void Notification(ui::TComponent* component, ui::TOperation operation) override;

private:
    std::unique_ptr<TSideBar> side_bar_;
    std::unique_ptr<TBackground> background_;
    std::unique_ptr<TIconBar> icon_bar_;
    std::unique_ptr<TSelectedItem> selected_item_;
    std::unique_ptr<TRootItem> root_item_;
    std::unique_ptr<TMenuGlyphs> glyphs_;
    std::unique_ptr<TSeparator> separator_;
    ui::TFont font_;
    bool use_system_font_ = true;
    ui::TColor menu_border_color_ = 0x7C7C94;
    ui::TMainMenu* menu_ = nullptr;
    TBackgroundCache background_cache_;
    ui::TFont notes_font_;
    TAntiAlias anti_alias_ = TAntiAlias::aaNone;
    std::unique_ptr<TButtonAppearance> button_appearance_;
};

class TFineMenuStyler : public TCustomFineMenuStyler {
public:
    explicit TFineMenuStyler(ui::TComponent* owner) : TCustomFineMenuStyler(owner) {}
    std::string ClassName() const override { return "TFineMenuStyler"; }
};

}  // namespace menus
