// The card list's own small pictures, drawn in code: the check box in both states (what the
// list shows for Boolean items when no visual style is active) and a rating star in both states.
// Each has a white border pixel in its bottom-left corner, so automatic transparency keys on it.
#pragma once

#include "platform/ui/graphics/bitmap.h"

namespace cardlist {

inline constexpr int kCheckBoxBitmapSize = 13;
inline constexpr int kRatingBitmapSize = 13;

// A 13 x 13 box: dark grey frame, white inside, a black tick when checked.
void MakeCheckBoxBitmap(ui::TBitmap& bitmap, bool checked);
// A 13 x 13 star on white: gold when active, light grey when inactive.
void MakeRatingBitmap(ui::TBitmap& bitmap, bool active);

}  // namespace cardlist
