// Rearranging cards by dragging: arming on a press on the selected card, the drag itself, the
// insertion arrows, scrolling near the edges and the drop into DisplayOrder. Only DisplayOrder
// changes; the card collection keeps its order.
#include "controls/cardlist/card_list_drag.h"

#include <algorithm>

#include "controls/cardlist/card_list.h"
#include "platform/ui/controls/screen.h"
#include "platform/ui/forms/form.h"
#include "platform/ui/forms/stdctrls.h"

namespace cardlist {

// --- drop target and drop source -------------------------------------------------------------

ui::HResult TACLDropTarget::DragEnter(const std::shared_ptr<ui::IDataObject>& data, ui::TKeyState key_state,
                                      ui::TPoint point, ui::TDropEffect& effect) {
    const ui::HResult result = ui::TCustomACLDropTarget::DragEnter(data, key_state, point, effect);
    if (!list_->drag_->OwnDragRuns()) effect = ui::DROPEFFECT_NONE;
    return result;
}

void TACLDropTarget::TargetDragOver(ui::TPoint& point, bool& accept) {
    accept = list_->drag_->OwnDragRuns();
    if (!accept) {
        list_->ShowArrow(-1);
        return;
    }
    const ui::TPoint client = list_->ScreenToClient(point);
    const bool vertical = list_->ScrollBarType() == TScrollBarType::sbtVertical;
    TFineCard* card = list_->CardAt(client.X, client.Y, false);
    if (card != nullptr && list_->OnCardDragOver) {
        const int card_id = card->ID();
        list_->OnCardDragOver(list_, card, accept);
        // A card the hook refused (or freed) shows no arrow and takes no drop.
        card = list_->cards_->FindCardID(card_id);
        if (!accept || card == nullptr) {
            accept = false;
            list_->ShowArrow(-1);
        }
    }
    if (accept && card != nullptr) {
        list_->drag_->LastDropCardID = card->ID();
        const ui::TArrowPlacement placement =
            ui::PlaceDropArrow(card->ListRect, list_->CardHorSpacing(), list_->CardVertSpacing(), vertical, client);
        const int arrow = static_cast<int>(placement.direction);
        ui::TArrowWindow* window = list_->drag_->arrows[static_cast<std::size_t>(arrow)];
        if (window != nullptr) {
            const ui::TPoint at = list_->ClientToScreen(placement.position);
            window->SetBounds(at.X, at.Y, window->Width(), window->Height());
        }
        list_->ShowArrow(arrow);
    }
    // Near the edges the list scrolls also where no card is under the cursor: the spacing
    // around the cards lies exactly there.
    const int step =
        vertical ? ui::DragAutoScrollStep(client.Y, list_->Height()) : ui::DragAutoScrollStep(client.X, list_->Width());
    if (step > 0) list_->AutoScrollForward();
    if (step < 0) list_->AutoScrollBack();
}

void TACLDropTarget::TargetDragLeave() { list_->ShowArrow(-1); }

void TACLDropTarget::TargetDrop(ui::TPoint& point) {
    TFineCard* dragged = list_->DragCard();
    if (!list_->drag_->OwnDragRuns() || dragged == nullptr) return;
    bool allow = true;
    if (list_->OnCardDrop) list_->OnCardDrop(list_, dragged, allow);
    // A hook that freed the dragged card leaves nothing to move (the card is not found again).
    if (allow) list_->DropCardAt(point);
    dragged = list_->DragCard();
    if (list_->OnCardAfterDrop && dragged != nullptr) list_->OnCardAfterDrop(list_, dragged);
}

void TACLDropSource::EffectChanged(ui::TDropEffect effect) {
    if (effect == ui::DROPEFFECT_MOVE || effect == ui::DROPEFFECT_COPY) last_effect_ = effect;
}

void TACLDropSource::DragProgress() {
    if (list_->ShowDragImage() && list_->drag_->DragImage != nullptr) {
        const ui::TPoint cursor = ui::Mouse().CursorPos();
        list_->PlaceDragImage(ui::TPoint{cursor.X - list_->drag_->GrabOffsetX + 4, cursor.Y + 4});
        if (list_->drag_->ParentStayOnTop) list_->drag_->DragImage->BringToFront();
    }
}

void TACLDropSource::DropFinished() { list_->drag_->DragImage.reset(); }

// --- the list's side -------------------------------------------------------------------------

bool TCustomFineCardList::AcceptDrops() const { return drag_->AcceptDrops; }

void TCustomFineCardList::SetAcceptDrops(bool value) {
    drag_->AcceptDrops = value;
    if (Designing()) return;
    if (value) {
        // Registering twice would fail and forget the registration that stands.
        if (drag_->DropTargetRegistered) return;
        drag_->DropTarget = std::make_shared<TACLDropTarget>(this);
        drag_->DropTargetRegistered = ui::RegisterDragDrop(*this, drag_->DropTarget) == ui::HResult::S_OK;
    } else if (drag_->DropTargetRegistered) {
        ui::RevokeDragDrop(*this);
        drag_->DropTargetRegistered = false;
    }
}

const ui::TArrowWindow* TCustomFineCardList::DropArrow(int arrow) const {
    if (arrow < 0 || arrow > 3) return nullptr;
    return drag_->arrows[static_cast<std::size_t>(arrow)];
}

const ui::TDragImageWindow* TCustomFineCardList::DragImage() const { return drag_->DragImage.get(); }

TFineCard* TCustomFineCardList::DragCard() const {
    return cards_ != nullptr ? cards_->FindCardID(drag_->DragCardID) : nullptr;
}

bool TCustomFineCardList::ParentStayOnTop() const { return drag_->ParentStayOnTop; }

void TCustomFineCardList::ShowArrow(int arrow) {
    for (std::size_t i = 0; i < drag_->arrows.size(); ++i) {
        if (drag_->arrows[i] != nullptr) drag_->arrows[i]->SetVisible(static_cast<int>(i) == arrow);
    }
}

bool TCustomFineCardList::ArmDrag(int x, int y) {
    drag_->DragArmed = false;
    TFineCard* card = CardAt(x, y, true);
    if (card == nullptr || !card_rearrange_ || sizing_.OverGridLine || card != selected_card_ || Designing() ||
        sorted_) {
        return false;
    }
    const ui::TForm* form = ui::GetParentForm(this);
    drag_->ParentStayOnTop = form != nullptr && form->FormStyle() == ui::TFormStyle::fsStayOnTop;
    drag_->DragArmed = true;
    drag_->DragCardID = selected_card_->ID();
    if (!Focused() && Visible() && Enabled()) SetFocus();
    return true;
}

bool TCustomFineCardList::StartDrag(int x) {
    TFineCard* card = DragCard();
    if (!drag_->DragArmed || sizing_.ColumnSizingActive || !card_rearrange_ || card == nullptr || Designing())
        return false;
    drag_->DragArmed = false;
    if (ui::TDragSession::Active() != nullptr) return false;
    bool allow = true;
    if (OnCardDragAllow) OnCardDragAllow(this, card, allow);
    // A hook that freed the card leaves nothing to drag (the card is not found again).
    if (!allow || (card = DragCard()) == nullptr) return false;
    drag_->session.reset();
    drag_->DropSource = std::make_shared<TACLDropSource>(this);
    if (OnCardDragStart) {
        OnCardDragStart(this, card);
        if ((card = DragCard()) == nullptr) return false;
    }
    if (show_drag_image_ && drag_->DragImage == nullptr) {
        drag_->GrabOffsetX = x - card->ListRect.Left;
        drag_->DragImage = CreateDragImage(card->ListRect);
        const ui::TPoint cursor = ui::Mouse().CursorPos();
        PlaceDragImage(ui::TPoint{cursor.X - drag_->GrabOffsetX, cursor.Y});
    }
    drag_->session = std::make_unique<ui::TDragSession>(std::make_shared<ui::TSourceDataObject>(""), drag_->DropSource,
                                                        ui::DROPEFFECT_COPY | ui::DROPEFFECT_MOVE);
    drag_->session->OnFinished = [this] { DragFinished(); };
    if (drag_->session->Begin() != ui::HResult::S_OK) {
        DragFinished();
        return true;
    }
    if (drag_->session->Running()) {
        if (drag_->ticks == nullptr) {
            drag_->ticks = std::make_unique<ui::TTimer>(nullptr);
            drag_->ticks->SetInterval(ui::kDragTickMs);
            drag_->ticks->OnTimer = [this](ui::TPersistent*) {
                if (drag_->session != nullptr) drag_->session->Tick();
            };
        }
        drag_->ticks->SetEnabled(true);
    }
    return true;
}

void TCustomFineCardList::DragFinished() {
    // A drop with no effect (nowhere the card could go) counts as a cancel.
    const ui::TDragSession* session = drag_->session.get();
    const bool dropped = session != nullptr && session->Result() == ui::HResult::DRAGDROP_S_DROP &&
                         !(drag_->DropSource != nullptr && drag_->DropSource->NoEffect());
    const ui::TDropEffect effect = session != nullptr ? session->Effect() : ui::DROPEFFECT_NONE;
    if (drag_->ticks != nullptr) drag_->ticks->SetEnabled(false);
    // Whatever ended the drag (a drop, Esc, a failure), its image goes with it, so that no
    // window stays on the screen and the next drag makes its own.
    drag_->DragImage.reset();
    ShowArrow(-1);
    drag_->ForgetCards();
    // Last: the hook may do anything with the list.
    if (dropped && OnCardDragEnd) OnCardDragEnd(this, effect);
}

std::unique_ptr<ui::TDragImageWindow> TCustomFineCardList::CreateDragImage(const ui::TRect& rect) {
    ui::TBitmap whole;
    ui::PaintControlTo(*this, whole);
    ui::TBitmap part;
    part.SetSize(rect.Width() + 2, rect.Height() + 2);
    const ui::TRect from{rect.Left - 1, rect.Top - 1, rect.Right + 2, rect.Bottom + 2};
    part.Canvas().CopyRect(ui::TRect{0, 0, from.Width(), from.Height()}, whole.Canvas(), from);
    auto image = std::make_unique<ui::TDragImageWindow>(nullptr);
    image->SetPicture(part);
    image->SetAlphaBlendValue(192);
    return image;
}

void TCustomFineCardList::PlaceDragImage(ui::TPoint at) {
    ui::TDragImageWindow& image = *drag_->DragImage;
    if (image.Showing()) {
        image.MoveTo(at);
    } else {
        image.ShowAt(at);
    }
}

bool TCustomFineCardList::IsInView(const TFineCard* card) const {
    return card != nullptr && std::find(view_cards_.begin(), view_cards_.end(), card->Index()) != view_cards_.end();
}

void TCustomFineCardList::AutoScrollForward() {
    if (cards_->Count() < 2 || display_order_.empty() || IsInView(cards_->Items(display_order_.back()))) return;
    const CardLayoutState& st = layout_.state;
    if (scroll_bar_type_ == TScrollBarType::sbtVertical) {
        if (st.first_row < st.row_count) ScrollToPosition(st.first_row + 1);
    } else if (st.first_column + 1 < st.column_count) {
        ScrollToPosition(st.first_column + 1);
    }
}

void TCustomFineCardList::AutoScrollBack() {
    if (cards_->Count() < 2 || display_order_.empty() || IsInView(cards_->Items(display_order_.front()))) return;
    const CardLayoutState& st = layout_.state;
    if (scroll_bar_type_ == TScrollBarType::sbtVertical) {
        if (st.first_row >= 2) ScrollToPosition(st.first_row - 1);
    } else if (st.first_column >= 2) {
        ScrollToPosition(st.first_column - 1);
    }
}

void TCustomFineCardList::DropCardAt(ui::TPoint screen) {
    const TFineCard* dragged = DragCard();
    if (!card_rearrange_ || dragged == nullptr || Designing() || sorted_) return;
    const ui::TPoint client = ScreenToClient(screen);
    TFineCard* target = CardAt(client.X, client.Y, false);
    using ui::TArrowDirection;
    // The arrow windows stand in the order of the directions.
    const auto visible = [&](TArrowDirection arrow) {
        const ui::TArrowWindow* w = drag_->arrows[static_cast<std::size_t>(arrow)];
        return w != nullptr && w->Visible();
    };
    const bool any_arrow = visible(TArrowDirection::Up) || visible(TArrowDirection::Down) ||
                           visible(TArrowDirection::Right) || visible(TArrowDirection::Left);
    if (target == nullptr && any_arrow) {
        target = cards_->FindCardID(drag_->LastDropCardID);
    }
    if (target != nullptr && cards_->IndexOf(target) >= 0) {
        const auto position_of = [&](const TFineCard* card) {
            const auto it = std::find(display_order_.begin(), display_order_.end(), card->Index());
            return it == display_order_.end() ? -1 : static_cast<int>(it - display_order_.begin());
        };
        int to = position_of(target);
        const int from = position_of(dragged);
        const bool vertical = scroll_bar_type_ == TScrollBarType::sbtVertical;
        const TArrowDirection before = vertical ? TArrowDirection::Left : TArrowDirection::Up;
        const TArrowDirection after = vertical ? TArrowDirection::Right : TArrowDirection::Down;
        if (visible(before) && from < to && to - 1 >= 0) --to;
        if (visible(after) && to < from && to + 1 < static_cast<int>(display_order_.size())) ++to;
        MoveCardInOrder(from, to);
    }
    ShowArrow(-1);
}

void TCustomFineCardList::MoveCardInOrder(int fromPosition, int toPosition) {
    const int n = static_cast<int>(display_order_.size());
    if (fromPosition == toPosition || fromPosition < 0 || toPosition < 0 || fromPosition >= n || toPosition >= n) {
        return;
    }
    const int from_card = display_order_[static_cast<std::size_t>(fromPosition)];
    const int to_card = display_order_[static_cast<std::size_t>(toPosition)];
    const auto first = display_order_.begin();
    if (fromPosition < toPosition) {
        std::rotate(first + fromPosition, first + fromPosition + 1, first + toPosition + 1);
    } else {
        std::rotate(first + toPosition, first + fromPosition, first + fromPosition + 1);
    }
    ArrangeCards(true);
    Invalidate();
    if (OnCardRearranged) OnCardRearranged(this, from_card, to_card);
}

}  // namespace cardlist
