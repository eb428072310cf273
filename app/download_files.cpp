#include "app/download_files.h"

#include <vector>

#include "app/byte_io.h"
#include "app/crc.h"
#include "app/file_replace.h"

namespace app {
namespace {

constexpr std::uint16_t kV1Tag = 0xE769;
constexpr std::uint16_t kIdentityTag = 0xE855;
constexpr std::uint16_t kCheckTag = 0xE856;

void Append(ui::TStream& dest, const std::vector<std::uint8_t>& bytes) {
    dest.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
}

}  // namespace

void WriteDownloadFileV1(const TDeviceProperty& variant, const ui::TMemoryStream& payload, ui::TStream& file) {
    std::vector<std::uint8_t> head;
    ByteWriter out(head);
    out.U16(kV1Tag);
    out.U16(static_cast<std::uint16_t>(variant.DeviceId >> 16));
    out.U16(static_cast<std::uint16_t>(variant.DeviceId));
    out.U8(variant.MinHardware);
    out.U8(variant.MaxHardware);
    Append(file, head);
    file.WriteBuffer(payload.Memory(), payload.Size());
}

void WriteDownloadFileV2(const TDeviceProperty& variant, const ui::TMemoryStream& payload, ui::TMemoryStream& file) {
    const std::int64_t start = file.Size();
    file.Seek(0, ui::TSeekOrigin::soEnd);

    std::vector<std::uint8_t> head;
    ByteWriter out(head);
    out.U16(kIdentityTag);
    out.U32(16);
    out.U16(1);
    out.Bytes(IdentityText(variant));  // exactly nine characters
    out.U8(0);
    out.Bytes("\0\0\0", 3);  // reserved
    out.U8(variant.FileKind);
    out.U16(kTransferBlockTag);
    out.U32(static_cast<std::uint32_t>(payload.Size() + 4));
    out.U32(variant.StartAddress);
    Append(file, head);
    file.WriteBuffer(payload.Memory(), payload.Size());

    const auto covered = static_cast<std::size_t>(file.Size() - start);
    std::vector<std::uint8_t> check;
    ByteWriter check_out(check);
    check_out.U16(kCheckTag);
    check_out.U32(10);
    check_out.U32(0);
    check_out.U32(static_cast<std::uint32_t>(covered));
    check_out.U16(Crc16(file.Memory() + start, covered));
    Append(file, check);
}

std::string DownloadFileName(int family, const TDeviceProperty& variant, const std::string& file_name) {
    // Linux file names: the folder part ends at the last "/".
    const auto slash = file_name.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : file_name.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? file_name : file_name.substr(slash + 1);
    std::string result = folder + IdentityText(variant);
    if (!IsV2Family(family)) {
        result += "_HW" + std::to_string(variant.MinHardware);
        if (variant.MinHardware != variant.MaxHardware) result += "-" + std::to_string(variant.MaxHardware);
    }
    return result + "_" + name;
}

void ExportDownloadFiles(const AlbumPages& pages, int family, const std::string& file_name, const JpegEncoder& encode) {
    const TDeviceFamily& row = DeviceFamilyAt(family);
    for (std::size_t v = 0; v < row.Count; ++v) {
        const TDeviceProperty& variant = row.Variants[v];
        ui::TMemoryStream payload;
        BuildAlbumPayload(pages, family, variant, 1, payload, encode);
        ui::TMemoryStream file;
        if (variant.FileKind == kFileKindV2) {
            WriteDownloadFileV2(variant, payload, file);
        } else {
            WriteDownloadFileV1(variant, payload, file);
        }
        WriteFileReplacing(DownloadFileName(family, variant, file_name), file.Memory(),
                           static_cast<std::size_t>(file.Size()));
    }
}

}  // namespace app
