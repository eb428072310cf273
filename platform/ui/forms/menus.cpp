#include "platform/ui/forms/menus.h"

#include <algorithm>
#include <cctype>

#include "platform/ui/controls/imagelist.h"
#include "platform/ui/forms/actions.h"
#include "platform/ui/graphics/bitmap.h"

namespace ui {

namespace {

struct KeyName {
    std::uint16_t key;
    const char* name;
};
// Virtual-key codes the shortcut texts name; letters and digits stand for themselves.
constexpr KeyName kKeyNames[] = {
    {0x08, "BkSp"}, {0x09, "Tab"},   {0x0D, "Enter"}, {0x1B, "Esc"},  {0x20, "Space"},
    {0x21, "PgUp"}, {0x22, "PgDn"},  {0x23, "End"},   {0x24, "Home"}, {0x25, "Left"},
    {0x26, "Up"},   {0x27, "Right"}, {0x28, "Down"},  {0x2D, "Ins"},  {0x2E, "Del"},
};

std::string KeyToText(std::uint16_t key) {
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return std::string(1, static_cast<char>(key));
    if (key >= 0x70 && key <= 0x87) return "F" + std::to_string(key - 0x6F);
    for (const auto& k : kKeyNames) {
        if (k.key == key) return k.name;
    }
    return {};
}

}  // namespace

std::string ShortCutToText(TShortCut shortcut) {
    const std::string key = KeyToText(shortcut & 0xFF);
    if (key.empty()) return {};
    std::string text;
    if (shortcut & scShift) text += "Shift+";
    if (shortcut & scCtrl) text += "Ctrl+";
    if (shortcut & scAlt) text += "Alt+";
    return text + key;
}

TShortCut TextToShortCut(const std::string& text) {
    TShortCut modifiers = 0;
    std::string rest = text;
    const std::pair<const char*, TShortCut> prefixes[] = {{"Shift+", scShift}, {"Ctrl+", scCtrl}, {"Alt+", scAlt}};
    for (bool found = true; found;) {
        found = false;
        for (const auto& [prefix, bit] : prefixes) {
            const std::string p = prefix;
            if (rest.size() > p.size() && rest.compare(0, p.size(), p) == 0) {
                modifiers |= bit;
                rest.erase(0, p.size());
                found = true;
            }
        }
    }
    for (std::uint16_t key = 1; key < 0x100; ++key) {
        if (KeyToText(key) == rest) return static_cast<TShortCut>(key | modifiers);
    }
    return scNone;
}

std::string KeyNameText(std::uint16_t key) {
    static constexpr KeyName kLayoutNames[] = {
        {0x08, "Backspace"}, {0x09, "Tab"},    {0x0D, "Enter"},  {0x10, "Shift"},   {0x11, "Ctrl"},
        {0x12, "Alt"},       {0x1B, "Esc"},    {0x20, "Space"},  {0x21, "Page Up"}, {0x22, "Page Down"},
        {0x23, "End"},       {0x24, "Home"},   {0x25, "Left"},   {0x26, "Up"},      {0x27, "Right"},
        {0x28, "Down"},      {0x2D, "Insert"}, {0x2E, "Delete"},
    };
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return std::string(1, static_cast<char>(key));
    if (key >= 0x70 && key <= 0x87) return "F" + std::to_string(key - 0x6F);
    for (const auto& k : kLayoutNames) {
        if (k.key == key) return k.name;
    }
    return {};
}

char GetHotkey(const std::string& caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return static_cast<char>(std::toupper(static_cast<unsigned char>(caption[i + 1])));
    }
    return 0;
}

std::string StripHotkey(const std::string& caption) {
    std::string text;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size())
            ++i;
        else if (caption[i] == '&')
            continue;
        text += caption[i];
    }
    return text;
}

TSize MenuBarButtonSize() { return TSize{19, 19}; }

// --- TMenuItem ---

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem() {
    MarkDestroying();
    if (action_ != nullptr) {
        action_->RemoveClient(this);
        RemoveFreeNotification(action_);
        action_ = nullptr;
    }
    // Sub-items are owned components and go with DestroyComponents; forget them first so that
    // their own destructors do not reach back into this list.
    for (TMenuItem* item : items_) item->parent_ = nullptr;
    items_.clear();
    if (parent_ != nullptr) {
        auto& list = parent_->items_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
        if (!parent_->Destroying()) parent_->Changed();
        parent_ = nullptr;
    }
}

#define QBK_MENU_SETTER(Field, value) \
    if (Field == value) return;       \
    Field = value;                    \
    Changed()

void TMenuItem::SetCaption(const std::string& caption) { QBK_MENU_SETTER(caption_, caption); }
void TMenuItem::SetShortCut(TShortCut shortcut) { QBK_MENU_SETTER(shortcut_, shortcut); }
void TMenuItem::SetEnabled(bool enabled) { QBK_MENU_SETTER(enabled_, enabled); }
void TMenuItem::SetVisible(bool visible) { QBK_MENU_SETTER(visible_, visible); }
void TMenuItem::SetHint(const std::string& hint) { QBK_MENU_SETTER(hint_, hint); }
void TMenuItem::SetRadioItem(bool value) { QBK_MENU_SETTER(radio_item_, value); }
void TMenuItem::SetGroupIndex(std::uint8_t value) { QBK_MENU_SETTER(group_index_, value); }
void TMenuItem::SetDefault(bool value) { QBK_MENU_SETTER(default_, value); }
void TMenuItem::SetBreak(bool value) { QBK_MENU_SETTER(break_, value); }
void TMenuItem::SetImageIndex(int index) { QBK_MENU_SETTER(image_index_, index); }

