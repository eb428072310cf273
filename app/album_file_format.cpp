#include "app/album_file_format.h"

#include <limits>

#include "app/byte_io.h"
#include "platform/ui/core/exceptions.h"
#include "platform/ui/core/streams.h"
#include "platform/ui/core/sysutils.h"

namespace app {
namespace {

constexpr std::size_t kMax16 = std::numeric_limits<std::uint16_t>::max();

}  // namespace

std::vector<std::uint8_t> EncodeAlbumFile(std::uint16_t family, const AlbumPages& pages) {
    if (pages.size() > kMax16) throw ui::Exception("Range check error");
    std::vector<std::uint8_t> bytes;
    ByteWriter out(bytes);
    out.U16(kAlbumFileVersion);
    out.U16(family);
    out.U16(static_cast<std::uint16_t>(pages.size()));
    ui::TMemoryStream picture;
    for (const AlbumPage& page : pages) {
        const std::string caption = ui::Utf8ToCp1252(page.caption);
        if (caption.size() > kMax16) throw ui::Exception("Range check error");
        RequirePicture(page);
        out.U16(static_cast<std::uint16_t>(caption.size()));
        out.Bytes(caption);
        picture.Clear();
        page.picture->SaveToStream(picture);
        out.U32(static_cast<std::uint32_t>(picture.Size()));
        out.Bytes(picture.Memory(), static_cast<std::size_t>(picture.Size()));
    }
    return bytes;
}

}  // namespace app
