// The menu host: the form's menu bar and its drop-down windows, and the menu tracking that
// drives them, with the platform's rules:
// - Bar items stand left to right at their measured widths, all painted on one surface, so an
//   item may paint outside its own rectangle. An owner-measured bar item gets the platform's
//   room around its text on top of its measure (OwnerDrawBarItemSpacing). The bar is as high as
//   its highest item.
// - A drop-down has a 3-pixel frame; its items start at (3, 3) of the window and are handed to
//   the draw handlers in client coordinates (the first item at (0, 0)); a break starts a new
//   column. Drop-downs never animate.
// - Each window has a window procedure that a menu may replace (keeping the old one in the
//   window's user data), and a window region that masks it (right and bottom edges excluded).
// - Tracking: Alt (pressed and released alone) or F10 selects the first bar item; Alt+letter
//   opens the item with that mnemonic; arrows move, Right and Left open and close drop-downs and
//   move along the bar; Enter runs or opens, Esc closes one level; letters pick an item by its
//   mnemonic. The mouse hot-tracks bar items and switches drop-downs while one is open; resting
//   on an item with sub-items opens them after the sub-menu delay. Actions of a drop-down's items
//   are updated before it shows; the chosen item runs after every drop-down has closed, through
//   the application's guard.
// - Keys that no menu takes are offered to the form as shortcuts.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/ui/forms/menus.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/geometry.h"

class QImage;
class QWidget;

namespace ui {

class TMenuBar;

// Messages a menu window's procedure sees.
enum class TMenuMessage { mmEraseBackground, mmShowWindow, mmClose, mmDestroy };
class TMenuWindow;
using TMenuWindowProc = std::function<std::intptr_t(TMenuWindow& window, TMenuMessage message, std::intptr_t wparam)>;

// The menu animation setting of this process (the platform's system parameter, kept inside the
// process so that nothing outlives it). Drop-downs here never animate whatever it says.
bool MenuAnimation();
void SetMenuAnimation(bool value);

// What the platform adds to an owner-measured bar item's width: twice the menu font's average
// character width (taken over the letters a-z and A-Z, rounded), so that the texts of
// neighbouring bar items never touch.
int OwnerDrawBarItemSpacing();

// The delay before resting on an item opens its sub-items.
inline constexpr int kSubMenuDelayMs = 400;

// Starts one delayed call at a time; the menu bar's default runs on a Qt timer. Tests replace it
// with one they fire themselves.
class TMenuDelayTimer {
public:
    virtual ~TMenuDelayTimer() = default;
    virtual void Start(int delay_ms, std::function<void()> fire) = 0;
    virtual void Stop() = 0;
};

// A window that shows the sub-items of one item: the menu bar (the menu's root) or a drop-down.
class TMenuWindow {
public:
    TMenuWindow(const TMenuWindow&) = delete;
    TMenuWindow& operator=(const TMenuWindow&) = delete;
    virtual ~TMenuWindow();

    bool IsMenuBar() const { return level_ == 0; }
    // 0 for the bar, 1 for a bar item's drop-down, 2 for the sub-items of one of its items ...
    int Level() const { return level_; }
    TMenuItem* MenuItem() const { return parent_item_; }
    TMenuBar& Bar() const { return bar_; }

    // The visible items, in order; positions count these only.
    int ItemCount() const { return static_cast<int>(items_.size()); }
    TMenuItem* ItemAt(int position) const;
    int PositionOf(const TMenuItem* item) const;  // -1 when not shown here
    // An item's rectangle in screen coordinates; empty for a position outside the window.
    TRect ItemRect(int position) const;
    // The selected position, -1 for none.
    int Selected() const { return selected_; }

    // The window's place and size on the screen; moving keeps the size.
    TRect WindowRect() const;
    void SetWindowPos(int left, int top);
    // Masks the window to `region` (window coordinates); nullopt shows all of it again.
    void SetWindowRegion(std::optional<TRect> region);
    std::optional<TRect> WindowRegion() const { return region_; }

    // The canvas over the whole window during a paint (for frames); null outside one.
    TCanvas* WindowCanvas() const { return window_canvas_; }
    // The window whose paint `canvas` belongs to (item or whole-window canvas), or null.
    static TMenuWindow* FromCanvas(const TCanvas& canvas);

