// The subsystem's pixel: alpha in bits 24-31, red 16-23, green 8-15, blue 0-7. In memory (little
// endian) that is blue, green, red, alpha: the byte order of a 32-bit device-independent bitmap,
// so pixel memory goes to the platform and into streams unchanged.
#pragma once

#include <cstdint>

namespace imaging {

using TColor32 = std::uint32_t;

constexpr TColor32 Color32(std::uint8_t a, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return (TColor32{a} << 24) | (TColor32{r} << 16) | (TColor32{g} << 8) | TColor32{b};
}
constexpr std::uint8_t AlphaOf(TColor32 c) { return static_cast<std::uint8_t>(c >> 24); }
constexpr std::uint8_t RedOf(TColor32 c) { return static_cast<std::uint8_t>(c >> 16); }
constexpr std::uint8_t GreenOf(TColor32 c) { return static_cast<std::uint8_t>(c >> 8); }
constexpr std::uint8_t BlueOf(TColor32 c) { return static_cast<std::uint8_t>(c); }

}  // namespace imaging
