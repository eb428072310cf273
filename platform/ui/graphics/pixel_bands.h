// How a decoder that writes 32-bit pixels itself hands a picture over: blue, green, red and
// alpha a pixel, rows top-down without gaps, in bands of rows into memory the receiver gives.
// The receiver picks the band's height once it knows the picture's size, so it can still take a
// picture whole (one band) when it finds it cannot use bands, without the file being read again.
#pragma once

#include <cstdint>
#include <functional>

namespace ui {

// Where a picture's first band goes: memory for band_rows rows of width * 4 bytes, and the rows a
// band has, from 1 up to the picture's height (the height: the whole picture, in one band).
struct TPixelBand {
    std::uint8_t* rows = nullptr;
    int band_rows = 0;
};

// Called once the picture's size is known, before any pixel is decoded.
using TPixelBandStart = std::function<TPixelBand(int width, int height)>;

// Called after each band (the last may be shorter) with rows first..first+count-1 in the memory
// last given; returns the memory for the next band. May be empty when the band is the whole
// picture.
using TPixelBandDone = std::function<std::uint8_t*(int first, int count)>;

}  // namespace ui
