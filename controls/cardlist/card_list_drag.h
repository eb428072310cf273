// The card list's side of rearranging cards by dragging: its drop target and drop source, and
// the state of a drag. Only a drag the list started itself is accepted, so cards never leave
// their list: the list owns the drag session it started, and its drop target asks whether the
// session that runs is that one.
#pragma once

#include <array>
#include <memory>

#include "platform/ui/controls/drag_drop.h"
#include "platform/ui/controls/drag_image.h"
#include "platform/ui/controls/drop_objects.h"
#include "platform/ui/controls/timer.h"
#include "platform/ui/forms/arrow_window.h"

namespace cardlist {

class TCustomFineCardList;
class TFineCard;

// Shows the insertion arrow over the card under the cursor, scrolls near the edges and moves
// the dragged card on the drop.
class TACLDropTarget : public ui::TCustomACLDropTarget {
public:
    explicit TACLDropTarget(TCustomFineCardList* list) : list_(list) {}

    // Enters as every drop target does, but a drag this list did not start gets no effect
    // from the start: released right after entering, it ends as no drop.
    ui::HResult DragEnter(const std::shared_ptr<ui::IDataObject>& data, ui::TKeyState key_state, ui::TPoint point,
                          ui::TDropEffect& effect) override;

protected:
    void TargetDragOver(ui::TPoint& point, bool& accept) override;
    void TargetDragLeave() override;
    void TargetDrop(ui::TPoint& point) override;

private:
    TCustomFineCardList* list_;  // not owned
};

// Moves the drag image with the cursor and frees it when the button is released.
class TACLDropSource : public ui::TCustomACLDropSource {
public:
    explicit TACLDropSource(TCustomFineCardList* list) : list_(list) {}
    // The last feedback's effect when it was a move or a copy.
    ui::TDropEffect LastEffect() const { return last_effect_; }

protected:
    void EffectChanged(ui::TDropEffect effect) override;
    void DragProgress() override;
    void DropFinished() override;

private:
    TCustomFineCardList* list_;  // not owned
    ui::TDropEffect last_effect_ = ui::DROPEFFECT_NONE;
};

// Everything a list keeps for dragging. The arrow windows belong to the list as components.
// The cards are held by their IDs and looked up when needed, so that a card a hook (or anything
// else) freed meanwhile is simply no longer found.
struct CardListDrag {
    std::array<ui::TArrowWindow*, 4> arrows{};
    // A press on the selected card armed a drag; the next mouse move starts it.
    bool DragArmed = false;
    int DragCardID = -1;      // the dragged card; -1 none
    int LastDropCardID = -1;  // the last card the cursor was over during the drag; -1 none
    int GrabOffsetX = 0;
    bool ParentStayOnTop = false;
    bool AcceptDrops = true;
    bool DropTargetRegistered = false;
    std::shared_ptr<TACLDropTarget> DropTarget;
    std::shared_ptr<TACLDropSource> DropSource;
    std::unique_ptr<ui::TDragImageWindow> DragImage;
    // The running (or the last) drag; kept until the next one, since it ends inside its own
    // event handling.
    std::unique_ptr<ui::TDragSession> session;
    // Repeats the drag step while the mouse rests, so that the list scrolls near its edges.
    std::unique_ptr<ui::TTimer> ticks;

    // True while the drag that runs is the one this list started: its drop target takes no
    // other list's cards.
    bool OwnDragRuns() const { return session != nullptr && session.get() == ui::TDragSession::Active(); }
    // Forgets the armed or running drag's cards.
    void ForgetCards() {
        DragArmed = false;
        DragCardID = -1;
        LastDropCardID = -1;
    }
};

}  // namespace cardlist
