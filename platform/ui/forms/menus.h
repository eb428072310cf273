// TMainMenu and TMenuItem: the window's menu as a tree of items with captions, shortcuts and an
// optional action each. The form shows the tree as its menu bar and rebuilds that whenever the
// menu reports a change; the styled menu derives from TMainMenu and draws the same tree itself.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ui/core/component.h"

namespace ui {

class TBasicAction;
class TMainMenu;

// A shortcut as the class library stores it: the virtual-key code in the low byte, plus these
// modifier bits.
using TShortCut = std::uint16_t;
inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;
inline constexpr TShortCut scNone = 0;

// Ctrl+letter and the like: `key` is the virtual-key code ('N' for the N key).
constexpr TShortCut ShortCut(std::uint16_t key, TShortCut modifiers) {
    return static_cast<TShortCut>((key & 0xFF) | modifiers);
}
// "Ctrl+N", "Shift+Alt+F4", "" for none.
std::string ShortCutToText(TShortCut shortcut);
// The reverse; scNone for a text it does not know.
TShortCut TextToShortCut(const std::string& text);

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;
    std::string ClassName() const override { return "TMenuItem"; }

    // An item whose caption is "-" is a separator line.
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    bool IsLine() const { return caption_ == "-"; }
    TShortCut ShortCut() const { return shortcut_; }
    void SetShortCut(TShortCut shortcut);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint);

    // Linking an action copies its caption, shortcut, hint, enabled and visible state now and
    // whenever the action changes; clicking the item then executes the action.
    TBasicAction* Action() const { return action_; }
    void SetAction(TBasicAction* action);

    // Sub-items. Add and Insert take ownership: a sub-item is freed with its parent.
    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int index) const;  // EListError outside 0..Count-1
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    void Remove(TMenuItem* item);  // gives the item up without freeing it
    TMenuItem* Parent() const { return parent_; }

    // What a click does: the action's Execute when one is linked, else OnClick.
    virtual void Click();
    TNotifyEvent OnClick;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TMainMenu;
    void Changed();
    void ActionChanged();

    std::string caption_;
    std::string hint_;
    TShortCut shortcut_ = scNone;
    bool enabled_ = true;
    bool visible_ = true;
    bool checked_ = false;
    TBasicAction* action_ = nullptr;
    std::vector<TMenuItem*> items_;  // owned through the component model
    TMenuItem* parent_ = nullptr;
    TMainMenu* menu_ = nullptr;  // set on the root item only
};

class TMainMenu : public TComponent {
public:
    explicit TMainMenu(TComponent* owner);
    ~TMainMenu() override;
    std::string ClassName() const override { return "TMainMenu"; }

    // The invisible root whose sub-items are the menu bar's entries.
    TMenuItem* Items() const { return items_; }

    // Fired after any item of the tree changed, was added or removed.
    TNotifyEvent OnChange;

    // The visible, enabled item (at any depth) with this shortcut, or null.
    TMenuItem* FindShortCut(TShortCut shortcut) const;

private:
    friend class TMenuItem;
    TMenuItem* items_;
};

}  // namespace ui
