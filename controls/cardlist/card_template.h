// The card template: the geometry every card shares and one template item per card row (name,
// caption, data type, editor, look, height rules, hide conditions, default value). Changes to
// the template reach every card of the list and its layout, through the list as its
// CardListHost (card_list_host.h). The editors and data types with their rows are in
// card_item_kinds.h.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "controls/cardlist/card_item_kinds.h"
#include "platform/ui/core/collection.h"
#include "platform/ui/core/component.h"
#include "platform/ui/core/exceptions.h"
#include "platform/ui/core/strings.h"
#include "platform/ui/graphics/colors.h"
#include "platform/ui/graphics/graphics.h"

namespace cardlist {

using ui::TColor;

class CardListHost;
class TFineCards;
class TFineCardTemplate;
class TFineCardTemplateItems;

class ECardTemplateError : public ui::Exception {
public:
    explicit ECardTemplateError(const std::string& message) : ui::Exception(message) {}
};

using TAlignment = ui::TAlignment;
enum class TTextLayout { tlTop, tlCenter, tlBottom };

enum class TFineCardItemType { itLabeledItem, itItem, itLabel, itProgressBar };
enum class TFineCardItemURLType { utNone, utLink, utHTTP, utHTTPS, utFTP, utMailto, utNNTP };
enum class TFineCardBooleanHideCondition { bhcAlwaysShow, bhcTrue, bhcFalse, bhcCustom };
enum class TFineCardDateHideCondition { dhcAlwaysShow, dhcNullDate, dhcNotNullDate, dhcCustom };
enum class TFineCardFloatHideCondition { fhcAlwaysShow, fhcNull, fhcNotNull, fhcCustom };
enum class TFineCardIntegerHideCondition { ihcAlwaysShow, ihcNull, ihcNotNull, ihcCustom };
enum class TFineCardPictureHideCondition { phcAlwaysShow, phcEmpty, phcNotEmpty, phcCustom };
enum class TFineCardStringHideCondition { shcAlwaysShow, shcEmpty, shcNotEmpty, shcCustom };
enum class TFineCardImageSize { isOriginal, isStretched, isStretchedProp };

class TFineCardTemplateItem : public ui::TCollectionItem {
public:
    explicit TFineCardTemplateItem(ui::TCollection* collection);
    ~TFineCardTemplateItem() override;

    std::string ClassName() const override { return "TFineCardTemplateItem"; }
    // Copies the look and content of another template item (not Name, Mask, DirectEdit,
    // ItemEditLink, ValueURLType, events), then notifies once of each kind.
    void Assign(const ui::TPersistent* source) override;
    // Copies only the label and value look.
    virtual void AssignAppearance(const ui::TPersistent* source);

    std::string GetDisplayName() const override { return name_; }
    // Goes through the same checks as SetName: a duplicate name would break the cards' item sync.
    void SetDisplayName(const std::string& value) override;

    TFineCardTemplateItems* Items() const;
    TFineCardTemplate* Template() const;

#define QBK_TI_PROPERTY(Type, Name, field, initial) \
public:                                             \
    Type Name() const { return field; }             \
    void Set##Name(Type value);                     \
                                                    \
private:                                            \
    Type field = initial;

