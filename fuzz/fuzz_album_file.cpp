// Feeds arbitrary bytes to the album file reader as OpenAlbum does: the header, then every
// record, then each picture's bitmap data through our BMP decoder. Clean errors are expected;
// anything else (a crash, a read outside the input, undefined behaviour) is a finding. Pictures
// that claim a large size are not decoded (picture_claims.h).
//
// Seeds: fuzz/corpus/fuzz_album_file, made by make_seed_corpus.
#include <cstddef>
#include <cstdint>

#include "app/album_file_format.h"
#include "fuzz/picture_claims.h"
#include "platform/ui/core/exceptions.h"
#include "platform/ui/core/streams.h"
#include "platform/ui/graphics/bmp_codec.h"

namespace {

// The bounds the editor reads with: every family's screen fits in it, either way round.
constexpr app::AlbumPictureBounds kAnyScreen{320, 320};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ui::TMemoryStream file;
    file.WriteBuffer(data, static_cast<std::int64_t>(size));
    file.SetPosition(0);
    try {
        const app::AlbumFileHeader header = app::ReadAlbumFileHeader(file);
        for (std::size_t i = 0; i < header.count; ++i) {
            const app::AlbumFileRecord record = app::ReadAlbumFileRecord(file, i, kAnyScreen);
            if (record.data.size() > size) __builtin_trap();
            if (fuzz::BmpClaim(record.data.data(), record.data.size()) > fuzz::kMaxClaimedPixels) continue;
            try {
                (void)ui::bmp::Decode(record.data.data(), record.data.size());
            } catch (const ui::Exception&) {}
        }
    } catch (const ui::Exception&) {}
    return 0;
}
