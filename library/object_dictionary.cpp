#include "library/object_dictionary.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>

#include "library/byte_order.h"
#include "library/nm.h"

namespace klp {

namespace {

constexpr std::array<std::uint8_t, 19> kTypeSizes = {0, 1, 1, 2, 4, 1, 2, 4, 4, 0, 7, 6, 6, 0, 0, 2, 2, 2, 0};
// The types the dictionaries name, as the table sizes them.
static_assert(kTypeSizes[od_type::kUnsigned8] == 1 && kTypeSizes[od_type::kUnsigned16] == 2 &&
              kTypeSizes[od_type::kUnsigned32] == 4);
static_assert(kTypeSizes[od_type::kVisibleString] == 0 && kTypeSizes[od_type::kDomain] == 0, "variable size");

constexpr std::uint16_t kHardwareVersion = 1;
constexpr std::string_view kNodeName = "2579-XXXX";

using le::Bytes16;
using le::Bytes32;

// Serves a constant little-endian value of `size` bytes to reads; writes are refused.
void ServeConstant(OdAccessBlock& block, std::uint32_t value, std::uint32_t size) {
    if (block.mode != OdAccessBlock::kRead || block.offset > size) {
        block.error = 1;
        return;
    }
    const std::uint32_t n = std::min<std::uint32_t>(block.length, size - block.offset);
    for (std::uint32_t i = 0; i < n; ++i) {
        block.data[i] = static_cast<std::uint8_t>(value >> (8 * (block.offset + i)));
    }
    block.length = static_cast<std::uint8_t>(n);
}

void IdentityValueRoutine(OdAccessBlock& block) { ServeConstant(block, kIdentityValue, 4); }
void HardwareVersionRoutine(OdAccessBlock& block) { ServeConstant(block, kHardwareVersion, 2); }

}  // namespace

std::uint32_t OdTypeSize(std::uint8_t data_type) { return data_type < kTypeSizes.size() ? kTypeSizes[data_type] : 0; }

OdSubEntry OdSubEntry::Inline(std::uint8_t type, std::vector<std::uint8_t> bytes) {
    OdSubEntry e;
    e.flags = static_cast<std::uint8_t>(type & 0x1F);
    e.value = std::move(bytes);
    return e;
}

OdSubEntry OdSubEntry::Pointer(std::uint8_t type, std::vector<std::uint8_t> bytes, bool writable) {
    OdSubEntry e;
    e.flags = static_cast<std::uint8_t>((writable ? 0x80 : 0) | (1 << 5) | (type & 0x1F));
    e.value = std::move(bytes);
    return e;
}

OdSubEntry OdSubEntry::Routine(std::uint8_t type, OdRoutine routine, bool writable, std::uint16_t length) {
    OdSubEntry e;
    e.flags = static_cast<std::uint8_t>((writable ? 0x80 : 0) | (2 << 5) | (type & 0x1F));
    e.routine = routine;
    e.routine_length = length;
    return e;
}

void ObjectDictionary::Add(std::uint16_t index, OdObject object) {
    auto& page = pages_[index / kPageSize];
    if (!page) page = std::make_unique<Page>();
    const std::size_t slot = index % kPageSize;
    if (page->slots.size() <= slot) page->slots.resize(slot + 1);
    page->slots[slot] = std::make_unique<OdObject>(std::move(object));
}

OdObject* ObjectDictionary::Find(std::uint16_t index) {
    const auto& page = pages_[index / kPageSize];
    if (!page) return nullptr;
    const std::size_t slot = index % kPageSize;
    return slot < page->slots.size() ? page->slots[slot].get() : nullptr;
}

ObjectDictionary ObjectDictionary::LibraryNode() {
    using od_type::kUnsigned16;
    using od_type::kUnsigned32;
    ObjectDictionary d;
    // The node's page 2 covers 0x1000..0x101D.
    d.pages_[2] = std::make_unique<Page>();
    d.pages_[2]->slots.resize(30);
    d.Add(0x1000, {{OdSubEntry::Pointer(kUnsigned16, Bytes16(kIdentityWord))}});
    d.Add(0x1004, {{OdSubEntry::Pointer(kUnsigned32, Bytes32(0x80000000u))}});
    d.Add(0x1006, {{OdSubEntry::Routine(kUnsigned32, &IdentityValueRoutine)}});
    d.Add(0x1009, {{OdSubEntry::Routine(kUnsigned16, &HardwareVersionRoutine)}});
    d.Add(0x100A, {{OdSubEntry::Pointer(kUnsigned16, Bytes16(0x0100))}});
    d.Add(0x100B, {{OdSubEntry::Pointer(kUnsigned16, Bytes16(kReplyWord))}});
    d.Add(0x100C, {{OdSubEntry::Pointer(kUnsigned16, Bytes16(0x0100))}});
    d.Add(0x100D, {{OdSubEntry::Pointer(od_type::kVisibleString,
                                        std::vector<std::uint8_t>(kNodeName.begin(), kNodeName.end()))}});
    OdObject zeros;
    zeros.subs.assign(14, OdSubEntry::Inline(kUnsigned16, {0, 0}));
    d.Add(0x100F, std::move(zeros));
    return d;
}

// ---------------------------------------------------------------------------------------------

std::uint32_t DictionaryAccess::SubSize(const OdSubEntry& sub) {
    if (const std::uint32_t fixed = OdTypeSize(sub.Type()); fixed != 0) return fixed;
    switch (sub.Type()) {
    case od_type::kVisibleString:
        switch (sub.Storage()) {
        case OdStorage::kInline:
            // The length byte, bounded by the text actually stored behind it.
            return sub.value.empty() ? 0 : std::min<std::uint32_t>(sub.value[0], sub.value.size() - 1);
        case OdStorage::kPointer:
            return static_cast<std::uint32_t>(sub.value.size());
        case OdStorage::kRoutine: {
            if (!sub.routine) return 0;
            std::uint8_t length = 0;
            block_ = OdAccessBlock{OdAccessBlock::kRead, 0, 1, &length, 0};
            sub.routine(block_);
            return (block_.error != 0 || block_.length == 0) ? 0 : length;
        }
        }
        return 0;
    case od_type::kDomain:
        return sub.Storage() == OdStorage::kRoutine ? sub.routine_length : static_cast<std::uint32_t>(sub.value.size());
    default:
        return 0;
    }
}

bool DictionaryAccess::Fetch(const OdSubEntry& sub, std::uint32_t offset, std::uint8_t* destination,
                             std::uint32_t& count) {
    if (sub.Storage() == OdStorage::kRoutine) {
        if (!sub.routine) return false;
        std::uint32_t done = 0;
        while (done < count) {
            const auto step = static_cast<std::uint8_t>(std::min<std::uint32_t>(count - done, 255));
            block_ = OdAccessBlock{OdAccessBlock::kRead, static_cast<std::uint16_t>(offset + done), step,
                                   destination + done, 0};
            sub.routine(block_);
            if (block_.error != 0) return false;
            const std::uint32_t got = std::min<std::uint32_t>(block_.length, step);
            done += got;
            if (got < step) break;
        }
        count = done;
        return true;
    }
    // An inline visible string keeps its length byte in front of the text.
    const std::size_t skip = (sub.Storage() == OdStorage::kInline && sub.Type() == od_type::kVisibleString) ? 1 : 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t at = skip + offset + i;
        // A stored value shorter than its type is served with zeros, so the stream keeps the
        // length its size announced.
        destination[i] = at < sub.value.size() ? sub.value[at] : 0;
    }
    return true;
}

