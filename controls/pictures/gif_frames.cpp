#include "controls/pictures/gif_frames.h"

namespace panel {

namespace {

// Offsets from a frame marker: the image separator, and the descriptor's four 16-bit values.
constexpr std::size_t kSeparatorOffset = 8;
constexpr std::size_t kDescriptorValuesOffset = 9;
// Marker through the end of the image descriptor (separator, four words, flags).
constexpr std::size_t kMarkerSpan = kSeparatorOffset + 10;

std::uint16_t Word(const std::vector<std::uint8_t>& data, std::size_t at) {
    return static_cast<std::uint16_t>(data[at] | (data[at + 1] << 8));
}

}  // namespace

bool IsGif(const std::vector<std::uint8_t>& data) {
    return data.size() >= 5 && data[0] == 'G' && data[1] == 'I' && data[2] == 'F' && data[3] == '8';
}

bool IsGifFrameMarker(const std::vector<std::uint8_t>& data, std::size_t position) {
    if (position >= data.size() || data.size() - position < kMarkerSpan) return false;
    return data[position] == 0x21 && data[position + 1] == 0xF9 && data[position + 2] == 0x04 &&
           data[position + kSeparatorOffset] == 0x2C;
}

int CountGifFrameMarkers(const std::vector<std::uint8_t>& data) {
    int count = 0;
    for (std::size_t p = 0; p < data.size(); ++p) {
        if (IsGifFrameMarker(data, p)) ++count;
    }
    return count;
}

GifFrameSelection SelectGifFrame(const std::vector<std::uint8_t>& data, int frame) {
    GifFrameSelection out;
    // A marker needs kMarkerSpan bytes after a header of at least 6, so a file with one holds
    // the logical screen size at 6 and 8.
    if (data.size() >= 10) {
        out.screen_width = Word(data, 6);
        out.screen_height = Word(data, 8);
    }
    out.data.reserve(data.size());
    int k = 1;
    bool skipping = false;
    for (std::size_t p = 0; p < data.size(); ++p) {
        if (IsGifFrameMarker(data, p)) {
            if (k == frame) {
                const std::size_t v = p + kDescriptorValuesOffset;
                out.left = Word(data, v);
                out.top = Word(data, v + 2);
                out.width = Word(data, v + 4);
                out.height = Word(data, v + 6);
            }
            ++k;
            skipping = frame >= k;
        }
        if (!skipping) out.data.push_back(data[p]);
    }
    return out;
}

}  // namespace panel
