#include "controls/cardlist/card_template.h"

#include <algorithm>

#include "controls/cardlist/card_list_host.h"
#include "controls/cardlist/cards.h"
#include "platform/ui/core/sysutils.h"
#include "platform/ui/core/update_scope.h"

namespace cardlist {

namespace {

using ui::Store;

}  // namespace

// --- TFineCardTemplateItem -------------------------------------------------------------------

TFineCardTemplateItem::TFineCardTemplateItem(ui::TCollection* collection)
    : ui::TCollectionItem(collection),
      caption_font_(std::make_unique<ui::TFont>()),
      value_font_(std::make_unique<ui::TFont>()),
      list_(std::make_unique<ui::TStringList>()) {
    caption_font_->OnChange = [this](ui::TPersistent*) { NotifyChange(); };
    value_font_->OnChange = [this](ui::TPersistent*) { NotifyChange(); };
    list_->OnChange = [this](ui::TPersistent*) { NotifyListChange(); };
    // A designer's new row starts with the look of the template's default row.
    TFineCardTemplate* tmpl = Template();
    CardListHost* list = tmpl != nullptr ? tmpl->List() : nullptr;
    if (list != nullptr && list->DesignTime() && !list->FormLoading() && &tmpl->Items() == collection) {
        AssignAppearance(&tmpl->DefaultItem());
    }
}

TFineCardTemplateItem::~TFineCardTemplateItem() {
    // The fonts and list go before the item: their events must not reach a half-gone item.
    caption_font_->OnChange = nullptr;
    value_font_->OnChange = nullptr;
    list_->OnChange = nullptr;
}

TFineCardTemplateItems* TFineCardTemplateItem::Items() const {
    return dynamic_cast<TFineCardTemplateItems*>(Collection());
}

TFineCardTemplate* TFineCardTemplateItem::Template() const {
    TFineCardTemplateItems* items = Items();
    return items != nullptr ? items->Template() : nullptr;
}

CardListHost* TFineCardTemplateItem::List_() const {
    TFineCardTemplate* t = Template();
    return t != nullptr ? t->List() : nullptr;
}

TFineCards* TFineCardTemplateItem::Cards() const {
    TFineCardTemplateItems* items = Items();
    return items != nullptr ? items->Cards() : nullptr;
}

#define QBK_TI_SETTER(Type, Name, field)                \
    void TFineCardTemplateItem::Set##Name(Type value) { \
        if (Store(field, value)) NotifyChange();        \
    }
QBK_TI_SETTER(bool, AutoSize, auto_size_)
QBK_TI_SETTER(TAlignment, CaptionAlignment, caption_alignment_)
QBK_TI_SETTER(TColor, CaptionColor, caption_color_)
QBK_TI_SETTER(TTextLayout, CaptionLayout, caption_layout_)
QBK_TI_SETTER(bool, CustomDraw, custom_draw_)
QBK_TI_SETTER(TFineCardImageSize, ImageSize, image_size_)
QBK_TI_SETTER(TAlignment, ValueAlignment, value_alignment_)
QBK_TI_SETTER(TColor, ValueColor, value_color_)
QBK_TI_SETTER(TTextLayout, ValueLayout, value_layout_)
QBK_TI_SETTER(TColor, EditColor, edit_color_)
QBK_TI_SETTER(TFineCardItemType, ItemType, item_type_)
QBK_TI_SETTER(bool, ReadOnly, read_only_)
QBK_TI_SETTER(int, RatingCount, rating_count_)
QBK_TI_SETTER(bool, Visible, visible_)
QBK_TI_SETTER(bool, WordWrap, word_wrap_)
QBK_TI_SETTER(TFineCardItemURLType, ValueURLType, value_url_type_)
#undef QBK_TI_SETTER

#define QBK_TI_HIDE_SETTER(Type, Name, field)           \
    void TFineCardTemplateItem::Set##Name(Type value) { \
        if (Store(field, value)) NotifyHideChange();    \
    }
