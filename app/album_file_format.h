// The album file's byte layout (little-endian): version (2 written; 1 has no family field and any
// other value reads as 1), the device-family index, the picture count N, then N records of a
// 16-bit caption length, the caption in Windows-1252, a 32-bit data length and a whole BMP file.
//
// The reader trusts no length: every field is checked against the bytes the file holds, so a
// truncated or lying file raises ui::EReadError "Album file is not valid: ..." and nothing is read
// outside it. It reads from a stream one record at a time, so that a file is never in memory
// whole, and refuses a picture that no album holds before it is decoded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/album_page.h"
#include "platform/ui/core/streams.h"

namespace app {

inline constexpr std::uint16_t kAlbumFileVersion = 2;

struct AlbumFileHeader {
    std::uint16_t version = 0;
    std::uint16_t family = 0;  // 0 for every version but 2
    std::uint16_t count = 0;
};

struct AlbumFileRecord {
    std::string caption;             // UTF-8
    std::vector<std::uint8_t> data;  // the picture's BMP file
};

// The largest picture an album holds. Every picture is scaled into its family's screen when it is
// added; an album made for another screen is fitted when it opens, so the bound is the largest
// screen of any family, either way round.
struct AlbumPictureBounds {
    int width = 0;
    int height = 0;
};

// The header, from the stream's position; the stream is left at the first record.
AlbumFileHeader ReadAlbumFileHeader(ui::TStream& in);
// The next record, number `index` (from 0; messages count from 1). Raises ui::EReadError "Album
// file is not valid: ..." before reading the picture's data when its length is 0 (the writer
// never writes one: the lengths would not describe the file), more than the stream still holds,
// or more than a BMP file of `bounds` takes; and before anything decodes its pixels when its BMP
// header gives more width or height than `bounds`.
AlbumFileRecord ReadAlbumFileRecord(ui::TStream& in, std::size_t index, const AlbumPictureBounds& bounds);
// After the last record: bytes after it are not valid either.
void RequireAlbumFileEnd(ui::TStream& in);

// A version-2 file of the pages, each picture saved by the bitmap class (a 32-bit BMP). More than
// 65535 pages or a caption beyond 65535 bytes raise ui::Exception "Range check error"; a page
// without a picture or with an empty one raises as RequirePicture does.
std::vector<std::uint8_t> EncodeAlbumFile(std::uint16_t family, const AlbumPages& pages);

}  // namespace app
