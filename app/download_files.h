// Download files: the device payload wrapped for the handheld programmer, one file per hardware
// variant of a family. Variants of FileKind 11 get the tagged V2 format with its CRC-16, the
// others the V1 format.
#pragma once

#include <string>

#include "app/album_page.h"
#include "app/album_payload.h"
#include "app/device_family.h"
#include "platform/ui/core/streams.h"

namespace app {

// Appends 0xE769, the two halves of DeviceId, MinHardware, MaxHardware and the payload.
void WriteDownloadFileV1(const TDeviceProperty& variant, const ui::TMemoryStream& payload, ui::TStream& file);
// Appends the identity block, the V2 transfer block and the check block, whose CRC covers every
// byte this call wrote before it.
void WriteDownloadFileV2(const TDeviceProperty& variant, const ui::TMemoryStream& payload, ui::TMemoryStream& file);

// The download file of `variant` for the chosen name `file_name`: its folder (up to the last
// "/"), the identity text, the hardware range for families 0 to 2, "_" and the chosen file name.
std::string DownloadFileName(int family, const TDeviceProperty& variant, const std::string& file_name);

// Writes one file per used variant of `family`, payload version 1, in table order. An error
// (capacity, file creation) ends the export at that variant: earlier files stay written.
void ExportDownloadFiles(const AlbumPages& pages, int family, const std::string& file_name,
                         const JpegEncoder& encode = EncodeJpeg85);

}  // namespace app
