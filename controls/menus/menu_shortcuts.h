// The texts shown for shortcuts, plain or from the keyboard's key names.
#pragma once

#include <string>

#include "platform/ui/forms/menus.h"

namespace menus {

// Put before the text of a shortcut with the Windows-key bit (0x200).
inline constexpr const char* kWinKeyPrefix = "Win+";

// The text shown for a shortcut; `international` builds it from the keyboard's key names.
std::string ShortCutText(ui::TShortCut shortcut, bool international);

}  // namespace menus
