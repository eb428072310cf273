// Debug lines on the debugger output, switched per area by the 32-bit trace mask (0 at load).
// Every function may be called from any thread; the trace lock is a leaf. The writers below
// write unconditionally: callers test their area with TraceOn first.
#pragma once

#include <cstddef>
#include <cstdint>

namespace klp {

// Trace mask bits.
namespace trace {
inline constexpr std::uint32_t kOpenClose = 1u << 0;
inline constexpr std::uint32_t kStatus = 1u << 1;
inline constexpr std::uint32_t kRead = 1u << 2;
inline constexpr std::uint32_t kWrite = 1u << 3;
inline constexpr std::uint32_t kExceptions = 1u << 7;
inline constexpr std::uint32_t kAdapterRx = 1u << 8;
inline constexpr std::uint32_t kAdapterTx = 1u << 9;
inline constexpr std::uint32_t kSdoClient = 1u << 16;
inline constexpr std::uint32_t kPowerDown = 1u << 17;
}  // namespace trace

std::uint32_t TraceMask();
void SetTraceMask(std::uint32_t mask);
inline bool TraceOn(std::uint32_t bit) { return (TraceMask() & bit) != 0; }

// A plain line.
void TraceLine(const char* text);
// A printf-style line, cut at the 2048-byte buffer.
void TraceFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));
// As TraceFormat, then `count` bytes as "XX " each, then `tail` when not null.
void TraceDump(std::size_t count, const std::uint8_t* bytes, const char* tail, const char* format, ...)
    __attribute__((format(printf, 4, 5)));

// The library's own lines: as the three above, each line starting with the library's prefix
// "VARNHOLDklp_lib: ", which the callers leave out. (The adapter's frame dumps carry their own.)
void TraceLibraryLine(const char* text);
void TraceLibraryFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));
void TraceLibraryDump(std::size_t count, const std::uint8_t* bytes, const char* tail, const char* format, ...)
    __attribute__((format(printf, 4, 5)));
// Adapter record dump: "text " then the first word (transmit) or two words (receive) as "XXXX,"
// and the remaining words up to 16 as two hex digits of their low byte, separated by ",".
void TraceAdapterRecord(const char* text, const std::uint32_t record[16], bool receive);

}  // namespace klp
