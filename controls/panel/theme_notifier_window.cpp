#include "controls/panel/theme_notifier_window.h"

#include "platform/theme/visual_styles.h"

namespace panel {

TThemeNotifierWindow::TThemeNotifierWindow(ui::TComponent* owner) : ui::TWinControl(owner) {
    SetVisible(false);
    SetBounds(0, 0, 0, 0);
}

void TThemeNotifierWindow::WndProc(int message) {
    if (message == theme::WM_THEMECHANGED && OnThemeChange) OnThemeChange(this);
}

}  // namespace panel
