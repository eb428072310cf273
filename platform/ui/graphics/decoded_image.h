// TDecodedImage: a PNG or GIF file read through the toolkit's image reader into a bitmap
// (32-bit when the file has an alpha channel, else 24-bit). GIF shows its first frame.
// Saving writes PNG data for PNG images; GIF images cannot be saved.
#pragma once

#include <memory>
#include <string>

#include "platform/ui/graphics/bitmap.h"

namespace ui {

enum class TDecodedFormat { dfPNG, dfGIF };

class TDecodedImage : public TBitmap {
public:
    explicit TDecodedImage(TDecodedFormat format) : format_(format) {}

    std::string ClassName() const override { return "TDecodedImage"; }
    TDecodedFormat Format() const { return format_; }

    // Unreadable data raises EInvalidGraphic "<PNG|GIF> image is not valid: <reason>", a picture
    // beyond the size limit the too-large error of picture_size_limit.h.
    void LoadFromStream(TStream& stream) override;
    // PNG: PNG data; GIF: EInvalidGraphicOperation "Cannot save GIF images".
    void SaveToStream(TStream& stream) const override;
    std::unique_ptr<TGraphic> NewOfSameClass() const override { return std::make_unique<TDecodedImage>(format_); }

private:
    TDecodedFormat format_;
};

}  // namespace ui
