// Little-endian reads and writes of the bus's multi-byte fields (index words, sizes, abort codes,
// identity values), for the library and the simulator alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace le {

constexpr std::uint16_t Get16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

constexpr std::uint32_t Get32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

constexpr void Put16(std::uint8_t* p, std::uint16_t value) {
    p[0] = static_cast<std::uint8_t>(value);
    p[1] = static_cast<std::uint8_t>(value >> 8);
}

constexpr void Put32(std::uint8_t* p, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// The value as a stored object's bytes.
inline std::vector<std::uint8_t> Bytes16(std::uint16_t value) {
    std::vector<std::uint8_t> bytes(2);
    Put16(bytes.data(), value);
    return bytes;
}

inline std::vector<std::uint8_t> Bytes32(std::uint32_t value) {
    std::vector<std::uint8_t> bytes(4);
    Put32(bytes.data(), value);
    return bytes;
}

}  // namespace le
