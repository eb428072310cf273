// Little-endian packing for the album file and the device formats. The writer appends to a byte
// vector; the reader walks a byte range and never reads past its end: a field that does not fit
// raises ui::EReadError naming what was being read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/core/exceptions.h"

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

}  // namespace app
