#include "platform/ui/core/collection.h"

#include <algorithm>

#include "platform/ui/core/update_scope.h"

namespace ui {

namespace {

[[noreturn]] void IndexError(int index) {
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

}  // namespace

TCollectionItem::TCollectionItem(TCollection* collection) : collection_(collection) {}

TCollectionItem::~TCollectionItem() {
    if (collection_ != nullptr && inserted_) collection_->RemoveItem(this);
}

void TCollectionItem::SetCollection(TCollection* collection) {
    if (collection == collection_ && (inserted_ || collection == nullptr)) return;
    if (collection_ != nullptr && inserted_) collection_->RemoveItem(this);
    collection_ = collection;
    if (collection_ != nullptr) collection_->InsertItem(this);
}

int TCollectionItem::Index() const { return collection_ != nullptr && inserted_ ? collection_->IndexOf(this) : -1; }

void TCollectionItem::SetIndex(int index) {
    if (collection_ == nullptr || !inserted_) return;
    collection_->MoveItem(this, index);
}

void TCollectionItem::SetDisplayName(const std::string& value) {
    (void)value;
    Changed(false);
}

void TCollectionItem::Changed(bool allItems) {
    if (collection_ == nullptr || !inserted_ || collection_->UpdateCount() != 0) return;
    collection_->ItemChanged(allItems ? nullptr : this);
}

TCollection::TCollection(ItemFactory itemClass) : item_class_(std::move(itemClass)) {}

TCollection::~TCollection() {
    // Items are freed without notifications: the derived collection is already gone.
    ++update_count_;
    while (!items_.empty()) {
        TCollectionItem* item = items_.back();
        items_.pop_back();
        item->inserted_ = false;
        item->collection_ = nullptr;
        delete item;
    }
}

TCollectionItem* TCollection::Items(int index) const {
    if (index < 0 || index >= Count()) IndexError(index);
    return items_[static_cast<std::size_t>(index)];
}

TCollectionItem* TCollection::Add() {
    TCollectionItem* item = item_class_(this);
    try {
        InsertItem(item);
    } catch (...) {
        if (!item->inserted_) {
            item->collection_ = nullptr;
            delete item;
        }
        throw;
    }
    return item;
}

TCollectionItem* TCollection::Insert(int index) {
    if (index < 0 || index > Count()) IndexError(index);
    TCollectionItem* item = Add();
    item->SetIndex(index);
    return item;
}

void TCollection::Delete(int index) {
    TCollectionItem* item = Items(index);
    Notify(item, TCollectionNotification::cnDeleting);
    delete item;
}

void TCollection::Clear() {
    if (items_.empty()) return;
    WithinUpdate(*this, [&] {
        while (!items_.empty()) {
            TCollectionItem* item = items_.back();
            Notify(item, TCollectionNotification::cnDeleting);
            delete item;
        }
    });
}

TCollectionItem* TCollection::FindItemID(int id) const {
    for (TCollectionItem* item : items_) {
        if (item->id_ == id) return item;
    }
    return nullptr;
}

int TCollection::IndexOf(const TCollectionItem* item) const {
    const auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TCollection::BeginUpdate() { ++update_count_; }

void TCollection::EndUpdate() {
    if (update_count_ == 0) return;
    --update_count_;
    Changed();
}

void TCollection::Assign(const TPersistent* source) {
    if (const auto* other = dynamic_cast<const TCollection*>(source)) {
        if (other == this) return;
        WithinUpdate(*this, [&] {
            Clear();
            for (TCollectionItem* item : other->items_) Add()->Assign(item);
        });
        return;
    }
    TPersistent::Assign(source);
}

void TCollection::Changed() {
    if (update_count_ == 0) Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* item) {
    items_.push_back(item);
    item->collection_ = this;
    item->inserted_ = true;
    item->id_ = next_id_++;
    SetItemName(item);
    Notify(item, TCollectionNotification::cnAdded);
    Changed();
}

void TCollection::RemoveItem(TCollectionItem* item) {
    items_.erase(std::remove(items_.begin(), items_.end(), item), items_.end());
    item->inserted_ = false;
    item->collection_ = nullptr;
    Notify(item, TCollectionNotification::cnExtracting);
    Changed();
}

void TCollection::MoveItem(TCollectionItem* item, int index) {
    const int current = IndexOf(item);
    if (current < 0) return;
    index = std::clamp(index, 0, Count() - 1);
    if (index == current) return;
    items_.erase(items_.begin() + current);
    items_.insert(items_.begin() + index, item);
    Changed();
}

void TCollection::ItemChanged(TCollectionItem* item) { Update(item); }

}  // namespace ui
