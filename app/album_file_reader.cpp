// The reading half of the album file format, kept apart from the writer so that it needs
// nothing but the byte reader and the text conversion (the fuzz target builds it alone).
#include <string>
#include <utility>

#include "app/album_file_format.h"
#include "app/byte_io.h"
#include "platform/ui/core/exceptions.h"
#include "platform/ui/core/sysutils.h"

namespace app {
namespace {

constexpr const char* kInvalid = "Album file is not valid";

}  // namespace

AlbumFileHeader ReadAlbumFileHeader(const std::uint8_t* data, std::size_t size) {
    ByteReader in(data, size, kInvalid);
    AlbumFileHeader header;
    header.version = in.U16("its header");
    if (header.version == kAlbumFileVersion) header.family = in.U16("its header");
    header.count = in.U16("its header");
    header.records_offset = in.Position();
    return header;
}

std::vector<AlbumFileRecord> ReadAlbumFileRecords(const std::uint8_t* data, std::size_t size,
                                                  const AlbumFileHeader& header) {
    if (header.records_offset > size) throw ui::EReadError(std::string(kInvalid) + ": it ends inside its header");
    ByteReader in(data + header.records_offset, size - header.records_offset, kInvalid);
    std::vector<AlbumFileRecord> records;
    records.reserve(header.count);
    for (unsigned i = 0; i < header.count; ++i) {
        AlbumFileRecord record;
        const std::uint16_t caption_length = in.U16("a caption");
        const std::uint8_t* caption = in.Take(caption_length, "a caption");
        record.caption = ui::Cp1252ToUtf8(std::string(reinterpret_cast<const char*>(caption), caption_length));
        const std::uint32_t data_length = in.U32("a picture");
        // Never written: a record is read as its lengths say, and a picture of no bytes is a
        // length that lies about where the next record starts.
        if (data_length == 0) throw ui::EReadError(std::string(kInvalid) + ": a picture has no data");
        record.data = in.Take(data_length, "a picture");
        record.size = data_length;
        records.push_back(std::move(record));
    }
    // The last record ends the file; more bytes mean the lengths do not describe it.
    if (in.Remaining() != 0) throw ui::EReadError(std::string(kInvalid) + ": it goes on after its last picture");
    return records;
}

}  // namespace app