QBK_TI_HIDE_SETTER(TFineCardBooleanHideCondition, HideBooleanCondition, hide_boolean_)
QBK_TI_HIDE_SETTER(TFineCardDateHideCondition, HideDateCondition, hide_date_)
QBK_TI_HIDE_SETTER(TFineCardFloatHideCondition, HideFloatCondition, hide_float_)
QBK_TI_HIDE_SETTER(TFineCardIntegerHideCondition, HideIntegerCondition, hide_integer_)
QBK_TI_HIDE_SETTER(TFineCardPictureHideCondition, HidePictureCondition, hide_picture_)
QBK_TI_HIDE_SETTER(TFineCardStringHideCondition, HideStringCondition, hide_string_)
#undef QBK_TI_HIDE_SETTER

void TFineCardTemplateItem::SetShowHint(bool value) { show_hint_ = value; }
void TFineCardTemplateItem::SetDirectEdit(bool value) { direct_edit_ = value; }
void TFineCardTemplateItem::SetTransparentImage(bool value) { transparent_image_ = value; }
void TFineCardTemplateItem::SetTag(int value) { tag_ = value; }
void TFineCardTemplateItem::SetItemEditLink(ui::TComponent* value) { item_edit_link_ = value; }

void TFineCardTemplateItem::SetCaption(const std::string& value) {
    if (Store(caption_, value)) NotifyChange();
}
void TFineCardTemplateItem::SetMask(const std::string& value) {
    if (Store(mask_, value)) NotifyChange();
}
void TFineCardTemplateItem::SetPrefix(const std::string& value) {
    if (Store(prefix_, value)) NotifyChange();
}
void TFineCardTemplateItem::SetSuffix(const std::string& value) {
    if (Store(suffix_, value)) NotifyChange();
}

void TFineCardTemplateItem::SetFormat(const std::string& value) {
    if (!Store(format_, value)) return;
    NotifyRename(name_);
    NotifyChange();
}

void TFineCardTemplateItem::SetDefaultValue(const std::string& value) {
    if (!Store(default_value_, value)) return;
    CardListHost* list = List_();
    if (list != nullptr && list->DesignTime()) WriteDefaultToCards();
}

void TFineCardTemplateItem::WriteDefaultToCards() {
    TFineCards* cards = Cards();
    if (cards == nullptr) return;
    for (int c = 0; c < cards->Count(); ++c) {
        for (int i = 0; i < cards->Items(c)->Items().Count(); ++i) {
            TFineCardItem* item = cards->Items(c)->Items().Items(i);
            if (item->Name() != name_) continue;
            if (data_type_ == TFineCardItemDataType::idtImage) {
                item->LoadPictureFrom(default_value_);
            } else {
                item->SetAsString(default_value_);
            }
        }
    }
}

void TFineCardTemplateItem::SetName(const std::string& value) {
    if (value == name_) return;
    TFineCardTemplateItems* items = Items();
    TFineCardTemplateItem* other = items != nullptr ? items->FindByName(value) : nullptr;
    if (value.empty() || (other != nullptr && other != this)) {
        throw ECardTemplateError("''" + value + "'' is not a valid item name");
    }
    const std::string old_name = name_;
    if (caption_ != old_name) {
        name_ = value;
    } else {
        name_ = value;
        if (!caption_.empty()) {
            SetCaption(value);
        } else {
            caption_ = value;
        }
    }
    if (!old_name.empty()) NotifyRename(old_name);
}

void TFineCardTemplateItem::SetDisplayName(const std::string& value) {
    if (value != name_) SetName(value);
    ui::TCollectionItem::SetDisplayName(value);
}

void TFineCardTemplateItem::SetDataType(TFineCardItemDataType value) {
    if (!Store(data_type_, value)) return;
    item_editor_ = DefaultEditorFor(value);
    NotifyRename(name_);
    CardListHost* list = List_();
    if (list != nullptr && list->DesignTime()) WriteDefaultToCards();
    NotifyChange();
}

