// Cards, their items and the card collection of a card list, with the card-side algorithms:
// keeping a card's items in step with the template (SyncItems), measuring a card (LayoutCard),
// choosing its state appearance (ApplyCardAppearance) and hiding items by their conditions.
// The cards know the list that shows them only as their CardListHost (card_list_host.h).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "controls/cardlist/card_settings.h"
#include "controls/cardlist/card_template.h"
#include "platform/ui/core/collection.h"
#include "platform/ui/core/exceptions.h"
#include "platform/ui/core/sysutils.h"
#include "platform/ui/graphics/geometry.h"
#include "platform/ui/graphics/picture.h"

namespace cardlist {

class CardListHost;
class TFineCard;
class TFineCardItemList;

class ECardItemListError : public ui::Exception {
public:
    explicit ECardItemListError(const std::string& message) : ui::Exception(message) {}
};

// The texts of Boolean values.
inline constexpr const char* kTrueText = "True";
inline constexpr const char* kFalseText = "False";

class TFineCardItem : public ui::TCollectionItem {
public:
    explicit TFineCardItem(ui::TCollection* collection);
    ~TFineCardItem() override;

    std::string ClassName() const override { return "TFineCardItem"; }
    // Copies the value (converted to this item's type), Hint and Tag, and takes over the
    // source's attached object together with its ownership.
    void Assign(const ui::TPersistent* source) override;

    // Typed access; each converts from and to the stored value of DataType.
    std::string AsString() const;
    void SetAsString(const std::string& value);
    double AsFloat() const;
    void SetAsFloat(double value);
    int AsInteger() const;
    void SetAsInteger(int value);
    bool AsBoolean() const;
    void SetAsBoolean(bool value);
    ui::TDateTime AsDate() const;
    void SetAsDate(ui::TDateTime value);
    ui::TDateTime AsTime() const;
    void SetAsTime(ui::TDateTime value);

    ui::TPicture& Picture() { return *picture_; }
    const ui::TPicture& Picture() const { return *picture_; }
    // No graphic, or an empty one.
    bool PictureEmpty() const;
    // Loads the picture from a file; a file the class library cannot read leaves it empty.
    void LoadPictureFrom(const std::string& file_name);

    TFineCardItemDataType DataType() const { return data_type_; }
    const std::string& Format() const { return format_; }
    const std::string& Name() const { return name_; }

    TFineCardItemList* List() const;
    TFineCard* Card() const;

    bool Hidden = false;
    bool Selected = false;
    ui::TRect LabelItemRect, LabelCardRect, LabelClientRect;
    ui::TRect ValueItemRect, ValueCardRect, ValueClientRect;
    ui::TRect ItemClientRect;
    std::string Hint;
    int Tag = 0;

    // An object for the user. With ownership the item frees it when it goes or gets another;
    // ownership may be asked for before the object is attached.
    ui::TPersistent* ItemObject() const { return item_object_; }
    void SetItemObject(ui::TPersistent* object);
    bool OwnsItemObject() const { return owns_item_object_; }
    void SetOwnsItemObject(bool owns);

private:
    friend class TFineCardTemplateItem;
    friend class TFineCardItemList;
    friend class TFineCards;
    void Changed();
    void StoreNumber(double value, const std::string& as_text);
    ui::TDateTime AsDateTime(bool (*parse)(const std::string&, ui::TDateTime&)) const;

    bool bool_value_ = false;
    std::string text_value_;
    int int_value_ = 0;
    double float_value_ = 0;
    ui::TDateTime date_value_ = 0;
    ui::TDateTime time_value_ = 0;
    std::unique_ptr<ui::TPicture> picture_;
    TFineCardItemDataType data_type_ = TFineCardItemDataType::idtString;
    std::string format_;
    std::string name_;
    ui::TPersistent* item_object_ = nullptr;
    // Holds the object while this item owns it; mutable so that Assign can move it out of the
    // source (exactly one item ever frees an object).
    mutable bool owns_item_object_ = false;  // an assignment moves it from its source
    // What the item frees: the attached object while the item owns it.
    mutable std::unique_ptr<ui::TPersistent> owned_object_;
};

class TFineCardItemList : public ui::TCollection {
public:
    explicit TFineCardItemList(TFineCard* card);
    ~TFineCardItemList() override;

    std::string ClassName() const override { return "TFineCardItemList"; }

