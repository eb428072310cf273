#include "controls/panel/windows_version.h"

#include "platform/kernel/module.h"

namespace panel {

bool IsVistaOrLater() {
    const std::unique_ptr<kernel::Module> module = kernel::Module::Load("kernel32");
    return module && module->Symbol("GetLocaleInfoEx") != nullptr;
}

}  // namespace panel
