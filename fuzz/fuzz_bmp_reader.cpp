// Feeds arbitrary bytes to the BMP reader: it must decode or refuse them with EInvalidGraphic,
// never read outside them, and read nothing beyond the layout its headers give. Inputs that
// claim a large picture are passed over (picture_claims.h).
//
// Seeds: fuzz/corpus/fuzz_bmp_reader, made by make_seed_corpus.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "fuzz/picture_claims.h"
#include "platform/ui/core/exceptions.h"
#include "platform/ui/graphics/bmp_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (fuzz::BmpClaim(data, size) > fuzz::kMaxClaimedPixels) return -1;  // not added to the corpus
    try {
        const ui::bmp::DecodedBmp decoded = ui::bmp::Decode(data, size);
        if (decoded.pixels.size() !=
            static_cast<std::size_t>(decoded.width) * static_cast<std::size_t>(decoded.height)) {
            std::abort();
        }
        // What was read must write back into a file that reads the same.
        const auto file = ui::bmp::Encode32(decoded.pixels.data(), decoded.width, decoded.height);
        const ui::bmp::DecodedBmp again = ui::bmp::Decode(file.data(), file.size());
        if (again.pixels != decoded.pixels) std::abort();
        // The layout its headers give: its size, and no byte read beyond its file_bytes (a reader
        // of a file stops there).
        const ui::bmp::BmpLayout layout = ui::bmp::ReadLayout(data, size);
        if (layout.width != decoded.width || layout.height != decoded.height) std::abort();
        if (layout.file_bytes < size) {
            const ui::bmp::DecodedBmp prefix = ui::bmp::Decode(data, static_cast<std::size_t>(layout.file_bytes));
            if (prefix.pixels != decoded.pixels) std::abort();
        }
    } catch (const ui::EInvalidGraphic&) {}
    return 0;
}
