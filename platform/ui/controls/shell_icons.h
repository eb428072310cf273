// The desktop's icons for files and folders, small (16 x 16) and large (32 x 32), as the
// file manager shows them.
#pragma once

#include <string>

#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/geometry.h"

namespace ui {

// Pixel size of the small or the large system icons.
TSize ShellIconSize(bool large);

// Draws the icon of `path` at (x, y), blending its transparent parts: the icon of the file or
// folder when it exists, else the icon for a file of that name's extension. Returns false when
// the desktop gives no icon (nothing is drawn).
bool DrawShellFileIcon(TCanvas& canvas, int x, int y, bool large, const std::string& path);

// Draws one of the desktop's stock icons by the number the system image list gives it: 3 and 4
// a folder, 8 a drive, 15 the computer, 17 the network, 31 the wastebasket; every other number
// the icon of a file of unknown kind. Returns false when the desktop gives no icon.
bool DrawShellStockIcon(TCanvas& canvas, int x, int y, bool large, int index);

}  // namespace ui
