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

void CheckPictureData(const char* format, std::uint64_t width, std::uint64_t height, std::uint64_t unpacked_bytes,
                      std::uint64_t data_bytes, std::uint64_t most_per_byte) {
    // Divided rather than multiplied: a data size near 2^64 cannot overflow.
    if ((unpacked_bytes + most_per_byte - 1) / most_per_byte <= data_bytes) return;
    throw EInvalidGraphic(std::string(format) + " image is not valid: " + std::to_string(width) + " x " +
                          std::to_string(height) + " pixels cannot be decoded from " + std::to_string(data_bytes) +
                          " bytes");
}

}  // namespace ui
