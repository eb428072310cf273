#include "controls/panel/windows_version.h"

namespace panel {

bool IsVistaOrLater(const std::function<bool(const std::string&)>& kernel_exports) {
    return kernel_exports("GetLocaleInfoEx");
}

bool IsWinXPOrLater() {
    const kernel::OsVersion v = kernel::SystemVersion();
    return v.major > 5 || (v.major == 5 && v.minor != 0);
}

}  // namespace panel