std::uint32_t DictionaryAccess::ReadPrepare(int channel, std::uint16_t index, std::uint8_t sub_index) {
    if (channel < 0 || channel >= kChannels) return 0;
    State& st = states_[channel];
    st = State{};
    OdObject* object = dictionary_.Find(index);
    if (!object) return 0;
    if (sub_index == kWholeObject) {
        std::uint32_t total = 0;
        for (const auto& sub : object->subs) total += SubSize(sub);
        st.object = object;
        st.mode = Mode::kWholeRead;
        st.sub = 0;
        st.last = object->subs.size();
        return total;
    }
    if (sub_index >= object->subs.size()) return 0;
    st.object = object;
    st.mode = Mode::kOneRead;
    st.sub = sub_index;
    st.last = sub_index + 1u;
    return SubSize(object->subs[sub_index]);
}

std::size_t DictionaryAccess::Read(int channel, std::uint8_t* destination, std::size_t count, bool& end) {
    end = false;
    if (channel < 0 || channel >= kChannels) return 0;
    State& st = states_[channel];
    if (st.mode != Mode::kOneRead && st.mode != Mode::kWholeRead) {
        end = true;
        return 0;
    }
    std::size_t copied = 0;
    while (st.sub < st.last && copied < count) {
        const OdSubEntry& sub = st.object->subs[st.sub];
        if (!st.started) {
            st.left = SubSize(sub);
            st.position = 0;
            // A fixed-size value is never split across reads.
            if (OdTypeSize(sub.Type()) != 0 && st.left > count - copied) break;
            st.started = true;
        }
        if (st.left > 0) {
            std::uint32_t n = static_cast<std::uint32_t>(std::min<std::size_t>(st.left, count - copied));
            if (!Fetch(sub, st.position, destination + copied, n)) {
                st = State{};
                end = true;
                return copied;
            }
            if (n == 0) break;  // a routine that gives nothing now; never spin on it
            copied += n;
            st.position += n;
            st.left -= n;
        }
        if (st.left == 0) {
            ++st.sub;
            st.started = false;
        }
    }
    if (st.sub >= st.last) {
        end = true;
        st.mode = Mode::kNone;
    }
    return copied;
}

