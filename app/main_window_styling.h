// The styled parts of the main window: the tool panel and the Office-styled main menu's styler
// with the settings the window's form definition stores for them.
#pragma once

#include "controls/menus/fine_main_menu.h"
#include "controls/menus/office_menu_styler.h"
#include "controls/panel/fine_panel.h"
#include "platform/ui/core/component.h"

namespace app {

// The main window's menu styler, owned by `owner`: the osOffice2003Silver set with the stored
// colours and fonts read after it, so they override single values of the set.
menus::TFineMenuOfficeStyler* CreateMainMenuStyler(ui::TComponent* owner);
// The settings the form definition stores for the styler, each overriding the value its style
// gave (they are read after the style).
void ApplyStoredMenuStyling(menus::TFineMenuOfficeStyler& styler);

// The tool panel's stored settings: silver down to the menu colour, Tahoma 8 texts, and its
// caption (hidden, as stored) in the highlight colours.
void StyleToolPanel(panel::TFinePanel& panel);

// Binds the styler to the menu and gives every item the menu's measure and draw handlers, as
// the end of loading the form does.
void StyleMainMenu(menus::TFineMainMenu& menu, menus::TFineMenuOfficeStyler& styler);

}  // namespace app
