// The texts shown for shortcuts.
#include "controls/menus/menu_shortcuts.h"

#include <cctype>
#include <utility>

#include "platform/ui/forms/actions.h"
#include "platform/ui/forms/menu_bar.h"

namespace menus {

namespace {

std::string Capitalised(std::string name) {
    for (std::size_t i = 1; i < name.size(); ++i) {
        name[i] = static_cast<char>(name[i - 1] == '(' ? std::toupper(static_cast<unsigned char>(name[i]))
                                                       : std::tolower(static_cast<unsigned char>(name[i])));
    }
    return name;
}

}  // namespace

std::string ShortCutText(ui::TShortCut shortcut, bool international) {
    if (!international) {
        const std::string text = ui::ShortCutToText(static_cast<ui::TShortCut>(shortcut & ~0x200));
        return (shortcut & 0x200) != 0 ? kWinKeyPrefix + text : text;
    }
    const std::uint16_t key = shortcut & 0xFF;
    std::string text = key >= 112 && key <= 135 ? "F" + std::to_string(key - 111) : Capitalised(ui::KeyNameText(key));
    const std::pair<ui::TShortCut, std::uint16_t> modifiers[] = {{ui::scShift, 16}, {ui::scCtrl, 17}, {ui::scAlt, 18}};
    for (const auto& [bit, modifier_key] : modifiers) {
        if ((shortcut & bit) != 0) text = Capitalised(ui::KeyNameText(modifier_key)) + "+" + text;
    }
    return text;
}

}  // namespace menus
