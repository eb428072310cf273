#include "library/tracing.h"

#include <algorithm>
#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <string>

#include "platform/kernel/sinks.h"
#include "platform/kernel/sync.h"

namespace klp {
namespace {

// The library is silent until the caller asks for lines.
std::atomic<std::uint32_t> g_trace_mask{0};

constexpr std::size_t kTraceBufferSize = 2048;

// Where every line of the library's own code starts.
constexpr char kLibraryPrefix[] = "VARNHOLDklp_lib: ";

// One output buffer shared by every thread, so a line is built and written under the trace lock.
struct TraceOutput {
    kernel::CriticalSection lock;
    char buffer[kTraceBufferSize] = {};
    std::size_t length = 0;

    void Append(const char* text) {
        while (*text != '\0' && length + 1 < kTraceBufferSize) buffer[length++] = *text++;
        buffer[length] = '\0';
    }
    void AppendFormatV(const char* format, va_list args) {
        const std::size_t room = kTraceBufferSize - length;
        const int written = std::vsnprintf(buffer + length, room, format, args);
        if (written < 0) {
            buffer[length] = '\0';
            return;
        }
        // vsnprintf reports the length it wanted; the line is cut at the buffer's end.
        length += std::min<std::size_t>(static_cast<std::size_t>(written), room - 1);
    }
    void AppendHexByte(std::uint8_t value) {
        static constexpr char kDigits[] = "0123456789ABCDEF";
        const char text[3] = {kDigits[value >> 4], kDigits[value & 0x0F], '\0'};
        Append(text);
    }
    void Write() {
        kernel::OutputDebugString(std::string(buffer, length));
        length = 0;
        buffer[0] = '\0';
    }
};

// Created by the first trace call, as the lines may start before anything else of the stack.
TraceOutput& Output() {
    static TraceOutput output;
    return output;
}

}  // namespace

std::uint32_t TraceMask() { return g_trace_mask.load(std::memory_order_relaxed); }

void SetTraceMask(std::uint32_t mask) { g_trace_mask.store(mask, std::memory_order_relaxed); }

void TraceLine(const char* text) {
    TraceOutput& out = Output();
    std::lock_guard guard(out.lock);
    kernel::OutputDebugString(text != nullptr ? text : "");
}

void TraceLibraryLine(const char* text) {
    TraceOutput& out = Output();
    std::lock_guard guard(out.lock);
    kernel::OutputDebugString(std::string(kLibraryPrefix) + (text != nullptr ? text : ""));
}

namespace {

// One formatted line: the prefix, the text, then `count` bytes as "XX " and the tail.
void WriteFormatted(const char* prefix, std::size_t count, const std::uint8_t* bytes, const char* tail,
                    const char* format, va_list args) {
    TraceOutput& out = Output();
    std::lock_guard guard(out.lock);
    out.Append(prefix);
    out.AppendFormatV(format, args);
    for (std::size_t i = 0; i < count && bytes != nullptr; ++i) {
        out.AppendHexByte(bytes[i]);
        out.Append(" ");
    }
    if (tail != nullptr) out.Append(tail);
    out.Write();
}

}  // namespace

void TraceFormat(const char* format, ...) {
    va_list args;
    va_start(args, format);
    WriteFormatted("", 0, nullptr, nullptr, format, args);
    va_end(args);
}

void TraceLibraryFormat(const char* format, ...) {
    va_list args;
    va_start(args, format);
    WriteFormatted(kLibraryPrefix, 0, nullptr, nullptr, format, args);
    va_end(args);
}

void TraceDump(std::size_t count, const std::uint8_t* bytes, const char* tail, const char* format, ...) {
    va_list args;
    va_start(args, format);
    WriteFormatted("", count, bytes, tail, format, args);
    va_end(args);
}

void TraceLibraryDump(std::size_t count, const std::uint8_t* bytes, const char* tail, const char* format, ...) {
    va_list args;
    va_start(args, format);
    WriteFormatted(kLibraryPrefix, count, bytes, tail, format, args);
    va_end(args);
}

void TraceAdapterRecord(const char* text, const std::uint32_t record[16], bool receive) {
    // Adapter dumps come from the receive thread and from any sending thread at once; they share
    // the buffer, so they take the trace lock like every other line.
    TraceOutput& out = Output();
    std::lock_guard guard(out.lock);
    out.Append(text != nullptr ? text : "");
    out.Append(" ");
    const int wide_words = receive ? 2 : 1;
    for (int i = 0; i < wide_words; ++i) {
        const std::uint32_t word = record[i] & 0xFFFFu;
        out.AppendHexByte(static_cast<std::uint8_t>(word >> 8));
        out.AppendHexByte(static_cast<std::uint8_t>(word & 0xFF));
        out.Append(",");
    }
    for (int i = wide_words; i < 16; ++i) {
        out.AppendHexByte(static_cast<std::uint8_t>(record[i] & 0xFF));
        if (i != 15) out.Append(",");
    }
    out.Write();
}

}  // namespace klp
