// IStyledMenu: how the appearance objects, the paint code and the window procedures reach a
// styled menu without knowing its class, and StyleChanged, the refresh every appearance setter
// calls. Only styled main menus have the interface; other menus are never styled.
#pragma once

#include <cstdint>

#include "platform/ui/forms/menus.h"

namespace menus {

class TCustomFineMenuStyler;

class IStyledMenu {
public:
    // Measures every item again and repaints.
    virtual void UpdateItems() = 0;
    virtual ui::TMainMenu* GetMenu() = 0;
    virtual TCustomFineMenuStyler* GetMenuStyler() = 0;
    virtual TCustomFineMenuStyler* GetCurrentStyler() = 0;
    virtual void SetMenuStyler(TCustomFineMenuStyler* styler) = 0;
    virtual std::uint8_t GetSetting() = 0;
    virtual void SetSetting(std::uint8_t value) = 0;
    virtual bool GetShowNotes() = 0;
    virtual void SetShowNotes(bool value) = 0;
    virtual bool GetIntlKeybShortCuts() = 0;
    virtual void SetIntlKeybShortCuts(bool value) = 0;

protected:
    ~IStyledMenu() = default;
};

// The interface of a styled main menu, null for any other menu (or none).
IStyledMenu* GetStyledMenu(ui::TMainMenu* menu);
// The same for the menu that holds `item`.
IStyledMenu* GetItemStyledMenu(const ui::TMenuItem* item);
// Refreshes a styled menu after a style change: with `rebuild` its items are measured again.
// Nothing happens without a menu.
void StyleChanged(IStyledMenu* styled, bool rebuild);
inline void StyleChanged(ui::TMainMenu* menu, bool rebuild) { StyleChanged(GetStyledMenu(menu), rebuild); }

}  // namespace menus
