// TCollection, TOwnedCollection and TCollectionItem: an ordered, owned list of items of one
// class, with stable ids, index moves, update brackets and notifications.
//
// The collection owns its items (the class library's ownership model): Add and Insert create an
// item through the item factory, Delete and Clear free it, and freeing an item (`delete item`)
// takes it out of its collection. Notify and Update run on the collection; an item being
// extracted from its own destructor is passed only for identity (its derived part is gone).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/ui/core/persistent.h"

namespace ui {

class TCollection;

enum class TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

class TCollectionItem : public TPersistent {
public:
    // The item is not in `collection` until the collection inserts it (Add, Insert); derived
    // constructors may already read Collection().
    explicit TCollectionItem(TCollection* collection);
    ~TCollectionItem() override;
    TCollectionItem(const TCollectionItem&) = delete;
    TCollectionItem& operator=(const TCollectionItem&) = delete;

    std::string ClassName() const override { return "TCollectionItem"; }

    TCollection* Collection() const { return collection_; }
    // Moves the item into another collection (nullptr: out of any).
    void SetCollection(TCollection* collection);
    int ID() const { return id_; }
    int Index() const;  // -1 when the item is in no collection
    // Moves the item to `index` (clamped to the collection); the collection is told of the change.
    void SetIndex(int index);

    // The collection editors' caption; the class name by default.
    virtual std::string GetDisplayName() const { return ClassName(); }
    virtual void SetDisplayName(const std::string& value);

protected:
    // Tells the collection that this item (or, with allItems, every item) changed.
    void Changed(bool allItems);

private:
    friend class TCollection;
    TCollection* collection_ = nullptr;
    bool inserted_ = false;
    int id_ = -1;
};

class TCollection : public TPersistent {
public:
    using ItemFactory = std::function<TCollectionItem*(TCollection*)>;

    explicit TCollection(ItemFactory itemClass);
    ~TCollection() override;
    TCollection(const TCollection&) = delete;
    TCollection& operator=(const TCollection&) = delete;

    std::string ClassName() const override { return "TCollection"; }

    int Count() const { return static_cast<int>(items_.size()); }
    // Raises EListError "List index out of bounds (<index>)" outside 0..Count-1.
    TCollectionItem* Items(int index) const;
    TCollectionItem* Add();
    TCollectionItem* Insert(int index);
    void Delete(int index);
    void Clear();
    TCollectionItem* FindItemID(int id) const;
    int IndexOf(const TCollectionItem* item) const;

    // While an update is open the Update notification is held back; EndUpdate sends one.
    virtual void BeginUpdate();
    virtual void EndUpdate();
    int UpdateCount() const { return update_count_; }

    // Replaces the items by copies of another collection's items (Add, then item Assign).
    void Assign(const TPersistent* source) override;

    // The owner for naming and streaming; nullptr for a plain collection.
    virtual TPersistent* GetOwner() const { return nullptr; }

protected:
    // After a change of `item`, or of the whole collection (nullptr).
    virtual void Update(TCollectionItem* item) { (void)item; }
    virtual void Notify(TCollectionItem* item, TCollectionNotification action) {
        (void)item;
        (void)action;
    }
    // Called for a newly inserted item, to give it a name of its own.
    virtual void SetItemName(TCollectionItem* item) { (void)item; }
    // Sends Update(nullptr) unless an update is open.
    void Changed();

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* item);
    void RemoveItem(TCollectionItem* item);
    void MoveItem(TCollectionItem* item, int index);
    void ItemChanged(TCollectionItem* item);

    ItemFactory item_class_;
    std::vector<TCollectionItem*> items_;  // owned
    int next_id_ = 0;
    int update_count_ = 0;
};

// A collection with an owner object (its GetOwner).
class TOwnedCollection : public TCollection {
public:
    TOwnedCollection(TPersistent* owner, ItemFactory itemClass) : TCollection(std::move(itemClass)), owner_(owner) {}
    std::string ClassName() const override { return "TOwnedCollection"; }
    TPersistent* GetOwner() const override { return owner_; }

private:
    TPersistent* owner_;
};

// Item factory for an item class whose constructor takes the collection.
template <typename Item>
TCollection::ItemFactory ItemClass() {
    return [](TCollection* collection) -> TCollectionItem* { return new Item(collection); };
}

}  // namespace ui
