// A list of controls that forgets each one the moment it is freed, so that a control destroyed
// elsewhere (by its owner, or by its own close button) is never touched through the list again.
// The panel keeps the children it must not show again in one; the group keeps its panels in one;
// the collapse animation watches its own panel with one while it lets other events run.
#pragma once

#include <vector>

#include "platform/ui/controls/controls.h"
#include "platform/ui/core/component.h"

namespace panel {

class TControlWatchList : public ui::TComponent {
public:
    TControlWatchList() : ui::TComponent(nullptr) {}
    explicit TControlWatchList(ui::TControl* control) : TControlWatchList() { Add(control); }
    ~TControlWatchList() override;

    std::string ClassName() const override { return "TControlWatchList"; }

    // Adds a control once; null is ignored.
    void Add(ui::TControl* control);
    void Remove(ui::TControl* control);
    void Clear();
    bool Contains(const ui::TControl* control) const;
    bool Empty() const { return items_.empty(); }
    int Count() const { return static_cast<int>(items_.size()); }
    // The controls still alive, in the order they were added.
    const std::vector<ui::TControl*>& Items() const { return items_; }

protected:
    void Notification(ui::TComponent* component, ui::TOperation operation) override;

private:
    std::vector<ui::TControl*> items_;
};

}  // namespace panel
