// Picture files for the tests of loading pictures: with detail in every channel, so that any
// difference in decoding or scaling shows, and damaged copies of them.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/decoded_image.h"
#include "platform/ui/graphics/jpeg.h"

namespace imaging::test {

// A w x h picture that differs with `seed`, saved as `file` in the format its extension names
// (".jpg", ".png" or ".bmp").
inline std::string WriteDetailedPicture(const std::string& file, int w, int h, int seed) {
    ui::TBitmap bitmap;
    bitmap.SetSize(w, h);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < 3 * w; ++x) row[x] = static_cast<std::uint8_t>((x * 5 + y * 3 + seed * 41) ^ (x * y / 7));
    }
    const std::string extension = file.substr(file.rfind('.'));
    if (extension == ".jpg") {
        ui::TJPEGImage jpeg;
        jpeg.Assign(&bitmap);
        jpeg.SaveToFile(file);
    } else if (extension == ".png") {
        ui::TDecodedImage png(ui::TDecodedFormat::dfPNG);
        png.Assign(&bitmap);
        png.SaveToFile(file);
    } else {
        bitmap.SaveToFile(file);
    }
    return file;
}

// The first `keep` (0..1) of file `from`, as file `to`: a picture cut short.
inline std::string WriteCutCopy(const std::string& from, const std::string& to, double keep) {
    std::ifstream in(from, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::ofstream(to, std::ios::binary) << bytes.substr(
        0, static_cast<std::size_t>(static_cast<double>(bytes.size()) * keep));
    return to;
}

}  // namespace imaging::test
