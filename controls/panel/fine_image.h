// TFineImage: the graphic of a panel's background picture. It keeps the picture file's bytes
// as they were loaded (stored with the panel and saved back unchanged) and draws them through
// the platform's picture service, stretched to the rectangle it is given. BMP, PNG, JPEG, GIF
// (its first image) and ICO files are read.
#pragma once

#include <memory>
#include <string>

#include "platform/ui/core/streams.h"
#include "platform/ui/graphics/graphic.h"
#include "platform/ui/graphics/ole_picture.h"

namespace panel {

class TFineImage : public ui::TGraphic {
public:
    TFineImage();
    ~TFineImage() override;

    std::string ClassName() const override { return "TFineImage"; }

    // Empty first, the decoded picture dropped. nullptr clears the data; another non-empty
    // TFineImage gives its data; an image control, a picture or any other graphic gives the
    // bytes its graphic saves. Decoding errors propagate.
    void Assign(const ui::TPersistent* source) override;

    // 0 without a decoded picture; else its size at 96 pixels per inch.
    int Width() const override;
    int Height() const override;
    // The size is the picture's own: setting it does nothing.
    void SetWidth(int) override {}
    void SetHeight(int) override {}
    bool Empty() const override { return empty_; }

    // Any failure (missing file, unreadable data) is swallowed: the image becomes empty.
    void LoadFromFile(const std::string& file_name) override;
    // All bytes from the stream's position; decoding errors propagate. Fires OnChange.
    void LoadFromStream(ui::TStream& stream) override;
    // The raw data unchanged.
    void SaveToStream(ui::TStream& stream) const override;
    // The "Data" property of the stored form: as LoadFromStream / SaveToStream, without OnChange.
    void ReadData(ui::TStream& stream);
    void WriteData(ui::TStream& stream) const { SaveToStream(stream); }

    // Nothing when empty or not decoded; else the picture stretched into `rect`.
    void Draw(ui::TCanvas& canvas, const ui::TRect& rect) const override;
    std::unique_ptr<ui::TGraphic> NewOfSameClass() const override { return std::make_unique<TFineImage>(); }

    const ui::TMemoryStream& Data() const { return data_; }
    int PixelsPerInchX() const { return pixels_per_inch_x_; }
    int PixelsPerInchY() const { return pixels_per_inch_y_; }

private:
    void TakeData(ui::TStream& stream);
    void Decode();
    void Reset();

    ui::TMemoryStream data_;
    bool empty_ = true;
    std::unique_ptr<ui::TOlePicture> picture_;
    int pixels_per_inch_x_ = ui::kScreenPixelsPerInch;
    int pixels_per_inch_y_ = ui::kScreenPixelsPerInch;
};

}  // namespace panel
