// TFinePanelStyler: a non-visual component holding one settings object and a named style.
// Choosing a style fills the settings; every change of the settings is pushed into the panels
// of the styler's owner whose Styler is this styler. With AutoThemeAdapt it follows the
// desktop's colour scheme, at load time and whenever the theme changes.
//
// It is a component style target: SetSharedStyle switches it to one of the library's common
// looks.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "controls/menus/style_target.h"
#include "controls/panel/panel_settings.h"
#include "controls/panel/panel_styles.h"
#include "controls/panel/theme_notifier_window.h"
#include "platform/ui/core/component.h"

namespace panel {

class TFinePanelStyler : public ui::TComponent, public menus::IStyleTarget {
public:
    // The notifier window is parented to the first windowed control up the ownership chain,
    // so that it receives the theme broadcast. The settings start filled with psXP.
    explicit TFinePanelStyler(ui::TComponent* owner);
    ~TFinePanelStyler() override;
    std::string ClassName() const override { return "TFinePanelStyler"; }

    // From another styler: AutoThemeAdapt, Comments and Style (which refills the settings).
    // Other sources are ignored.
    void Assign(const ui::TPersistent* source) override;

    // Streaming writes into this object; there is no replacing it.
    TFinePanelSettings& Settings() { return *settings_; }
    const TFinePanelSettings& Settings() const { return *settings_; }

    const std::string& Comments() const { return comments_; }
    void SetComments(const std::string& value) { comments_ = value; }
    std::int32_t Tag() const { return tag_; }
    void SetTag(std::int32_t value) { tag_ = value; }
    TFinePanelStyle Style() const { return style_; }
    // Stores the style and fills the settings with it (psCustom keeps them); the panels hear
    // of it once.
    void SetStyle(TFinePanelStyle value);
    bool AutoThemeAdapt() const { return auto_theme_adapt_; }
    void SetAutoThemeAdapt(bool value) { auto_theme_adapt_ = value; }

    // 0 to 15, taken modulo 128; 8 and values above 15 change nothing.
    void SetSharedStyle(menus::TSharedStyle style) override;

    TThemeNotifierWindow& NotifierWindow() { return *notifier_; }

protected:
    // Outside design time follows the theme first; then applies the settings once.
    void Loaded() override;

private:
    void ApplyToPanels();
    void ThemeAdapt();

    std::unique_ptr<TFinePanelSettings> settings_;
    std::string comments_;
    std::int32_t tag_ = 0;
    TThemeNotifierWindow* notifier_;  // owned through the component model
    TFinePanelStyle style_ = TFinePanelStyle::psXP;
    bool auto_theme_adapt_ = false;
};

}  // namespace panel
