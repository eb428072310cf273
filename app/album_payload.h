// The device payload: the album as one block of the device's memory (an 11-byte head, an index
// of entry sizes, then one JPEG picture per card, for version 2 each behind its caption), and the
// V2 transfer block that wraps it for a direct transfer to a V2 device.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "app/album_page.h"
#include "app/device_family.h"
#include "platform/ui/core/streams.h"
#include "platform/ui/graphics/bitmap.h"

namespace app {

// Appends the JPEG file of a picture to the stream. Replaceable so that tests can produce
// entries of an exact size.
using JpegEncoder = std::function<void(const ui::TBitmap& picture, ui::TStream& dest)>;

// The device's encoding: a 24-bit baseline JPEG at quality 85.
void EncodeJpeg85(const ui::TBitmap& picture, ui::TStream& dest);

inline constexpr std::uint16_t kTransferBlockTag = 0xE880;
inline constexpr const char* kCapacityMessage = "Too many pictures!! Please reduce the amount of pictures.";

// Appends the payload of `pages` for `variant` of `family` to `dest`. Captions go out in
// Windows-1252. A caption or card count beyond 65535 raises ui::Exception "Range check error",
// and a card without a picture or with an empty one raises as RequirePicture does, before
// anything is written. A result above the variant's Capacity - 5 bytes raises
// ui::Exception kCapacityMessage; what was written stays in `dest` and the caller discards it.
void BuildAlbumPayload(const AlbumPages& pages, int family, const TDeviceProperty& variant, std::uint16_t version,
                       ui::TStream& dest, const JpegEncoder& encode = EncodeJpeg85);

// Appends tag 0xE880, payload length + 4, the start address and the payload.
void BuildTransferBlockV2(const AlbumPages& pages, int family, const TDeviceProperty& variant, std::uint16_t version,
                          ui::TStream& dest, const JpegEncoder& encode = EncodeJpeg85);

}  // namespace app
