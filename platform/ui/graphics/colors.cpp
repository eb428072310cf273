#include "platform/ui/graphics/colors.h"

#include <array>

namespace ui {

namespace {

// One fixed look for every machine: the classic light desktop scheme. Entries are 0x00BBGGRR.
constexpr std::array<TColor, kSystemColorCount> kSystemColors = {
    0xC8C8C8,  //  0 scroll bar
    0x000000,  //  1 desktop background
    0xD1B499,  //  2 active caption
    0xDBCDBF,  //  3 inactive caption
    0xF0F0F0,  //  4 menu
    0xFFFFFF,  //  5 window
    0x646464,  //  6 window frame
    0x000000,  //  7 menu text
    0x000000,  //  8 window text
    0x000000,  //  9 caption text
    0xB4B4B4,  // 10 active border
    0xFCF7F4,  // 11 inactive border
    0xABABAB,  // 12 application work space
    0xD77800,  // 13 highlight
    0xFFFFFF,  // 14 highlight text
    0xF0F0F0,  // 15 button face
    0xA0A0A0,  // 16 button shadow
    0x6D6D6D,  // 17 grey text
    0x000000,  // 18 button text
    0x000000,  // 19 inactive caption text
    0xFFFFFF,  // 20 button highlight
    0x696969,  // 21 3-D dark shadow
    0xE3E3E3,  // 22 3-D light
    0x000000,  // 23 info text
    0xE1FFFF,  // 24 info background
    0x000000,  // 25 (unused number)
    0xCC6600,  // 26 hot light
    0xEAD1B9,  // 27 gradient of the active caption
    0xF2E4D7,  // 28 gradient of the inactive caption
    0xFF9933,  // 29 menu highlight
    0xF0F0F0,  // 30 menu bar
};

}  // namespace

TColor SystemColor(int index) {
    if (index < 0 || index >= kSystemColorCount) return clBlack;
    return kSystemColors[static_cast<std::size_t>(index)];
}

TColor ColorToRGB(TColor color) {
    if (IsSystemColor(color)) return SystemColor(static_cast<int>(color & 0xFF));
    return color;
}

}  // namespace ui
