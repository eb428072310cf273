// The colour scheme of the desktop's visual style, which a panel styler follows.
#pragma once

namespace panel {

// 0 unless the system is 5.1 or later, a visual style is active and the binding offers
// "GetCurrentThemeName"; then the scheme's name, compared with letter case: "NormalColor" 1,
// "HomeStead" 2, "Metallic" 3, any other 0.
int CurrentColorScheme();

}  // namespace panel
