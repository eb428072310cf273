// Little-endian packing for the album file and the device formats. The writer appends to a byte
// vector; the readers walk a byte range or a stream and never read past its end: a field that
// does not fit raises ui::EReadError naming what was being read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/core/exceptions.h"
#include "platform/ui/core/streams.h"

namespace app {

class ByteWriter {
public:
    explicit ByteWriter(std::vector<std::uint8_t>& out) : out_(out) {}

    void U8(std::uint8_t value) { out_.push_back(value); }
    void U16(std::uint16_t value) {
        U8(static_cast<std::uint8_t>(value));
        U8(static_cast<std::uint8_t>(value >> 8));
    }
    void U32(std::uint32_t value) {
        U16(static_cast<std::uint16_t>(value));
        U16(static_cast<std::uint16_t>(value >> 16));
    }
    void Bytes(const void* data, std::size_t size) {
        const auto* p = static_cast<const std::uint8_t*>(data);
        out_.insert(out_.end(), p, p + size);
    }
    void Bytes(const std::string& text) { Bytes(text.data(), text.size()); }

private:
    std::vector<std::uint8_t>& out_;
};

class ByteReader {
public:
    // `context` starts every error message, e.g. "Album file is not valid".
    ByteReader(const std::uint8_t* data, std::size_t size, std::string context)
        : data_(data), size_(size), context_(std::move(context)) {}

    std::size_t Position() const { return pos_; }
    std::size_t Remaining() const { return size_ - pos_; }

    std::uint16_t U16(const char* what) {
        const std::uint8_t* p = Take(2, what);
        return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
    }
    std::uint32_t U32(const char* what) {
        const std::uint8_t* p = Take(4, what);
        return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
               (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
    }
    // `count` bytes in place; valid as long as the underlying buffer is.
    const std::uint8_t* Take(std::size_t count, const char* what) {
        if (count > Remaining()) {
            throw ui::EReadError(context_ + ": it ends inside " + what);
        }
        const std::uint8_t* p = data_ + pos_;
        pos_ += count;
        return p;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
    std::string context_;
};

// ByteReader over a stream, for a file read piece by piece: a field is read only when the stream
// still holds it, so a length that lies raises before anything is allocated for it.
class StreamByteReader {
public:
    StreamByteReader(ui::TStream& in, std::string context) : in_(in), context_(std::move(context)) {}

    std::uint64_t Remaining() const {
        const std::int64_t left = in_.Size() - in_.Position();
        return left > 0 ? static_cast<std::uint64_t>(left) : 0;
    }
    std::uint16_t U16(const char* what) {
        std::uint8_t p[2];
        Read(p, sizeof p, what);
        return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
    }
    std::uint32_t U32(const char* what) {
        std::uint8_t p[4];
        Read(p, sizeof p, what);
        return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
               (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
    }
    // Raises unless the stream holds `count` more bytes.
    void Need(std::uint64_t count, const char* what) const {
        if (count > Remaining()) EndsInside(what);
    }
    std::vector<std::uint8_t> Bytes(std::size_t count, const char* what) {
        Need(count, what);
        std::vector<std::uint8_t> bytes(count);
        Read(bytes.data(), count, what);
        return bytes;
    }
    // Raises ui::EReadError "<context>: <reason>".
    [[noreturn]] void Fail(const std::string& reason) const { throw ui::EReadError(context_ + ": " + reason); }

private:
    [[noreturn]] void EndsInside(const char* what) const { Fail(std::string("it ends inside ") + what); }
    void Read(std::uint8_t* out, std::size_t count, const char* what) {
        std::size_t done = 0;
        // A file may deliver fewer bytes than asked without being at its end.
        while (done < count) {
            const std::int64_t n = in_.Read(out + done, static_cast<std::int64_t>(count - done));
            if (n <= 0) EndsInside(what);
            done += static_cast<std::size_t>(n);
        }
    }

    ui::TStream& in_;
    std::string context_;
};

}  // namespace app
