// CRC-16 of the download files: CRC-16/ARC (polynomial 0x8005 reflected as 0xA001, initial value
// 0, no final exclusive-or; check value 0xBB3D over "123456789").
#pragma once

#include <cstddef>
#include <cstdint>

namespace app {

std::uint16_t Crc16(const void* buffer, std::size_t length);

}  // namespace app
