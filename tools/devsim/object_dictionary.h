// The object dictionary of one simulated node: objects addressed by index and sub-index, each
// readable, writable or both. A read hands out a copy of the value; a write is checked before the
// first byte travels and delivered whole once the transfer completes.
//
// Not thread-safe: the bus loop owns it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "library/sdo_protocol.h"

namespace devsim {

using Bytes = std::vector<std::uint8_t>;
using AbortCode = sdo::AbortCode;

struct ObjectEntry {
    bool readable = true;
    bool writable = false;
    Bytes value;  // what an upload returns
    // Writes: the exact length the object takes, or 0 for any length 1..max_write_size.
    std::size_t write_size = 0;
    std::size_t max_write_size = 0;
    // Called with the bytes of each completed download.
    std::function<void(const Bytes&)> on_written;
};

// What a read finds: the bytes, or the abort code that refuses it.
struct ReadResult {
    AbortCode abort = AbortCode::kNone;
    Bytes data;
};

class ObjectDictionary {
public:
    void Add(std::uint16_t index, std::uint8_t sub_index, ObjectEntry entry);
    // A read-only object with this value.
    void AddValue(std::uint16_t index, std::uint8_t sub_index, Bytes value);
    bool Contains(std::uint16_t index, std::uint8_t sub_index) const;

    ReadResult Read(std::uint16_t index, std::uint8_t sub_index) const;
    // kNone when a download of `size` bytes would be taken.
    AbortCode CheckWrite(std::uint16_t index, std::uint8_t sub_index, std::size_t size) const;
    // Delivers a completed download (after CheckWrite passed): the object's value becomes the
    // bytes (when it is readable) and its handler runs.
    void Write(std::uint16_t index, std::uint8_t sub_index, const Bytes& bytes);

private:
    using Key = std::pair<std::uint16_t, std::uint8_t>;
    std::map<Key, ObjectEntry> entries_;
};

}  // namespace devsim
