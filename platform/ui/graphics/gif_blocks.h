// The block structure of a GIF file, walked without decoding: where its first image lies and
// whether the file holds that image's data whole. The platform's picture service shows only the
// first image; a file cut inside it must not show as a picture whose lower part is black.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/ui/core/streams.h"
#include "platform/ui/graphics/geometry.h"

namespace ui {

struct TGifFirstImage {
    // Left, top, width and height as its image descriptor gives them.
    TRect bounds;
    // The bytes of its compressed data, the sub-blocks' length bytes left out.
    std::uint64_t data_bytes = 0;
    // The data ends with its block terminator inside the file.
    bool whole = false;
    // Bytes from the walk's start to the end of that terminator: all a reader of the first image
    // needs of the file.
    std::uint64_t end = 0;
};

// Walks the blocks from the stream's position (the "GIF8" signature) and leaves the stream where
// the walk ended. Nothing when the file ends before the first image descriptor or holds
// something else where a block should begin. Every read is bounded by the stream's end.
std::optional<TGifFirstImage> FindGifFirstImage(TStream& stream);

}  // namespace ui
