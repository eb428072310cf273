// One CAN frame as the simulator sees it, and the clock it schedules by.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <initializer_list>

#include "library/byte_order.h"

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

// Little-endian fields of a frame's data, `at` bytes in.
inline std::uint16_t Get16(const Frame& frame, std::size_t at) { return le::Get16(frame.data.data() + at); }
inline std::uint32_t Get32(const Frame& frame, std::size_t at) { return le::Get32(frame.data.data() + at); }
inline void Put16(Frame& frame, std::size_t at, std::uint16_t value) { le::Put16(frame.data.data() + at, value); }
inline void Put32(Frame& frame, std::size_t at, std::uint32_t value) { le::Put32(frame.data.data() + at, value); }

}  // namespace devsim
