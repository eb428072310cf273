// TFineMainMenu: a main menu whose bar buttons and drop-down items are all owner-drawn from a
// menu styler. It binds a styler (or uses an internal one), attaches its measure and draw
// handlers to every item, and keeps its drop-down windows framed and clipped through their
// window procedures.
#pragma once

#include <cstdint>
#include <string>

#include "controls/menus/menu_styler.h"
#include "controls/menus/styled_menu.h"
#include "platform/ui/controls/imagelist.h"
#include "platform/ui/forms/menu_bar.h"
#include "platform/ui/forms/menus.h"

namespace menus {

class TFineMainMenu : public ui::TMainMenu, public IStyledMenu {
public:
    explicit TFineMainMenu(ui::TComponent* owner);
    ~TFineMainMenu() override;
    std::string ClassName() const override { return "TFineMainMenu"; }

    TCustomFineMenuStyler* MenuStyler() const { return menu_styler_; }
    // Binds `styler` (null: a new internal styler); the internal one goes when another is bound.
    void SetMenuStyler(TCustomFineMenuStyler* styler) override;
    TCustomFineMenuStyler* CurrentStyler() const { return current_styler_; }
    TCustomFineMenuStyler* InternalStyler() const { return internal_styler_; }
    ui::TImageList* DisabledImages() const { return disabled_images_; }
    void SetDisabledImages(ui::TImageList* images);
    bool ShowNotes() const { return show_notes_; }
    bool IntlKeybShortCuts() const { return intl_keyb_shortcuts_; }
    // "2.5.3.1"; writing it changes nothing.
    std::string Version() const;
    void SetVersion(const std::string&) {}
    virtual std::uint32_t GetVersionNr() const { return 0x02050301; }

    // Repaints the bar of the window the menu is shown in.
    virtual void DrawMenuBar();
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return update_count_; }
    bool Updating() const { return updating_; }
    // Gives `item` (null: every item, all levels when `recursive`) the menu's handlers; with
    // `keep_own` an item's own handlers stay.
    void HookItems(ui::TMenuItem* item, bool recursive, bool keep_own);

    // IStyledMenu
    void UpdateItems() override;
    ui::TMainMenu* GetMenu() override { return this; }
    TCustomFineMenuStyler* GetMenuStyler() override { return menu_styler_; }
    TCustomFineMenuStyler* GetCurrentStyler() override { return current_styler_; }
    std::uint8_t GetSetting() override { return setting_; }
    void SetSetting(std::uint8_t value) override { setting_ = value; }
    bool GetShowNotes() override { return show_notes_; }
    void SetShowNotes(bool value) override;
    bool GetIntlKeybShortCuts() override { return intl_keyb_shortcuts_; }
    void SetIntlKeybShortCuts(bool value) override;

protected:
    void Loaded() override;
    void Notification(ui::TComponent* component, ui::TOperation operation) override;
    void MenuChanged(ui::TMenuItem* source, bool rebuild) override;

private:
    void CreateInternalStyler();
    void FontChanged();
    void HookOne(ui::TMenuItem* item, bool keep_own);

    TCustomFineMenuStyler* menu_styler_ = nullptr;
    TCustomFineMenuStyler* internal_styler_ = nullptr;  // owned through the component model
    TCustomFineMenuStyler* current_styler_ = nullptr;
    std::uint8_t setting_ = 255;
    bool show_notes_ = true;
    bool updating_ = false;
    int update_count_ = 0;
    ui::TImageList* disabled_images_ = nullptr;
    bool intl_keyb_shortcuts_ = false;
};

// The window the menu's bar is shown in, or null.
ui::TMenuWindow* GetMenuWindow(ui::TMainMenu* menu);
// Frames and clips the drop-down window an item was just drawn in (its first paint subclasses
// the window).
void FramePopupWindow(ui::TMenuItem* item, ui::TCanvas& canvas);
bool SubMenuOpensLeft(ui::TMenuItem* item, ui::TMenuWindow* window);

// The menus' unit: started once before the first window (the text-drawing API is started and the
// menu animation switched off, inside this process only) and ended after the last one (both
// restored).
class TMenusUnit {
public:
    TMenusUnit();
    ~TMenusUnit();
    TMenusUnit(const TMenusUnit&) = delete;
    TMenusUnit& operator=(const TMenusUnit&) = delete;

private:
    bool saved_animation_;
};

}  // namespace menus