    QBK_TI_PROPERTY(bool, AutoSize, auto_size_, true)
    QBK_TI_PROPERTY(TAlignment, CaptionAlignment, caption_alignment_, TAlignment::taLeftJustify)
    QBK_TI_PROPERTY(TColor, CaptionColor, caption_color_, ui::clNone)
    QBK_TI_PROPERTY(TTextLayout, CaptionLayout, caption_layout_, TTextLayout::tlCenter)
    QBK_TI_PROPERTY(bool, CustomDraw, custom_draw_, false)
    QBK_TI_PROPERTY(TFineCardImageSize, ImageSize, image_size_, TFineCardImageSize::isOriginal)
    QBK_TI_PROPERTY(TAlignment, ValueAlignment, value_alignment_, TAlignment::taLeftJustify)
    QBK_TI_PROPERTY(TColor, ValueColor, value_color_, ui::clNone)
    QBK_TI_PROPERTY(TTextLayout, ValueLayout, value_layout_, TTextLayout::tlCenter)
    QBK_TI_PROPERTY(TColor, EditColor, edit_color_, ui::clWindow)
    QBK_TI_PROPERTY(TFineCardItemType, ItemType, item_type_, TFineCardItemType::itLabeledItem)
    QBK_TI_PROPERTY(bool, ReadOnly, read_only_, false)
    QBK_TI_PROPERTY(int, RatingCount, rating_count_, 5)
    QBK_TI_PROPERTY(bool, Visible, visible_, true)
    QBK_TI_PROPERTY(bool, WordWrap, word_wrap_, false)
    QBK_TI_PROPERTY(TFineCardItemURLType, ValueURLType, value_url_type_, TFineCardItemURLType::utNone)
    // Hide conditions: a change re-evaluates this row on every card.
    QBK_TI_PROPERTY(TFineCardBooleanHideCondition, HideBooleanCondition, hide_boolean_,
                    TFineCardBooleanHideCondition::bhcAlwaysShow)
    QBK_TI_PROPERTY(TFineCardDateHideCondition, HideDateCondition, hide_date_,
                    TFineCardDateHideCondition::dhcAlwaysShow)
    QBK_TI_PROPERTY(TFineCardFloatHideCondition, HideFloatCondition, hide_float_,
                    TFineCardFloatHideCondition::fhcAlwaysShow)
    QBK_TI_PROPERTY(TFineCardIntegerHideCondition, HideIntegerCondition, hide_integer_,
                    TFineCardIntegerHideCondition::ihcAlwaysShow)
    QBK_TI_PROPERTY(TFineCardPictureHideCondition, HidePictureCondition, hide_picture_,
                    TFineCardPictureHideCondition::phcAlwaysShow)
    QBK_TI_PROPERTY(TFineCardStringHideCondition, HideStringCondition, hide_string_,
                    TFineCardStringHideCondition::shcAlwaysShow)
    // Stored only: no notification.
    QBK_TI_PROPERTY(bool, ShowHint, show_hint_, false)
    QBK_TI_PROPERTY(bool, DirectEdit, direct_edit_, false)
    QBK_TI_PROPERTY(bool, TransparentImage, transparent_image_, true)
    QBK_TI_PROPERTY(int, Tag, tag_, 0)
    QBK_TI_PROPERTY(ui::TComponent*, ItemEditLink, item_edit_link_, nullptr)
#undef QBK_TI_PROPERTY

public:
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& value);
    const std::string& Mask() const { return mask_; }
    void SetMask(const std::string& value);
    const std::string& Prefix() const { return prefix_; }
    void SetPrefix(const std::string& value);
    const std::string& Suffix() const { return suffix_; }
    void SetSuffix(const std::string& value);
    const std::string& Format() const { return format_; }
    void SetFormat(const std::string& value);
    const std::string& DefaultValue() const { return default_value_; }
    void SetDefaultValue(const std::string& value);
    // Raises ECardTemplateError "''<name>'' is not a valid item name" for an empty or duplicate
    // name; a caption equal to the old name follows the new one.
    const std::string& Name() const { return name_; }
    void SetName(const std::string& value);

    TFineCardItemDataType DataType() const { return data_type_; }
    // Also switches ItemEditor to the type's default editor.
    void SetDataType(TFineCardItemDataType value);
    TFineCardItemEditor ItemEditor() const { return item_editor_; }
    // Raises ECardTemplateError "Can not assign <editor> editor for <type> data type" for a pair
    // that does not fit (except while the list loads).
    void SetItemEditor(TFineCardItemEditor value);

    int Height() const { return height_; }
    void SetHeight(int value);
    int MaxHeight() const { return max_height_; }
    void SetMaxHeight(int value);
    // Each is stored only when it keeps ProgressMin below ProgressMax.
    int ProgressMin() const { return progress_min_; }
    void SetProgressMin(int value);
    int ProgressMax() const { return progress_max_; }
    void SetProgressMax(int value);

    ui::TFont& CaptionFont() { return *caption_font_; }
    const ui::TFont& CaptionFont() const { return *caption_font_; }
    void SetCaptionFont(const ui::TFont& value) { caption_font_->Assign(&value); }
    ui::TFont& ValueFont() { return *value_font_; }
    const ui::TFont& ValueFont() const { return *value_font_; }
    void SetValueFont(const ui::TFont& value) { value_font_->Assign(&value); }
    ui::TStringList& List() { return *list_; }
    const ui::TStringList& List() const { return *list_; }
    void SetList(const ui::TStrings& value) { list_->Assign(&value); }

    ui::TNotifyEvent OnTemplateItemChange;
    ui::TNotifyEvent OnTemplateItemListChange;

private:
    friend class TFineCardTemplateItems;
    CardListHost* List_() const;
    TFineCards* Cards() const;
    void NotifyChange();
    void NotifyHideChange();
    void NotifyListChange();
    void NotifyRename(const std::string& old_name);
    void WriteDefaultToCards();