void TFineCardTemplateItem::SetItemEditor(TFineCardItemEditor value) {
    if (value == item_editor_) return;
    CardListHost* list = List_();
    const bool loading = list != nullptr && list->FormLoading();
    if (!loading && !EditorFitsDataType(value, data_type_)) {
        throw ECardTemplateError("Can not assign " + EditorName(value) + " editor for " + DataTypeName(data_type_) +
                                 " data type");
    }
    item_editor_ = value;
    NotifyChange();
}

void TFineCardTemplateItem::SetHeight(int value) {
    if (value == height_) return;
    if (max_height_ != 0) value = std::min(value, max_height_);
    height_ = std::max(value, 0);
    NotifyChange();
}

void TFineCardTemplateItem::SetMaxHeight(int value) {
    if (value == max_height_) return;
    max_height_ = std::max(value, 0);
    if (max_height_ != 0 && max_height_ < height_) height_ = max_height_;
    NotifyChange();
}

void TFineCardTemplateItem::SetProgressMin(int value) {
    if (value < progress_max_) progress_min_ = value;
}
void TFineCardTemplateItem::SetProgressMax(int value) {
    if (value > progress_min_) progress_max_ = value;
}

void TFineCardTemplateItem::Assign(const ui::TPersistent* source) {
    const auto* o = dynamic_cast<const TFineCardTemplateItem*>(source);
    if (o == nullptr) {
        ui::TCollectionItem::Assign(source);
        return;
    }
    if (o == this) return;
    notify_ = false;
    try {
        auto_size_ = o->auto_size_;
        caption_ = o->caption_;
        caption_alignment_ = o->caption_alignment_;
        caption_color_ = o->caption_color_;
        caption_font_->Assign(o->caption_font_.get());
        caption_layout_ = o->caption_layout_;
        data_type_ = o->data_type_;
        default_value_ = o->default_value_;
        image_size_ = o->image_size_;
        format_ = o->format_;
        value_alignment_ = o->value_alignment_;
        value_color_ = o->value_color_;
        value_font_->Assign(o->value_font_.get());
        value_layout_ = o->value_layout_;
        edit_color_ = o->edit_color_;
        height_ = o->height_;
        hide_boolean_ = o->hide_boolean_;
        hide_date_ = o->hide_date_;
        hide_float_ = o->hide_float_;
        hide_integer_ = o->hide_integer_;
        hide_picture_ = o->hide_picture_;
        hide_string_ = o->hide_string_;
        item_editor_ = o->item_editor_;  // the source's pair already fits
        item_type_ = o->item_type_;
        list_->Assign(o->list_.get());
        max_height_ = o->max_height_;
        prefix_ = o->prefix_;
        read_only_ = o->read_only_;
        show_hint_ = o->show_hint_;
        suffix_ = o->suffix_;
        tag_ = o->tag_;
        visible_ = o->visible_;
        transparent_image_ = o->transparent_image_;
        word_wrap_ = o->word_wrap_;
        rating_count_ = o->rating_count_;
        // Through the setters, in the order that lets every valid pair through: the minimum first
        // when it lies below our current maximum, else the maximum first.
        if (o->progress_min_ < progress_max_) {
            SetProgressMin(o->progress_min_);
            SetProgressMax(o->progress_max_);
        } else {
            SetProgressMax(o->progress_max_);
            SetProgressMin(o->progress_min_);
        }
    } catch (...) {
        notify_ = true;
        NotifyRename(name_);
        NotifyHideChange();
        NotifyListChange();
        NotifyChange();
        throw;
    }
    notify_ = true;
    NotifyRename(name_);
    NotifyHideChange();
    NotifyListChange();
    NotifyChange();
}

void TFineCardTemplateItem::AssignAppearance(const ui::TPersistent* source) {
    const auto* o = dynamic_cast<const TFineCardTemplateItem*>(source);
    if (o == nullptr || o == this) return;
    const bool saved = notify_;
    notify_ = false;
    caption_alignment_ = o->caption_alignment_;
    caption_color_ = o->caption_color_;
    caption_font_->Assign(o->caption_font_.get());
    caption_layout_ = o->caption_layout_;
    value_alignment_ = o->value_alignment_;
    value_color_ = o->value_color_;
    value_font_->Assign(o->value_font_.get());
    value_layout_ = o->value_layout_;
    edit_color_ = o->edit_color_;
    notify_ = saved;
    NotifyChange();
}