    TFineCard* Card() const { return card_; }
    TFineCardItem* Items(int index) const { return static_cast<TFineCardItem*>(ui::TCollection::Items(index)); }
    // Case-sensitive; nullptr when absent.
    TFineCardItem* ItemByName(const std::string& name) const;

    // The items follow the template; these raise ECardItemListError
    // "''<operation>'' operation is not allowed" unless PermitEdit is set.
    TFineCardItem* Add();
    TFineCardItem* Insert(int index);
    void Delete(int index);
    void Clear();
    void BeginUpdate() override;
    void EndUpdate() override;

    // Item i takes the value of source item i, for the shorter of the two lists.
    void Assign(const ui::TPersistent* source) override;

    bool PermitEdit = false;

private:
    void Check(const char* operation) const;
    TFineCard* card_;
};

class TFineCard : public ui::TCollectionItem {
public:
    explicit TFineCard(ui::TCollection* collection);
    ~TFineCard() override;

    std::string ClassName() const override { return "TFineCard"; }
    // Caption, Hint, Tag, Visible and the item values.
    void Assign(const ui::TPersistent* source) override;

    TFineCards* Cards() const;
    // The list the card is shown in, as its cards see it; nullptr outside a list.
    CardListHost* CardList() const;

    TFineCardAppearance& Appearance() { return *appearance_; }
    TFineCardItemList& Items() { return *items_; }
    const TFineCardItemList& Items() const { return *items_; }

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& value);
    bool Selected() const { return selected_; }
    void SetSelected(bool value);
    int ItemIndex() const { return item_index_; }
    void SetItemIndex(int value);

    // The 1-based rating picture at (x, y), -1 when none.
    int RatingAtPoint(int itemIndex, int x, int y) const;
    ui::TRect RatingPictureRect(int itemIndex, int n) const;

    int ColumnIndex = 0;
    int RowIndex = 0;
    bool Editing = false;
    bool PassesFilter = true;
    std::string Hint;
    bool Hovered = false;
    int ImageIndex = -1;
    int Tag = 0;
    bool Visible = true;
    ui::TRect CaptionRect, CaptionRect2;  // the second copy is the one client rectangles derive from
    ui::TRect CaptionClientRect;
    ui::TRect CardRect;
    ui::TRect ListRect;
    int CardHeight = 0;

    bool Shown() const { return Visible && PassesFilter; }

private:
    friend class TFineCards;
    friend class TCustomFineCardList;
    void NotifySelectionChange();

    std::unique_ptr<TFineCardAppearance> appearance_;
    std::unique_ptr<TFineCardItemList> items_;
    std::string caption_;
    bool selected_ = false;
    int item_index_ = -1;
};

using TCardAddedEvent = std::function<void(TFineCards* sender, TFineCard* card)>;

class TFineCards : public ui::TCollection {
public:
    explicit TFineCards(CardListHost* list);
    ~TFineCards() override;

    std::string ClassName() const override { return "TFineCards"; }

    CardListHost* List() const { return list_; }
    TFineCard* Items(int index) const { return static_cast<TFineCard*>(ui::TCollection::Items(index)); }
    // The card with the collection identifier `id`; null once that card has left.
    TFineCard* FindCardID(int id) const { return static_cast<TFineCard*>(FindItemID(id)); }
    TFineCard* Add();
    TFineCard* Insert(int index);
    void Clear();

    bool RepaintOnChange() const { return repaint_on_change_; }
    void SetRepaintOnChange(bool value);

    // nullptr: every card (ApplyCardAppearance: every shown card).
    void SyncItems(TFineCard* card);
    void LayoutCard(TFineCard* card);
    void ApplyCardAppearance(TFineCard* card);
    void ItemChanged(TFineCard* card, TFineCardItem* item);
    void TemplateItemsChanged();
    // Whether item `itemIndex` of `card` is shown; nullptr runs it for that index on every card.
    bool EvaluateItemVisibility(TFineCard* card, int itemIndex);

    TCardAddedEvent OnCardAdded;

protected:
    void Update(ui::TCollectionItem* item) override;
    void Notify(ui::TCollectionItem* item, ui::TCollectionNotification action) override;

private:
    void SyncOne(TFineCard* card);
    void LayoutOne(TFineCard* card);
    void ApplyOne(TFineCard* card);

    CardListHost* list_;
    bool repaint_on_change_ = true;
};

}  // namespace cardlist
