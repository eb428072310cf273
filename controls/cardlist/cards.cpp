#include "controls/cardlist/cards.h"

#include <algorithm>
#include <cmath>

#include "controls/cardlist/card_list_host.h"
#include "platform/ui/core/update_scope.h"

namespace cardlist {

namespace {

using DT = TFineCardItemDataType;

using ui::Store;

// Round for conversions that must not fail: a value out of the integer range reads as 0.
bool TryRound(double value, int& out) {
    if (!std::isfinite(value) || value >= 2147483647.5 || value < -2147483648.5) return false;
    out = static_cast<int>(ui::Round(value));
    return true;
}

bool TextIsTrue(const std::string& text) {
    return !text.empty() && ui::AnsiUpperCase(text) != ui::AnsiUpperCase(kFalseText);
}

// Runs `body` within an update of `target`, or without one when there is no target.
template <typename Target, typename Body>
void WithinUpdateOf(Target* target, Body&& body) {
    if (target != nullptr) {
        ui::WithinUpdate(*target, body);
    } else {
        body();
    }
}

// Lets an item list be edited while it lives, and puts the permission back as it was.
class EditPermitted {
public:
    explicit EditPermitted(TFineCardItemList& items) : items_(items), saved_(items.PermitEdit) {
        items.PermitEdit = true;
    }
    ~EditPermitted() { items_.PermitEdit = saved_; }
    EditPermitted(const EditPermitted&) = delete;
    EditPermitted& operator=(const EditPermitted&) = delete;

private:
    TFineCardItemList& items_;
    bool saved_;
};

}  // namespace

// --- TFineCardItem ---------------------------------------------------------------------------

TFineCardItem::TFineCardItem(ui::TCollection* collection)
    : ui::TCollectionItem(collection), picture_(std::make_unique<ui::TPicture>()) {
    picture_->OnChange = [this](ui::TPersistent*) { Changed(); };
}

TFineCardItem::~TFineCardItem() { picture_->OnChange = nullptr; }

TFineCardItemList* TFineCardItem::List() const { return dynamic_cast<TFineCardItemList*>(Collection()); }

TFineCard* TFineCardItem::Card() const {
    TFineCardItemList* list = List();
    return list != nullptr ? list->Card() : nullptr;
}

void TFineCardItem::Changed() {
    TFineCard* card = Card();
    TFineCards* cards = card != nullptr ? card->Cards() : nullptr;
    if (cards != nullptr) cards->ItemChanged(card, this);
}

std::string TFineCardItem::AsString() const {
    switch (data_type_) {
    case DT::idtString:
        return text_value_;
    case DT::idtFloat:
        try {
            return ui::FormatFloat(format_, float_value_);
        } catch (const ui::Exception&) {
            return std::string();
        }
    case DT::idtInteger:
        return ui::IntToStr(int_value_);
    case DT::idtBoolean:
        return bool_value_ ? kTrueText : kFalseText;
    case DT::idtDate:
        return ui::DateToStr(date_value_);
    case DT::idtTime:
        return ui::TimeToStr(time_value_);
    case DT::idtImage:
        return std::string();
    }
    return std::string();
}

double TFineCardItem::AsFloat() const {
    switch (data_type_) {
    case DT::idtString: {
        double v = 0;
        return ui::TryStrToFloat(text_value_, v) ? v : 0.0;
    }
    case DT::idtFloat:
        return float_value_;
    case DT::idtInteger:
        return int_value_;
    case DT::idtBoolean:
        return bool_value_ ? 1.0 : 0.0;
    case DT::idtDate:
        return date_value_;
    case DT::idtTime:
        return time_value_;
    case DT::idtImage:
        return 0.0;
    }
    return 0.0;
}

int TFineCardItem::AsInteger() const {
    int v = 0;
    switch (data_type_) {
    case DT::idtString:
        return ui::TryStrToInt(text_value_, v) ? v : 0;
    case DT::idtFloat:
        return TryRound(float_value_, v) ? v : 0;
    case DT::idtInteger:
        return int_value_;
    case DT::idtBoolean:
        return bool_value_ ? 1 : 0;
    case DT::idtDate:
        return TryRound(date_value_, v) ? v : 0;
    case DT::idtTime:
        return TryRound(time_value_, v) ? v : 0;
    case DT::idtImage:
        return 0;
    }
    return 0;
}

bool TFineCardItem::AsBoolean() const {
    switch (data_type_) {
    case DT::idtString:
        return TextIsTrue(text_value_);
    case DT::idtFloat:
        return float_value_ != 0.0;
    case DT::idtInteger:
        return int_value_ != 0;
    case DT::idtBoolean:
        return bool_value_;
    case DT::idtDate:
    case DT::idtTime:
    case DT::idtImage:
        return false;
    }
    return false;
}

// Dates and times read a text each by their own format; every other kind converts alike.
ui::TDateTime TFineCardItem::AsDateTime(bool (*parse)(const std::string&, ui::TDateTime&)) const {
    switch (data_type_) {
    case DT::idtString: {
        ui::TDateTime v = 0;
        return parse(text_value_, v) ? v : 0.0;
    }
    case DT::idtFloat:
        return float_value_;
    case DT::idtInteger:
        return int_value_;
    case DT::idtDate:
        return date_value_;
    case DT::idtTime:
        return time_value_;
    case DT::idtBoolean:
    case DT::idtImage:
        return 0.0;
    }
    return 0.0;
}

ui::TDateTime TFineCardItem::AsDate() const { return AsDateTime(ui::TryStrToDate); }

ui::TDateTime TFineCardItem::AsTime() const { return AsDateTime(ui::TryStrToTime); }

void TFineCardItem::SetAsString(const std::string& value) {
    switch (data_type_) {
    case DT::idtString:
        text_value_ = value;
        break;
    case DT::idtFloat: {
        double v = 0;
        if (ui::TryStrToFloat(value, v)) float_value_ = v;
        break;
    }
    case DT::idtInteger: {
        int v = 0;
        if (ui::TryStrToInt(value, v)) int_value_ = v;
        break;
    }
    case DT::idtBoolean:
        bool_value_ = TextIsTrue(value);
        break;
    case DT::idtDate: {
        ui::TDateTime v = 0;
        if (ui::TryStrToDate(value, v)) date_value_ = v;
        break;
    }
    case DT::idtTime: {
        ui::TDateTime v = 0;
        if (ui::TryStrToTime(value, v)) time_value_ = v;
        break;
    }
    case DT::idtImage:
        return;
    }
    Changed();
}

void TFineCardItem::SetAsFloat(double value) { StoreNumber(value, ui::FloatToStr(value)); }

void TFineCardItem::SetAsInteger(int value) {
    bool changed = false;
    switch (data_type_) {
    case DT::idtString:
        changed = Store(text_value_, ui::IntToStr(value));
        break;
    case DT::idtFloat:
        changed = Store(float_value_, static_cast<double>(value));
        break;
    case DT::idtInteger:
        changed = Store(int_value_, value);
        break;
    case DT::idtBoolean:
        changed = Store(bool_value_, value != 0);
        break;
    case DT::idtDate:
        changed = Store(date_value_, static_cast<double>(value));
        break;
    case DT::idtTime:
        changed = Store(time_value_, static_cast<double>(value));
        break;
    case DT::idtImage:
        return;
    }
    if (changed) Changed();
}

void TFineCardItem::SetAsBoolean(bool value) {
    switch (data_type_) {
    case DT::idtString:
        text_value_ = value ? kTrueText : kFalseText;
        break;
    case DT::idtFloat:
        float_value_ = value ? 1.0 : 0.0;
        break;
    case DT::idtInteger:
        int_value_ = value ? 1 : 0;
        break;
    case DT::idtBoolean:
        if (!Store(bool_value_, value)) return;
        break;
    case DT::idtDate:
    case DT::idtTime:
    case DT::idtImage:
        break;  // they keep their value
    }
    Changed();
}

void TFineCardItem::SetAsDate(ui::TDateTime value) { StoreNumber(value, ui::DateToStr(value)); }

void TFineCardItem::SetAsTime(ui::TDateTime value) { StoreNumber(value, ui::TimeToStr(value)); }

// Floats, dates and times are stored alike; only a text item shows which of them it was given.
void TFineCardItem::StoreNumber(double value, const std::string& as_text) {
    bool changed = false;
    switch (data_type_) {
    case DT::idtString:
        changed = Store(text_value_, as_text);
        break;
    case DT::idtFloat:
        changed = Store(float_value_, value);
        break;
    case DT::idtInteger: {
        int v = 0;
        if (TryRound(value, v)) changed = Store(int_value_, v);
        break;
    }
    case DT::idtBoolean:
        changed = Store(bool_value_, value != 0.0);
        break;
    case DT::idtDate:
        changed = Store(date_value_, value);
        break;
    case DT::idtTime:
        changed = Store(time_value_, value);
        break;
    case DT::idtImage:
        return;
    }
    if (changed) Changed();
}

bool TFineCardItem::PictureEmpty() const {
    const ui::TGraphic* g = picture_->Graphic();
    return g == nullptr || g->Empty();
}

void TFineCardItem::LoadPictureFrom(const std::string& file_name) {
    try {
        picture_->LoadFromFile(file_name);
    } catch (const ui::Exception&) {
        picture_->SetGraphic(static_cast<const ui::TGraphic*>(nullptr));
    }
}

void TFineCardItem::SetItemObject(ui::TPersistent* object) {
    if (object == item_object_) return;
    owned_object_.reset();
    item_object_ = object;
    if (owns_item_object_) owned_object_.reset(object);
}

void TFineCardItem::SetOwnsItemObject(bool owns) {
    owns_item_object_ = owns;
    if (owns && owned_object_ == nullptr) {
        owned_object_.reset(item_object_);
    } else if (!owns) {
        (void)owned_object_.release();  // the caller takes the object back
    }
}

void TFineCardItem::Assign(const ui::TPersistent* source) {
    const auto* o = dynamic_cast<const TFineCardItem*>(source);
    if (o == nullptr) {
        ui::TCollectionItem::Assign(source);
        return;
    }
    if (o == this) return;
    try {
        switch (data_type_) {
        case DT::idtString:
            text_value_ = o->AsString();
            break;
        case DT::idtFloat:
            float_value_ = o->AsFloat();
            break;
        case DT::idtInteger:
            int_value_ = o->AsInteger();
            break;
        case DT::idtBoolean:
            bool_value_ = o->AsBoolean();
            break;
        case DT::idtDate:
            date_value_ = o->AsDate();
            break;
        case DT::idtTime:
            time_value_ = o->AsTime();
            break;
        case DT::idtImage: {
            auto saved = std::move(picture_->OnChange);
            picture_->OnChange = nullptr;
            try {
                picture_->Assign(o->picture_.get());
            } catch (const std::exception&) {
                // A picture that cannot be copied leaves the old one.
            }
            picture_->OnChange = std::move(saved);
            break;
        }
        }
        Hint = o->Hint;
        Tag = o->Tag;
        // The object moves with its ownership: two owners would free it twice. An object this
        // item owns and the source only refers to stays owned here, so it is not freed under
        // both items.
        if (owned_object_ != nullptr && owned_object_.get() == o->item_object_) {
            item_object_ = o->item_object_;
        } else {
            owned_object_.reset();
            item_object_ = o->item_object_;
            owns_item_object_ = o->owns_item_object_;
            if (o->owned_object_ != nullptr) {
                owned_object_ = std::move(o->owned_object_);
                o->owns_item_object_ = false;
            }
        }
    } catch (...) {
        Changed();
        throw;
    }
    Changed();
}

// --- TFineCardItemList -----------------------------------------------------------------------

TFineCardItemList::TFineCardItemList(TFineCard* card) : ui::TCollection(ui::ItemClass<TFineCardItem>()), card_(card) {}

TFineCardItemList::~TFineCardItemList() { PermitEdit = true; }

TFineCardItem* TFineCardItemList::ItemByName(const std::string& name) const {
    for (int i = 0; i < Count(); ++i) {
        if (Items(i)->Name() == name) return Items(i);
    }
    return nullptr;
}

void TFineCardItemList::Check(const char* operation) const {
    if (!PermitEdit) throw ECardItemListError(std::string("''") + operation + "'' operation is not allowed");
}

TFineCardItem* TFineCardItemList::Add() {
    Check("Add");
    return static_cast<TFineCardItem*>(ui::TCollection::Add());
}
TFineCardItem* TFineCardItemList::Insert(int index) {
    Check("Insert");
    return static_cast<TFineCardItem*>(ui::TCollection::Insert(index));
}
void TFineCardItemList::Delete(int index) {
    Check("Delete");
    ui::TCollection::Delete(index);
}
void TFineCardItemList::Clear() {
    Check("Clear");
    ui::TCollection::Clear();
}
void TFineCardItemList::BeginUpdate() {
    Check("BeginUpdate");
    ui::TCollection::BeginUpdate();
}
void TFineCardItemList::EndUpdate() {
    Check("EndUpdate");
    ui::TCollection::EndUpdate();
}

void TFineCardItemList::Assign(const ui::TPersistent* source) {
    const auto* o = dynamic_cast<const TFineCardItemList*>(source);
    if (o == nullptr) {
        ui::TCollection::Assign(source);
        return;
    }
    if (o == this) return;
    const EditPermitted permitted(*this);
    ui::WithinUpdate(*this, [&] {
        const int n = std::min(Count(), o->Count());
        for (int i = 0; i < n; ++i) Items(i)->Assign(o->Items(i));
    });
}

// --- TFineCard -------------------------------------------------------------------------------

TFineCard::TFineCard(ui::TCollection* collection) : ui::TCollectionItem(collection) {
    TFineCards* cards = Cards();
    WithinUpdateOf(cards, [&] {
        items_ = std::make_unique<TFineCardItemList>(this);
        appearance_ = std::make_unique<TFineCardAppearance>();
        appearance_->OnChange = [this](ui::TPersistent*, bool) {
            if (!appearance_->Enabled()) appearance_->SetEnabled(true);
            if (CardListHost* list = CardList()) list->RequestPaint();
        };
        if (cards != nullptr) {
            cards->SyncItems(this);
            cards->LayoutCard(this);
            cards->ApplyCardAppearance(this);
        }
    });
}

TFineCard::~TFineCard() {
    if (appearance_) appearance_->OnChange = nullptr;
    if (CardListHost* list = CardList()) list->CardLeaving(this);
}

TFineCards* TFineCard::Cards() const { return dynamic_cast<TFineCards*>(Collection()); }

CardListHost* TFineCard::CardList() const {
    TFineCards* cards = Cards();
    return cards != nullptr ? cards->List() : nullptr;
}

void TFineCard::Assign(const ui::TPersistent* source) {
    const auto* o = dynamic_cast<const TFineCard*>(source);
    if (o == nullptr) {
        ui::TCollectionItem::Assign(source);
        return;
    }
    if (o == this) return;
    WithinUpdateOf(CardList(), [&] {
        SetCaption(o->caption_);
        Hint = o->Hint;
        Tag = o->Tag;
        Visible = o->Visible;
        items_->Assign(o->items_.get());
    });
}

void TFineCard::SetCaption(const std::string& value) {
    if (!Store(caption_, value)) return;
    if (CardListHost* list = CardList()) {
        list->CardChanged(this, nullptr, false);
        list->RefreshList(kRearrange);
    }
}

void TFineCard::SetSelected(bool value) {
    if (value == selected_) return;
    selected_ = value;
    CardListHost* list = CardList();
    if (!value) {
        item_index_ = -1;
        if (list != nullptr) list->CardDeselected(this);
    } else if (list != nullptr) {
        list->CardSelected(this);
    }
    if (TFineCards* cards = Cards()) cards->ApplyCardAppearance(this);
    NotifySelectionChange();
}

void TFineCard::SetItemIndex(int value) {
    if (value == item_index_ || !selected_ || value > items_->Count() - 1) return;
    if (item_index_ >= 0 && item_index_ < items_->Count()) items_->Items(item_index_)->Selected = false;
    item_index_ = value;
    if (value >= 0) items_->Items(value)->Selected = true;
    NotifySelectionChange();
}

void TFineCard::NotifySelectionChange() {
    TFineCards* cards = Cards();
    CardListHost* list = CardList();
    if (cards == nullptr || list == nullptr) return;
    if (cards->RepaintOnChange()) list->RequestPaint();
    list->SelectionChanged();
}

ui::TRect TFineCard::RatingPictureRect(int itemIndex, int n) const {
    const ui::TRect none{-1, -1, -1, -1};
    CardListHost* list = CardList();
    if (list == nullptr || itemIndex < 0 || itemIndex >= items_->Count() || n < 1) return none;
    const ui::TSize cell = list->RatingPictureSize();
    const ui::TRect vr = items_->Items(itemIndex)->ValueClientRect;
    int x = vr.Left;
    int y = vr.Top;
    for (int k = 1; k <= n; ++k) {
        if (y > vr.Bottom) return none;
        if (k == n) return ui::Bounds(x, y, cell.cx, cell.cy);
        x += cell.cx;
        if (x > vr.Right - list->CardHorSpacing() - 5) {
            x = vr.Left;
            y += cell.cy;
        }
    }
    return none;
}

int TFineCard::RatingAtPoint(int itemIndex, int x, int y) const {
    const CardListHost* list = CardList();
    if (list == nullptr || itemIndex < 0 || itemIndex >= items_->Count()) return -1;
    const TFineCardTemplateItems& tis = list->CardTemplate().Items();
    if (itemIndex >= tis.Count()) return -1;
    const int count = tis.Items(itemIndex)->RatingCount();
    for (int n = 1; n <= count; ++n) {
        if (RatingPictureRect(itemIndex, n).Contains(ui::Point(x, y))) return n;
    }
    return -1;
}

// --- TFineCards ------------------------------------------------------------------------------

TFineCards::TFineCards(CardListHost* list) : ui::TCollection(ui::ItemClass<TFineCard>()), list_(list) {}

TFineCards::~TFineCards() = default;

TFineCard* TFineCards::Add() {
    auto* card = static_cast<TFineCard*>(ui::TCollection::Add());
    for (int i = 0; i < card->Items().Count(); ++i) EvaluateItemVisibility(card, i);
    if (OnCardAdded) OnCardAdded(this, card);
    return card;
}

TFineCard* TFineCards::Insert(int index) {
    auto* card = static_cast<TFineCard*>(ui::TCollection::Insert(index));
    if (OnCardAdded) OnCardAdded(this, card);
    return card;
}

void TFineCards::Clear() {
    if (list_ != nullptr) list_->ClearViewCards();
    ui::TCollection::Clear();
}

void TFineCards::SetRepaintOnChange(bool value) {
    repaint_on_change_ = value;
    if (value && list_ != nullptr) list_->RequestPaint();
}

void TFineCards::Update(ui::TCollectionItem* item) {
    (void)item;
    if (list_ != nullptr) list_->CardsChanged();
}

void TFineCards::Notify(ui::TCollectionItem* item, ui::TCollectionNotification action) {
    // Only the pointer is used: on extraction the card's own part is already gone.
    if (action != ui::TCollectionNotification::cnAdded && list_ != nullptr) {
        list_->CardRemoved(static_cast<const void*>(item));
    }
}

void TFineCards::SyncItems(TFineCard* card) {
    if (card != nullptr) {
        SyncOne(card);
        return;
    }
    for (int i = 0; i < Count(); ++i) SyncOne(Items(i));
}

void TFineCards::SyncOne(TFineCard* card) {
    if (list_ == nullptr) return;
    const TFineCardTemplateItems& tis = list_->CardTemplate().Items();
    TFineCardItemList& items = card->Items();
    auto make_item = [&](int t, int at) {
        TFineCardItem* item = at >= items.Count() ? items.Add() : items.Insert(at);
        const TFineCardTemplateItem* ti = tis.Items(t);
        item->name_ = ti->Name();
        item->data_type_ = ti->DataType();
        item->format_ = ti->Format();
        if (item->data_type_ == TFineCardItemDataType::idtImage && !ti->DefaultValue().empty()) {
            item->LoadPictureFrom(ti->DefaultValue());
        } else if (!ti->DefaultValue().empty()) {
            item->SetAsString(ti->DefaultValue());
        }
    };
    ui::WithinUpdate(*list_, [&] {
        const EditPermitted permitted(items);
        if (tis.Count() == 0) {
            items.Clear();
        } else {
            // Position t takes the first card item at t or later that carries template item t's
            // name, or a new item. Every step fixes one position, so the sync ends on any input,
            // also when the card holds several items of one name.
            for (int t = 0; t < tis.Count(); ++t) {
                const std::string& name = tis.Items(t)->Name();
                int found = -1;
                for (int j = t; j < items.Count(); ++j) {
                    if (items.Items(j)->Name() == name) {
                        found = j;
                        break;
                    }
                }
                if (found < 0) {
                    make_item(t, t);
                } else if (found != t) {
                    items.Items(found)->SetIndex(t);
                }
            }
            while (items.Count() > tis.Count()) items.Delete(items.Count() - 1);
        }
        // A selected item index past the end would name nothing.
        if (card->item_index_ >= items.Count()) card->item_index_ = -1;
    });
}

void TFineCards::LayoutCard(TFineCard* card) {
    if (card != nullptr) {
        LayoutOne(card);
        return;
    }
    for (int i = 0; i < Count(); ++i) LayoutOne(Items(i));
}

void TFineCards::LayoutOne(TFineCard* card) {
    if (list_ == nullptr || !card->Shown()) return;
    const TFineCardTemplate& t = list_->CardTemplate();
    const TFineCardTemplateItems& tis = t.Items();
    card->CaptionRect = ui::TRect{0, 0, t.CardWidth(), t.CardCaptionHeight()};
    card->CaptionRect2 = card->CaptionRect;
    int y = t.CardCaptionHeight() + t.VertMargins();
    int label_width = 0;
    int value_width = 0;
    int gap = 0;
    const int n = std::min(card->Items().Count(), tis.Count());
    for (int i = 0; i < n; ++i) {
        const TFineCardTemplateItem* ti = tis.Items(i);
        TFineCardItem* item = card->Items().Items(i);
        if (!ti->Visible() || item->Hidden) continue;
        switch (ti->ItemType()) {
        case TFineCardItemType::itItem:
            label_width = 0;
            gap = 0;
            value_width = t.CardWidth() - 2 * t.HorMargins();
            break;
        case TFineCardItemType::itLabel:
            label_width = t.CardWidth() - 2 * t.HorMargins();
            value_width = 0;
            gap = 0;
            break;
        case TFineCardItemType::itLabeledItem:
        case TFineCardItemType::itProgressBar:
            label_width = t.EffectiveLabelWidth();
            value_width = t.ItemValueWidth();
            gap = t.Indent();
            break;
        }
        int h = ti->Height();
        if (ti->AutoSize()) {
            int c = 0;
            if (ti->ItemType() == TFineCardItemType::itLabeledItem || ti->ItemType() == TFineCardItemType::itLabel) {
                c = list_->MeasureTextHeight(ti->CaptionFont(), ti->Caption().empty() ? "A" : ti->Caption(), 0, false);
            }
            int v = ti->Height();
            if (item->DataType() == TFineCardItemDataType::idtImage) {
                if (!item->PictureEmpty()) {
                    const int pw = item->Picture().Width();
                    const int ph = item->Picture().Height();
                    v = ph;
                    if (ti->ItemType() == TFineCardItemType::itLabeledItem &&
                        ti->ImageSize() == TFineCardImageSize::isStretchedProp && pw >= 1) {
                        v = static_cast<int>(ph * (static_cast<double>(t.ItemValueWidth()) / pw));
                    }
                }
            } else if (ShowsRatingPictures(ti->ItemEditor()) && ti->RatingCount() > 0 &&
                       list_->RatingPicturesLoaded()) {
                const ui::TSize cell = list_->RatingPictureSize();
                const int per_row = cell.cx > 0 ? std::max(value_width / cell.cx, 1) : 1;
                const int rows = std::max(ti->RatingCount() / per_row + (ti->RatingCount() % per_row != 0 ? 1 : 0), 1);
                v = rows * cell.cy;
            } else {
                std::string text = ti->Prefix() + item->AsString() + ti->Suffix();
                if (text.empty()) text = "A";
                v = list_->MeasureTextHeight(ti->ValueFont(), text, value_width, ti->WordWrap());
            }
            h = std::max(v, c);
        }
        if (ti->MaxHeight() != 0 && h >= ti->MaxHeight()) h = ti->MaxHeight();
        if (i > 0) y += t.ItemSpacing();
        item->LabelItemRect = ui::TRect{0, 0, label_width, h};
        item->LabelCardRect = ui::Bounds(t.HorMargins(), y, label_width, h);
        item->ValueItemRect = ui::TRect{0, 0, value_width, h};
        item->ValueCardRect = ui::Bounds(t.HorMargins() + label_width + gap, y, value_width, h);
        y += h;
    }
    y += t.VertMargins();
    card->CardRect = ui::TRect{0, 0, t.CardWidth(), y};
    card->CardHeight = y;
}

void TFineCards::ApplyCardAppearance(TFineCard* card) {
    if (card != nullptr) {
        ApplyOne(card);
        return;
    }
    for (int i = 0; i < Count(); ++i) {
        if (Items(i)->Shown()) ApplyOne(Items(i));
    }
}

void TFineCards::ApplyOne(TFineCard* card) {
    if (list_ == nullptr) return;
    TCardState state = TCardState::csNormal;
    // The card's first state (editing, selected, hovered) whose appearance is enabled; else normal.
    auto shows = [&](TCardState candidate, bool card_is) {
        return card_is && list_->StateAppearance(candidate).Enabled();
    };
    if (shows(TCardState::csEditing, card->Editing)) {
        state = TCardState::csEditing;
    } else if (shows(TCardState::csSelected, card->Selected())) {
        state = TCardState::csSelected;
    } else if (shows(TCardState::csHover, card->Hovered)) {
        state = TCardState::csHover;
    }
    card->Appearance().Assign(&list_->StateAppearance(state));
    list_->DoCardAppearance(card, state, &card->Appearance());
}

void TFineCards::ItemChanged(TFineCard* card, TFineCardItem* item) {
    if (list_ == nullptr) return;
    EvaluateItemVisibility(card, item->Index());
    LayoutCard(card);
    list_->RefreshList(kCollectionRefresh);
    list_->CardChanged(card, item, true);
}

void TFineCards::TemplateItemsChanged() {
    if (list_ == nullptr) return;
    SyncItems(nullptr);
    list_->RefreshList(kFullRefresh);
}

bool TFineCards::EvaluateItemVisibility(TFineCard* card, int itemIndex) {
    if (card == nullptr) {
        for (int c = 0; c < Count(); ++c) EvaluateItemVisibility(Items(c), itemIndex);
        return true;
    }
    if (list_ == nullptr || itemIndex < 0 || itemIndex >= card->Items().Count()) return true;
    const TFineCardTemplateItems& tis = list_->CardTemplate().Items();
    if (itemIndex >= tis.Count()) return true;
    const TFineCardTemplateItem* ti = tis.Items(itemIndex);
    TFineCardItem* item = card->Items().Items(itemIndex);
    bool shown = true;
    int condition = 0;
    switch (item->DataType()) {
    case DT::idtString:
        condition = static_cast<int>(ti->HideStringCondition());
        break;
    case DT::idtFloat:
        condition = static_cast<int>(ti->HideFloatCondition());
        break;
    case DT::idtInteger:
        condition = static_cast<int>(ti->HideIntegerCondition());
        break;
    case DT::idtBoolean:
        condition = static_cast<int>(ti->HideBooleanCondition());
        break;
    case DT::idtDate:
    case DT::idtTime:
        condition = static_cast<int>(ti->HideDateCondition());
        break;
    case DT::idtImage:
        condition = static_cast<int>(ti->HidePictureCondition());
        break;
    }
    if (condition == 1 || condition == 2) {
        bool empty_case = false;  // the case condition 1 hides
        switch (item->DataType()) {
        case DT::idtString:
            empty_case = item->AsString().empty();
            break;
        case DT::idtFloat:
            empty_case = item->AsFloat() == 0.0;
            break;
        case DT::idtInteger:
            empty_case = item->AsInteger() == 0;
            break;
        case DT::idtDate:
            empty_case = item->AsDate() == 0.0;
            break;
        case DT::idtTime:
            empty_case = item->AsTime() == 0.0;
            break;
        case DT::idtBoolean:
            empty_case = item->AsBoolean();
            break;
        case DT::idtImage:
            empty_case = item->PictureEmpty();
            break;
        }
        shown = condition == 1 ? !empty_case : empty_case;
    }
    list_->DoShowCardItem(card->Index(), itemIndex, shown);
    item->Hidden = list_->DesignTime() ? false : !shown;
    if (item->Hidden && card->item_index_ == itemIndex) card->item_index_ = -1;
    return shown;
}

}  // namespace cardlist
