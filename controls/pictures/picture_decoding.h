// Decoding a picture file held in memory through the platform's picture service, with the
// messages the panel's pictures report. Shared by the background image and the markup
// pictures.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/geometry.h"
#include "platform/ui/graphics/ole_picture.h"

namespace panel {

// The decoded picture of `data`. Raises ui::Exception "Could not allocate memory for image"
// when no memory is left for the copy handed to the service, and "Could not load image.
// Invalid format" when the service reads no picture from it.
std::unique_ptr<ui::TOlePicture> DecodePictureData(const std::vector<std::uint8_t>& data);

// Width or height of a decoded picture in pixels at 96 per inch (0 without one).
int DecodedWidth(const ui::TOlePicture* picture);
int DecodedHeight(const ui::TOlePicture* picture);

// Draws the picture stretched into `rect` (top-left upright), as the service renders it when
// given the rectangle's bottom-left corner and a negative height.
void RenderStretched(const ui::TOlePicture& picture, ui::TCanvas& canvas, const ui::TRect& rect);

}  // namespace panel
