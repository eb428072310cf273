// Mouse and keyboard input of the card list: selection, item focus, hover, column sizing,
// check-box and rating clicks, URL items, type-ahead, the key table and the wheel. Every
// handler also runs the inherited one, so the control's own events still fire.
#include <algorithm>
#include <memory>

#include "controls/cardlist/card_item_url.h"
#include "controls/cardlist/card_list.h"
#include "controls/cardlist/card_list_drag.h"
#include "controls/cardlist/card_painting.h"
#include "platform/ui/controls/application.h"
#include "platform/ui/controls/screen.h"
#include "platform/ui/controls/services.h"
#include "platform/ui/core/sysutils.h"

namespace cardlist {

namespace {

bool HasCtrlOrShift(ui::TShiftState s) { return (s & (ui::ssCtrl | ui::ssShift)) != 0; }

// The typed character as UTF-8 text, upper-cased by the user's locale.
std::string UpperKey(char key) { return ui::AnsiUpperCase(ui::Cp1252ToUtf8(std::string(1, key))); }

bool BeginsWith(const std::string& text, const std::string& upper_key) {
    return !upper_key.empty() && ui::AnsiUpperCase(text).rfind(upper_key, 0) == 0;
}

}  // namespace

ui::TPoint TCustomFineCardList::CursorInClient() const { return ScreenToClient(ui::Mouse().CursorPos()); }

// --- clicks ----------------------------------------------------------------------------------

void TCustomFineCardList::Click() {
    // A press that armed a drag has no click of its own.
    if (sizing_.ColumnSizingActive || drag_->DragArmed) return;
    const ui::TPoint p = CursorInClient();
    TFineCard* card = CardAt(p.X, p.Y, true);
    if (card != nullptr) {
        // Any handler may free the card: after each event it is looked up again by its ID, and
        // a card that is gone ends the click's card part (its further events and the selection).
        const int card_id = card->ID();
        const auto again = [&] { return (card = cards_->FindCardID(card_id)) != nullptr; };
        if (OnCardClick) OnCardClick(this, card);
        if (again() && card->CaptionClientRect.Contains(p)) {
            if (OnCardCaptionClick) OnCardCaptionClick(this, card);
        } else if (card != nullptr) {
            if (const int item = ItemAt(p.X, p.Y, card); item >= 0) {
                if (!ClickURL(*card, item)) return;
                if (again() && OnCardItemClick) OnCardItemClick(this, card->Index(), item);
            }
        }
        if (again()) {
            if (!multi_select_ || !HasCtrlOrShift(click_shift_)) {
                ClickSingle(card, p);
            } else {
                ClickMultiple(*card);
            }
        }
    } else if (selected_card_ != nullptr) {
        EndEdit();
        if (selected_card_ != nullptr) selected_card_->SetItemIndex(-1);
    }
    ui::TCustomControl::Click();
}

bool TCustomFineCardList::ClickURL(TFineCard& card, int itemIndex) {
    const TFineCardTemplateItem* ti = template_->Items().Items(itemIndex);
    if (ti->ValueURLType() == TFineCardItemURLType::utNone) return true;
    const std::string text = card.Items().Items(itemIndex)->AsString();
    if (text.empty() || !URLTextHit(CursorInClient().X, card, itemIndex)) return true;
    bool use_default = true;
    if (OnCardItemURLClick) {
        try {
            OnCardItemURLClick(this, card.Index(), itemIndex, text, use_default);
        } catch (const std::exception&) {
            // A handler that fails ends the whole click, and nothing of it reaches the user.
            return false;
        }
    }
    // The text opens only as an address of a known scheme, never as a command.
    if (use_default) {
        const std::string url = CardItemUrl(ti->ValueURLType(), text);
        if (!url.empty()) ui::OpenUrl(url);
    }
    return true;
}

void TCustomFineCardList::ClickSingle(TFineCard* card, const ui::TPoint& p) {
    cards_->SetRepaintOnChange(false);
    int item = ItemAt(p.X, p.Y, card);
    const int previous_item = selected_card_ != nullptr ? selected_card_->ItemIndex() : -1;
    if (selected_card_ != nullptr && selected_card_->Editing) {
        const bool elsewhere = card != selected_card_ || item != previous_item;
        if (item < 0 || (previous_item >= 0 && elsewhere)) {
            EndEdit();
            // Storing may lay the cards out again (or its handler free cards): the click goes
            // to the card now at the point, also for a caption click (never back to the card
            // that was edited).
            card = CardAt(p.X, p.Y, true);
        }
    }
    // Deselecting drops a card's focused item; a caption click keeps it on the clicked card.
    const int kept_item = card != nullptr ? card->ItemIndex() : -1;
    ClearSelection();
    if (card == nullptr) return;
    const int card_id = card->ID();
    item = ItemAt(p.X, p.Y, card);
    card->SetSelected(true);
    if (item < 0) {
        if (kept_item >= 0) card->SetItemIndex(kept_item);
        return;
    }
    const TFineCardTemplateItem* ti = template_->Items().Items(item);
    if (auto_edit_ && ti->DataType() != TFineCardItemDataType::idtImage) {
        edit_.EditByMouse = true;
        const std::weak_ptr<const bool> alive = alive_;
        EditItem(card->Index(), item, '\0');
        // The edit's events may have freed the card, or the whole list.
        if (alive.expired() || (card = cards_->FindCardID(card_id)) == nullptr) return;
    }
    if (auto_edit_ && !Designing()) {
        ClickRating(*card, item, p);
        if ((card = cards_->FindCardID(card_id)) == nullptr) return;
    }
    if (!card->Items().Items(item)->Hidden) card->SetItemIndex(item);
}

void TCustomFineCardList::ClickRating(TFineCard& card, int itemIndex, const ui::TPoint& p) {
    const TFineCardTemplateItem* ti = template_->Items().Items(itemIndex);
    const ui::TSize cell = RatingPictureSize();
    if (cell.cx <= 0 || cell.cy <= 0 || !ShowsRatingPictures(ti->ItemEditor())) return;
    int rating = card.RatingAtPoint(itemIndex, p.X, p.Y);
    if (rating < 0) {
        // Just left of the pictures clears the rating.
        ui::TRect area = card.RatingPictureRect(itemIndex, 1);
        for (int n = 2; n <= ti->RatingCount(); ++n) {
            const ui::TRect r = card.RatingPictureRect(itemIndex, n);
            if (r.Left < 0) break;
            area = ui::TRect{std::min(area.Left, r.Left), std::min(area.Top, r.Top), std::max(area.Right, r.Right),
                             std::max(area.Bottom, r.Bottom)};
        }
        area.Left -= 10;
        if (area.Contains(p)) rating = 0;
    }
    if (rating < 0) return;
    int value = rating;
    bool allow = true;
    const int card_id = card.ID();
    if (OnCardRatingChange) OnCardRatingChange(this, &card, card.Items().Items(itemIndex), value, allow);
    // The handler may have freed the card; the new value goes only to a card still there.
    if (TFineCard* still = cards_->FindCardID(card_id)) still->Items().Items(itemIndex)->SetAsInteger(value);
}

void TCustomFineCardList::ClickMultiple(TFineCard& card) {
    CancelEdit();
    if ((click_shift_ & ui::ssCtrl) != 0) {
        card.SetSelected(!card.Selected());
        return;
    }
    // Shift toggles every card between the selected one and the clicked one, by collection
    // index, the clicked one included.
    const int clicked = card.Index();
    const int anchor = selected_card_index_;
    const int from = clicked < anchor ? clicked : anchor + 1;
    const int to = clicked < anchor ? anchor - 1 : clicked;
    for (int i = from; i <= to; ++i) {
        if (i >= 0 && i < cards_->Count()) cards_->Items(i)->SetSelected(!cards_->Items(i)->Selected());
    }
}

void TCustomFineCardList::DblClick() {
    AfterDblClick = true;
    const ui::TPoint p = CursorInClient();
    if (TFineCard* card = CardAt(p.X, p.Y, true)) {
        const int item = ItemAt(p.X, p.Y, card);
        const int card_id = card->ID();
        if (OnCardDblClick) OnCardDblClick(this, card);
        // The handler may have freed the card.
        card = cards_->FindCardID(card_id);
        if (card != nullptr && card->CaptionClientRect.Contains(p)) {
            if (OnCardCaptionDblClick) OnCardCaptionDblClick(this, card);
        } else if (card != nullptr && item >= 0 &&
                   (template_->Items().Items(item)->DataType() == TFineCardItemDataType::idtImage || !auto_edit_)) {
            edit_.EditByMouse = true;
            const std::weak_ptr<const bool> alive = alive_;
            EditItem(card->Index(), item, '\0');
            // The picture dialog's events may have freed the list.
            if (alive.expired()) return;
        }
    }
    ui::TCustomControl::DblClick();
}

bool TCustomFineCardList::URLTextHit(int x, const TFineCard& card, int itemIndex) {
    const ui::TRect value = card.Items().Items(itemIndex)->ValueClientRect;
    measure_canvas_.SetFont(template_->Items().Items(itemIndex)->ValueFont());
    const int width = measure_canvas_.TextWidth(card.Items().Items(itemIndex)->AsString());
    return value.Left < x && x < value.Left + width;
}

// --- mouse buttons, moves and the wheel ------------------------------------------------------

void TCustomFineCardList::MouseDown(ui::TMouseButton button, ui::TShiftState shift, int x, int y) {
    click_shift_ = shift;
    if (button == ui::TMouseButton::mbLeft && (shift & ui::ssDouble) == 0 && ArmDrag(x, y)) return;
    ui::TCustomControl::MouseDown(button, shift, x, y);
    if (AfterDblClick) {
        AfterDblClick = false;
        return;
    }
    if (button == ui::TMouseButton::mbRight) {
        if (TFineCard* card = CardAt(x, y, true)) {
            const int card_id = card->ID();
            if (OnCardRightClick) OnCardRightClick(this, card);
            // The handler may have freed the card.
            if ((card = cards_->FindCardID(card_id)) != nullptr) {
                const int item = ItemAt(x, y, card);
                if (item >= 0 && OnCardItemRightClick) OnCardItemRightClick(this, card->Index(), item);
            }
        }
    }
    if (!Focused() && Visible() && Enabled()) SetFocus();
    if (sizing_.OverGridLine) sizing_.Begin(x, column_width_, view_cards_.empty() ? -1 : view_cards_.front());
}

void TCustomFineCardList::MouseMove(ui::TShiftState shift, int x, int y) {
    if (drag_->DragArmed && StartDrag(x)) {
        ui::TCustomControl::MouseMove(shift, x, y);
        return;
    }
    ui::TCustomControl::MouseMove(shift, x, y);
    if (sizing_.ColumnSizingActive) {
        if (sizing_.IgnoreNextMove) {
            sizing_.IgnoreNextMove = false;
            return;
        }
        SetColumnWidth(sizing_.SizingStartWidth + x - sizing_.SizingStartX);
        // The cursor stays on the grid line, wherever the limits put it.
        const ui::TPoint line{sizing_.SizingLine * column_width_, y};
        sizing_.IgnoreNextMove = true;
        sizing_.SizingStartX += line.X - x;
        ui::Mouse().SetCursorPos(ClientToScreen(line));
        return;
    }
    if (!edit_.EditStarting) {
        if (TFineCard* card = CardAt(x, y, true)) {
            const int item = ItemAt(x, y, card);
            const bool on_link = item >= 0 &&
                                 template_->Items().Items(item)->ValueURLType() != TFineCardItemURLType::utNone &&
                                 !card->Items().Items(item)->AsString().empty() && URLTextHit(x, *card, item);
            SetCursor(on_link ? ui::crHandPoint : ui::crDefault);
            // The hint follows the card and the item under the mouse.
            if (card->Index() != hover_card_index_) {
                if (hover_->Enabled()) {
                    SetHoverCard(card->Index());
                } else {
                    hover_card_index_ = card->Index();
                }
                if (ShowHint()) {
                    HintItemIndex = item;
                    ui::Application().ActivateHint(ui::Mouse().CursorPos());
                }
            } else if (ShowHint()) {
                const int hint = item >= 0 ? item : (card->CaptionClientRect.Contains(ui::Point(x, y)) ? -2 : item);
                if (hint != HintItemIndex) {
                    HintItemIndex = hint;
                    ui::Application().ActivateHint(ui::Mouse().CursorPos());
                }
            }
            sizing_.OverGridLine = false;
            if (ui::Screen().Cursor() == ui::crHSplit) ui::Screen().SetCursor(ui::crDefault);
            return;
        }
        if (hover_card_index_ >= 0) {
            SetHoverCard(-1);
            Invalidate();
            HintItemIndex = -1;
            if (ShowHint()) ui::Application().CancelHint();
        }
    }
    sizing_.OverGridLine = false;
    if (column_sizing_ && show_grid_line_) {
        for (int i = 1; i <= layout_.state.visible_columns; ++i) {
            const int line = i * column_width_;
            if (line - grid_line_width_ / 2 <= x && x <= line + grid_line_width_ / 2) {
                ui::Screen().SetCursor(ui::crHSplit);
                sizing_.SizingLine = i;
                sizing_.OverGridLine = true;
                return;
            }
        }
    }
    if (ui::Screen().Cursor() == ui::crHSplit) ui::Screen().SetCursor(ui::crDefault);
}

void TCustomFineCardList::MouseUp(ui::TMouseButton button, ui::TShiftState shift, int x, int y) {
    ui::TCustomControl::MouseUp(button, shift, x, y);
    drag_->DragArmed = false;
    ShowArrow(-1);
    if (!sizing_.ColumnSizingActive) return;
    sizing_.SizingLine = std::min(sizing_.SizingLine, layout_.state.visible_columns);
    ui::Mouse().SetCursorPos(ClientToScreen(ui::TPoint{sizing_.SizingLine * column_width_, y}));
    sizing_.ColumnSizingActive = false;
    SizingEnded();
}

bool TCustomFineCardList::DoMouseWheel(ui::TShiftState shift, int wheelDelta, ui::TPoint mousePos) {
    if (ui::TCustomControl::DoMouseWheel(shift, wheelDelta, mousePos)) return true;
    if (scroll_bar_ == nullptr || !scroll_bar_->Visible()) return false;
    // A notch away from the user goes one column (or row) back, as the bar's arrow button does;
    // the finer steps of a touchpad add up to notches.
    wheel_rest_ += wheelDelta;
    const int step = -wheel_rest_ / ui::WHEEL_DELTA;
    wheel_rest_ %= ui::WHEEL_DELTA;
    if (step == 0) return true;
    const int first =
        scroll_bar_type_ == TScrollBarType::sbtVertical ? layout_.state.first_row : layout_.state.first_column;
    ScrollToPosition(std::clamp(first + step, scroll_bar_->Min(), scroll_bar_->Max()));
    return true;
}

// --- keys ------------------------------------------------------------------------------------

void TCustomFineCardList::KeyDown(int& key, ui::TShiftState shift) {
    const bool editing = Editing();
    const CardEditorKind kind = edit_.EditorKind;
    const bool memo = editing && kind == CardEditorKind::Memo;
    TFineCard* sel = selected_card_;
    const bool focused_item = sel != nullptr && sel->ItemIndex() >= 0;
    switch (key) {
    case ui::VK_RETURN:
        if (editing && (!memo || (shift & (ui::ssShift | ui::ssCtrl | ui::ssAlt)) != 0)) {
            EndEdit();
        } else if (sel != nullptr) {
            if (!focused_item) {
                SelectItem(0, true, false);
            } else {
                edit_.EditByMouse = false;
                const std::weak_ptr<const bool> alive = alive_;
                EditItem(sel->Index(), sel->ItemIndex(), '\0');
                // The picture dialog's events may have freed the list: the key ends here.
                if (alive.expired()) {
                    key = 0;
                    return;
                }
            }
        }
        break;
    case ui::VK_ESCAPE:
        if (editing) {
            CancelEdit();
        } else if (sel != nullptr) {
            sel->SetItemIndex(-1);
            Invalidate();
        }
        break;
    case ui::VK_PRIOR:
    case ui::VK_NEXT: {
        if (memo || sel == nullptr) break;
        const int dir = key == ui::VK_PRIOR ? -1 : 1;
        if (!focused_item) {
            SelectShownCard(dir * page_count_, false, false);
        } else {
            EndEdit();
            if (!SelectItem(dir * page_count_, false, false) && SelectShownCard(dir, false, false)) {
                SelectItem(0, dir > 0, dir < 0);
            }
        }
        break;
    }
    case ui::VK_END:
    case ui::VK_HOME: {
        if (editing || sel == nullptr) break;
        const bool end = key == ui::VK_END;
        if (!focused_item) {
            SelectShownCard(0, !end, end);
        } else {
            SelectItem(0, !end, end);
        }
        break;
    }
    case ui::VK_LEFT:
    case ui::VK_RIGHT: {
        // To the neighbouring card; a focused item keeps its index on the new card.
        if (editing || sel == nullptr) break;
        const int item = sel->ItemIndex();
        if (SelectShownCard(key == ui::VK_LEFT ? -1 : 1, false, false) && item >= 0 && selected_card_ != nullptr &&
            item < selected_card_->Items().Count()) {
            selected_card_->SetItemIndex(item);
        }
        break;
    }
    case ui::VK_UP:
    case ui::VK_DOWN: {
        if (editing && EditorTakesUpDownKeys(kind)) break;
        if (sel == nullptr) break;
        const int dir = key == ui::VK_UP ? -1 : 1;
        if (focused_item) {
            EndEdit();
            if (!SelectItem(dir, false, false) && SelectShownCard(dir, false, false)) SelectItem(0, dir > 0, dir < 0);
        } else {
            SelectShownCard(dir, false, false);
        }
        break;
    }
    case 'A':
        if ((shift & ui::ssCtrl) != 0 && multi_select_) SelectAll();
        break;
    default:
        break;
    }
    ui::TCustomControl::KeyDown(key, shift);
}

void TCustomFineCardList::KeyPress(char& key) {
    ui::TCustomControl::KeyPress(key);
    TFineCard* sel = selected_card_;
    const int item = sel != nullptr ? sel->ItemIndex() : -1;
    const bool direct =
        !Editing() && item >= 0 && item < template_->Items().Count() && template_->Items().Items(item)->DirectEdit();
    if (!direct) {
        SelectByKey(key);
        return;
    }
    const unsigned char c = static_cast<unsigned char>(key);
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
        edit_.EditByMouse = false;
        EditItem(sel->Index(), item, key);
    }
}

