// One card of the album as the file and device formats see it: its caption (UTF-8, as all text
// inside the program) and its picture. A view: the card list owns both.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/core/exceptions.h"
#include "platform/ui/graphics/bitmap.h"

namespace app {

struct AlbumPage {
    std::string caption;
    const ui::TBitmap* picture = nullptr;  // never null in a page built from the card list
};

using AlbumPages = std::vector<AlbumPage>;

// The album file and the device hold no empty picture (the file's reader refuses one, and a
// device shows nothing for it): a page without a picture, or with an empty one, raises
// ui::Exception "Card "<caption>" has no picture" before anything is written or sent.
inline void RequirePicture(const AlbumPage& page) {
    if (page.picture == nullptr || page.picture->Empty()) {
        throw ui::Exception("Card \"" + page.caption + "\" has no picture");
    }
}

}  // namespace app
