#include "platform/ui/graphics/picture_size_limit.h"

#include <string>

#include "platform/ui/core/exceptions.h"

namespace ui {

void CheckPictureSize(const char* format, std::uint64_t width, std::uint64_t height) {
    // Header fields are at most 32 bits wide: the product cannot overflow.
    if (width * height <= kMaxPicturePixels) return;
    throw EInvalidGraphic(std::string(format) + " image is too large: " + std::to_string(width) + " x " +
                          std::to_string(height) + " pixels (at most " + std::to_string(kMaxPicturePixels) +
                          " pixels)");
}

}  // namespace ui
