// Object dictionary of a node and the per-channel access the SDO server reads and writes it
// through.
//
// Objects are found by index through pages of 2048 indices (page = index / 2048, slot = index %
// 2048). An object is a list of sub-entries, one per sub-index; each sub-entry starts with a flag
// byte: bit 7 writable, bits 6..5 the storage kind, bits 4..0 the data type, which gives the size
// through the size table (size 0 = variable).
//
// Variable-size values (visible strings, type 9, and type 14) held by pointer or served by a
// routine carry their length in the descriptor; an inline visible string starts with its length
// byte. So a text such as "2579-XXXX" needs no length prefix of its own.
//
// Threads: the dispatcher thread only (the server's).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace klp {

enum class OdStorage : std::uint8_t { kInline = 0, kPointer = 1, kRoutine = 2 };

namespace od_type {
inline constexpr std::uint8_t kUnsigned8 = 5;
inline constexpr std::uint8_t kUnsigned16 = 6;
inline constexpr std::uint8_t kUnsigned32 = 7;
inline constexpr std::uint8_t kVisibleString = 9;
inline constexpr std::uint8_t kDomain = 14;
}  // namespace od_type

// Size in bytes of a data type; 0 = variable (and for every type above 18).
std::uint32_t OdTypeSize(std::uint8_t data_type);

// The access block an access routine works on.
struct OdAccessBlock {
    static constexpr std::uint8_t kRead = 0;
    static constexpr std::uint8_t kWrite = 0x80;
    std::uint8_t mode = kRead;
    std::uint16_t offset = 0;
    std::uint8_t length = 0;       // in: bytes asked for; a routine may lower it
    std::uint8_t* data = nullptr;  // read: to fill; write: the bytes to take
    std::uint8_t error = 0;        // non-zero after the call fails the access
};
using OdRoutine = void (*)(OdAccessBlock& block);

struct OdSubEntry {
    std::uint8_t flags = 0;
    // Inline or pointed value (for an inline visible string: its length byte, then the text).
    std::vector<std::uint8_t> value;
    OdRoutine routine = nullptr;
    // Length of a variable-size value served by a routine (type 14).
    std::uint16_t routine_length = 0;

    bool Writable() const { return (flags & 0x80) != 0; }
    OdStorage Storage() const { return static_cast<OdStorage>((flags >> 5) & 3); }
    std::uint8_t Type() const { return flags & 0x1F; }

    static OdSubEntry Inline(std::uint8_t type, std::vector<std::uint8_t> bytes);
    static OdSubEntry Pointer(std::uint8_t type, std::vector<std::uint8_t> bytes, bool writable = false);
    static OdSubEntry Routine(std::uint8_t type, OdRoutine routine, bool writable = false, std::uint16_t length = 0);
};

struct OdObject {
    std::vector<OdSubEntry> subs;  // sub-index count = subs.size() (at most 255)
};

class ObjectDictionary {
public:
    static constexpr std::uint16_t kPageSize = 2048;

    // Adds (or replaces) an object. The page of the index is created with enough slots.
    void Add(std::uint16_t index, OdObject object);
    OdObject* Find(std::uint16_t index);

    // The library node's own read-only dictionary (0x1000, 0x1004, 0x1006, 0x1009, 0x100A,
    // 0x100B, 0x100C, 0x100D, 0x100F on page 2 with 30 slots).
    static ObjectDictionary LibraryNode();

private:
    struct Page {
        std::vector<std::unique_ptr<OdObject>> slots;
    };
    std::array<std::unique_ptr<Page>, 65536 / kPageSize> pages_;
};

// Per-channel access: one read or write position per server channel 0..4. Any other channel
// gives 0 or false.
class DictionaryAccess {
public:
    static constexpr int kChannels = 5;
    static constexpr std::uint8_t kWholeObject = 255;

    explicit DictionaryAccess(ObjectDictionary& dictionary) : dictionary_(dictionary) {}

    // Size of the object or sub-entry; 0 when missing. Sub-index 255 reads the whole object:
    // all sub-entries as one stream in sub-index order.
    std::uint32_t ReadPrepare(int channel, std::uint16_t index, std::uint8_t sub_index);
    // Copies up to `count` bytes. A fixed-size sub-entry is started only when it fits whole in
    // what is left of `count`; a variable-size one may be split. `end` is set once everything
    // has been read.
    std::size_t Read(int channel, std::uint8_t* destination, std::size_t count, bool& end);
    // True only for a writable sub-entry held by pointer or routine whose size equals `length`
    // (a read-only one passes only with length 0).
    bool WritePrepare(int channel, std::uint16_t index, std::uint8_t sub_index, std::uint32_t length);
    // Writes at the current position; the length, or 0 on failure (then the write is over).
    std::size_t Write(int channel, const std::uint8_t* source, std::size_t length);

private:
    enum class Mode : std::uint8_t { kNone = 0, kOneRead = 1, kWholeRead = 2, kWrite = 4 };
    struct State {
        OdObject* object = nullptr;
        Mode mode = Mode::kNone;
        std::size_t sub = 0;         // sub-entry being read or written
        std::size_t last = 0;        // one past the last sub-entry of the access
        std::uint32_t left = 0;      // bytes left of the current sub-entry
        std::uint32_t position = 0;  // offset inside the current sub-entry
        bool started = false;        // the current sub-entry's size is known (left is valid)
    };

    std::uint32_t SubSize(const OdSubEntry& sub);
    // Copies bytes of a sub-entry at an offset; false when a routine reports an error.
    bool Fetch(const OdSubEntry& sub, std::uint32_t offset, std::uint8_t* destination, std::uint32_t& count);

    ObjectDictionary& dictionary_;
    std::array<State, kChannels> states_{};
    OdAccessBlock block_{};
};

}  // namespace klp
