// Services a test replaces so that nothing leaves the process or moves the real cursor: the
// URL opener and the cursor warp. (The file dialogs have their own service in dialogs.h.)
#pragma once

#include <functional>
#include <string>

#include "platform/ui/graphics/geometry.h"

namespace ui {

using TUrlOpener = std::function<bool(const std::string& url)>;
using TCursorWarp = std::function<void(TPoint screen_pos)>;

// Each setter returns the previous service; an empty function restores the platform's.
TUrlOpener SetUrlOpener(TUrlOpener opener);
TCursorWarp SetCursorWarp(TCursorWarp warp);

// Opens a URL with the desktop's handler; false when it could not be started.
bool OpenUrl(const std::string& url);
void WarpCursor(TPoint screen_pos);

}  // namespace ui
