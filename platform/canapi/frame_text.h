// The one-line text form of a CAN frame used by the bus bridge and the simulator:
//   "7E9#0105010000000000"  standard data frame (3 hex digits of id, 0..8 data bytes as hex pairs,
//                           '.' allowed between bytes when reading)
//   "7ED#R", "7ED#R3"       remote frame, optionally with its DLC
//   "12345678#11223344"     extended frame (8 hex digits of id, at most 0x1FFFFFFF)
// Formatting writes upper-case hex without separators.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/canapi/vbus.h"

namespace canapi {

struct FrameParse {
    std::optional<Frame> frame;  // empty when the text is not a frame
    std::string error;           // why not
};

// Surrounding white space is ignored.
FrameParse ParseFrameText(std::string_view text);
std::string FormatFrameText(const Frame& frame);

}  // namespace canapi
