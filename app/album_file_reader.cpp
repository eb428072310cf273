// The reading half of the album file format, kept apart from the writer so that it needs
// nothing but the byte reader, the stream, the bitmap header and the text conversion (the fuzz
// target builds it alone).
#include <string>
#include <utility>

#include "app/album_file_format.h"
#include "app/byte_io.h"
#include "platform/ui/core/sysutils.h"
#include "platform/ui/graphics/bmp_codec.h"

namespace app {
namespace {

constexpr const char* kInvalid = "Album file is not valid";

// Room in a picture's data beside its pixels: the file and info headers, bit-field masks, a
// palette and any gap a writer leaves before the pixels take far less.
constexpr std::uint64_t kBitmapHeadersAtMost = 64 * 1024;

}  // namespace

AlbumFileHeader ReadAlbumFileHeader(ui::TStream& in) {
    StreamByteReader reader(in, kInvalid);
    AlbumFileHeader header;
    header.version = reader.U16("its header");
    if (header.version == kAlbumFileVersion) header.family = reader.U16("its header");
    header.count = reader.U16("its header");
    return header;
}

AlbumFileRecord ReadAlbumFileRecord(ui::TStream& in, std::size_t index, const AlbumPictureBounds& bounds) {
    StreamByteReader reader(in, kInvalid);
    AlbumFileRecord record;
    const std::uint16_t caption_length = reader.U16("a caption");
    const std::vector<std::uint8_t> caption = reader.Bytes(caption_length, "a caption");
    record.caption = ui::Cp1252ToUtf8(std::string(caption.begin(), caption.end()));
    const std::uint32_t data_length = reader.U32("a picture");
    // Never written: a record is read as its lengths say, and a picture of no bytes is a length
    // that lies about where the next record starts.
    if (data_length == 0) reader.Fail("a picture has no data");
    reader.Need(data_length, "a picture");
    // Neither the data nor the pixels of a picture may take more room than the largest picture an
    // album holds: a few bytes that claim 8192 x 8192 are refused before anything decodes them.
    const std::string picture = "picture " + std::to_string(index + 1);
    const auto screen_bytes = static_cast<std::uint64_t>(bounds.width) * static_cast<std::uint64_t>(bounds.height) * 4;
    if (data_length > kBitmapHeadersAtMost + screen_bytes) {
        reader.Fail(picture + " holds " + std::to_string(data_length) +
                    " bytes, more than a picture of any device's screen takes");
    }
    record.data = reader.Bytes(data_length, "a picture");
    const ui::bmp::BmpLayout layout = ui::bmp::ReadLayout(record.data.data(), record.data.size());
    if (layout.width > bounds.width || layout.height > bounds.height) {
        reader.Fail(picture + " is " + std::to_string(layout.width) + " x " + std::to_string(layout.height) +
                    " pixels, larger than any device's screen");
    }
    return record;
}

void RequireAlbumFileEnd(ui::TStream& in) {
    // The last record ends the file; more bytes mean the lengths do not describe it.
    const StreamByteReader reader(in, kInvalid);
    if (reader.Remaining() != 0) reader.Fail("it goes on after its last picture");
}

}  // namespace app
