// Reading download files back as the handheld programmer would, independent of the writer: the
// byte readers, the CRC-16/ARC from its definition, and a check of a whole file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "app/device_family.h"

namespace app_test {

inline std::uint16_t U16At(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b.at(at) | (b.at(at + 1) << 8));
}
inline std::uint32_t U32At(const std::vector<std::uint8_t>& b, std::size_t at) {
    return U16At(b, at) | (static_cast<std::uint32_t>(U16At(b, at + 2)) << 16);
}

// CRC-16/ARC bit by bit.
inline std::uint16_t ReferenceArc(const std::uint8_t* p, std::size_t n) {
    std::uint16_t crc = 0;
    for (std::size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k) crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
    }
    return crc;
}

// What is wrong with `b` as the download file of `variant` of `family` holding `cards` pictures
// (payload version 1, each entry a whole JPEG file); empty when nothing is.
inline std::string DownloadFileProblem(const std::vector<std::uint8_t>& b, int family,
                                       const app::TDeviceProperty& variant, std::size_t cards) {
    const bool v2 = variant.FileKind == app::kFileKindV2;
    std::size_t at = 0;  // where the payload starts
    std::size_t size = 0;
    if (v2) {
        if (b.size() < 48) return "shorter than the V2 frame";
        if (U16At(b, 0) != 0xE855 || U32At(b, 2) != 16 || U16At(b, 6) != 1) return "no identity block";
        char identity[10];
        std::snprintf(identity, sizeof identity, "%04X-%04X", static_cast<unsigned>(variant.DeviceId >> 16),
                      static_cast<unsigned>(variant.DeviceId & 0xFFFF));
        if (std::string(b.begin() + 8, b.begin() + 17) != identity) return "identity is not " + std::string(identity);
        if (b[17] != 0 || b[18] != 0 || b[19] != 0 || b[20] != 0 || b[21] != variant.FileKind) return "identity tail";
        if (U16At(b, 22) != 0xE880 || U32At(b, 28) != variant.StartAddress) return "no transfer block";
        size = U32At(b, 24) - 4;
        if (b.size() != 48 + size) return "length is not 48 + payload";
        if (U16At(b, 32 + size) != 0xE856 || U32At(b, 34 + size) != 10 || U32At(b, 38 + size) != 0 ||
            U32At(b, 42 + size) != 32 + size) {
            return "no check block";
        }
        if (U16At(b, 46 + size) != ReferenceArc(b.data(), 32 + size)) return "CRC does not match";
        at = 32;
    } else {
        if (b.size() < 8 + 15) return "shorter than the V1 head";
        if (U16At(b, 0) != 0xE769 || U16At(b, 2) != (variant.DeviceId >> 16) ||
            U16At(b, 4) != (variant.DeviceId & 0xFFFF) || b[6] != variant.MinHardware || b[7] != variant.MaxHardware) {
            return "V1 head";
        }
        at = 8;
        size = b.size() - 8;
    }
    const std::uint8_t kind = family >= 3 ? variant.FileKind : 4;
    if (b[at] != kind || b[at + 1] != 1 || b[at + 2] != 0 || U32At(b, at + 3) != variant.StartAddress)
        return "payload head";
    if (U16At(b, at + 11) != 1 || U16At(b, at + 13) != cards) return "payload version or count";
    const std::size_t index_end = 15 + 4 * cards;
    if (size < index_end) return "index beyond the payload";
    const std::uint32_t end = variant.StartAddress + static_cast<std::uint32_t>(size - 11) - (family >= 3 ? 1 : 0);
    if (U32At(b, at + 7) != end) return "end address";
    std::size_t entry = at + index_end;
    for (std::size_t k = 0; k < cards; ++k) {
        const std::size_t length = U32At(b, at + 15 + 4 * k);
        if (length < 4 || entry + length > at + size) return "entry " + std::to_string(k) + " beyond the payload";
        if (U16At(b, entry) != 0xD8FF || U16At(b, entry + length - 2) != 0xD9FF) {
            return "entry " + std::to_string(k) + " is not one JPEG file";
        }
        entry += length;
    }
    if (entry != at + size) return "bytes after the last entry";
    return {};
}

}  // namespace app_test
