// TIcon: an icon file (.ico). The largest image of the file is shown (the deepest one among
// equal sizes); it is drawn blending its alpha over the target. The file's bytes are kept and
// saved back unchanged.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/decoded_image.h"
#include "platform/ui/graphics/graphic.h"

namespace ui {

// The image an icon file shows (the largest, the deepest among equal sizes) as the file's
// directory and the image's own header describe it, read without decoding. Raises the icon's
// error when the directory is unreadable.
struct TIconImage {
    int entry = 0;  // its place in the directory
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    // For an image stored as a PNG file: its header, and the bytes the directory gives it.
    std::optional<TPngHeader> png;
    std::uint64_t png_bytes = 0;
};
TIconImage ReadIconImage(const std::uint8_t* data, std::size_t size);

class TIcon : public TGraphic {
public:
    TIcon();
    ~TIcon() override;

    void Assign(const TPersistent* source) override;
    std::string ClassName() const override { return "TIcon"; }

    int Width() const override;
    int Height() const override;
    // An icon cannot change its size: EInvalidGraphicOperation.
    void SetWidth(int width) override;
    void SetHeight(int height) override;
    bool Empty() const override;

    // Reads the directory first, then the file no further than its images reach. Unreadable data
    // raises EInvalidGraphic "Icon image is not valid: <reason>"; the image shown is checked
    // against the size limit and, stored as a PNG, against what its data can hold (as "Icon"),
    // before it is decoded.
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) const override;

    void Draw(TCanvas& canvas, const TRect& rect) const override;
    std::unique_ptr<TGraphic> NewOfSameClass() const override { return std::make_unique<TIcon>(); }

    // The chosen image as a 32-bit bitmap with its alpha bytes.
    const TBitmap& Bitmap() const { return *bitmap_; }

protected:
    void AssignTo(TPersistent* dest) const override;

private:
    std::unique_ptr<TBitmap> bitmap_;
    std::vector<std::uint8_t> data_;
};

}  // namespace ui
