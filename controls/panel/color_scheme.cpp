#include "controls/panel/color_scheme.h"

#include <string>

#include "controls/panel/windows_version.h"
#include "platform/theme/visual_styles.h"

namespace panel {

int CurrentColorScheme() {
    if (!IsWinXPOrLater()) return 0;
    const theme::VisualStyles& styles = theme::CurrentVisualStyles();
    if (!styles.IsThemeActive() || !styles.HasEntryPoint("GetCurrentThemeName")) return 0;
    const std::string scheme = styles.CurrentColorSchemeName();
    if (scheme == "NormalColor") return 1;
    if (scheme == "HomeStead") return 2;
    if (scheme == "Metallic") return 3;
    return 0;
}

}  // namespace panel
