// TPicture: holds one graphic of any registered format and picks the format of a file by its
// extension from the registry of picture formats (picture_formats.h): bmp (TBitmap), ico
// (TIcon), jpg/jpeg (TJPEGImage), png and gif (TDecodedImage). Metafiles (emf, wmf) cannot be
// read on this platform.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/graphic.h"
#include "platform/ui/graphics/picture_formats.h"

namespace ui {

// A new empty graphic for a file extension (with or without the dot, any case). Raises
// EInvalidGraphic "Unknown picture file extension (.xyz)" or, for emf/wmf,
// "Metafiles are not supported on this platform (.emf)".
std::unique_ptr<TGraphic> CreateGraphicForExtension(const std::string& extension);

// Loads a picture file straight into 32-bit pixels when its format's decoder can write them
// (JPEG), reading the file a block at a time: `pixels_for` as for DecodeJpegPixels32, errors as
// TPicture::LoadFromFile. False, with nothing read, for the other formats: those load through a
// TPicture.
bool LoadPictureFilePixels32(const std::string& file_name,
                             const std::function<std::uint8_t*(int width, int height)>& pixels_for);

// LoadPictureFilePixels32 in the bands of rows the receiver picks once it knows the picture's
// size (pixel_bands.h): a receiver that finds it cannot use bands takes the picture whole, in one
// band, from the bytes already read, and the file is read once.
bool LoadPictureFileBands32(const std::string& file_name, const TPixelBandStart& start,
                            const TPixelBandDone& band_done);

// What loading the file takes (TPictureLoadCost), told from its headers, with bands of
// `band_rows` rows.
TPictureLoadCost PictureFileLoadCost(const std::string& file_name, int band_rows);

class TPicture : public TPersistent {
public:
    TPicture();
    ~TPicture() override;
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    // From another picture or a graphic (copied into a new graphic of its class); nullptr clears.
    void Assign(const TPersistent* source) override;
    std::string ClassName() const override { return "TPicture"; }

    // The graphic held, or nullptr.
    TGraphic* Graphic() const { return graphic_.get(); }
    // Copies `graphic` into a new graphic of its class; nullptr clears the picture.
    void SetGraphic(const TGraphic* graphic);
    // Takes ownership of a graphic.
    void SetGraphic(std::unique_ptr<TGraphic> graphic);
    // The graphic as a bitmap: replaces any other graphic by a new empty TBitmap first.
    TBitmap& Bitmap();

    int Width() const;
    int Height() const;

    // Loads by extension; on any error the picture keeps its previous graphic.
    void LoadFromFile(const std::string& file_name);
    // Saves the graphic in its own format; nothing for an empty picture.
    void SaveToFile(const std::string& file_name) const;

    // Fired when the graphic is replaced or changes.
    TNotifyEvent OnChange;

protected:
    void AssignTo(TPersistent* dest) const override;

private:
    void Changed();
    void Hook();

    std::unique_ptr<TGraphic> graphic_;
};

}  // namespace ui
