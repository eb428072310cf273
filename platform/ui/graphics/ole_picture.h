// TOlePicture: the platform's picture service for picture files held in memory. The file's
// format is told by its first bytes, from the registry of picture formats (BMP, PNG, JPEG, GIF,
// ICO; picture_formats.h), and decoded by the class library's codecs. As the platform's service does, a GIF shows its
// first image only, at that image's own size (not the logical screen's), and sizes are kept in HIMETRIC units (0.01 mm)
// at 96 pixels per inch.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/ui/graphics/canvas.h"

class QImage;

namespace ui {

// Pixels at 96 per inch in HIMETRIC units and back, rounded as MulDiv rounds.
int HimetricFromPixels(int pixels);
int PixelsFromHimetric(int himetric, int pixels_per_inch = kScreenPixelsPerInch);

class TOlePicture {
public:
    // The decoded picture; nullptr when no decoder reads the data (unknown or corrupt format).
    static std::unique_ptr<TOlePicture> Load(const std::uint8_t* data, std::size_t size);
    ~TOlePicture();
    TOlePicture(const TOlePicture&) = delete;
    TOlePicture& operator=(const TOlePicture&) = delete;

    int HimetricWidth() const { return himetric_width_; }
    int HimetricHeight() const { return himetric_height_; }

    // Draws the picture as the platform's Render does: the destination starts at (x, y) and
    // spans cx, cy pixels; the source starts at (src_x, src_y) in HIMETRIC units, whose y axis
    // points up from the picture's bottom edge, and spans src_cx, src_cy. A destination and a
    // source that run in opposite vertical directions give an upright picture; the same
    // direction gives it upside down. Transparent pixels let the canvas show through.
    void Render(TCanvas& canvas, int x, int y, int cx, int cy, int src_x, int src_y, int src_cx, int src_cy) const;

    // Platform side: the decoded pixels (32-bit with alpha).
    const QImage& Image() const { return *image_; }

private:
    explicit TOlePicture(std::unique_ptr<QImage> image);

    std::unique_ptr<QImage> image_;
    int himetric_width_ = 0;
    int himetric_height_ = 0;
};

}  // namespace ui
