// The largest picture the class library's readers load, the same for every format, and the one
// error for a picture beyond it. A reader checks the size its header gives before it allocates
// or decodes anything.
#pragma once

#include <cstdint>

namespace ui {

// 64 Mi pixels: a 256 MB bitmap at 32 bits per pixel.
inline constexpr std::uint64_t kMaxPicturePixels = 1ull << 26;

// Raises EInvalidGraphic "<format> image is too large: <width> x <height> pixels (at most
// 67108864 pixels)" when the picture has more than kMaxPicturePixels; `format` is the reader's
// name for it ("Bitmap", "JPEG", "PNG", "GIF").
void CheckPictureSize(const char* format, std::uint64_t width, std::uint64_t height);

}  // namespace ui
