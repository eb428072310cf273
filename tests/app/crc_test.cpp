#include "app/crc.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace app {
namespace {

// Bit by bit, straight from the definition of CRC-16/ARC, to check the table-driven version.
std::uint16_t BitwiseArc(const std::vector<std::uint8_t>& bytes) {
    std::uint16_t crc = 0;
    for (std::uint8_t b : bytes) {
        crc ^= b;
        for (int i = 0; i < 8; ++i) crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
    }
    return crc;
}

TEST(Crc16Test, CheckValueAndEmptyInput) {
    EXPECT_EQ(Crc16("123456789", 9), 0xBB3D);
    EXPECT_EQ(Crc16(nullptr, 0), 0);
    const std::uint8_t one = 0x01;
    EXPECT_EQ(Crc16(&one, 1), 0xC0C1);
}

TEST(Crc16Test, MatchesBitwiseDefinitionOnRandomData) {
    std::mt19937 rng(7);
    for (std::size_t n : {1u, 2u, 255u, 256u, 4099u}) {
        std::vector<std::uint8_t> bytes(n);
        for (auto& b : bytes) b = static_cast<std::uint8_t>(rng());
        EXPECT_EQ(Crc16(bytes.data(), bytes.size()), BitwiseArc(bytes)) << n;
    }
}

}  // namespace
}  // namespace app
