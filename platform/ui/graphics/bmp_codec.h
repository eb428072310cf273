// Our reader and writer of BMP files. The reader takes 1, 4, 8, 16, 24 and 32 bits per pixel,
// RLE4 and RLE8, bit fields, top-down and bottom-up rows, and the 12, 40, 108 and 124-byte
// info headers. Every length it uses is checked against the data: a truncated or lying file
// raises EInvalidGraphic "Bitmap image is not valid: <reason>" and nothing is read outside it;
// a picture beyond the size limit raises the too-large error of picture_size_limit.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ui::bmp {

struct DecodedBmp {
    int width = 0;
    int height = 0;
    // The file has alpha (32-bit pixels, or an alpha bit field); otherwise alpha is 255.
    bool has_alpha = false;
    // Rows top-down, 0xAARRGGBB per pixel.
    std::vector<std::uint32_t> pixels;
};

DecodedBmp Decode(const std::uint8_t* data, std::size_t size);

// What the headers at the start of a file say, checked as Decode checks them (and with its
// errors); no pixel is read. `file_bytes` is the most of the file Decode reads: up to the end of
// the pixels, or for run-length coded pixels as far as the codes of this size can honestly reach.
// Whatever follows is not part of the picture.
struct BmpLayout {
    int width = 0;
    int height = 0;
    std::uint64_t file_bytes = 0;
};
BmpLayout ReadLayout(const std::uint8_t* data, std::size_t size);
// Bytes at the start of a file that hold every header ReadLayout reads.
inline constexpr std::size_t kLayoutBytes = 14 + 124 + 16;

// A 32-bit BI_RGB bottom-up file with the 14 + 40-byte header; `pixels` top-down 0xAARRGGBB.
std::vector<std::uint8_t> Encode32(const std::uint32_t* pixels, int width, int height);

}  // namespace ui::bmp