    // Window procedure and user data: a menu keeps the procedure it replaced in the user data.
    const TMenuWindowProc& WindowProc() const { return proc_; }
    void SetWindowProc(TMenuWindowProc proc) { proc_ = std::move(proc); }
    const TMenuWindowProc& UserData() const { return user_data_; }
    void SetUserData(TMenuWindowProc data) { user_data_ = std::move(data); }
    std::intptr_t Perform(TMenuMessage message, std::intptr_t wparam);
    // What the platform does with a message: erasing fills the window with the menu colour.
    std::intptr_t DefaultProc(TMenuMessage message, std::intptr_t wparam);

    // Paints now and returns the window's pixels (tests and screenshots).
    const QImage& Render();
    void Invalidate();
    QWidget* Widget() const;

protected:
    friend class TMenuBar;
    friend class MenuSurface;
    TMenuWindow(TMenuBar& bar, TMenuItem* parent_item, int level);
    QWidget* BarHost() const;
    // Measures the items and places them; the window takes the size they need (the bar keeps
    // its width).
    void Layout();
    void Paint();
    int HitTest(TPoint local) const;  // position under a point in window coordinates, or -1
    TOwnerDrawState StateOf(int position) const;
    void SetSelected(int position);
    int ClientOffset() const { return IsMenuBar() ? 0 : kFrame; }

    static constexpr int kFrame = 3;

    TMenuBar& bar_;
    TMenuItem* parent_item_;
    int level_;
    std::vector<TMenuItem*> items_;
    std::vector<TRect> rects_;  // client coordinates
    int selected_ = -1;
    std::unique_ptr<QWidget> widget_;
    std::unique_ptr<QImage> surface_;
    TCanvas* window_canvas_ = nullptr;
    TCanvas* item_canvas_ = nullptr;
    std::optional<TRect> region_;
    TMenuWindowProc proc_;
    TMenuWindowProc user_data_;
};

class TMenuBar {
public:
    // `window` is the form's top-level window the bar sits in; `shortcut` offers a key to the
    // form (true when something ran).
    TMenuBar(QWidget* window, std::function<bool(TShortCut)> shortcut);
    TMenuBar(const TMenuBar&) = delete;
    TMenuBar& operator=(const TMenuBar&) = delete;
    ~TMenuBar();

    TMainMenu* Menu() const { return menu_; }
    // Shows `menu`'s items (null for none); Rebuild measures and places them again.
    void SetMenu(TMainMenu* menu);
    void Rebuild();
    int Height() const;
    void SetGeometry(int left, int top, int width);

    TMenuWindow& Window() const { return *bar_window_; }
    // The open drop-downs, outermost first.
    int PopupCount() const { return static_cast<int>(popups_.size()); }
    TMenuWindow& Popup(int index) const { return *popups_.at(static_cast<std::size_t>(index)); }
    // Window and position an item is shown at (the bar or an open drop-down), or null.
    TMenuWindow* WindowOf(const TMenuItem* item) const;
    bool Tracking() const { return tracking_; }
    int HotItem() const { return hot_; }

    void SetDelayTimer(std::unique_ptr<TMenuDelayTimer> timer);

    // Input, as the bar's and drop-downs' widgets and the key filter deliver it; true when taken.
    bool KeyDown(int key, bool alt, bool ctrl, bool shift);
    bool KeyUp(int key);
    void MouseMove(TMenuWindow& window, TPoint local);
    void MouseDown(TMenuWindow& window, TPoint local);
    void MouseUp(TMenuWindow& window, TPoint local);
    void MouseLeave(TMenuWindow& window);
    // A press outside every menu window ends the tracking.
    void PressOutside();

    // Opens bar item `position`'s drop-down (selecting its first item when `select_first`).
    void OpenBarItem(int position, bool select_first);
    // Closes every drop-down and leaves the tracking.
    void EndTracking();

private:
    friend class TMenuWindow;
    class KeyFilter;
    void OpenSubMenu(TMenuWindow& from, int position, bool select_first);
    void ClosePopupsAbove(int level);
    void Choose(TMenuItem* item);
    void MoveSelection(TMenuWindow& window, int step);
    bool PickByMnemonic(TMenuWindow& window, char letter);
    void BarSelect(int position);
    int OpenBarPosition() const;
    void RepaintAll();

    QWidget* window_;
    std::function<bool(TShortCut)> shortcut_;
    TMainMenu* menu_ = nullptr;
    std::unique_ptr<TMenuWindow> bar_window_;
    std::vector<std::unique_ptr<TMenuWindow>> popups_;
    std::unique_ptr<TMenuDelayTimer> delay_;
    std::unique_ptr<KeyFilter> filter_;
    bool tracking_ = false;
    bool alt_alone_ = false;
    int hot_ = -1;
};

}  // namespace ui
