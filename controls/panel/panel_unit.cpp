#include "controls/panel/panel_unit.h"

#include "platform/theme/visual_styles.h"

namespace panel {

TPanelUnit::TPanelUnit() { theme::BindVisualStylesLibrary(); }

TPanelUnit::~TPanelUnit() { theme::UnbindVisualStylesLibrary(); }

}  // namespace panel
