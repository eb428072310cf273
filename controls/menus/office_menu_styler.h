// TFineMenuOfficeStyler: the menu styler with named Office-like colour sets. Choosing a style
// writes its whole set into the appearance objects and redraws the menu bar; with
// AutoThemeAdapt it follows the desktop's colour scheme at load time and whenever the theme
// changes. It implements the component style interface.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "controls/menus/menu_styler.h"
#include "controls/menus/style_target.h"
#include "platform/ui/core/component.h"

namespace menus {

enum class TOfficeStyle : std::uint8_t {
    osOffice2003Blue,
    osOffice2003Silver,
    osOffice2003Olive,
    osOfficeXP,
    osOffice2007Luna,
    osOffice2007Obsidian,
    osCustom,
    osOffice2007Silver,
    osVista,
    osWhidbey,
    osWindows7,
    osTerminal,
    osOffice2010Blue,
    osOffice2010Silver,
    osOffice2010Black
};
// The number of styles: osOffice2010Black is the last.
inline constexpr std::size_t kOfficeStyleCount = static_cast<std::size_t>(TOfficeStyle::osOffice2010Black) + 1;

// A hidden window whose procedure raises OnThemeChange on the theme-changed broadcast.
class TNotifierWindow : public ui::TComponent {
public:
    explicit TNotifierWindow(ui::TComponent* owner) : ui::TComponent(owner) {}
    std::string ClassName() const override { return "TNotifierWindow"; }
    ui::TNotifyEvent OnThemeChange;
    // Platform side and tests: a message as the window receives it.
    void WindowProc(int message);
};

// The desktop's colour scheme: 1 "NormalColor", 2 "HomeStead", 3 "Metallic", 0 otherwise or
// without an active visual style.
int CurrentColorScheme();

class TFineMenuOfficeStyler : public TCustomFineMenuStyler, public IStyleTarget {
public:
    explicit TFineMenuOfficeStyler(ui::TComponent* owner);
    std::string ClassName() const override { return "TFineMenuOfficeStyler"; }

    TOfficeStyle Style() const { return style_; }
    // Stores the value and writes its colour set (nothing for osCustom or a value beyond the
    // last style); the attached styled menu's bar is redrawn in every case.
    void SetStyle(TOfficeStyle value);
    bool AutoThemeAdapt() const { return auto_theme_adapt_; }
    void SetAutoThemeAdapt(bool value) { auto_theme_adapt_ = value; }
    // Follows the desktop colour scheme when AutoThemeAdapt is set.
    void ThemeAdapt();
    void SetSharedStyle(TSharedStyle style) override;
    TNotifierWindow& NotifierWindow() { return *notifier_; }

protected:
    void Loaded() override;

private:
    void WriteColourSet(int style);
    TNotifierWindow* notifier_;  // owned through the component model
    TOfficeStyle style_ = TOfficeStyle::osOffice2003Blue;
    bool auto_theme_adapt_ = false;
};

}  // namespace menus
