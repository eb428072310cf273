// How a computed pixel meets the destination pixel it lands on.
#pragma once

#include <cstdint>
#include <functional>

#include "imaging/color32.h"

namespace imaging {

enum class TDrawMode : std::uint8_t {
    dmOpaque = 0,  // store the computed pixel
    dmBlend = 1,   // blend it over the destination with the source's master alpha
    dmCustom = 2,  // hand it to the source's OnPixelCombine
};

// F: the computed source pixel; B: the destination pixel, updated in place; M: the source
// bitmap's MasterAlpha.
using TPixelCombineEvent = std::function<void(TColor32 F, TColor32& B, TColor32 M)>;

}  // namespace imaging
