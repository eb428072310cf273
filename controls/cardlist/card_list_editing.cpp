// In-place editing of one item of one card: the editor control of the template item's kind
// placed over the item's value, its keys routed through the list, and the value written back.
// Boolean items toggle and ratings change without an editor; pictures come from the picture
// dialog.
#include <memory>
#include <utility>

#include "controls/cardlist/card_list.h"
#include "controls/cardlist/card_painting.h"
#include "platform/ui/controls/deferred_release.h"
#include "platform/ui/controls/edit_controls.h"
#include "platform/ui/controls/screen.h"
#include "platform/ui/forms/picture_dialog.h"

namespace cardlist {

namespace {

using DT = TFineCardItemDataType;

using K = CardEditorKind;

// What an edit of the item opens, by its editor's row; a text editor on a wrapping item is the memo.
CardEditorKind KindOf(const TFineCardTemplateItem& ti) {
    const CardEditorKind kind = ItemEditorRowOf(ti.ItemEditor()).opens;
    return kind == K::Text && ti.WordWrap() ? K::Memo : kind;
}

// Whether a date the editor gives back is a time of day. A picker edits what it is, a time or a
// date, whatever the item stores (a text item holds either as text); a custom editor's date is
// read by the item's data type.
bool EditsTime(const TFineCardTemplateItem& ti, CardEditorKind kind) {
    if (kind == K::TimePicker) return true;
    if (kind == K::DatePicker) return false;
    return ti.DataType() == DT::idtTime;
}

TCardListEditLink* LinkOf(const TFineCardTemplateItem& ti) {
    return dynamic_cast<TCardListEditLink*>(ti.ItemEditLink());
}

// The item's value as an edit starts from it, by the template item's data type: a Boolean, a
// date or a time as such, nothing for a picture, the display text for the rest.
TCardEditValue EditValueOf(const TFineCardItem& item, DT type) {
    switch (type) {
    case DT::idtBoolean:
        return item.AsBoolean();
    case DT::idtDate:
        return TEditDate{item.AsDate()};
    case DT::idtTime:
        return TEditDate{item.AsTime()};
    case DT::idtImage:
        return std::string();
    case DT::idtString:
    case DT::idtFloat:
    case DT::idtInteger:
        return item.AsString();
    }
    return item.AsString();
}

void PlaceBorderless(ui::TInputControl& editor, const ui::TRect& rect) {
    editor.SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height());
    editor.SetCtl3D(false);
    editor.SetBorderStyle(ui::TBorderStyle::bsNone);
}

}  // namespace