void TMenuItem::SetChecked(bool checked) {
    if (checked_ == checked) return;
    checked_ = checked;
    if (checked_ && radio_item_) UncheckRadioSiblings();
    Changed();
}

void TMenuItem::UncheckRadioSiblings() {
    if (parent_ == nullptr) return;
    for (TMenuItem* sibling : parent_->items_) {
        if (sibling != this && sibling->radio_item_ && sibling->group_index_ == group_index_) sibling->checked_ = false;
    }
}

TBitmap& TMenuItem::Bitmap() {
    if (!bitmap_) bitmap_ = std::make_unique<TBitmap>();
    return *bitmap_;
}

int TMenuItem::MenuIndex() const {
    if (parent_ == nullptr) return -1;
    const auto& list = parent_->items_;
    return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

TMainMenu* TMenuItem::GetParentMenu() const {
    const TMenuItem* root = this;
    while (root->parent_ != nullptr) root = root->parent_;
    return root->menu_;
}

#undef QBK_MENU_SETTER

void TMenuItem::SetAction(TBasicAction* action) {
    if (action == action_) return;
    if (action_ != nullptr) {
        action_->RemoveClient(this);
        RemoveFreeNotification(action_);
    }
    action_ = action;
    if (action_ != nullptr) {
        FreeNotification(action_);
        action_->AddClient(this, [this] { ActionChanged(); });
        ActionChanged();
    }
    Changed();
}

void TMenuItem::ActionChanged() {
    auto* action = dynamic_cast<TCustomAction*>(action_);
    if (action == nullptr) return;
    caption_ = action->Caption();
    hint_ = action->Hint();
    shortcut_ = action->ShortCut();
    enabled_ = action->Enabled();
    visible_ = action->Visible();
    checked_ = action->Checked();
    if (checked_ && radio_item_) UncheckRadioSiblings();
    Changed();
}

TMenuItem* TMenuItem::Items(int index) const {
    if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return items_[static_cast<std::size_t>(index)];
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
    if (item == nullptr) return;
    if (index < 0 || index > Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    if (item->parent_ != nullptr) throw EInvalidOperation("Menu inserted twice");
    InsertComponent(item);
    items_.insert(items_.begin() + index, item);
    item->parent_ = this;
    Changed();
}

void TMenuItem::Remove(TMenuItem* item) {
    const auto it = std::find(items_.begin(), items_.end(), item);
    if (it == items_.end()) return;
    items_.erase(it);
    item->parent_ = nullptr;
    RemoveComponent(item);
    Changed();
}

void TMenuItem::Click() {
    if (!enabled_) return;
    if (action_ != nullptr) {
        action_->Execute();
    } else if (OnClick) {
        OnClick(this);
    }
}

void TMenuItem::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == action_) {
        action_ = nullptr;
        Changed();
    }
}

void TMenuItem::Changed(bool rebuild) {
    if (Destroying()) return;
    TMainMenu* menu = GetParentMenu();
    if (menu != nullptr && !menu->Destroying()) menu->MenuChanged(this, rebuild);
}

// --- TMainMenu ---

TMainMenu::TMainMenu(TComponent* owner) : TComponent(owner), items_(new TMenuItem(this)) { items_->menu_ = this; }

TMainMenu::~TMainMenu() { MarkDestroying(); }

void TMainMenu::SetImages(TImageList* images) {
    if (images == images_) return;
    if (images_ != nullptr) RemoveFreeNotification(images_);
    images_ = images;
    if (images_ != nullptr) FreeNotification(images_);
    MenuChanged(nullptr, true);
}

void TMainMenu::SetOwnerDraw(bool value) {
    if (value == owner_draw_) return;
    owner_draw_ = value;
    MenuChanged(nullptr, true);
}

void TMainMenu::UpdateItems() { MenuChanged(nullptr, true); }

void TMainMenu::MenuChanged(TMenuItem*, bool) {
    if (OnChange) OnChange(this);
}

void TMainMenu::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == images_) images_ = nullptr;
}

namespace {

TMenuItem* FindIn(const TMenuItem* item, TShortCut shortcut) {
    for (int i = 0; i < item->Count(); ++i) {
        TMenuItem* child = item->Items(i);
        if (!child->Visible() || !child->Enabled()) continue;
        if (child->ShortCut() == shortcut && child->Count() == 0) return child;
        if (TMenuItem* found = FindIn(child, shortcut)) return found;
    }
    return nullptr;
}

}  // namespace

TMenuItem* TMainMenu::FindShortCut(TShortCut shortcut) const {
    if (shortcut == scNone) return nullptr;
    return FindIn(items_, shortcut);
}

namespace {

TMenuItem* FindAny(const TMenuItem* item, TShortCut shortcut) {
    for (int i = 0; i < item->Count(); ++i) {
        TMenuItem* child = item->Items(i);
        if (child->ShortCut() == shortcut) return child;
        if (TMenuItem* found = FindAny(child, shortcut)) return found;
    }
    return nullptr;
}

}  // namespace

TMenuItem* TMainMenu::FindItemByShortCut(TShortCut shortcut) const { return FindAny(items_, shortcut); }

}  // namespace ui
