#include "controls/panel/windows_version.h"

#include "platform/kernel/module.h"
#include "platform/kernel/system_info.h"

namespace panel {

bool IsVistaOrLater() {
    const std::unique_ptr<kernel::Module> module = kernel::Module::Load("kernel32");
    return module && module->Symbol("GetLocaleInfoEx") != nullptr;
}

bool IsWinXPOrLater() {
    const kernel::OsVersion v = kernel::SystemVersion();
    return v.major > 5 || (v.major == 5 && v.minor != 0);
}

}  // namespace panel
