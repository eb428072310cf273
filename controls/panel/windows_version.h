// Whether the system offers the services of the newer desktop generation that the panel group
// adapts to (it turns its own double buffering off there). Told by the system library
// "kernel32" exporting "GetLocaleInfoEx"; this platform has no such library, so the answer is
// false and panel groups keep their double buffering.
#pragma once

namespace panel {

bool IsVistaOrLater();

}  // namespace panel
