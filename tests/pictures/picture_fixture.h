// Picture files made in memory for the picture, markup and panel tests: a PNG of any size and
// colour, and a GIF of several frames, each a solid rectangle of one colour at its own place on
// the logical screen.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ui/core/streams.h"
#include "platform/ui/graphics/colors.h"

namespace panel_test {

// A PNG file of `width` x `height` pixels in `color`.
std::vector<std::uint8_t> PngFile(int width, int height, ui::TColor color);

struct GifFrameSpec {
    int left, top, width, height;
    int color_index;  // into the palette below
};

// Palette of the generated GIFs: white, red, green, blue.
inline constexpr ui::TColor kGifPalette[4] = {ui::clWhite, ui::clRed, ui::clLime, ui::clBlue};

// Three frames on an 8 x 6 screen: red over all of it, green 3 x 2 at (2, 1), blue 2 x 2 at (5, 4).
inline const std::vector<GifFrameSpec> kThreeFrames = {{0, 0, 8, 6, 1}, {2, 1, 3, 2, 2}, {5, 4, 2, 2, 3}};

// A GIF89a file with a 4-colour global palette and one graphic control extension plus image per
// frame, ending with the trailer.
std::vector<std::uint8_t> GifFile(int screen_width, int screen_height, const std::vector<GifFrameSpec>& frames);

// Offsets of the frame markers (the extensions' 0x21) in a file made by GifFile.
std::vector<std::size_t> GifMarkerOffsets(int screen_width, int screen_height, const std::vector<GifFrameSpec>& frames);

// The stream holds `bytes`, positioned at its start.
void SetBytes(ui::TMemoryStream& stream, const std::vector<std::uint8_t>& bytes);

// Loads `bytes` into a graphic through its stream reading (decoding errors propagate).
template <typename Graphic>
void LoadPicture(Graphic& graphic, const std::vector<std::uint8_t>& bytes) {
    ui::TMemoryStream stream;
    SetBytes(stream, bytes);
    graphic.LoadFromStream(stream);
}

// Writes bytes to a new file under the test's temporary folder; returns its path.
std::string WriteTempFile(const std::string& name, const std::vector<std::uint8_t>& bytes);

}  // namespace panel_test
