// TBitmap: a device-independent bitmap of 24 or 32 bits per pixel with a canvas and direct
// row access. Pixel layout as TPixelFormat describes; ScanLine(0) is the top row.
// Streams and files hold BMP data (see bmp_codec.h).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/colors.h"
#include "platform/ui/graphics/graphic.h"

class QImage;

namespace ui {

enum class TTransparentMode { tmAuto, tmFixed };

class TBitmap : public TGraphic {
public:
    TBitmap();
    ~TBitmap() override;

    void Assign(const TPersistent* source) override;
    std::string ClassName() const override { return "TBitmap"; }

    int Width() const override;
    int Height() const override;
    void SetWidth(int width) override;
    void SetHeight(int height) override;
    // Negative sizes become 0. Pixels inside both the old and the new size are kept, new ones
    // are white (opaque).
    void SetSize(int width, int height);
    bool Empty() const override;

    // New bitmaps are pf24bit. Changing the format converts the pixels: 24 -> 32 gives alpha
    // 255, 32 -> 24 drops the alpha bytes.
    TPixelFormat PixelFormat() const { return pixel_format_; }
    void SetPixelFormat(TPixelFormat format);

    TCanvas& Canvas() { return *canvas_; }
    // Address of row `row` (0 = top); rows are ((Width * bits + 31) / 32) * 4 bytes apart.
    // Raises EInvalidGraphicOperation "Scan line index out of range" outside 0..Height-1.
    std::uint8_t* ScanLine(int row);
    const std::uint8_t* ScanLine(int row) const;
    int BytesPerScanLine() const;

    // Transparent colour: with tmAuto the bottom-left pixel (clDefault for an empty bitmap),
    // with tmFixed the colour set.
    TColor TransparentColor() const;
    void SetTransparentColor(TColor color);  // switches to tmFixed
    TTransparentMode TransparentMode() const { return transparent_mode_; }
    void SetTransparentMode(TTransparentMode mode);

    // Reads BMP data; raises EInvalidGraphic on corrupt or unsupported data (bitmap unchanged).
    void LoadFromStream(TStream& stream) override;
    // Reads the program's bitmap resource `name` (a BMP in the program's resources under
    // ":/bitmaps/<name>.bmp"); raises EResNotFound "Resource <name> not found" when it has none.
    void LoadFromResourceName(const std::string& name);
    // Writes a 32-bit bottom-up BMP file (54-byte header); 24-bit pixels get alpha 255.
    void SaveToStream(TStream& stream) const override;

    void Draw(TCanvas& canvas, const TRect& rect) const override;
    std::unique_ptr<TGraphic> NewOfSameClass() const override { return std::make_unique<TBitmap>(); }

    // Platform side: the pixel store (never null).
    const QImage& Image() const { return *image_; }
    // Replaces the pixels by `image` converted to this bitmap's layout, on the calling thread;
    // platform decoders use it. An image handed over by move is let go as soon as it is converted.
    void SetImage(QImage image, TPixelFormat format);

protected:
    void AssignTo(TPersistent* dest) const override;

private:
    void ReplaceImage(std::unique_ptr<QImage> image, TPixelFormat format);

    std::unique_ptr<QImage> image_;
    std::unique_ptr<TCanvas> canvas_;
    // Kept apart from the image: a bitmap may be 0 wide and still have a height.
    int width_ = 0;
    int height_ = 0;
    TPixelFormat pixel_format_ = TPixelFormat::pf24bit;
    TTransparentMode transparent_mode_ = TTransparentMode::tmAuto;
    TColor transparent_color_ = clDefault;
};

}  // namespace ui
