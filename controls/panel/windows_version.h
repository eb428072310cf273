// Which desktop generation the system reports, for the panels that adapt to it.
#pragma once

namespace panel {

// Whether the system offers the services of the newer desktop generation that the panel group
// adapts to (it turns its own double buffering off there). Told by the system library
// "kernel32" exporting "GetLocaleInfoEx"; this platform has no such library, so the answer is
// false and panel groups keep their double buffering.
bool IsVistaOrLater();

// Whether the system's version is 5.1 or later: a major version above 5, or 5 with a non-zero
// minor version. Themed captions need it.
bool IsWinXPOrLater();

}  // namespace panel