void TFineCardTemplateItem::NotifyChange() {
    if (!notify_) return;
    if (CardListHost* list = List_(); list != nullptr && Cards() != nullptr) list->TemplateItemChanged(this);
    if (OnTemplateItemChange) OnTemplateItemChange(this);
}

void TFineCardTemplateItem::NotifyHideChange() {
    if (!notify_) return;
    TFineCards* cards = Cards();
    CardListHost* list = List_();
    if (cards == nullptr || list == nullptr) return;
    cards->EvaluateItemVisibility(nullptr, Index());
    list->RefreshList(kRemeasure);
}

void TFineCardTemplateItem::NotifyListChange() {
    if (!notify_) return;
    if (CardListHost* list = List_(); list != nullptr && Cards() != nullptr) list->TemplateItemChanged(this);
    if (OnTemplateItemListChange) OnTemplateItemListChange(this);
}

void TFineCardTemplateItem::NotifyRename(const std::string& old_name) {
    if (!notify_) return;
    TFineCards* cards = Cards();
    if (cards == nullptr) return;
    for (int c = 0; c < cards->Count(); ++c) {
        TFineCardItemList& items = cards->Items(c)->Items();
        for (int i = 0; i < items.Count(); ++i) {
            TFineCardItem* item = items.Items(i);
            if (item->Name() != old_name) continue;
            item->name_ = name_;
            item->data_type_ = data_type_;
            item->format_ = format_;
        }
    }
}

// --- TFineCardTemplateItems ------------------------------------------------------------------

TFineCardTemplateItems::TFineCardTemplateItems(TFineCardTemplate* owner, ItemFactory itemClass)
    : ui::TOwnedCollection(owner, std::move(itemClass)), template_(owner) {}

TFineCardTemplateItem* TFineCardTemplateItems::Add() {
    auto* item = static_cast<TFineCardTemplateItem*>(ui::TCollection::Add());
    if (template_ != nullptr && template_->OnTemplateItemAdd) template_->OnTemplateItemAdd(template_, item);
    return item;
}

TFineCardTemplateItem* TFineCardTemplateItems::Insert(int index) {
    if (index < 0 || index > Count()) (void)ui::TCollection::Items(index);  // raises the list-index error
    TFineCardTemplateItem* item = nullptr;
    ui::WithinUpdate(*this, [&] {
        item = Add();
        item->SetIndex(index);
    });
    return item;
}

TFineCardTemplateItem* TFineCardTemplateItems::Items(int index) const {
    return static_cast<TFineCardTemplateItem*>(ui::TCollection::Items(index));
}

TFineCardTemplateItem* TFineCardTemplateItems::FindByName(const std::string& name) const {
    for (int i = 0; i < Count(); ++i) {
        if (Items(i)->Name() == name) return Items(i);
    }
    return nullptr;
}

void TFineCardTemplateItems::Assign(const ui::TPersistent* source) {
    const auto* other = dynamic_cast<const TFineCardTemplateItems*>(source);
    CardListHost* list = template_ != nullptr ? template_->List() : nullptr;
    if (other == nullptr || list == nullptr) {
        ui::TCollection::Assign(source);
        return;
    }
    ui::WithinUpdate(*list, [&] {
        ui::TCollection::Assign(source);
        if (cards_ != nullptr) cards_->SyncItems(nullptr);
    });
}

void TFineCardTemplateItems::SetItemName(ui::TCollectionItem* item) {
    auto* ti = dynamic_cast<TFineCardTemplateItem*>(item);
    if (ti == nullptr || !ti->name_.empty()) return;
    // The class name without its first letter, numbered from the item's id upwards until free.
    for (int n = ti->ID();; ++n) {
        const std::string candidate = "FineCardTemplateItem" + std::to_string(n);
        if (FindByName(candidate) == nullptr) {
            ti->name_ = candidate;
            return;
        }
    }
}

void TFineCardTemplateItems::Update(ui::TCollectionItem* item) {
    (void)item;
    if (cards_ != nullptr) cards_->TemplateItemsChanged();
}

