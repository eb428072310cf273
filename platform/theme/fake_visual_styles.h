// A visual-styles binding for tests: reports a theme active (switchable), records every theme
// data opened and every background drawn, and fills each drawn part with a colour that tells
// its state apart, so pixel tests can see that the themed path drew. It offers the entry points
// themed painting calls: OpenThemeData, DrawThemeBackground, CloseThemeData, IsThemeActive, and
// GetCurrentThemeName for the colour-scheme test.
#pragma once

#include <string>
#include <vector>

#include "platform/theme/visual_styles.h"
#include "platform/ui/graphics/colors.h"

namespace theme {

class FakeVisualStyles final : public VisualStyles {
public:
    struct Drawn {
        std::string class_list;
        int part = 0;
        int state = 0;
        ui::TRect rect;
    };

    // Fill colour of a drawn part: CheckedColor for kCheckBoxCheckedState, else UncheckedColor.
    static constexpr ui::TColor kCheckedColor = 0x00A000;    // green
    static constexpr ui::TColor kUncheckedColor = 0xA000A0;  // purple

    bool active = true;
    std::vector<std::string> opened;  // class names, in call order
    int closed = 0;                   // theme data destroyed so far
    std::vector<Drawn> drawn;

    std::string color_scheme;  // reported while active

    bool IsThemeActive() const override { return active; }
    std::string CurrentColorSchemeName() const override { return active ? color_scheme : std::string(); }
    std::unique_ptr<ThemeData> OpenThemeData(const std::string& class_list) override;
    // The entry points themed painting calls are present unless named in `missing`.
    bool HasEntryPoint(const std::string& name) const override;
    std::vector<std::string> missing;
};

}  // namespace theme
