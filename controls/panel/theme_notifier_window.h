// TThemeNotifierWindow: a hidden window that tells its owner when the desktop's visual style
// changes. It must sit inside a form (a parent window) to receive the broadcast.
#pragma once

#include <string>

#include "platform/ui/controls/controls.h"

namespace panel {

class TThemeNotifierWindow : public ui::TWinControl {
public:
    // Not visible and of no size: it only listens.
    explicit TThemeNotifierWindow(ui::TComponent* owner);
    std::string ClassName() const override { return "TThemeNotifierWindow"; }

    // A message as the window receives it (platform side and tests): the theme-changed
    // broadcast raises OnThemeChange; other messages pass.
    virtual void WndProc(int message);

    ui::TNotifyEvent OnThemeChange;
};

}  // namespace panel