void TCustomFineCardList::EditItem(int cardIndex, int itemIndex, char key) {
    if (cardIndex < 0 || cardIndex >= cards_->Count() || itemIndex < 0 || itemIndex >= template_->Items().Count()) {
        return;
    }
    TFineCard* card = cards_->Items(cardIndex);
    if (itemIndex >= card->Items().Count()) return;
    // The handlers of the events below may free the card (or others before it): it is looked up
    // again by its ID after each, and its index taken afresh. The picture dialog lets other
    // events run, which may free the whole list: then nothing of it is touched again.
    const std::weak_ptr<const bool> alive = alive_;
    const int card_id = card->ID();
    const auto again = [&] {
        card = cards_->FindCardID(card_id);
        if (card != nullptr) cardIndex = card->Index();
        return card != nullptr;
    };
    if (Editing()) {
        if (cardIndex == edit_.EditCardIndex && itemIndex == edit_.EditItemIndex) return;
        EndEdit();
        if (!again()) return;
    }
    edit_.EditStarting = true;
    // An edit that opens nothing must not leave hover tracking suspended.
    struct StartingCleared {
        TCustomFineCardList& list;
        const std::weak_ptr<const bool>& alive;
        ~StartingCleared() {
            if (!alive.expired() && !list.Editing()) list.edit_.EditStarting = false;
        }
    } cleared{*this, alive};
    const TFineCardTemplateItem* ti = template_->Items().Items(itemIndex);
    if (read_only_ || ti->ReadOnly()) return;
    bool allow = true;
    if (OnCardStartEdit) OnCardStartEdit(this, cardIndex, itemIndex, allow);
    if (!allow || !again()) return;
    TFineCardItem* item = card->Items().Items(itemIndex);
    edit_.EditCardIndex = cardIndex;
    edit_.EditItemIndex = itemIndex;
    const CardEditorKind kind = KindOf(*ti);
    // A rating changes by clicking its pictures: no editor.
    if (kind == K::None) return;
    if (kind == K::Toggle) {
        bool toggle = true;
        if (edit_.EditByMouse) {
            const ui::TRect box = CardPainter::ItemCheckBoxRect(item->ValueClientRect, ti->ValueAlignment(),
                                                                ti->ValueLayout(), check_box_size_);
            toggle = box.Contains(CursorInClient());
        }
        if (!toggle) {
            CancelEdit();
            return;
        }
        StoreEditValue(!item->AsBoolean());
        if (again() && OnCardCheckChange) OnCardCheckChange(this, card, card->Items().Items(itemIndex));
        return;
    }
    const TCardEditValue value = EditValueOf(*item, ti->DataType());
    card->Editing = true;
    cards_->ApplyCardAppearance(card);
    // Whatever ends the start without an open editor (the picture dialog, no editor for the
    // kind, a failure), the card leaves the editing state.
    struct EditingCleared {
        TCustomFineCardList& list;
        const std::weak_ptr<const bool>& alive;
        int card_id;
        ~EditingCleared() {
            if (alive.expired() || list.Editing()) return;
            auto* c = static_cast<TFineCard*>(list.cards_->FindItemID(card_id));
            if (c != nullptr && c->Editing) {
                c->Editing = false;
                list.cards_->ApplyCardAppearance(c);
            }
        }
    } editing_cleared{*this, alive, card_id};
    OpenEditor(cardIndex, itemIndex, item->ValueClientRect, value, key);
    if (alive.expired()) return;
    Invalidate();
}

