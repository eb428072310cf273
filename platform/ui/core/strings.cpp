#include "platform/ui/core/strings.h"

#include "platform/ui/core/update_scope.h"

namespace ui {

int TStrings::Add(const std::string& text) {
    const int index = Count();
    Insert(index, text);
    return index;
}

int TStrings::IndexOf(const std::string& text) const {
    for (int i = 0; i < Count(); ++i) {
        if (Get(i) == text) return i;
    }
    return -1;
}

std::string TStrings::Text() const {
    std::string out;
    for (int i = 0; i < Count(); ++i) out += Get(i) + "\n";
    return out;
}

void TStrings::SetText(const std::string& text) {
    WithinUpdate(*this, [&] {
        Clear();
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find_first_of("\r\n", start);
            if (end == std::string::npos) end = text.size();
            Add(text.substr(start, end - start));
            if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
            start = end + 1;
        }
    });
}

void TStrings::BeginUpdate() {
    if (update_count_++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate() {
    if (update_count_ == 0) return;
    if (--update_count_ == 0) SetUpdateState(false);
}

void TStrings::Assign(const TPersistent* source) {
    if (const auto* other = dynamic_cast<const TStrings*>(source)) {
        if (other == this) return;
        WithinUpdate(*this, [&] {
            Clear();
            for (int i = 0; i < other->Count(); ++i) Add(other->Get(i));
        });
        return;
    }
    TPersistent::Assign(source);
}

bool TStrings::Equals(const TStrings& other) const {
    if (Count() != other.Count()) return false;
    for (int i = 0; i < Count(); ++i) {
        if (Get(i) != other.Get(i)) return false;
    }
    return true;
}

void TStringList::CheckIndex(int index, int limit) const {
    if (index < 0 || index > limit) throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
}

std::string TStringList::Get(int index) const {
    CheckIndex(index, Count() - 1);
    return items_[static_cast<std::size_t>(index)];
}

void TStringList::Put(int index, const std::string& text) {
    CheckIndex(index, Count() - 1);
    Changing();
    items_[static_cast<std::size_t>(index)] = text;
    Changed();
}

void TStringList::Insert(int index, const std::string& text) {
    CheckIndex(index, Count());
    Changing();
    items_.insert(items_.begin() + index, text);
    Changed();
}

void TStringList::Delete(int index) {
    CheckIndex(index, Count() - 1);
    Changing();
    items_.erase(items_.begin() + index);
    Changed();
}

void TStringList::Clear() {
    if (items_.empty()) return;
    Changing();
    items_.clear();
    Changed();
}

void TStringList::Changing() {
    if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TStringList::Changed() {
    if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::SetUpdateState(bool updating) {
    if (updating) {
        if (OnChanging) OnChanging(this);
    } else if (OnChange) {
        OnChange(this);
    }
}

}  // namespace ui
