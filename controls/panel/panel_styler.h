// TFinePanelStyler: a component holding the shared settings of the panels that name it as
// their Styler.
#pragma once

#include <memory>
#include <string>

#include "controls/panel/panel_settings.h"
#include "platform/ui/core/component.h"

namespace panel {

class TFinePanelStyler : public ui::TComponent {
public:
    explicit TFinePanelStyler(ui::TComponent* owner);
    ~TFinePanelStyler() override;
    std::string ClassName() const override { return "TFinePanelStyler"; }

    TFinePanelSettings& Settings() { return *settings_; }
    const TFinePanelSettings& Settings() const { return *settings_; }

private:
    std::unique_ptr<TFinePanelSettings> settings_;
};

}  // namespace panel
