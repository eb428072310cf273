// Backgrounds with an optional picture, composed in their off-screen buffer.
#pragma once

#include <optional>

#include "controls/menus/menu_appearance.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/geometry.h"

namespace menus {

void DrawBackground(ui::TCanvas& canvas, ui::TRect rect, TBackground& background, bool paint_colour);
ui::TPoint ImagePosition(const TBackground& background, const ui::TRect& rect);

// A drop-down's background picture, composed once and copied per item while nothing it is made
// of changes: the drop-down's size and the background's picture, position, offsets and margins.
// (The background's colours do not enter it: it is composed with the colour off.)
class TBackgroundCache {
public:
    // The picture of `background` over a drop-down of `area`, composed again when it differs.
    ui::TBitmap& Picture(TBackground& background, const ui::TRect& area);
    // The next request composes the picture again.
    void Clear() { key_.reset(); }

private:
    struct Key {
        const TBackground* background;
        int width, height;
        unsigned image_revision;
        TBackgroundPosition position;
        int offset_x, offset_y, margin_x, margin_y;
        bool operator==(const Key&) const = default;
    };
    ui::TBitmap bitmap_;
    std::optional<Key> key_;
};

}  // namespace menus