bool TCustomFineCardList::SelectByKey(char key) {
    if (cards_->Count() == 0) return false;
    if (Editing()) return true;
    const std::string upper = UpperKey(key);
    const int n = static_cast<int>(display_order_.size());
    auto card_at = [&](int pos) { return cards_->Items(display_order_[static_cast<std::size_t>(pos)]); };
    int start = 0;
    bool start_is_selected = false;
    for (int pos = 0; pos < n; ++pos) {
        if (!card_at(pos)->Shown()) continue;
        if (selected_card_ == nullptr || card_at(pos) == selected_card_) {
            start = pos;
            start_is_selected = selected_card_ != nullptr;
            break;
        }
    }
    const TFineCardTemplateItems& tis = template_->Items();
    // One position: the caption (not for the selected card the search starts from), then the
    // items after the card's focused item.
    auto try_position = [&](int pos, bool first) {
        TFineCard* card = card_at(pos);
        if (!card->Shown()) return false;
        if (!(first && start_is_selected) && !card->Caption().empty() && BeginsWith(card->Caption(), upper)) {
            SelectCardIndex(card->Index());
            return true;
        }
        for (int i = card->ItemIndex() + 1; i < card->Items().Count() && i < tis.Count(); ++i) {
            const TFineCardItem* item = card->Items().Items(i);
            if (item->Hidden || !tis.Items(i)->Visible() || !BeginsWith(item->AsString(), upper)) continue;
            SelectCardIndex(card->Index());
            card->SetItemIndex(i);
            return true;
        }
        return false;
    };
    for (int pos = start; pos < n; ++pos) {
        if (try_position(pos, pos == start)) return true;
    }
    for (int pos = 0; pos < start; ++pos) {
        if (try_position(pos, false)) return true;
    }
    return false;
}

}  // namespace cardlist
