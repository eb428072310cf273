#include <gtest/gtest.h>

#include "platform/ui/core/collection.h"

namespace ui {
namespace {

struct Named : TCollectionItem {
    explicit Named(TCollection* c) : TCollectionItem(c) {}
    std::string text;
};

// Records the update notifications a collection sends.
class Recording : public TCollection {
public:
    Recording() : TCollection(ItemClass<Named>()) {}
    int updates = 0;
    std::vector<TCollectionNotification> notes;

protected:
    void Update(TCollectionItem*) override { ++updates; }
    void Notify(TCollectionItem*, TCollectionNotification action) override { notes.push_back(action); }
};

TEST(Collection, IdsStayWithTheirItemsAndGrow) {
    Recording c;
    TCollectionItem* a = c.Add();
    TCollectionItem* b = c.Add();
    TCollectionItem* d = c.Add();
    EXPECT_EQ(a->ID(), 0);
    EXPECT_EQ(d->ID(), 2);
    c.Delete(1);
    (void)b;
    EXPECT_EQ(c.Add()->ID(), 3);  // ids are never reused
    EXPECT_EQ(c.FindItemID(2), d);
    EXPECT_EQ(c.FindItemID(1), nullptr);
    EXPECT_THROW(c.Items(4), EListError);
    EXPECT_THROW(c.Items(-1), EListError);
}

TEST(Collection, IndexMovesClampAndNotify) {
    Recording c;
    std::vector<TCollectionItem*> items;
    for (int i = 0; i < 4; ++i) items.push_back(c.Add());
    c.updates = 0;
    items[3]->SetIndex(0);
    EXPECT_EQ(c.IndexOf(items[3]), 0);
    EXPECT_EQ(c.IndexOf(items[0]), 1);
    EXPECT_EQ(c.updates, 1);
    items[3]->SetIndex(99);  // clamped to the end
    EXPECT_EQ(items[3]->Index(), 3);
    items[3]->SetIndex(3);  // no move: no update
    EXPECT_EQ(c.updates, 2);
}

TEST(Collection, UpdateBracketsSendOneUpdate) {
    Recording c;
    c.BeginUpdate();
    c.BeginUpdate();
    for (int i = 0; i < 5; ++i) c.Add();
    c.Delete(0);
    c.EndUpdate();
    EXPECT_EQ(c.updates, 0);
    c.EndUpdate();
    EXPECT_EQ(c.updates, 1);
    c.EndUpdate();  // unbalanced: ignored
    EXPECT_EQ(c.updates, 1);
    EXPECT_EQ(c.Count(), 4);
}

TEST(Collection, FreeingAnItemTakesItOutAndNotifies) {
    Recording c;
    TCollectionItem* a = c.Add();
    c.Add();
    c.notes.clear();
    delete a;
    EXPECT_EQ(c.Count(), 1);
    EXPECT_EQ(c.notes, std::vector<TCollectionNotification>{TCollectionNotification::cnExtracting});
    c.notes.clear();
    c.Clear();
    EXPECT_EQ(c.Count(), 0);
    EXPECT_EQ(c.notes.front(), TCollectionNotification::cnDeleting);
}

TEST(Collection, DisplayNameDefaultsToTheClassName) {
    Recording c;
    EXPECT_EQ(c.Add()->GetDisplayName(), "TCollectionItem");
}

}  // namespace
}  // namespace ui
