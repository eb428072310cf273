// Which desktop generation the system reports, for the panels that adapt to it.
#pragma once

#include <functional>
#include <string>

#include "platform/kernel/system_info.h"

namespace panel {

// Whether the system offers the services of the newer desktop generation that the panel group
// adapts to (it turns its own double buffering off there): the kernel-services library exports
// "GetLocaleInfoEx". `kernel_exports` answers whether it exports a name; the system's answer by
// default, the same one the menus choose their caption font by.
bool IsVistaOrLater(const std::function<bool(const std::string&)>& kernel_exports = kernel::KernelExports);

// Whether the system's version is 5.1 or later: a major version above 5, or 5 with a non-zero
// minor version. Themed captions need it.
bool IsWinXPOrLater();

}  // namespace panel
