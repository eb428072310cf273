// Enumerations the panel, its settings objects and its styler share.
#pragma once

#include <cstdint>

namespace panel {

// The panel's own gradient direction; vertical comes first, as in the menus' own direction
// (the card list's direction, also of its own, puts horizontal first).
enum class TGradientDirection : std::uint8_t { gdVertical, gdHorizontal };

// Vertical placement of the body text.
enum class TTextVAlignment : std::uint8_t { tvaTop, tvaCenter, tvaBottom };

}  // namespace panel
