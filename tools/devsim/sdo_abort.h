// Abort codes the simulated SDO servers send (little-endian in data[4..7] of an abort frame).
#pragma once

#include <cstdint>

namespace devsim {

enum class AbortCode : std::uint32_t {
    kNone = 0,
    kToggleNotAlternated = 0x05030000,
    kCommandInvalid = 0x05040001,
    kInvalidBlockSize = 0x05040002,
    kInvalidSequence = 0x05040003,
    kWriteOnly = 0x06010001,
    kReadOnly = 0x06010002,
    kNoObject = 0x06020000,
    kLengthMismatch = 0x06070010,
    kNoData = 0x08000024,
};

// The codes on which the interface library falls back from block to plain transfers.
inline constexpr std::uint32_t kFallbackCodes[] = {0x05020000, 0x05040000, 0x06000002};

}  // namespace devsim
