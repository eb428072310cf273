// Feeds arbitrary bytes to the BMP reader: it must decode or refuse them with EInvalidGraphic,
// never read outside them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/ui/graphics/bmp_codec.h"
#include "platform/ui/core/exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const ui::bmp::DecodedBmp decoded = ui::bmp::Decode(data, size);
        if (decoded.pixels.size() != static_cast<std::size_t>(decoded.width) * static_cast<std::size_t>(decoded.height)) {
            std::abort();
        }
        // What was read must write back into a file that reads the same.
        const auto file = ui::bmp::Encode32(decoded.pixels.data(), decoded.width, decoded.height);
        const ui::bmp::DecodedBmp again = ui::bmp::Decode(file.data(), file.size());
        if (again.pixels != decoded.pixels) std::abort();
    } catch (const ui::EInvalidGraphic&) {
    }
    return 0;
}