bool DictionaryAccess::WritePrepare(int channel, std::uint16_t index, std::uint8_t sub_index, std::uint32_t length) {
    if (channel < 0 || channel >= kChannels) return false;
    State& st = states_[channel];
    st = State{};
    OdObject* object = dictionary_.Find(index);
    if (!object || sub_index >= object->subs.size()) return false;
    const OdSubEntry& sub = object->subs[sub_index];
    bool ok = false;
    std::uint32_t size = 0;
    if (!sub.Writable()) {
        ok = (length == 0);
    } else {
        size = SubSize(sub);
        ok = (sub.Storage() == OdStorage::kPointer || sub.Storage() == OdStorage::kRoutine) && size == length;
    }
    if (ok) {
        st.object = object;
        st.mode = Mode::kWrite;
        st.sub = sub_index;
        st.last = sub_index + 1u;
        st.left = size;
        st.started = true;
    }
    return ok;
}

std::size_t DictionaryAccess::Write(int channel, const std::uint8_t* source, std::size_t length) {
    if (channel < 0 || channel >= kChannels) return 0;
    State& st = states_[channel];
    if (st.mode != Mode::kWrite || length > st.left || length == 0) {
        st = State{};
        return 0;
    }
    OdSubEntry& sub = st.object->subs[st.sub];
    if (sub.Storage() == OdStorage::kRoutine) {
        std::size_t done = 0;
        std::array<std::uint8_t, 255> chunk{};
        while (done < length) {
            const auto step = static_cast<std::uint8_t>(std::min<std::size_t>(length - done, chunk.size()));
            std::memcpy(chunk.data(), source + done, step);
            block_ = OdAccessBlock{OdAccessBlock::kWrite, static_cast<std::uint16_t>(st.position + done), step,
                                   chunk.data(), 0};
            sub.routine(block_);
            if (block_.error != 0) {
                st = State{};
                return 0;
            }
            done += step;
        }
    } else {
        if (sub.value.size() < st.position + length) sub.value.resize(st.position + length);
        std::memcpy(sub.value.data() + st.position, source, length);
    }
    st.position += static_cast<std::uint32_t>(length);
    st.left -= static_cast<std::uint32_t>(length);
    if (st.left == 0) st = State{};
    return length;
}

}  // namespace klp
