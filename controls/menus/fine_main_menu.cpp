#include "controls/menus/fine_main_menu.h"

#include <functional>
#include <optional>
#include <utility>

#include "controls/menus/gdip.h"
#include "controls/menus/menu_item_checks.h"
#include "controls/menus/menu_measuring.h"
#include "controls/menus/menu_painting.h"
#include "platform/ui/forms/form.h"

namespace menus {

namespace {

// The drop-down windows' procedure: no background erase; hiding, closing or destroying removes
// the region and gives the window its old procedure back.
struct PopupWindowProc {
    std::intptr_t operator()(ui::TMenuWindow& window, ui::TMenuMessage message, std::intptr_t wparam) const {
        if (message == ui::TMenuMessage::mmEraseBackground) return 1;
        const ui::TMenuWindowProc old = window.UserData();
        const bool leaving = (message == ui::TMenuMessage::mmShowWindow && wparam == 0) ||
                             message == ui::TMenuMessage::mmClose || message == ui::TMenuMessage::mmDestroy;
        if (leaving) {
            window.SetWindowRegion(std::nullopt);
            if (old) {
                window.SetWindowProc(old);
                window.SetUserData(nullptr);
            }
        }
        return old ? old(window, message, wparam) : window.DefaultProc(message, wparam);
    }
};

bool IsPopupProc(const ui::TMenuWindowProc& proc) { return proc && proc.target<PopupWindowProc>() != nullptr; }

}  // namespace

IStyledMenu* GetStyledMenu(ui::TMainMenu* menu) { return dynamic_cast<TFineMainMenu*>(menu); }

IStyledMenu* GetItemStyledMenu(const ui::TMenuItem* item) {
    return item != nullptr ? GetStyledMenu(item->GetParentMenu()) : nullptr;
}

void StyleChanged(IStyledMenu* styled, bool rebuild) {
    if (styled == nullptr || styled->GetMenu() == nullptr) return;
    if (rebuild) styled->UpdateItems();
    // The menus here have no multiple-document client window to subclass.
}

// --- TFineMainMenu ---

TFineMainMenu::TFineMainMenu(ui::TComponent* owner) : ui::TMainMenu(owner) {
    SetOwnerDraw(true);
    CreateInternalStyler();
}

TFineMainMenu::~TFineMainMenu() {
    MarkDestroying();
    // The link to an assigned styler stays, so that the component's end tells it to unbind. (A
    // styler of the same owner may be gone already: the owner frees its components unannounced.)
    menu_styler_ = nullptr;
    current_styler_ = nullptr;
    delete std::exchange(internal_styler_, nullptr);
}

void TFineMainMenu::CreateInternalStyler() {
    menu_styler_ = nullptr;
    // While the menu is being loaded the internal styler it had stays until Loaded: it serves
    // again (a second one could not take its name).
    if (internal_styler_ == nullptr) {
        internal_styler_ = new TFineMenuStyler(this);
        internal_styler_->SetName("InternalMenuStyler");
    }
    current_styler_ = internal_styler_;
}

void TFineMainMenu::SetMenuStyler(TCustomFineMenuStyler* styler) {
    // The menu's own internal styler given back to it is no styler of the user's: the menu goes
    // on with it as with none (it must not free it to take it).
    if (styler != nullptr && styler == internal_styler_) styler = nullptr;
    if (styler == menu_styler_) return;
    if (menu_styler_ != nullptr && menu_styler_ != internal_styler_) {
        RemoveFreeNotification(menu_styler_);
        // Without the notification the styler would not learn of this menu's end: it lets go now.
        if (menu_styler_->Menu() == this) menu_styler_->SetMenu(nullptr);
    }
    if (styler != nullptr) {
        if (internal_styler_ != nullptr && !internal_styler_->Loading()) {
            // Let go of it first: its end is no styler leaving from under the menu.
            delete std::exchange(internal_styler_, nullptr);
        }
        menu_styler_ = styler;
        current_styler_ = styler;
        FreeNotification(styler);
    } else {
        CreateInternalStyler();
    }
    current_styler_->SetMenu(this);
    current_styler_->FontRef().OnChange = [this](ui::TPersistent*) { FontChanged(); };
}

void TFineMainMenu::FontChanged() { StyleChanged(static_cast<IStyledMenu*>(this), false); }

void TFineMainMenu::SetDisabledImages(ui::TImageList* images) {
    if (images == disabled_images_) return;
    if (disabled_images_ != nullptr) RemoveFreeNotification(disabled_images_);
    disabled_images_ = images;
    if (disabled_images_ != nullptr) FreeNotification(disabled_images_);
}

void TFineMainMenu::SetShowNotes(bool value) { show_notes_ = value; }
void TFineMainMenu::SetIntlKeybShortCuts(bool value) { intl_keyb_shortcuts_ = value; }

std::string TFineMainMenu::Version() const {
    const std::uint32_t v = GetVersionNr();
    return std::to_string(v >> 24) + "." + std::to_string((v >> 16) & 0xFF) + "." + std::to_string((v >> 8) & 0xFF) +
           "." + std::to_string(v & 0xFF);
}

void TFineMainMenu::Notification(ui::TComponent* component, ui::TOperation operation) {
    ui::TMainMenu::Notification(component, operation);
    if (operation != ui::TOperation::opRemove) return;
    // A styler that leaves the menu (freed, or taken by another owner) is never read again: the
    // menu goes on as it does without a styler, with an internal one of its own. That holds for
    // a styler the menu owns too, whether its own internal one or one assigned to it.
    if (component == internal_styler_) {
        internal_styler_ = nullptr;
        if (current_styler_ == component) {
            current_styler_ = nullptr;
            if (!Destroying()) {
                // The leaving styler is still among the menu's components and gives up its name
                // to the one that takes its place.
                component->SetName("");
                CreateInternalStyler();
            }
        }
    }
    if (!Destroying() && component == menu_styler_) CreateInternalStyler();
    if (component == disabled_images_) disabled_images_ = nullptr;
}

void TFineMainMenu::Loaded() {
    ui::TMainMenu::Loaded();
    SetOwnerDraw(true);
    HookItems(nullptr, true, true);
    if (internal_styler_ != nullptr && internal_styler_ != current_styler_) {
        delete std::exchange(internal_styler_, nullptr);
    }
    if (Items()->Count() > 0) {
        // Rebuilds the bar with the owner-drawn items.
        ui::TMenuItem* first = Items()->Items(0);
        const bool visible = first->Visible();
        first->SetVisible(false);
        first->SetVisible(visible);
    }
    StyleChanged(static_cast<IStyledMenu*>(this), false);
}

void TFineMainMenu::MenuChanged(ui::TMenuItem* source, bool) {
    if (updating_) {
        HookItems(source, true, true);
    } else {
        StyleChanged(static_cast<IStyledMenu*>(this), false);
    }
    ui::TMainMenu::MenuChanged(source, true);
}

void TFineMainMenu::UpdateItems() { ui::TMainMenu::UpdateItems(); }

void TFineMainMenu::DrawMenuBar() {
    if (ui::TMenuWindow* w = GetMenuWindow(this)) w->Invalidate();
}

void TFineMainMenu::BeginUpdate() {
    updating_ = true;
    ++update_count_;
}

void TFineMainMenu::EndUpdate() {
    if (update_count_ > 0) --update_count_;
    if (update_count_ != 0) return;
    HookItems(nullptr, true, true);
    DrawMenuBar();
    updating_ = false;
}

namespace {

// The handlers the menu gives its items; named types, so that an item's handler can be told
// apart from one of its own.
struct MeasureHandler {
    void operator()(ui::TPersistent* sender, ui::TCanvas& canvas, int& width, int& height) const {
        auto* item = static_cast<ui::TMenuItem*>(sender);
        MeasureItem(item, canvas, width, height, SideBarShown(item));
    }
};

// The draw handler serves whichever styled menu holds the item when it is drawn: an item moved
// to another menu is drawn for that one.
struct DrawHandler {
    void operator()(ui::TPersistent* sender, ui::TCanvas& canvas, const ui::TRect& rect,
                    ui::TOwnerDrawState state) const {
        auto* item = static_cast<ui::TMenuItem*>(sender);
        const TFineMainMenu* menu = StyledMenuOf(item);
        if (menu == nullptr || menu->UpdateCount() > 0) return;
        ui::TRect r = rect;
        if (!IsRootItem(item)) r.Right -= kDropDownExtra;
        DrawItem(item, canvas, r, SideBarShown(item), state);
    }
};

}  // namespace

void TFineMainMenu::HookOne(ui::TMenuItem* item, bool keep_own) {
    if (Loading() || item->OnAdvancedDrawItem.target<DrawHandler>() != nullptr) return;
    if (!item->OnMeasureItem || !keep_own) item->OnMeasureItem = MeasureHandler{};
    if ((!item->OnAdvancedDrawItem && !item->OnDrawItem) || !keep_own) item->OnAdvancedDrawItem = DrawHandler{};
}

void TFineMainMenu::HookItems(ui::TMenuItem* item, bool recursive, bool keep_own) {
    if (item != nullptr) {
        HookOne(item, keep_own);
        return;
    }
    std::function<void(ui::TMenuItem*)> walk = [&](ui::TMenuItem* parent) {
        for (int i = 0; i < parent->Count(); ++i) {
            HookOne(parent->Items(i), keep_own);
            if (recursive) walk(parent->Items(i));
        }
    };
    walk(Items());
}

// --- drop-down windows ---

ui::TMenuWindow* GetMenuWindow(ui::TMainMenu* menu) {
    if (menu == nullptr) return nullptr;
    const auto* form = dynamic_cast<const ui::TForm*>(menu->Owner());
    if (form == nullptr || form->MenuBar() == nullptr || form->Menu() != menu) return nullptr;
    return &form->MenuBar()->Window();
}

bool SubMenuOpensLeft(ui::TMenuItem* item, ui::TMenuWindow* window) {
    if (IsRootItem(item) || window == nullptr) return true;
    int position = 0;
    ui::TRect first = window->ItemRect(position);
    while (first.IsEmpty() && position + 1 < window->ItemCount()) first = window->ItemRect(++position);
    if (first.IsEmpty()) return true;
    ui::TMenuItem* parent = item->Parent();
    if (parent == nullptr || !parent->Visible()) return false;
    ui::TMenuWindow* parent_window = window->Bar().WindowOf(parent);
    if (parent_window == nullptr) return false;
    const ui::TRect p = parent_window->ItemRect(parent_window->PositionOf(parent));
    return p.Left < first.Left || (p.Left == first.Left && p.Right < first.Right);
}

void FramePopupWindow(ui::TMenuItem* item, ui::TCanvas& canvas) {
    ui::TMenuWindow* w = ui::TMenuWindow::FromCanvas(canvas);
    if (w == nullptr || w->IsMenuBar() || IsRootItem(item)) return;
    auto* menu = dynamic_cast<TFineMainMenu*>(item->GetParentMenu());
    if (menu == nullptr || menu->CurrentStyler() == nullptr) return;
    TCustomFineMenuStyler& s = *menu->CurrentStyler();
    const int level = ItemDepth(item);
    const ui::TRect r = w->WindowRect();
    const int width = r.Width(), height = r.Height();
    if (!IsPopupProc(w->WindowProc())) {
        // The first paint of this window.
        w->SetUserData(w->WindowProc());
        w->SetWindowProc(PopupWindowProc{});
        w->SetWindowRegion(ui::TRect{1, 1, width - 1 - kDropDownExtra, height - 1});
        if (level == 1) {
            w->SetWindowPos(r.Left - 1, r.Top - 2);
        } else if (level >= 2) {
            const int dx = SubMenuOpensLeft(item, w) ? -kDropDownExtra : kDropDownExtra;
            w->SetWindowPos(r.Left + dx + 3, r.Top);
        }
    }
    ui::TCanvas* frame_canvas = w->WindowCanvas();
    if (frame_canvas == nullptr) return;
    ui::TRect frame{1, 1, width - 1, height - 1};
    if (level < 2)
        frame.Right -= kDropDownExtra;
    else if (SubMenuOpensLeft(item, w))
        frame.Right -= 2 * kDropDownExtra;
    frame_canvas->Brush().SetColor(s.MenuBorderColor());
    frame_canvas->FrameRect(frame);
    if (level == 1) {
        // Where the drop-down meets its bar button, the line takes the background colour.
        ui::TMenuWindow& bar = w->Bar().Window();
        const ui::TRect button = bar.ItemRect(bar.PositionOf(item->Parent()));
        const ui::TRect now = w->WindowRect();
        if (!button.IsEmpty()) {
            frame_canvas->Brush().SetColor(s.Background().Color());
            frame_canvas->FillRect(ui::TRect{button.Left - now.Left + 1, 1, button.Right - now.Left - 1, 2});
        }
    }
    frame = ui::TRect{frame.Left + 1, frame.Top + 1, frame.Right - 1, frame.Bottom - 1};
    frame_canvas->Brush().SetColor(s.Background().Color());
    frame_canvas->FrameRect(frame);
}

// --- the unit ---

TMenusUnit::TMenusUnit() : saved_animation_(ui::MenuAnimation()) {
    GdipStartup();
    ui::SetMenuAnimation(false);
}

TMenusUnit::~TMenusUnit() {
    ui::SetMenuAnimation(saved_animation_);
    GdipShutdown();
}

}  // namespace menus
