// The registry of picture formats the class library reads: one row a format, saying what the
// format is (its file extensions, its name in the picture dialog, the bytes its files begin
// with) and what it can do (the graphic that loads it, where that graphic keeps its pixels, the
// memory loading it takes, whether its decoder writes 32-bit pixels itself). Every consumer reads
// this table: TPicture picks a file's graphic by extension, the picture dialog's filter lists the
// rows in their order, the picture service tells data by its first bytes, and the loading of
// scaled pictures asks which formats decode in bands. Fixed: nothing registers formats at run
// time. A new format is a new value of TPictureFormat and its row in picture_formats.cpp.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "platform/ui/core/streams.h"
#include "platform/ui/graphics/geometry.h"
#include "platform/ui/graphics/pixel_bands.h"

namespace ui {

class TBitmap;
class TGraphic;

// The formats in the registry's order (the order the picture dialog lists them in). A new one
// goes last, and the count below names it.
enum class TPictureFormat { gfBitmap, gfIcon, gfJPEG, gfPNG, gfGIF };
inline constexpr std::size_t kPictureFormatCount = static_cast<std::size_t>(TPictureFormat::gfGIF) + 1;

// What loading a picture file takes of memory at its peak, told from its headers alone, so
// that pictures loaded side by side can be held to a total: the picture's width and height;
// `whole`, the bytes TPicture::LoadFromFile (or LoadPictureFilePixels32) holds at most while it
// loads the file; `banded`, the bytes LoadPictureFileBands32 holds with bands of `band_rows`
// rows (the same as whole for the formats it does not read). All 0 when the file or its headers
// cannot be read: loading it then fails as well, and says why.
struct TPictureLoadCost {
    std::uint64_t width = 0;
    std::uint64_t height = 0;
    std::uint64_t whole = 0;
    std::uint64_t banded = 0;
};

// Extensions a format has at most.
inline constexpr std::size_t kMostPictureExtensions = 2;

struct TPictureFormatInfo {
    TPictureFormat format = TPictureFormat::gfBitmap;
    // Lower case, without the dot, in the order the picture dialog lists them; unused places
    // are empty.
    std::array<std::string_view, kMostPictureExtensions> extensions;
    // Its name in the picture dialog's filter, shown as "<description> (*.<extension>)".
    std::string_view description;
    // The bytes every file of the format begins with.
    std::string_view signature;
    // A new, empty graphic of the format's class.
    std::unique_ptr<TGraphic> (*create)() = nullptr;
    // The decoded pixels of a graphic this row's create made, as the picture service hands them
    // out.
    const TBitmap& (*pixels)(const TGraphic& graphic) = nullptr;
    // For a format whose reader shows more than the picture service does (a GIF's logical screen
    // around its first image): the part of the decoded pixels the service shows, walked from the
    // data at the stream's position; nothing when the data does not say. nullptr: all of them.
    std::optional<TRect> (*shown_part)(TStream& data) = nullptr;
    // What loading a file of the format takes (TPictureLoadCost), from the headers at the
    // stream's position. Raises the format's error for unreadable headers.
    TPictureLoadCost (*load_cost)(TStream& file, int band_rows) = nullptr;
    // For a format whose decoder writes 32-bit pixels itself: decodes the data at the stream's
    // position, reading it a block at a time, in the bands the receiver picks (pixel_bands.h).
    // nullptr: the format loads through its graphic.
    void (*decode32)(TStream& file, const TPixelBandStart& start, const TPixelBandDone& band_done) = nullptr;
};

// Every row, one for each TPictureFormat, in its order.
const std::array<TPictureFormatInfo, kPictureFormatCount>& PictureFormats();
const TPictureFormatInfo& PictureFormatInfo(TPictureFormat format);

// The row of a file extension, with or without its dot, in any case; nullptr when no format has
// it.
const TPictureFormatInfo* FindPictureFormat(std::string_view extension);
// The row whose signature the data begins with; nullptr when none does.
const TPictureFormatInfo* FindPictureFormatOfData(const std::uint8_t* data, std::size_t size);
// Metafiles (emf, wmf, with or without the dot, in any case): a format the class library knows
// but cannot read on this platform.
bool IsMetafileExtension(std::string_view extension);

}  // namespace ui
