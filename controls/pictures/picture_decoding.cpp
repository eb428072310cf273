#include "controls/pictures/picture_decoding.h"

#include <new>

#include "platform/ui/core/exceptions.h"

namespace panel {

std::unique_ptr<ui::TOlePicture> DecodePictureData(const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> block;
    try {
        block = data;  // the service reads its own copy, freed on every path
    } catch (const std::bad_alloc&) {
        throw ui::Exception("Could not allocate memory for image");
    }
    std::unique_ptr<ui::TOlePicture> picture = ui::TOlePicture::Load(block.data(), block.size());
    if (!picture) throw ui::Exception("Could not load image. Invalid format");
    return picture;
}

int DecodedWidth(const ui::TOlePicture* picture) {
    return picture ? ui::PixelsFromHimetric(picture->HimetricWidth()) : 0;
}

int DecodedHeight(const ui::TOlePicture* picture) {
    return picture ? ui::PixelsFromHimetric(picture->HimetricHeight()) : 0;
}

void RenderStretched(const ui::TOlePicture& picture, ui::TCanvas& canvas, const ui::TRect& rect) {
    picture.Render(canvas, rect.Left, rect.Bottom, rect.Right - rect.Left, rect.Top - rect.Bottom, 0, 0,
                   picture.HimetricWidth(), picture.HimetricHeight());
}

}  // namespace panel
