// TMainMenu and TMenuItem: the window's menu as a tree of items with captions ("&" marks the
// mnemonic), shortcuts, breaks, default, checked and radio items, images and an optional action
// each. The form shows the tree in its menu bar (menu_bar.h); items may measure and draw
// themselves through OnMeasureItem and OnAdvancedDrawItem / OnDrawItem, as owner-drawn items.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/core/component.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/geometry.h"

namespace ui {

class TBasicAction;
class TBitmap;
class TImageList;
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

// The keyboard layout's name of a key ("Ctrl", "Shift", "Page Up", "N"); empty for a key it
// does not name.
std::string KeyNameText(std::uint16_t key);

// The mnemonic of a caption: the upper-cased character after a single "&" ("&&" is a literal
// ampersand), or 0 when it has none.
char GetHotkey(const std::string& caption);
// The caption as shown: "&" markers removed, "&&" becomes "&".
std::string StripHotkey(const std::string& caption);

// State bits of an owner-draw request.
using TOwnerDrawState = std::uint32_t;
inline constexpr TOwnerDrawState odSelected = 0x0001;
inline constexpr TOwnerDrawState odGrayed = 0x0002;
inline constexpr TOwnerDrawState odDisabled = 0x0004;
inline constexpr TOwnerDrawState odChecked = 0x0008;
inline constexpr TOwnerDrawState odFocus = 0x0010;
inline constexpr TOwnerDrawState odDefault = 0x0020;
inline constexpr TOwnerDrawState odHotLight = 0x0040;
inline constexpr TOwnerDrawState odNoAccel = 0x0100;

// Measure request: `width` and `height` come in with the platform's starting values.
using TMenuMeasureItemEvent = std::function<void(TPersistent* sender, TCanvas& canvas, int& width, int& height)>;
using TMenuDrawItemEvent = std::function<void(TPersistent* sender, TCanvas& canvas, const TRect& rect, bool selected)>;
using TAdvancedMenuDrawItemEvent =
    std::function<void(TPersistent* sender, TCanvas& canvas, const TRect& rect, TOwnerDrawState state)>;

// The size the platform gives a menu-bar button before it is measured (the non-client
// metrics' menu button width and height).
TSize MenuBarButtonSize();

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
    // Checking a radio item unchecks the other radio items of its group among its siblings.
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    bool RadioItem() const { return radio_item_; }
    void SetRadioItem(bool value);
    std::uint8_t GroupIndex() const { return group_index_; }
    void SetGroupIndex(std::uint8_t value);
    // The item Enter picks in its drop-down, drawn in bold.
    bool Default() const { return default_; }
    void SetDefault(bool value);
    // A break starts a new column in a drop-down.
    bool Break() const { return break_; }
    void SetBreak(bool value);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint);
    // Index into the menu's image list; -1 for none.
    int ImageIndex() const { return image_index_; }
    void SetImageIndex(int index);
    // A picture of the item's own, created empty on first use.
    TBitmap& Bitmap();
    bool HasBitmap() const { return bitmap_ != nullptr; }
    std::intptr_t Tag() const { return tag_; }
    void SetTag(std::intptr_t tag) { tag_ = tag; }

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
    // Position among the parent's sub-items, -1 without a parent.
    int MenuIndex() const;
    // The menu whose tree holds this item, or null.
    TMainMenu* GetParentMenu() const;

    // What a click does: the action's Execute when one is linked, else OnClick.
    virtual void Click();
    TNotifyEvent OnClick;

    // Owner drawing: a measure handler sizes the item; a draw handler (the advanced one first)
    // paints it. Items without them are drawn plainly by the menu bar.
    TMenuMeasureItemEvent OnMeasureItem;
    TMenuDrawItemEvent OnDrawItem;
    TAdvancedMenuDrawItemEvent OnAdvancedDrawItem;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TMainMenu;
    void Changed(bool rebuild = true);
    void ActionChanged();
    void UncheckRadioSiblings();

    std::string caption_;
    std::string hint_;
    TShortCut shortcut_ = scNone;
    bool enabled_ = true;
    bool visible_ = true;
    bool checked_ = false;
    bool radio_item_ = false;
    bool default_ = false;
    bool break_ = false;
    std::uint8_t group_index_ = 0;
    int image_index_ = -1;
    std::unique_ptr<TBitmap> bitmap_;
    std::intptr_t tag_ = 0;
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

    // Pictures of the items (not owned), or null.
    TImageList* Images() const { return images_; }
    void SetImages(TImageList* images);
    // Owner-drawn menus call the items' measure and draw handlers.
    bool OwnerDraw() const { return owner_draw_; }
    void SetOwnerDraw(bool value);

    // Fired after any item of the tree changed, was added or removed (the form rebuilds its bar).
    TNotifyEvent OnChange;

    // The visible, enabled item (at any depth) with this shortcut, or null.
    TMenuItem* FindShortCut(TShortCut shortcut) const;
    // The item with this shortcut at any depth, visible or not, or null.
    TMenuItem* FindItemByShortCut(TShortCut shortcut) const;

    // Measures every item again and repaints the bar and open drop-downs.
    void UpdateItems();

protected:
    // Told about every change of an item (`source`, or null for the whole tree); the default
    // tells OnChange.
    virtual void MenuChanged(TMenuItem* source, bool rebuild);
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TMenuItem;
    TMenuItem* items_;
    TImageList* images_ = nullptr;
    bool owner_draw_ = false;
};

}  // namespace ui