// --- TFineCardTemplate -----------------------------------------------------------------------

TFineCardTemplate::TFineCardTemplate(CardListHost* list, ui::TCollection::ItemFactory itemClass) : list_(list) {
    items_ = std::make_unique<TFineCardTemplateItems>(this, itemClass);
    // The default row lives in a collection of its own, outside the list's rows.
    default_items_ = std::make_unique<TFineCardTemplateItems>(nullptr, itemClass);
    default_item_ = static_cast<TFineCardTemplateItem*>(default_items_->Add());
    FromLabelWidth();
}

TFineCardTemplate::~TFineCardTemplate() = default;

void TFineCardTemplate::Assign(const ui::TPersistent* source) {
    const auto* o = dynamic_cast<const TFineCardTemplate*>(source);
    if (o == nullptr) {
        TPersistent::Assign(source);
        return;
    }
    if (o == this) return;
    if (list_ != nullptr) list_->BeginUpdate();
    auto finish = [this] {
        if (list_ != nullptr) list_->EndUpdate();
        Changed();
    };
    try {
        card_caption_alignment_ = o->card_caption_alignment_;
        card_caption_height_ = o->card_caption_height_;
        card_width_ = o->card_width_;
        hor_margins_ = o->hor_margins_;
        indent_ = o->indent_;
        item_label_width_ = o->item_label_width_;
        effective_label_width_ = o->effective_label_width_;
        item_spacing_ = o->item_spacing_;
        item_value_width_ = o->item_value_width_;
        vert_margins_ = o->vert_margins_;
        items_->Assign(o->items_.get());
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void TFineCardTemplate::SetItems(const TFineCardTemplateItems& value) {
    items_->Assign(&value);
    if (items_->Cards() != nullptr) items_->Cards()->TemplateItemsChanged();
}

void TFineCardTemplate::SetCardCaptionAlignment(TAlignment value) {
    if (Store(card_caption_alignment_, value)) Changed();
}
void TFineCardTemplate::SetCardCaptionHeight(int value) {
    if (Store(card_caption_height_, value)) Changed();
}
void TFineCardTemplate::SetItemSpacing(int value) {
    if (Store(item_spacing_, value)) Changed();
}
void TFineCardTemplate::SetVertMargins(int value) {
    if (Store(vert_margins_, value)) Changed();
}
void TFineCardTemplate::SetCardWidth(int value) {
    if (!Store(card_width_, value)) return;
    FromLabelWidth();
    Changed();
}
void TFineCardTemplate::SetHorMargins(int value) {
    if (!Store(hor_margins_, value)) return;
    FromLabelWidth();
    Changed();
}
void TFineCardTemplate::SetIndent(int value) {
    if (!Store(indent_, value)) return;
    FromLabelWidth();
    Changed();
}
void TFineCardTemplate::SetItemLabelWidth(int value) {
    if (!Store(item_label_width_, value)) return;
    effective_label_width_ = value;
    FromLabelWidth();
    Changed();
}
void TFineCardTemplate::SetItemValueWidth(int value) {
    if (!Store(item_value_width_, value)) return;
    FromValueWidth();
    Changed();
}

int TFineCardTemplate::AvailableWidth() const { return std::max(card_width_ - 2 * hor_margins_ - indent_, 0); }

void TFineCardTemplate::FromLabelWidth() {
    const int a = AvailableWidth();
    effective_label_width_ = std::max(std::min(item_label_width_, a), 0);
    item_value_width_ = a - effective_label_width_;
}

void TFineCardTemplate::FromValueWidth() {
    const int a = AvailableWidth();
    if (a < item_value_width_) item_value_width_ = a;
    item_value_width_ = std::max(item_value_width_, 0);
    item_label_width_ = a - item_value_width_;
    effective_label_width_ = item_label_width_;
}

void TFineCardTemplate::Changed() {
    if (list_ != nullptr) list_->TemplateChanged();
    if (OnCardTemplateChange) OnCardTemplateChange(this);
}

}  // namespace cardlist
