// Cards of plain pictures added to an album by tests, captioned "Picture 1", "Picture 2", ... as
// the user's pictures would be.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/album_cards.h"
#include "platform/ui/graphics/bitmap.h"

namespace app_test {

// Appends `count` cards, each with a picture of `format` and the given size; `paint`, when given,
// fills each picture. A card without a picture is a fatal failure (wrap the call in
// ASSERT_NO_FATAL_FAILURE to end the test there).
inline void AddPictureCards(app::AlbumCards& album, int count, ui::TPixelFormat format, int width, int height,
                            const std::function<void(ui::TBitmap&)>& paint = {}) {
    for (int k = 0; k < count; ++k) {
        ui::TBitmap* picture = album.NewCard("Picture " + std::to_string(k + 1), false);
        ASSERT_NE(picture, nullptr);
        picture->SetPixelFormat(format);
        picture->SetSize(width, height);
        if (paint) paint(*picture);
    }
}

}  // namespace app_test
