// The album file's byte layout (little-endian): version (2 written; 1 has no family field and any
// other value reads as 1), the device-family index, the picture count N, then N records of a
// 16-bit caption length, the caption in Windows-1252, a 32-bit data length and a whole BMP file.
//
// The reader trusts no length: every field is checked against the bytes the file holds, so a
// truncated or lying file raises ui::EReadError "Album file is not valid: ..." and nothing is read
// outside the buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/album_page.h"

namespace app {

inline constexpr std::uint16_t kAlbumFileVersion = 2;

struct AlbumFileHeader {
    std::uint16_t version = 0;
    std::uint16_t family = 0;  // 0 for every version but 2
    std::uint16_t count = 0;
    std::size_t records_offset = 0;
};

// One record as stored; `data` points into the buffer that was read.
struct AlbumFileRecord {
    std::string caption;  // UTF-8
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
};

AlbumFileHeader ReadAlbumFileHeader(const std::uint8_t* data, std::size_t size);
// All `header.count` records. A data length of 0 (the writer never writes one) and bytes after
// the last record are not valid: the lengths would not describe the file.
std::vector<AlbumFileRecord> ReadAlbumFileRecords(const std::uint8_t* data, std::size_t size,
                                                  const AlbumFileHeader& header);

// A version-2 file of the pages, each picture saved by the bitmap class (a 32-bit BMP). More than
// 65535 pages or a caption beyond 65535 bytes raise ui::Exception "Range check error"; a page
// without a picture or with an empty one raises as RequirePicture does.
std::vector<std::uint8_t> EncodeAlbumFile(std::uint16_t family, const AlbumPages& pages);

}  // namespace app
