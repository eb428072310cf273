// Conversions between frames and the adapter API's 16-word records (layouts in canapi.h).
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "platform/canapi/vbus.h"

namespace canapi {

using Record = std::array<std::uint32_t, 16>;

// The receive record of a received frame (kind by standard/extended and data/remote).
Record ReceiveRecord(const Frame& frame);
// A status record with the given code (canapi.h's kCanapiStatus... values).
Record StatusRecord(std::uint32_t code);
// The frame of a transmit record; empty when the record is not a valid standard frame
// (identifier above 0x7FF, DLC above 8, a data word above 0xFF).
std::optional<Frame> TransmitFrame(const std::uint32_t* record);

}  // namespace canapi
