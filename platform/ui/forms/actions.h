// Actions: named commands with a caption, shortcut, hint and enabled/visible state, executed by
// the menu items linked to them, and the action lists that group them.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/ui/core/component.h"
#include "platform/ui/forms/menus.h"

namespace ui {

class TActionList;
class TImageList;

class TBasicAction : public TComponent {
public:
    explicit TBasicAction(TComponent* owner) : TComponent(owner) {}
    ~TBasicAction() override;
    std::string ClassName() const override { return "TBasicAction"; }

    // Runs the action; true when it was handled.
    virtual bool Execute();
    TNotifyEvent OnExecute;
    // Asks the action to bring its state up to date (a menu does so before it shows the action's
    // item); true when OnUpdate handled it.
    virtual bool Update();
    TNotifyEvent OnUpdate;

    // A linked client (a menu item) is told after every change of the action's state. The client
    // removes itself before it goes; the action tells it through the component model when the
    // action goes first.
    void AddClient(TComponent* client, std::function<void()> changed);
    void RemoveClient(TComponent* client);

protected:
    void Change();

private:
    struct Client {
        TComponent* component;
        std::function<void()> changed;
    };
    std::vector<Client> clients_;
};

class TContainedAction : public TBasicAction {
public:
    explicit TContainedAction(TComponent* owner) : TBasicAction(owner) {}
    ~TContainedAction() override;
    std::string ClassName() const override { return "TContainedAction"; }

    TActionList* ActionList() const { return action_list_; }
    void SetActionList(TActionList* list);
    const std::string& Category() const { return category_; }
    void SetCategory(const std::string& category) { category_ = category; }

private:
    TActionList* action_list_ = nullptr;
    std::string category_;
};

class TCustomAction : public TContainedAction {
public:
    explicit TCustomAction(TComponent* owner) : TContainedAction(owner) {}
    std::string ClassName() const override { return "TCustomAction"; }

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    // "Short|Long": the part before "|" shows as a tooltip, the rest in a status line.
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint);
    TShortCut ShortCut() const { return shortcut_; }
    void SetShortCut(TShortCut shortcut);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);

    // A disabled action does nothing and reports not handled.
    bool Execute() override;

private:
    std::string caption_;
    std::string hint_;
    TShortCut shortcut_ = scNone;
    bool enabled_ = true;
    bool visible_ = true;
    bool checked_ = false;
};

class TAction : public TCustomAction {
public:
    explicit TAction(TComponent* owner) : TCustomAction(owner) {}
    std::string ClassName() const override { return "TAction"; }
};

class TActionList : public TComponent {
public:
    explicit TActionList(TComponent* owner) : TComponent(owner) {}
    ~TActionList() override;
    std::string ClassName() const override { return "TActionList"; }

    int ActionCount() const { return static_cast<int>(actions_.size()); }
    TContainedAction* Actions(int index) const;  // EListError outside 0..ActionCount-1

    // The visible, enabled action with this shortcut, or null.
    TCustomAction* FindShortCut(TShortCut shortcut) const;
    // Pictures of the actions (not owned), or null.
    TImageList* Images() const { return images_; }
    void SetImages(TImageList* images) { images_ = images; }

private:
    friend class TContainedAction;
    std::vector<TContainedAction*> actions_;  // not owned: the form owns its actions
    TImageList* images_ = nullptr;
};

}  // namespace ui
