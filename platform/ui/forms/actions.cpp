#include "platform/ui/forms/actions.h"

#include <algorithm>

namespace ui {

// --- TBasicAction ---

TBasicAction::~TBasicAction() {
    MarkDestroying();
    // The clients hear of the end through the component model (they asked for free notification).
    clients_.clear();
}

bool TBasicAction::Update() {
    if (!OnUpdate) return false;
    OnUpdate(this);
    return true;
}

bool TBasicAction::Execute() {
    if (!OnExecute) return false;
    OnExecute(this);
    return true;
}

void TBasicAction::AddClient(TComponent* client, std::function<void()> changed) {
    RemoveClient(client);
    clients_.push_back({client, std::move(changed)});
}

void TBasicAction::RemoveClient(TComponent* client) {
    clients_.erase(
        std::remove_if(clients_.begin(), clients_.end(), [client](const Client& c) { return c.component == client; }),
        clients_.end());
}

void TBasicAction::Change() {
    // A client may unlink itself while it is told; walk a copy.
    const std::vector<Client> clients = clients_;
    for (const auto& c : clients) {
        if (c.changed) c.changed();
    }
}

// --- TContainedAction ---

TContainedAction::~TContainedAction() { SetActionList(nullptr); }

void TContainedAction::SetActionList(TActionList* list) {
    if (list == action_list_) return;
    if (action_list_ != nullptr) {
        auto& actions = action_list_->actions_;
        actions.erase(std::remove(actions.begin(), actions.end(), this), actions.end());
    }
    action_list_ = list;
    if (action_list_ != nullptr) action_list_->actions_.push_back(this);
}

// --- TCustomAction ---

#define QBK_ACTION_SETTER(Field, value) \
    if (Field == value) return;         \
    Field = value;                      \
    Change()

void TCustomAction::SetCaption(const std::string& caption) { QBK_ACTION_SETTER(caption_, caption); }
void TCustomAction::SetHint(const std::string& hint) { QBK_ACTION_SETTER(hint_, hint); }
void TCustomAction::SetShortCut(TShortCut shortcut) { QBK_ACTION_SETTER(shortcut_, shortcut); }
void TCustomAction::SetEnabled(bool enabled) { QBK_ACTION_SETTER(enabled_, enabled); }
void TCustomAction::SetVisible(bool visible) { QBK_ACTION_SETTER(visible_, visible); }
void TCustomAction::SetChecked(bool checked) { QBK_ACTION_SETTER(checked_, checked); }

#undef QBK_ACTION_SETTER

bool TCustomAction::Execute() {
    if (!enabled_) return false;
    return TContainedAction::Execute();
}

// --- TActionList ---

TActionList::~TActionList() {
    MarkDestroying();
    // The actions outlive their list when the form frees the list first: unhook them.
    const auto actions = actions_;
    for (TContainedAction* a : actions) a->SetActionList(nullptr);
}

TContainedAction* TActionList::Actions(int index) const {
    if (index < 0 || index >= ActionCount())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return actions_[static_cast<std::size_t>(index)];
}

TCustomAction* TActionList::FindShortCut(TShortCut shortcut) const {
    if (shortcut == scNone) return nullptr;
    for (TContainedAction* a : actions_) {
        auto* action = dynamic_cast<TCustomAction*>(a);
        if (action != nullptr && action->ShortCut() == shortcut && action->Visible() && action->Enabled())
            return action;
    }
    return nullptr;
}

}  // namespace ui
