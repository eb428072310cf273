// Item tests, and what the measuring and painting read about an item.
#include "controls/menus/menu_item_checks.h"

#include "controls/menus/fine_main_menu.h"

namespace menus {

TFineMainMenu* StyledMenuOf(const ui::TMenuItem* item) {
    return item != nullptr ? dynamic_cast<TFineMainMenu*>(item->GetParentMenu()) : nullptr;
}

TCustomFineMenuStyler& StylerOf(const ui::TMenuItem* item) { return *StyledMenuOf(item)->CurrentStyler(); }

bool ShowNotes(const ui::TMenuItem* item) {
    const TFineMainMenu* menu = StyledMenuOf(item);
    return menu != nullptr && menu->ShowNotes();
}

bool HasNotes(const ui::TMenuItem* item, const std::string& text) {
    return ShowNotes(item) && text.find(kNoteBreak) != std::string::npos;
}

ui::TMenuItem* FirstVisibleChild(const ui::TMenuItem* parent) {
    if (parent == nullptr) return nullptr;
    for (int i = 0; i < parent->Count(); ++i) {
        if (parent->Items(i)->Visible()) return parent->Items(i);
    }
    return nullptr;
}

bool IsFirstVisible(const ui::TMenuItem* item) {
    return item->Parent() != nullptr && FirstVisibleChild(item->Parent()) == item;
}

bool InLaterColumn(const ui::TMenuItem* item) {
    const ui::TMenuItem* parent = item->Parent();
    if (parent == nullptr) return false;
    for (int i = 0; i < parent->Count(); ++i) {
        const ui::TMenuItem* sibling = parent->Items(i);
        if (sibling->Visible() && sibling->Break()) return true;
        if (sibling == item) break;
    }
    return false;
}

int ItemDepth(const ui::TMenuItem* item) {
    int ancestors = 0;
    for (const ui::TMenuItem* p = item->Parent(); p != nullptr; p = p->Parent()) ++ancestors;
    return ancestors - 1;
}

bool IsRootItem(const ui::TMenuItem* item) { return item->Parent() != nullptr && item->Parent()->Parent() == nullptr; }

bool IsLastRootItem(const ui::TMenuItem* item) {
    if (!IsRootItem(item)) return false;
    // The bar does not wrap: the last visible bar item is the last.
    const ui::TMenuItem* parent = item->Parent();
    for (int i = parent->Count() - 1; i >= 0; --i) {
        if (parent->Items(i)->Visible()) return parent->Items(i) == item;
    }
    return false;
}

bool SideBarShown(const ui::TMenuItem* item) {
    const TFineMainMenu* menu = StyledMenuOf(item);
    if (menu == nullptr || IsRootItem(item) || item->Parent() == nullptr) return false;
    TSideBar& bar = menu->CurrentStyler()->SideBar();
    if (!bar.Visible()) return false;
    switch (bar.VisibleIn()) {
    case TSideBarVisibleIn::viFirstVisible:
        return item->Parent() == FirstVisibleChild(menu->Items());
    case TSideBarVisibleIn::viFirstLevel:
        return IsRootItem(item->Parent());
    case TSideBarVisibleIn::viAnyLevel:
        return true;
    }
    return false;
}

}  // namespace menus