bool TCustomFineCardList::OpenEditor(int cardIndex, int itemIndex, const ui::TRect& valueRect,
                                     const TCardEditValue& value, char key) {
    TFineCard* card = cards_->Items(cardIndex);
    TFineCardItem* item = card->Items().Items(itemIndex);
    const TFineCardTemplateItem* ti = template_->Items().Items(itemIndex);
    // A typed first character replaces the value; the text editors show a value as text.
    const TCardEditValue start = key != '\0' ? TCardEditValue{std::string(1, key)} : value;
    const auto* start_text = std::get_if<std::string>(&start);
    const std::string text = start_text != nullptr ? *start_text : item->AsString();
    const CardEditorKind kind = KindOf(*ti);
    // Only the drop-down editors need the height of their box; the others fit the value.
    const bool drop_down = kind == K::DropDownList || kind == K::DropDownEdit;
    const ui::TRect rect = drop_down ? ui::GrowToMinHeight(valueRect, ui::kDropDownEditorMinHeight) : valueRect;
    const ui::TFont& edit_font =
        card->Appearance().ReplaceEditFont() ? card->Appearance().ItemEditFont() : ti->ValueFont();
    auto colour = [&](ui::TInputControl& editor) {
        if (ti->EditColor() != ui::clNone) editor.SetColor(ti->EditColor());
    };
    auto key_handler = [this](ui::TPersistent*, int& k, ui::TShiftState shift) { EditorKeyDown(k, shift); };

    std::unique_ptr<ui::TWinControl> editor;
    TCardListEditLink* link = nullptr;
    switch (kind) {
    case K::Text:
    case K::Mask: {
        std::unique_ptr<ui::TEdit> edit;
        if (kind == K::Mask) {
            edit = std::make_unique<ui::TMaskEdit>(nullptr);
        } else {
            edit = std::make_unique<ui::TEdit>(nullptr);
        }
        edit->SetAutoSize(false);
        PlaceBorderless(*edit, rect);
        colour(*edit);
        edit->Font().Assign(&edit_font);
        if (auto* mask = dynamic_cast<ui::TMaskEdit*>(edit.get())) mask->SetEditMask(ti->Mask());
        edit->SetText(text);
        editor = std::move(edit);
        break;
    }
    case K::Memo: {
        auto memo = std::make_unique<ui::TMemo>(nullptr);
        PlaceBorderless(*memo, rect);
        colour(*memo);
        memo->Font().Assign(&edit_font);
        memo->SetAlignment(ti->ValueAlignment());
        memo->SetWordWrap(true);
        memo->SetText(text);
        editor = std::move(memo);
        break;
    }
    case K::DropDownList:
    case K::DropDownEdit: {
        auto combo = std::make_unique<ui::TComboBox>(nullptr);
        combo->SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height());
        colour(*combo);
        combo->Font().Assign(&ti->ValueFont());
        const bool list_only = kind == K::DropDownList;
        combo->SetStyle(list_only ? ui::TComboBoxStyle::csDropDownList : ui::TComboBoxStyle::csDropDown);
        combo->SetItems(ti->List());
        if (list_only) {
            combo->SetItemIndex(ti->List().IndexOf(text));
        } else {
            combo->SetText(text);
        }
        editor = std::move(combo);
        break;
    }
    case K::DatePicker:
    case K::TimePicker: {
        auto picker = std::make_unique<ui::TDateTimePicker>(nullptr);
        picker->SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height());
        const bool time = EditsTime(*ti, kind);
        const ui::TDateTime when = time ? item->AsTime() : item->AsDate();
        if (time) {
            picker->SetKind(ui::TDateTimeKind::dtkTime);
            picker->SetTime(when);
        } else {
            picker->SetKind(ui::TDateTimeKind::dtkDate);
            picker->SetDate(when);
        }
        colour(*picker);
        picker->Font().Assign(&edit_font);
        editor = std::move(picker);
        break;
    }
    case K::PictureDialog: {
        Repaint();
        // The dialog's modal loop lets other events run (a timer, a message): one of them may free
        // the card or the whole list. The picture goes only to a card still in a list still there.
        const std::weak_ptr<const bool> alive = alive_;
        const int card_id = card->ID();
        ui::TOpenPictureDialog dialog(nullptr);
        if (!dialog.Execute() || alive.expired()) return false;
        card = cards_->FindCardID(card_id);
        if (card == nullptr || itemIndex >= card->Items().Count()) return false;
        // A file that does not read as a picture raises to the caller and leaves the item's
        // picture as it was: the edit did not end.
        card->Items().Items(itemIndex)->Picture().LoadFromFile(dialog.FileName());
        if (OnCardEndEdit) OnCardEndEdit(this, card->Index(), itemIndex);
        return false;
    }
    case K::Custom: {
        link = LinkOf(*ti);
        if (link == nullptr) return false;
        editor = link->CreateEditor();
        if (editor == nullptr) return false;
        editor->SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height());
        link->SetEditorValue(start);
        link->OnEditorKeyDown = key_handler;
        link->SetProperties();
        break;
    }
    case K::None:
    case K::Toggle:
        return false;
    }
    if (link == nullptr) editor->OnKeyDown = key_handler;
    edit_.EditorKind = kind;
    edit_.Editor = std::move(editor);
    edit_.Editor->SetDoubleBuffered(true);
    edit_.Editor->SetParent(this);
    if (link != nullptr) {
        link->FocusEditor();
        if (key != '\0') link->SetSelection(1, 0);
    } else {
        edit_.Editor->SetFocus();
        if (key != '\0') {
            if (auto* input = dynamic_cast<ui::TInputControl*>(edit_.Editor.get())) {
                input->SetSelStart(1);
                input->SetSelLength(0);
            }
        }
    }
    return true;
}

