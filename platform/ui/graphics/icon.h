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
// directory and the image's own header describe it, read without decoding.
struct TIconImage {
    int entry = 0;  // its place in the directory
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    // Where its own data lies in the file and how long it is, as the directory gives them.
    std::uint64_t offset = 0;
    std::uint64_t bytes = 0;
    // For an image stored as a PNG file: its header.
    std::optional<TPngHeader> png;
};
// From the directory at the file's start; raises the icon's error when it is unreadable.
TIconImage ReadIconDirectory(const std::uint8_t* data, std::size_t size);
// Refines the size from the first bytes of the image's own data (read from its offset): a PNG's
// image header, or a bitmap info header whose height counts the mask's rows too.
void ReadIconImageHeader(TIconImage& image, const std::uint8_t* own, std::size_t size);
inline constexpr std::size_t kIconImageHeaderBytes = kPngHeaderBytes;

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
