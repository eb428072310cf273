#include "app/family_setting.h"

#include <exception>

#include "app/device_family.h"
#include "platform/settings/registry.h"

namespace app {

bool IsSelectableFamily(int family) {
    return family >= 0 && family < kDeviceFamilyCount &&
           DeviceFamilies[static_cast<std::size_t>(family)].Selector.Name != nullptr;
}

std::optional<int> ReadRememberedFamily() {
    try {
        settings::TRegistry registry;
        registry.SetRootKey(settings::RootKey::CurrentUser);
        if (!registry.OpenKey(kSettingsKey, false)) return std::nullopt;
        if (!registry.ValueExists(kFamilyValueName)) return std::nullopt;
        const int family = registry.ReadInteger(kFamilyValueName);
        if (!IsSelectableFamily(family)) return std::nullopt;
        return family;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

bool StoreRememberedFamily(int family) {
    try {
        settings::TRegistry registry;
        registry.SetRootKey(settings::RootKey::CurrentUser);
        if (!registry.OpenKey(kSettingsKey, true)) return false;
        registry.WriteInteger(kFamilyValueName, family);
        registry.CloseKey();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace app
