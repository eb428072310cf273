// Byte helpers the library, simulator and end-to-end tests share.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "library/byte_order.h"

namespace test_bytes {

// Payload bytes in which a shifted, repeated or dropped run of segments shows: no two places of a
// transfer look alike, and another seed gives other bytes.
inline std::vector<std::uint8_t> Pattern(std::size_t size, unsigned seed = 1) {
    std::vector<std::uint8_t> bytes(size);
    std::uint32_t x = seed * 2654435761u + 1;
    for (auto& b : bytes) {
        x = x * 1103515245u + 12345u;
        b = static_cast<std::uint8_t>(x >> 16);
    }
    return bytes;
}

// The little-endian word `at` bytes into a frame's data.
inline std::uint32_t Le32(const std::array<std::uint8_t, 8>& data, std::size_t at) {
    return le::Get32(data.data() + at);
}

}  // namespace test_bytes
