// The remembered device family: one integer in the current user's registry, read when the main
// window is created and written whenever the user picks a family. Registry failures are silent
// in both directions: the window then simply starts with the default family.
#pragma once

#include <optional>

namespace app {

inline constexpr const char* kSettingsKey = "\\Software\\Varnhold Vozezuzarev\\QBK";
inline constexpr const char* kFamilyValueName = "ActiveDeviceFamilyIndex";

// True for the families a user can pick: those the family table gives a radio button.
bool IsSelectableFamily(int family);

// The remembered family when the key and value exist and hold a selectable family; nothing
// otherwise (no key, no value, another type, another number, an unreadable file).
std::optional<int> ReadRememberedFamily();

// Writes the family, creating the key when missing; false when it could not be written.
bool StoreRememberedFamily(int family);

}  // namespace app
