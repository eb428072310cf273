// TIcon: an icon file (.ico). The largest image of the file is shown (the deepest one among
// equal sizes); it is drawn blending its alpha over the target. The file's bytes are kept and
// saved back unchanged.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/graphic.h"

namespace ui {

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

    // Unreadable data raises EInvalidGraphic "Icon image is not valid".
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
