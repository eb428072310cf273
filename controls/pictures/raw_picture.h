// TRawPicture: the common part of the panel's pictures. It keeps a picture file's bytes exactly
// as loaded (stored with the form and saved back unchanged) and shows them through the
// platform's picture service; BMP, PNG, JPEG, GIF and ICO files are read.
#pragma once

#include <memory>
#include <string>

#include "platform/ui/core/streams.h"
#include "platform/ui/graphics/graphic.h"
#include "platform/ui/graphics/ole_picture.h"

namespace panel {

class TRawPicture : public ui::TGraphic {
public:
    TRawPicture();
    ~TRawPicture() override;

    // 0 without a decoded picture; else its size at 96 pixels per inch.
    int Width() const override;
    int Height() const override;
    // The size is the picture's own: setting it does nothing.
    void SetWidth(int) override {}
    void SetHeight(int) override {}
    bool Empty() const override { return empty_; }

    // Any failure (missing file, unreadable data) is swallowed: the picture becomes empty.
    void LoadFromFile(const std::string& file_name) override;
    // All bytes of the stream, from its start whatever its position; decoding errors propagate.
    // Fires OnChange.
    void LoadFromStream(ui::TStream& stream) override;
    // The raw data unchanged.
    void SaveToStream(ui::TStream& stream) const override;
    // The "Data" property of the stored form: as LoadFromStream / SaveToStream, without OnChange.
    void ReadData(ui::TStream& stream);
    void WriteData(ui::TStream& stream) const { SaveToStream(stream); }

    const ui::TMemoryStream& Data() const { return data_; }

protected:
    // Makes the picture empty and drops what was decoded.
    virtual void Forget();
    // Decodes the data into the picture; errors propagate.
    virtual void DecodePicture();
    // Takes all of `stream` as the data, then decodes it.
    void TakeData(ui::TStream& stream);
    // Decodes the data; the picture is no longer empty once that succeeded (a failure leaves it
    // empty and propagates).
    void DecodeData();
    // Copies another picture's data; decodes it unless that picture is empty.
    void CopyData(const TRawPicture& other);

    ui::TMemoryStream data_;
    bool empty_ = true;
    std::unique_ptr<ui::TOlePicture> picture_;
    int pixels_per_inch_x_ = ui::kScreenPixelsPerInch;
    int pixels_per_inch_y_ = ui::kScreenPixelsPerInch;
};

}  // namespace panel
