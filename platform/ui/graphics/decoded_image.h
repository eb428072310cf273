// TDecodedImage: a PNG or GIF file read through the toolkit's image reader into a bitmap
// (32-bit when the file has an alpha channel, else 24-bit). GIF shows its first frame.
// Saving writes PNG data for PNG images; GIF images cannot be saved.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/ui/graphics/bitmap.h"

namespace ui {

enum class TDecodedFormat { dfPNG, dfGIF };

class TDecodedImage : public TBitmap {
public:
    explicit TDecodedImage(TDecodedFormat format) : format_(format) {}

    std::string ClassName() const override { return "TDecodedImage"; }
    TDecodedFormat Format() const { return format_; }

    // Reads the stream a piece at a time. Unreadable data raises EInvalidGraphic "<PNG|GIF> image
    // is not valid: <reason>": among them a GIF whose first image is cut short, and a picture
    // larger than its compressed data can hold (picture_size_limit.h), refused before anything is
    // allocated for it. A picture beyond the size limit raises the too-large error.
    void LoadFromStream(TStream& stream) override;
    // PNG: PNG data; GIF: EInvalidGraphicOperation "Cannot save GIF images".
    void SaveToStream(TStream& stream) const override;
    std::unique_ptr<TGraphic> NewOfSameClass() const override { return std::make_unique<TDecodedImage>(format_); }

private:
    TDecodedFormat format_;
};

// What a PNG file's image header says; nothing when the data does not begin with the PNG
// signature and an image header.
struct TPngHeader {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint8_t bit_depth = 0;
    std::uint8_t colour_type = 0;
    bool interlaced = false;

    // The bytes its compressed data must unpack to at least: the filtered rows.
    std::uint64_t UnpackedBytes() const;
    // Bytes a pixel takes in the toolkit's picture it is read into: 8 for 16-bit samples.
    int ReadBytesPerPixel() const { return bit_depth == 16 ? 8 : 4; }
};
inline constexpr std::size_t kPngHeaderBytes = 8 + 8 + 13;
std::optional<TPngHeader> ReadPngHeader(const std::uint8_t* data, std::size_t size);

}  // namespace ui
