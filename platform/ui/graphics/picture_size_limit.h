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

// The most bytes a compressed stream of each kind can unpack to from one byte of it: deflate
// (PNG) codes at best 258 bytes in 2 bits; a GIF's LZW codes at best 4096 pixels in 12 bits.
inline constexpr std::uint64_t kDeflateMostPerByte = 1032;
inline constexpr std::uint64_t kLzwMostPerByte = 2731;

// Raises EInvalidGraphic "<format> image is not valid: <width> x <height> pixels cannot be
// decoded from <data_bytes> bytes" when `unpacked_bytes`, what the header says its compressed
// data unpacks to, is more than `data_bytes` of that data can hold at `most_per_byte`. Such a
// file lies about its size or is cut short; it is refused before its pixels are allocated.
void CheckPictureData(const char* format, std::uint64_t width, std::uint64_t height, std::uint64_t unpacked_bytes,
                      std::uint64_t data_bytes, std::uint64_t most_per_byte);

}  // namespace ui
