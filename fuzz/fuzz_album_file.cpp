// Feeds arbitrary bytes to the album file reader as OpenAlbum does: the header, then every
// record, then each picture's bitmap data through our BMP decoder. Clean errors are expected;
// anything else (a crash, a read outside the input, undefined behaviour) is a finding. Pictures
// that claim a large size are not decoded (picture_claims.h).
//
// Seeds: fuzz/corpus/fuzz_album_file, made by make_seed_corpus.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <exception>

#include "app/album_file_format.h"
#include "fuzz/picture_claims.h"
#include "platform/ui/core/exceptions.h"
#include "platform/ui/graphics/bmp_codec.h"

namespace {

// A record with an empty caption and no picture: two length fields.
constexpr std::size_t kSmallestRecord = 2 + 4;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const app::AlbumFileHeader header = app::ReadAlbumFileHeader(data, size);
        // The reader makes room for every record the header counts before it reads them: a short
        // input counting 65535 would spend each run allocating. Such a count fails at the first
        // missing record, as a smaller one that the input cannot hold does.
        if (header.count * kSmallestRecord > size - std::min(size, header.records_offset)) return -1;
        const auto records = app::ReadAlbumFileRecords(data, size, header);
        for (const app::AlbumFileRecord& record : records) {
            if (record.data < data || record.data + record.size > data + size) __builtin_trap();
            if (fuzz::BmpClaim(record.data, record.size) > fuzz::kMaxClaimedPixels) continue;
            try {
                (void)ui::bmp::Decode(record.data, record.size);
            } catch (const ui::Exception&) {}
        }
    } catch (const ui::Exception&) {}
    return 0;
}
