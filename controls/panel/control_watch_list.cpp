#include "controls/panel/control_watch_list.h"

#include <algorithm>

namespace panel {

TControlWatchList::~TControlWatchList() { Clear(); }

void TControlWatchList::Add(ui::TControl* control) {
    if (control == nullptr || Contains(control)) return;
    items_.push_back(control);
    FreeNotification(control);
}

void TControlWatchList::Remove(ui::TControl* control) {
    const auto it = std::find(items_.begin(), items_.end(), control);
    if (it == items_.end()) return;
    items_.erase(it);
    RemoveFreeNotification(control);
}

void TControlWatchList::Clear() {
    while (!items_.empty()) Remove(items_.back());
}

bool TControlWatchList::Contains(const ui::TControl* control) const {
    return std::find(items_.begin(), items_.end(), control) != items_.end();
}

void TControlWatchList::Notification(ui::TComponent* component, ui::TOperation operation) {
    // The control is part way through its destruction: only its address is compared.
    if (operation == ui::TOperation::opRemove) {
        items_.erase(
            std::remove_if(items_.begin(), items_.end(),
                           [component](ui::TControl* c) { return static_cast<ui::TComponent*>(c) == component; }),
            items_.end());
    }
    ui::TComponent::Notification(component, operation);
}

}  // namespace panel