void TCustomFineCardList::EditorKeyDown(int& key, ui::TShiftState shift) {
    const ui::TWinControl* editor = edit_.Editor.get();
    const int card = edit_.EditCardIndex;
    const int item = edit_.EditItemIndex;
    KeyDown(key, shift);
    // The editor may be closed and waiting for its release: it must not handle the key too.
    if (edit_.Editor.get() != editor || edit_.EditCardIndex != card || edit_.EditItemIndex != item) key = 0;
}

void TCustomFineCardList::EndEdit() {
    if (edit_.Editor == nullptr || edit_.Storing) return;
    TCardEditValue value;
    const int item = edit_.EditItemIndex;
    const TFineCardTemplateItem* ti =
        item >= 0 && item < template_->Items().Count() ? template_->Items().Items(item) : nullptr;
    switch (edit_.EditorKind) {
    case K::Text:
    case K::Memo:
    case K::Mask:
    case K::DropDownList:
    case K::DropDownEdit:
        value = dynamic_cast<const ui::TInputControl&>(*edit_.Editor).Text();
        break;
    case K::DatePicker:
    case K::TimePicker: {
        const auto& picker = dynamic_cast<const ui::TDateTimePicker&>(*edit_.Editor);
        const bool time = ti != nullptr && EditsTime(*ti, edit_.EditorKind);
        value = TEditDate{time ? picker.Time() : picker.Date()};
        break;
    }
    case K::Custom: {
        TCardListEditLink* link = ti != nullptr ? LinkOf(*ti) : nullptr;
        if (link == nullptr) {
            CancelEdit();
            return;
        }
        link->GetEditorValue(value);
        break;
    }
    case K::None:
    case K::Toggle:
    case K::PictureDialog:
        // These leave no editor open: nothing to store.
        CancelEdit();
        return;
    }
    StoreEditValue(value);
}

void TCustomFineCardList::StoreEditValue(const TCardEditValue& value) {
    const int card_index = edit_.EditCardIndex;
    const int item_index = edit_.EditItemIndex;
    if (card_index >= 0 && card_index < cards_->Count() && item_index >= 0 &&
        item_index < cards_->Items(card_index)->Items().Count() && item_index < template_->Items().Count()) {
        TFineCardItem* item = cards_->Items(card_index)->Items().Items(item_index);
        const bool time = EditsTime(*template_->Items().Items(item_index), edit_.EditorKind);
        // A re-layout the new value causes must not store the same editor's value once more.
        const bool was_ending = std::exchange(edit_.Storing, true);
        struct Restore {
            bool& flag;
            bool value;
            ~Restore() { flag = value; }
        } restore{edit_.Storing, was_ending};
        if (const auto* i = std::get_if<int>(&value)) {
            item->SetAsInteger(*i);
        } else if (const auto* d = std::get_if<double>(&value)) {
            item->SetAsFloat(*d);
        } else if (const auto* date = std::get_if<TEditDate>(&value)) {
            if (time) {
                item->SetAsTime(date->value);
            } else {
                item->SetAsDate(date->value);
            }
        } else if (const auto* b = std::get_if<bool>(&value)) {
            item->SetAsBoolean(*b);
        } else {
            item->SetAsString(std::get<std::string>(value));
        }
    }
    CancelEdit();
    if (OnCardEndEdit) OnCardEndEdit(this, card_index, item_index);
    Invalidate();
}

void TCustomFineCardList::CancelEdit() {
    edit_.EditStarting = false;
    const bool had_editor = edit_.Editor != nullptr;
    if (had_editor) {
        // The edit may end inside the editor's own key event: it is freed once that is over.
        ui::ReleaseLater(std::move(edit_.Editor));
        edit_.EditorKind = K::None;
    }
    if (edit_.EditCardIndex >= 0 && edit_.EditCardIndex < cards_->Count()) {
        TFineCard* card = cards_->Items(edit_.EditCardIndex);
        if (card->Editing) {
            card->Editing = false;
            cards_->ApplyCardAppearance(card);
        }
    }
    if (had_editor && !Destroying() && Visible() && Enabled() && (Parent() == nullptr || !Parent()->Destroying())) {
        SetFocus();
    }
}

}  // namespace cardlist