    bool notify_ = true;
    std::string caption_;
    std::string mask_;
    std::string prefix_;
    std::string suffix_;
    std::string format_;
    std::string default_value_;
    std::string name_;
    TFineCardItemDataType data_type_ = TFineCardItemDataType::idtString;
    TFineCardItemEditor item_editor_ = TFineCardItemEditor::ieText;
    int height_ = 22;
    int max_height_ = 66;
    int progress_min_ = 0;
    int progress_max_ = 100;
    std::unique_ptr<ui::TFont> caption_font_;
    std::unique_ptr<ui::TFont> value_font_;
    std::unique_ptr<ui::TStringList> list_;
};

using TTemplateItemEvent = std::function<void(TFineCardTemplate* sender, TFineCardTemplateItem* item)>;

class TFineCardTemplateItems : public ui::TOwnedCollection {
public:
    // `cards` is the list's card collection; nullptr for a template's private default item.
    TFineCardTemplateItems(TFineCardTemplate* owner, ItemFactory itemClass);

    std::string ClassName() const override { return "TFineCardTemplateItems"; }
    TFineCardTemplateItem* Add();
    TFineCardTemplateItem* Insert(int index);
    TFineCardTemplateItem* Items(int index) const;
    // The first item named exactly `name`; nullptr when none.
    TFineCardTemplateItem* FindByName(const std::string& name) const;
    void Assign(const ui::TPersistent* source) override;

    TFineCardTemplate* Template() const { return template_; }
    TFineCards* Cards() const { return cards_; }
    void SetCards(TFineCards* cards) { cards_ = cards; }

protected:
    void SetItemName(ui::TCollectionItem* item) override;
    void Update(ui::TCollectionItem* item) override;

private:
    TFineCardTemplate* template_;
    TFineCards* cards_ = nullptr;
};

class TFineCardTemplate : public ui::TPersistent {
public:
    // `list` may be nullptr (a free-standing template, as tests use).
    TFineCardTemplate(CardListHost* list, ui::TCollection::ItemFactory itemClass);
    ~TFineCardTemplate() override;
    TFineCardTemplate(const TFineCardTemplate&) = delete;
    TFineCardTemplate& operator=(const TFineCardTemplate&) = delete;

    std::string ClassName() const override { return "TFineCardTemplate"; }
    void Assign(const ui::TPersistent* source) override;

    CardListHost* List() const { return list_; }
    TFineCardTemplateItems& Items() { return *items_; }
    const TFineCardTemplateItems& Items() const { return *items_; }
    void SetItems(const TFineCardTemplateItems& value);
    TFineCardTemplateItem& DefaultItem() { return *default_item_; }
    void SetDefaultItem(const TFineCardTemplateItem& value) { default_item_->Assign(&value); }

    TAlignment CardCaptionAlignment() const { return card_caption_alignment_; }
    void SetCardCaptionAlignment(TAlignment value);
    int CardCaptionHeight() const { return card_caption_height_; }
    void SetCardCaptionHeight(int value);
    int CardWidth() const { return card_width_; }
    void SetCardWidth(int value);
    int HorMargins() const { return hor_margins_; }
    void SetHorMargins(int value);
    int Indent() const { return indent_; }
    void SetIndent(int value);
    int ItemLabelWidth() const { return item_label_width_; }
    void SetItemLabelWidth(int value);
    // The label width the cards use: ItemLabelWidth limited to the space the card leaves.
    int EffectiveLabelWidth() const { return effective_label_width_; }
    int ItemSpacing() const { return item_spacing_; }
    void SetItemSpacing(int value);
    int ItemValueWidth() const { return item_value_width_; }
    void SetItemValueWidth(int value);
    int VertMargins() const { return vert_margins_; }
    void SetVertMargins(int value);

    TTemplateItemEvent OnTemplateItemAdd;
    TTemplateItemEvent OnBeforTemplateItemDelete;
    ui::TNotifyEvent OnCardTemplateChange;

private:
    int AvailableWidth() const;
    void FromLabelWidth();
    void FromValueWidth();
    void Changed();

    CardListHost* list_;
    std::unique_ptr<TFineCardTemplateItems> items_;
    std::unique_ptr<TFineCardTemplateItems> default_items_;
    TFineCardTemplateItem* default_item_ = nullptr;  // owned by default_items_
    TAlignment card_caption_alignment_ = TAlignment::taLeftJustify;
    int card_caption_height_ = 22;
    int card_width_ = 200;
    int hor_margins_ = 10;
    int indent_ = 5;
    int item_label_width_ = 100;
    int effective_label_width_ = 100;
    int item_spacing_ = 5;
    int item_value_width_ = 0;
    int vert_margins_ = 10;
};

}  // namespace cardlist
