// One card of the album as the file and device formats see it: its caption (UTF-8, as all text
// inside the program) and its picture. A view: the card list owns both.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/graphics/bitmap.h"

namespace app {

struct AlbumPage {
    std::string caption;
    const ui::TBitmap* picture = nullptr;  // never null in a page built from the card list
};

using AlbumPages = std::vector<AlbumPage>;

}  // namespace app
