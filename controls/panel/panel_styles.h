// The panel styler's named looks and the one routine that writes a look into a settings object.
#pragma once

#include <cstdint>

#include "controls/panel/panel_settings.h"

namespace panel {

enum class TFinePanelStyle : std::uint8_t {
    psXP,
    psFlat,
    psZWT,
    psClassic,
    psOffice2003Blue,
    psOffice2003Olive,
    psOffice2003Silver,
    psOffice2003Classic,
    psOffice2007Luna,
    psOffice2007Obsidian,
    psWhidbey,
    psWindowsXP,
    psCustom,
    psOffice2007Silver,
    psWindowsVista,
    psWindows7,
    psTerminal,
    psOffice2010Blue,
    psOffice2010Silver,
    psOffice2010Black
};

inline constexpr int kPanelStyleCount = 20;

// Writes the look of `style` into `settings` between one BeginUpdate and EndUpdate, so the
// owner hears of it once. psCustom, and a value past the last style, write nothing and still
// notify once.
void FillSettings(TFinePanelSettings& settings, TFinePanelStyle style);

}  // namespace panel
