// The colour sets of the Office menu styler, one per style: what a style writes into the menu
// background and separator, the menu-bar item (normal, selected and hovered), the selected
// drop-down item, the icon bar and the button appearance. An empty value leaves the property as
// it is.
#pragma once

#include <optional>

#include "controls/menus/menu_appearance.h"
#include "controls/menus/office_menu_styler.h"
#include "platform/ui/graphics/colors.h"

namespace menus {

using TSetColour = std::optional<ui::TColor>;

struct TOfficeColourSet {
    TOfficeStyle style = TOfficeStyle::osOffice2003Blue;  // the style whose set this is
    // The drop-down background, the drop-downs' frame (MenuBorderColor) and the separators.
    struct Menu {
        TSetColour background_color, background_color_to, menu_border_color, separator_color, separator_color_to;
    };
    // The menu-bar item, normal and selected (open).
    struct Root {
        TSetColour color, color_to;
        std::optional<TGradientDirection> gradient_direction;
        TSetColour selected_color, selected_color_to, selected_color_mirror, selected_color_mirror_to,
            selected_border_color, selected_text_color;
    };
    // The menu-bar item under the mouse (the root item's Hover... properties).
    struct Hover {
        TSetColour color, color_to, color_mirror, color_mirror_to, border_color, text_color;
    };
    // The highlighted drop-down item and its marks.
    struct Selected {
        TSetColour color, color_to, color_mirror, color_mirror_to, border_color, check_color, check_color_to,
            check_border, radio_color, radio_color_to, radio_border;
    };
    struct IconBar {
        TSetColour color, color_to, check_color, check_color_to, check_border, radio_color, radio_color_to,
            radio_border, separator_color;
    };
    struct Button {
        TSetColour hover_color, hover_color_to, hover_border_color, down_color, down_color_to, down_border_color;
    };

    Menu menu;
    Root root;
    Hover hover;
    Selected selected;
    IconBar icon_bar;
    Button button;
};

// The set of `style`; null for osCustom and for values beyond the last style, which write nothing.
const TOfficeColourSet* OfficeColourSet(TOfficeStyle style);

}  // namespace menus
