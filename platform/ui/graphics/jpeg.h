// TJPEGImage: a JPEG picture. It keeps the compressed data it was loaded from (saved back
// unchanged) and the decoded pixels as a 24-bit bitmap. Greyscale, RGB/YCbCr and CMYK/YCCK
// files decode (Adobe's inverted CMYK too). Assigning a bitmap stores its pixels; the data is
// then compressed as baseline JFIF at CompressionQuality when it is first needed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/graphic.h"
#include "platform/ui/graphics/pixel_bands.h"

namespace ui {

// Decodes JPEG data straight into 32-bit pixels, without a bitmap in between: blue, green, red
// and 255 a pixel (the bytes of TJPEGImage's pixels, made opaque), rows top-down without gaps.
// `pixels_for(width, height)` is called once the size is known and returns memory for
// width * height * 4 bytes. Errors as TJPEGImage::LoadFromStream; the memory may then hold
// part of the picture.
void DecodeJpegPixels32(const std::uint8_t* data, std::size_t size,
                        const std::function<std::uint8_t*(int width, int height)>& pixels_for);

// DecodeJpegPixels32 a band of `band_rows` rows at a time, so that a picture can be reduced while
// it is decoded without ever being whole in memory: `start(width, height)` returns memory for
// band_rows * width * 4 bytes; after each band (the last may be shorter) `band_done(first, count)`
// takes rows first..first+count-1 there and returns the memory for the next band. Errors as
// DecodeJpegPixels32, after which the bands delivered may show part of the picture.
void DecodeJpegBands32(const std::uint8_t* data, std::size_t size, int band_rows,
                       const std::function<std::uint8_t*(int width, int height)>& start,
                       const std::function<std::uint8_t*(int first, int count)>& band_done);

// DecodeJpegPixels32 and DecodeJpegBands32 reading the data from a stream, from its position,
// a block at a time: the compressed data is never in memory whole. A stream that ends before the
// picture does raises EInvalidGraphic "JPEG image is not valid: data is truncated".
void DecodeJpegPixels32(TStream& stream, const std::function<std::uint8_t*(int width, int height)>& pixels_for);
void DecodeJpegBands32(TStream& stream, int band_rows, const std::function<std::uint8_t*(int width, int height)>& start,
                       const std::function<std::uint8_t*(int first, int count)>& band_done);
// DecodeJpegBands32 from a stream with the band's height picked by the receiver once it knows the
// picture's size (pixel_bands.h): one band of the picture's height takes it whole, decoded from
// the bytes already read for its headers.
void DecodeJpegBands32(TStream& stream, const TPixelBandStart& start, const TPixelBandDone& band_done);

// What a JPEG's headers say, read from a stream without decoding anything: the size its pixels
// decode to, and the memory the decoder takes besides the pixels it hands over (for a picture
// of several scans the coefficients of the whole picture). Errors as TJPEGImage::LoadFromStream.
struct TJpegHeader {
    int width = 0;
    int height = 0;
    std::uint64_t decoder_bytes = 0;
};
TJpegHeader ReadJpegHeader(TStream& stream);

class TJPEGImage : public TGraphic {
public:
    TJPEGImage();
    ~TJPEGImage() override;

    // From another TJPEGImage (data, pixels and quality) or any TBitmap (its pixels).
    void Assign(const TPersistent* source) override;
    std::string ClassName() const override { return "TJPEGImage"; }

    int Width() const override;
    int Height() const override;
    // A JPEG cannot change its size: EInvalidGraphicOperation.
    void SetWidth(int width) override;
    void SetHeight(int height) override;
    bool Empty() const override;

    // 1..100 (values outside are clamped); default 90. Changing it drops compressed data that
    // came from assigned pixels, so the next save uses the new quality.
    int CompressionQuality() const { return quality_; }
    void SetCompressionQuality(int quality);

    // Compresses the pixels now when no compressed data is held.
    void Compress();
    // The decoded pixels (24-bit).
    const TBitmap& Bitmap() const { return *bitmap_; }

    // Corrupt or truncated data raises EInvalidGraphic "JPEG image is not valid: <reason>", a
    // picture beyond the size limit the too-large error of picture_size_limit.h.
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) const override;

    void Draw(TCanvas& canvas, const TRect& rect) const override;
    std::unique_ptr<TGraphic> NewOfSameClass() const override { return std::make_unique<TJPEGImage>(); }

protected:
    void AssignTo(TPersistent* dest) const override;

private:
    std::unique_ptr<TBitmap> bitmap_;
    // Compressed data; empty while only pixels are known (then filled on demand).
    mutable std::vector<std::uint8_t> data_;
    bool data_from_pixels_ = false;
    int quality_ = 90;
};

}  // namespace ui
