// The device families the album editor serves: one fixed table of screen sizes, album memory
// areas and hardware variants, and the arithmetic that fits a picture into a family's screen.
// Every command reads the table through the main window's family index.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/ui/graphics/geometry.h"

namespace app {

// One hardware variant of a family.
struct TDeviceProperty {
    const char* Name;
    std::uint32_t DeviceId;  // upper half model number, lower half variant code
    std::uint16_t NodeType;  // profile the node reports in object 0x1000
    std::uint8_t FileKind;   // 0, or kFileKindV2 for the V2 devices
    std::uint8_t MinHardware;
    std::uint8_t MaxHardware;
    std::uint32_t Reserved;
    std::uint32_t StartAddress;  // device memory address of the album
    std::uint32_t Capacity;      // album memory in bytes
    std::uint16_t Width;         // screen size in pixels
    std::uint16_t Height;
};

struct TDeviceFamily {
    std::uint8_t Count;  // used variants, 1 or 2
    std::array<TDeviceProperty, 2> Variants;
};

inline constexpr std::uint8_t kFileKindV2 = 11;
inline constexpr int kDeviceFamilyCount = 5;

// Rows that a family does not use keep the family's screen size so that picture sizes can be
// read from either variant without a special case.
inline constexpr std::array<TDeviceFamily, kDeviceFamilyCount> DeviceFamilies{{
    {2,
     {{{"Rurerovirez", 0x58310009, 0x1035, 0, 4, 6, 0, 0x401C0000, 0x40000, 176, 220},
       {"Rurerovirez", 0x58310109, 0x1043, 0, 4, 6, 0, 0x401C0000, 0x40000, 176, 220}}}},
    {2,
     {{{"Enhanced Display", 0x58332309, 0x1031, 0, 2, 3, 0, 0x40340000, 0xC0000, 320, 240},
       {"Enhanced Display", 0x58332309, 0x1031, 0, 5, 5, 0, 0x40740000, 0xC0000, 320, 240}}}},
    {1,
     {{{"Enhanced Display", 0x58332303, 0x0431, 0, 4, 5, 0, 0x40740000, 0xC0000, 320, 240},
       {"*** Not used ***", 0, 0, 0, 0, 0, 0, 0, 0, 320, 240}}}},
    {2,
     {{{"V2-Rurerovirez", 0x58318009, 0x1054, 11, 0, 255, 0, 0x68740000, 0xC0000, 240, 320},
       {"V2-Rurerovirez L", 0x58318109, 0x1055, 11, 0, 255, 0, 0x68740000, 0xC0000, 240, 320}}}},
    {1,
     {{{"V2-Enhanced Display", 0x58338309, 0x1056, 11, 0, 255, 0, 0x68740000, 0xC0000, 240, 320},
       {"*** Not used ***", 0, 0, 0, 0, 0, 0, 0, 0, 240, 320}}}},
}};

// The family at `family`; an index outside 0..4 raises ui::Exception "Range check error", as every
// other out-of-range index of the program does.
const TDeviceFamily& DeviceFamilyAt(int family);

// Families 3 and 4 get the V2 payload head and the short download-file names.
bool IsV2Family(int family);

// The family's picture size: variant 0's screen, shared by all its variants.
int ScreenWidth(int family);
int ScreenHeight(int family);
// Every card of an album is shown this wide.
int AlbumCardWidth(int family);

// The destination rectangle of a w x h picture on a W x H screen. A picture taller than 3:4
// fits the height and is centred (cut off equally on both sides when wider than the screen);
// any other fits the width and sits at the top. Evaluated in 80-bit extended precision as the
// device tools always did: double precision gives other widths for some sizes (e.g. 12 x 9 on
// 320 x 240 is 239 rows high, not 240), and the device shows exactly these pixels.
ui::TRect FitPictureRect(int w, int h, int W, int H);

// "5831-8009" for DeviceId 0x58318009: both halves as four upper-case hexadecimal digits.
std::string IdentityText(const TDeviceProperty& variant);

}  // namespace app
