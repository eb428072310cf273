// The device families the album editor serves: one fixed table of screen sizes, album memory
// areas, hardware variants and how the main window offers each family, and the arithmetic that
// fits a picture into a family's screen. Every command reads the table through the main window's
// family index; a new family is one row here (compile-time checks below hold every row to the
// others).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/ui/graphics/geometry.h"

namespace app {

// One hardware variant of a family.
struct TDeviceProperty {
    const char* Name;
    std::uint32_t DeviceId;  // upper half model number, lower half variant code
    std::uint16_t NodeType;  // profile the node reports in its device profile object
    std::uint8_t FileKind;   // 0, or kFileKindV2 for the V2 devices
    std::uint8_t MinHardware;
    std::uint8_t MaxHardware;
    std::uint32_t Reserved;
    std::uint32_t StartAddress;  // device memory address of the album
    std::uint32_t Capacity;      // album memory in bytes
    std::uint16_t Width;         // screen size in pixels
    std::uint16_t Height;
};

// How the main window offers a family: its radio button in the "Select Device" group, at top 18
// and 17 pixels high like every other. A family without a Name is never offered.
struct TFamilySelector {
    const char* Name = nullptr;  // the radio button's component name
    const char* Caption = nullptr;
    int Left = 0;
    int Width = 0;
    int TabOrder = 0;  // among the radio buttons
};

struct TDeviceFamily {
    std::uint8_t Count;  // used variants, 1 or 2
    std::array<TDeviceProperty, 2> Variants;
    // The V2 devices: their payload head and the short download-file names go by this; the
    // download-file format goes by each variant's FileKind.
    bool V2 = false;
    TFamilySelector Selector;
};

inline constexpr std::uint8_t kFileKindV2 = 11;

// One row a family, indexed by the family index that the window keeps and the registry stores:
// a new family is a new row at the end (rows never move, stored indices name them). Rows that a
// family does not use keep the family's screen size so that picture sizes can be read from
// either variant without a special case.
inline constexpr auto DeviceFamilies = std::to_array<TDeviceFamily>({
    {.Count = 2,
     .Variants = {{{"Rurerovirez", 0x58310009, 0x1035, 0, 4, 6, 0, 0x401C0000, 0x40000, 176, 220},
                   {"Rurerovirez", 0x58310109, 0x1043, 0, 4, 6, 0, 0x401C0000, 0x40000, 176, 220}}},
     .Selector = {"HCRadioButton", "Rurerovirez", 11, 113, 1}},
    {.Count = 2,
     .Variants = {{{"Enhanced Display", 0x58332309, 0x1031, 0, 2, 3, 0, 0x40340000, 0xC0000, 320, 240},
                   {"Enhanced Display", 0x58332309, 0x1031, 0, 5, 5, 0, 0x40740000, 0xC0000, 320, 240}}},
     .Selector = {"EDRadioButton", "Enhanced Display", 160, 137, 0}},
    {.Count = 1,
     .Variants = {{{"Enhanced Display", 0x58332303, 0x0431, 0, 4, 5, 0, 0x40740000, 0xC0000, 320, 240},
                   {"*** Not used ***", 0, 0, 0, 0, 0, 0, 0, 0, 320, 240}}},
     .Selector = {}},  // never offered by the window
    {.Count = 2,
     .Variants = {{{"V2-Rurerovirez", 0x58318009, 0x1054, 11, 0, 255, 0, 0x68740000, 0xC0000, 240, 320},
                   {"V2-Rurerovirez L", 0x58318109, 0x1055, 11, 0, 255, 0, 0x68740000, 0xC0000, 240, 320}}},
     .V2 = true,
     .Selector = {"V2HCRadioButton", "V2-Rurerovirez", 340, 130, 2}},
    {.Count = 1,
     .Variants = {{{"V2-Enhanced Display", 0x58338309, 0x1056, 11, 0, 255, 0, 0x68740000, 0xC0000, 240, 320},
                   {"*** Not used ***", 0, 0, 0, 0, 0, 0, 0, 0, 240, 320}}},
     .V2 = true,
     .Selector = {"V2EDRadioButton", "V2-Enhanced Display", 476, 141, 3}},
});

inline constexpr int kDeviceFamilyCount = static_cast<int>(DeviceFamilies.size());

// The family the window starts with when none is remembered; its radio button is the checked
// one of the form definition.
inline constexpr int kDefaultDeviceFamily = 0;

// The number of families the window offers.
constexpr int SelectableFamilyCount() {
    int count = 0;
    for (const TDeviceFamily& family : DeviceFamilies) count += family.Selector.Name != nullptr ? 1 : 0;
    return count;
}

namespace family_table {

constexpr bool SameText(const char* a, const char* b) {
    return a != nullptr && b != nullptr && std::string_view(a) == std::string_view(b);
}

// Used variants carry the family's kind of file; an unused one is the placeholder; all share the
// family's screen size.
constexpr bool VariantsAgree(const TDeviceFamily& family) {
    if (family.Count < 1 || family.Count > family.Variants.size()) return false;
    for (std::size_t v = 0; v < family.Variants.size(); ++v) {
        const TDeviceProperty& variant = family.Variants[v];
        if (variant.Width != family.Variants[0].Width || variant.Height != family.Variants[0].Height) return false;
        if (variant.Width == 0 || variant.Height == 0 || variant.Reserved != 0) return false;
        if (v < family.Count) {
            if (variant.FileKind != (family.V2 ? kFileKindV2 : 0) || variant.Capacity == 0) return false;
        } else if (!SameText(variant.Name, "*** Not used ***") || variant.DeviceId != 0 || variant.NodeType != 0) {
            return false;
        }
    }
    return true;
}

// The offered families' radio buttons: named, captioned and distinct, their tab orders 0..n-1
// each once, and side by side without overlapping.
constexpr bool SelectorsAgree() {
    const int offered = SelectableFamilyCount();
    for (std::size_t a = 0; a < DeviceFamilies.size(); ++a) {
        const TFamilySelector& s = DeviceFamilies[a].Selector;
        if (s.Name == nullptr) continue;
        if (s.Caption == nullptr || s.Width <= 0 || s.Left < 0 || s.TabOrder < 0 || s.TabOrder >= offered) {
            return false;
        }
        for (std::size_t b = a + 1; b < DeviceFamilies.size(); ++b) {
            const TFamilySelector& t = DeviceFamilies[b].Selector;
            if (t.Name == nullptr) continue;
            if (SameText(s.Name, t.Name) || s.TabOrder == t.TabOrder) return false;
            if (s.Left < t.Left + t.Width && t.Left < s.Left + s.Width) return false;
        }
    }
    return true;
}

constexpr bool RowsAgree() {
    for (const TDeviceFamily& family : DeviceFamilies) {
        if (!VariantsAgree(family)) return false;
    }
    return SelectorsAgree();
}

}  // namespace family_table

static_assert(family_table::RowsAgree(), "a row of DeviceFamilies contradicts itself or another row");
static_assert(kDefaultDeviceFamily >= 0 && kDefaultDeviceFamily < kDeviceFamilyCount &&
                  DeviceFamilies[kDefaultDeviceFamily].Selector.Name != nullptr,
              "the default family must be one the window offers");

// The family at `family`; an index outside the table raises ui::Exception "Range check error", as every
// other out-of-range index of the program does.
const TDeviceFamily& DeviceFamilyAt(int family);

// True for the V2 families: they get the V2 payload head and the short download-file names.
// False for an index outside the table.
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
