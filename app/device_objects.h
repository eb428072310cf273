// The display devices' object dictionary as the album editor's device link uses it: one name for
// each object index (and for the sub-indices that are not 0), shared by the device link, by the
// simulated display nodes of qbk-devsim and by the tests that drive the interface library
// directly, so that both sides of every transfer read the same names.
//
// It lives with the device link because the program is what these objects serve. The simulator
// and the tests sit above every folder and include it from here; the interface library below
// knows nothing of a display device's objects except the unlock object, whose write of the
// unlock value turns its block transfers back on: that one keeps the library's name,
// sdo::kUnlockIndex, included with this header.
//
// Multi-byte values are little-endian on the bus.
#pragma once

#include <cstdint>

#include "library/sdo_protocol.h"

namespace app::device_object {

// Node 1 only: bit n set when node n is on the bus (32-bit).
inline constexpr std::uint16_t kPresenceMask = 0x1017;
inline constexpr std::uint8_t kPresenceMaskSub = 0xFF;

// Node 1 only: the fault report format is the second byte (16-bit). The interface library reads
// it for its fault reports.
inline constexpr std::uint16_t kFaultReportFormat = 0x100B;

// The device profile number (16-bit), matched against the node types of the family table.
inline constexpr std::uint16_t kDeviceProfile = 0x1000;

// The hardware version (16-bit); its high byte is the hardware revision.
inline constexpr std::uint16_t kHardwareVersion = 0x1009;
inline constexpr std::uint8_t kHardwareVersionSub = 0xFF;

// The profile version (16-bit); its high byte is the major number.
inline constexpr std::uint16_t kProfileVersion = 0x100C;
inline constexpr std::uint8_t kProfileVersionSub = 0xFF;

// The software version (16-bit), in one object for nodes whose profile major number is not 2 and
// in another for those whose is.
inline constexpr std::uint16_t kSoftwareVersion = 0x100A;
inline constexpr std::uint8_t kSoftwareVersionSub = 0xFF;
inline constexpr std::uint16_t kSoftwareVersionOfProfile2 = 0x1023;

// The software-update unlock (write only, 4 bytes) is sdo::kUnlockIndex, sub-index 0.

// The software image (write only): the album payload the device takes.
inline constexpr std::uint16_t kSoftwareImage = 0x1019;

// The data sections: sub-index 0 holds 3 x count + 1 (one byte); section k, counted from 1, has
// its description at 3k - 2 (16-bit: high byte the section's type, low byte a value that goes
// with it), its size in bytes at 3k - 1 (32-bit) and its contents at 3k.
inline constexpr std::uint16_t kDataSections = 0x101F;
inline constexpr std::uint8_t kSectionCountSub = 0;
// As many sections as the count byte can announce.
inline constexpr int kMaxSections = (0xFF - 1) / 3;

constexpr std::uint8_t SectionCountByte(int count) { return static_cast<std::uint8_t>(3 * count + 1); }
// 0 and 1 both mean no sections.
constexpr int SectionCountOf(std::uint8_t count_byte) { return count_byte == 0 ? 0 : (count_byte - 1) / 3; }
constexpr std::uint8_t SectionInfoSub(int k) { return static_cast<std::uint8_t>(3 * k - 2); }
constexpr std::uint8_t SectionSizeSub(int k) { return static_cast<std::uint8_t>(3 * k - 1); }
constexpr std::uint8_t SectionDataSub(int k) { return static_cast<std::uint8_t>(3 * k); }

static_assert(SectionCountOf(SectionCountByte(kMaxSections)) == kMaxSections && 3 * kMaxSections <= 0xFF,
              "every section's sub-indices fit in a byte");

}  // namespace app::device_object
