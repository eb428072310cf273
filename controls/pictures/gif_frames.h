// The frames of a multi-frame GIF file as the markup pictures select them. A frame starts at a
// frame marker: a graphic control extension of the standard length (0x21 0xF9 0x04 ...) whose
// image descriptor (0x2C) follows directly, 8 bytes after the marker. Every byte position is
// tested, and a marker counts only when its whole image descriptor lies inside the data, so a
// truncated file is never read past its end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace panel {

// The data holds at least 5 bytes and starts with "GIF8".
bool IsGif(const std::vector<std::uint8_t>& data);

// True when a frame marker stands at `position`.
bool IsGifFrameMarker(const std::vector<std::uint8_t>& data, std::size_t position);

// Number of frame markers in the data.
int CountGifFrameMarkers(const std::vector<std::uint8_t>& data);

struct GifFrameSelection {
    // The bytes for a decoder that shows a GIF's first image: the header and colour table, then
    // everything from the marker of the selected frame on.
    std::vector<std::uint8_t> data;
    // The selected frame's image descriptor (all 0 when no marker is the selected frame).
    std::uint16_t left = 0;
    std::uint16_t top = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    // The logical screen size from the file's header.
    std::uint16_t screen_width = 0;
    std::uint16_t screen_height = 0;
};

// Frame `frame` (1-based) of a GIF with at least one frame marker. A frame number beyond the
// markers leaves out every byte from the first marker on.
GifFrameSelection SelectGifFrame(const std::vector<std::uint8_t>& data, int frame);

}  // namespace panel
