// Feeds arbitrary bytes to the album file reader as OpenAlbum does: the header, then every
// record, then each picture's bitmap data through our BMP decoder. Clean errors are expected;
// anything else (a crash, a read outside the input, undefined behaviour) is a finding.
#include <cstddef>
#include <cstdint>
#include <exception>

#include "app/album_file_format.h"
#include "platform/ui/graphics/bmp_codec.h"
#include "platform/ui/core/exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const app::AlbumFileHeader header = app::ReadAlbumFileHeader(data, size);
        const auto records = app::ReadAlbumFileRecords(data, size, header);
        for (const app::AlbumFileRecord& record : records) {
            if (record.data < data || record.data + record.size > data + size) __builtin_trap();
            try {
                (void)ui::bmp::Decode(record.data, record.size);
            } catch (const ui::Exception&) {
            }
        }
    } catch (const ui::Exception&) {
    }
    return 0;
}
