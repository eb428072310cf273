#include "tools/devsim/object_dictionary.h"

namespace devsim {

void ObjectDictionary::Add(std::uint16_t index, std::uint8_t sub_index, ObjectEntry entry) {
    entries_[{index, sub_index}] = std::move(entry);
}

void ObjectDictionary::AddValue(std::uint16_t index, std::uint8_t sub_index, Bytes value) {
    ObjectEntry entry;
    entry.value = std::move(value);
    Add(index, sub_index, std::move(entry));
}

bool ObjectDictionary::Contains(std::uint16_t index, std::uint8_t sub_index) const {
    return entries_.count({index, sub_index}) != 0;
}

ReadResult ObjectDictionary::Read(std::uint16_t index, std::uint8_t sub_index) const {
    auto it = entries_.find({index, sub_index});
    if (it == entries_.end()) return {AbortCode::kObjectMissing, {}};
    if (!it->second.readable) return {AbortCode::kWriteOnly, {}};
    // An upload cannot carry zero bytes: an empty object has nothing to give.
    if (it->second.value.empty()) return {AbortCode::kNoData, {}};
    return {AbortCode::kNone, it->second.value};
}

AbortCode ObjectDictionary::CheckWrite(std::uint16_t index, std::uint8_t sub_index, std::size_t size) const {
    auto it = entries_.find({index, sub_index});
    if (it == entries_.end()) return AbortCode::kObjectMissing;
    const ObjectEntry& entry = it->second;
    if (!entry.writable) return AbortCode::kReadOnly;
    if (entry.write_size != 0) return size == entry.write_size ? AbortCode::kNone : AbortCode::kLengthMismatch;
    if (size == 0 || size > entry.max_write_size) return AbortCode::kLengthMismatch;
    return AbortCode::kNone;
}

void ObjectDictionary::Write(std::uint16_t index, std::uint8_t sub_index, const Bytes& bytes) {
    auto it = entries_.find({index, sub_index});
    if (it == entries_.end()) return;
    if (it->second.readable) it->second.value = bytes;
    if (it->second.on_written) it->second.on_written(bytes);
}

}  // namespace devsim
