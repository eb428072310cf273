#include "app/album_payload.h"

#include <limits>
#include <vector>

#include "app/byte_io.h"
#include "platform/ui/core/sysutils.h"
#include "platform/ui/graphics/jpeg.h"

namespace app {
namespace {

constexpr std::size_t kMax16 = std::numeric_limits<std::uint16_t>::max();

}  // namespace

void EncodeJpeg85(const ui::TBitmap& picture, ui::TStream& dest) {
    ui::TJPEGImage jpeg;
    jpeg.Assign(&picture);
    jpeg.SetCompressionQuality(85);
    jpeg.Compress();
    jpeg.SaveToStream(dest);
}

void BuildAlbumPayload(const AlbumPages& pages, int family, const TDeviceProperty& variant, std::uint16_t version,
                       ui::TStream& dest, const JpegEncoder& encode) {
    const bool v2_family = IsV2Family(family);
    // The 16-bit fields are checked before anything is written, so a range error leaves `dest`
    // as it was.
    if (pages.size() > kMax16) throw ui::Exception("Range check error");
    for (const AlbumPage& page : pages) RequirePicture(page);
    std::vector<std::string> captions;
    if (version >= 2) {
        captions.reserve(pages.size());
        for (const AlbumPage& page : pages) {
            captions.push_back(ui::Utf8ToCp1252(page.caption));
            if (captions.back().size() > kMax16) throw ui::Exception("Range check error");
        }
    }

    std::vector<std::uint8_t> index;
    ByteWriter index_out(index);
    index_out.U16(version);
    index_out.U16(static_cast<std::uint16_t>(pages.size()));

    ui::TMemoryStream entries;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const std::int64_t before = entries.Size();
        if (version >= 2) {
            std::vector<std::uint8_t> prefix;
            ByteWriter prefix_out(prefix);
            prefix_out.U16(static_cast<std::uint16_t>(captions[i].size()));
            prefix_out.Bytes(captions[i]);
            entries.WriteBuffer(prefix.data(), static_cast<std::int64_t>(prefix.size()));
        }
        encode(*pages[i].picture, entries);
        entries.Seek(0, ui::TSeekOrigin::soEnd);  // an encoder may leave the position anywhere
        index_out.U32(static_cast<std::uint32_t>(entries.Size() - before));
    }

    // The end address counts index and entries but not the head; V2 devices take the address of
    // the last byte instead of the one past it.
    const auto body = static_cast<std::uint32_t>(index.size() + static_cast<std::size_t>(entries.Size()));
    std::vector<std::uint8_t> head;
    ByteWriter head_out(head);
    head_out.U8(v2_family ? variant.FileKind : 4);
    head_out.U8(1);
    head_out.U8(0);
    head_out.U32(variant.StartAddress);
    head_out.U32(variant.StartAddress + body - (v2_family ? 1u : 0u));

    dest.WriteBuffer(head.data(), static_cast<std::int64_t>(head.size()));
    dest.WriteBuffer(index.data(), static_cast<std::int64_t>(index.size()));
    dest.WriteBuffer(entries.Memory(), entries.Size());

    if (dest.Size() > static_cast<std::int64_t>(variant.Capacity) - 5) throw ui::Exception(kCapacityMessage);
}

void BuildTransferBlockV2(const AlbumPages& pages, int family, const TDeviceProperty& variant, std::uint16_t version,
                          ui::TStream& dest, const JpegEncoder& encode) {
    ui::TMemoryStream payload;
    BuildAlbumPayload(pages, family, variant, version, payload, encode);
    std::vector<std::uint8_t> head;
    ByteWriter out(head);
    out.U16(kTransferBlockTag);
    out.U32(static_cast<std::uint32_t>(payload.Size() + 4));
    out.U32(variant.StartAddress);
    dest.WriteBuffer(head.data(), static_cast<std::int64_t>(head.size()));
    dest.WriteBuffer(payload.Memory(), payload.Size());
}

}  // namespace app
