// One CAN frame as the simulator sees it, and the clock it schedules by.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <initializer_list>

namespace devsim {

using Clock = std::chrono::steady_clock;
using TimePoint = Clock::time_point;

struct Frame {
    std::uint16_t id = 0;  // 11-bit COB-ID
    bool rtr = false;
    std::uint8_t dlc = 0;  // 0..8
    std::array<std::uint8_t, 8> data{};

    bool operator==(const Frame&) const = default;
};

// A data frame with the given bytes (at most 8; the DLC is their count).
inline Frame MakeFrame(std::uint16_t id, std::initializer_list<std::uint8_t> bytes) {
    Frame frame;
    frame.id = id;
    for (std::uint8_t byte : bytes) {
        if (frame.dlc == frame.data.size()) break;
        frame.data[frame.dlc++] = byte;
    }
    return frame;
}

// A remote request with DLC 0.
inline Frame MakeRemoteFrame(std::uint16_t id) {
    Frame frame;
    frame.id = id;
    frame.rtr = true;
    return frame;
}

inline std::uint16_t Get16(const Frame& frame, std::size_t at) {
    return static_cast<std::uint16_t>(frame.data[at] | frame.data[at + 1] << 8);
}

inline std::uint32_t Get32(const Frame& frame, std::size_t at) {
    return static_cast<std::uint32_t>(frame.data[at]) | static_cast<std::uint32_t>(frame.data[at + 1]) << 8 |
           static_cast<std::uint32_t>(frame.data[at + 2]) << 16 | static_cast<std::uint32_t>(frame.data[at + 3]) << 24;
}

inline void Put16(Frame& frame, std::size_t at, std::uint16_t value) {
    frame.data[at] = static_cast<std::uint8_t>(value);
    frame.data[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

inline void Put32(Frame& frame, std::size_t at, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) frame.data[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace devsim
