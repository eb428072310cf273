#include "platform/ui/forms/menu_bar.h"

#include <QEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cctype>

#include "platform/ui/controls/application.h"
#include "platform/ui/controls/control_widget.h"
#include "platform/ui/controls/screen.h"
#include "platform/ui/forms/actions.h"
#include "platform/ui/graphics/draw_text.h"

namespace ui {

namespace {

constexpr int VK_MENU = 0x12;
constexpr int VK_F10 = 0x79;

std::vector<TMenuWindow*>& LiveMenuWindows() {
    static std::vector<TMenuWindow*> windows;
    return windows;
}

class QtDelayTimer : public TMenuDelayTimer {
public:
    QtDelayTimer() {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
            auto fire = std::move(fire_);
            fire_ = nullptr;
            if (fire) Guarded(fire);
        });
    }
    void Start(int delay_ms, std::function<void()> fire) override {
        fire_ = std::move(fire);
        timer_.start(delay_ms);
    }
    void Stop() override {
        timer_.stop();
        fire_ = nullptr;
    }

private:
    QTimer timer_;
    std::function<void()> fire_;
};

int AverageCharWidth(TCanvas& canvas) {
    static const char* const kLetters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    return (canvas.TextWidth(kLetters) + 26) / 52;
}

bool Selectable(const TMenuItem* item) { return item != nullptr && !item->IsLine(); }

// The plain look of items that do not draw themselves.
void DefaultMeasure(const TMenuItem* item, TCanvas& canvas, bool bar, int& width, int& height) {
    if (item->IsLine()) {
        width = 0;
        height = 9;
        return;
    }
    const std::string text = StripHotkey(item->Caption());
    const int text_height = canvas.TextHeight("Wg");
    if (bar) {
        width = canvas.TextWidth(text) + 12;
        height = std::max(height, text_height + 6);
        return;
    }
    width = 20 + canvas.TextWidth(text) + 20;
    if (item->ShortCut() != scNone) width += 20 + canvas.TextWidth(ShortCutToText(item->ShortCut()));
    height = text_height + 6;
}

void DefaultDraw(const TMenuItem* item, TCanvas& canvas, const TRect& rect, TOwnerDrawState state, bool bar) {
    const bool selected = (state & (odSelected | odHotLight)) != 0;
    canvas.Brush().SetColor(selected ? clHighlight : clMenu);
    canvas.FillRect(rect);
    if (item->IsLine()) {
        const int y = rect.Top + rect.Height() / 2;
        canvas.Brush().SetColor(clBtnShadow);
        canvas.FillRect(TRect{rect.Left + 1, y - 1, rect.Right - 1, y});
        canvas.Brush().SetColor(clBtnHighlight);
        canvas.FillRect(TRect{rect.Left + 1, y, rect.Right - 1, y + 1});
        return;
    }
    canvas.Font().SetColor((state & odDisabled) != 0 ? clGrayText : selected ? clHighlightText : clMenuText);
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    TRect text_rect = rect;
    const std::string text = StripHotkey(item->Caption());
    if (bar) {
        DrawText(canvas, text, text_rect,
                 TDrawTextFlags::dtCenter | TDrawTextFlags::dtVCenter | TDrawTextFlags::dtSingleLine);
        return;
    }
    text_rect.Left += 20;
    DrawText(canvas, text, text_rect, TDrawTextFlags::dtVCenter | TDrawTextFlags::dtSingleLine);
    if (item->ShortCut() != scNone) {
        TRect key_rect = rect;
        key_rect.Right -= 20;
        DrawText(canvas, ShortCutToText(item->ShortCut()), key_rect,
                 TDrawTextFlags::dtRight | TDrawTextFlags::dtVCenter | TDrawTextFlags::dtSingleLine);
    }
    const TColor mark = canvas.Font().Color();
    if ((state & odChecked) != 0) {
        canvas.Brush().SetColor(mark);
        const int y = rect.Top + rect.Height() / 2;
        canvas.FillRect(TRect{rect.Left + 7, y - 3, rect.Left + 13, y + 3});
    }
    if (item->Count() > 0) {
        canvas.Brush().SetColor(mark);
        canvas.Pen().SetColor(mark);
        const int y = rect.Top + rect.Height() / 2;
        canvas.Polygon({TPoint{rect.Right - 12, y - 4}, TPoint{rect.Right - 8, y}, TPoint{rect.Right - 12, y + 4}});
    }
}

bool& AnimationSetting() {
    static bool animation = true;
    return animation;
}

}  // namespace

bool MenuAnimation() { return AnimationSetting(); }
void SetMenuAnimation(bool value) { AnimationSetting() = value; }

int OwnerDrawBarItemSpacing() {
    TCanvas canvas;
    canvas.SetFont(Screen().MenuFont());
    return 2 * AverageCharWidth(canvas);
}

// The widget of a menu window: paints from the window's surface and hands mouse input to the
// bar's tracking.
class MenuSurface : public QWidget {
public:
    MenuSurface(TMenuWindow& window, QWidget* parent) : QWidget(parent), window_(window) {
        setAttribute(Qt::WA_NoSystemBackground);
        setAttribute(Qt::WA_ShowWithoutActivating);
        setMouseTracking(true);
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        Guarded([&] { window_.Paint(); });
        QPainter painter(this);
        painter.setClipRegion(event->region());
        painter.drawImage(0, 0, *window_.surface_);
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        Track(e);
        const TPoint p = Local(e);
        Guarded([&] { window_.bar_.MouseMove(window_, p); });
    }
    void mousePressEvent(QMouseEvent* e) override {
        Track(e);
        if (e->button() != Qt::LeftButton) return;
        const TPoint p = Local(e);
        Guarded([&] { window_.bar_.MouseDown(window_, p); });
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        Track(e);
        if (e->button() != Qt::LeftButton) return;
        const TPoint p = Local(e);
        Guarded([&] { window_.bar_.MouseUp(window_, p); });
    }
    void leaveEvent(QEvent*) override {
        Guarded([&] { window_.bar_.MouseLeave(window_); });
    }

private:
    static void Track(QMouseEvent* e) {
        const QPoint g = e->globalPosition().toPoint();
        Mouse().Track(TPoint{g.x(), g.y()});
    }
    static TPoint Local(QMouseEvent* e) {
        const QPoint p = e->position().toPoint();
        return TPoint{p.x(), p.y()};
    }
    TMenuWindow& window_;
};

// --- TMenuWindow ---

TMenuWindow::TMenuWindow(TMenuBar& bar, TMenuItem* parent_item, int level)
    : bar_(bar), parent_item_(parent_item), level_(level) {
    if (level_ == 0) {
        widget_ = std::make_unique<MenuSurface>(*this, bar_.window_);
    } else {
        widget_ = std::make_unique<MenuSurface>(*this, nullptr);
        widget_->setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus |
                                Qt::WindowStaysOnTopHint | Qt::X11BypassWindowManagerHint);
    }
    LiveMenuWindows().push_back(this);
}

TMenuWindow::~TMenuWindow() {
    auto& list = LiveMenuWindows();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

TMenuItem* TMenuWindow::ItemAt(int position) const {
    if (position < 0 || position >= ItemCount()) return nullptr;
    return items_[static_cast<std::size_t>(position)];
}

int TMenuWindow::PositionOf(const TMenuItem* item) const {
    const auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

TRect TMenuWindow::ItemRect(int position) const {
    if (position < 0 || position >= ItemCount()) return {};
    const TRect r = rects_[static_cast<std::size_t>(position)];
    const QPoint origin = widget_->mapToGlobal(QPoint(ClientOffset(), ClientOffset()));
    return TRect{r.Left + origin.x(), r.Top + origin.y(), r.Right + origin.x(), r.Bottom + origin.y()};
}

TRect TMenuWindow::WindowRect() const {
    const QPoint origin = widget_->mapToGlobal(QPoint(0, 0));
    return Bounds(origin.x(), origin.y(), widget_->width(), widget_->height());
}

void TMenuWindow::SetWindowPos(int left, int top) {
    if (IsMenuBar()) {
        const QPoint local = widget_->parentWidget()->mapFromGlobal(QPoint(left, top));
        widget_->move(local);
    } else {
        widget_->move(left, top);
    }
}

void TMenuWindow::SetWindowRegion(std::optional<TRect> region) {
    region_ = region;
    if (region_) {
        widget_->setMask(
            QRegion(region_->Left, region_->Top, std::max(0, region_->Width()), std::max(0, region_->Height())));
    } else {
        widget_->clearMask();
    }
    widget_->update();
}

TMenuWindow* TMenuWindow::FromCanvas(const TCanvas& canvas) {
    for (TMenuWindow* w : LiveMenuWindows()) {
        if (w->window_canvas_ == &canvas || w->item_canvas_ == &canvas) return w;
    }
    return nullptr;
}

std::intptr_t TMenuWindow::Perform(TMenuMessage message, std::intptr_t wparam) {
    if (proc_) return proc_(*this, message, wparam);
    return DefaultProc(message, wparam);
}

std::intptr_t TMenuWindow::DefaultProc(TMenuMessage message, std::intptr_t) {
    if (message == TMenuMessage::mmEraseBackground && item_canvas_ != nullptr) {
        item_canvas_->Brush().SetColor(clMenu);
        item_canvas_->FillRect(TRect{0, 0, item_canvas_->Width(), item_canvas_->Height()});
        return 1;
    }
    return 0;
}

QWidget* TMenuWindow::Widget() const { return widget_.get(); }

void TMenuWindow::Invalidate() { widget_->update(); }

const QImage& TMenuWindow::Render() {
    Paint();
    return *surface_;
}

void TMenuWindow::Layout() {
    items_.clear();
    rects_.clear();
    if (parent_item_ != nullptr) {
        for (int i = 0; i < parent_item_->Count(); ++i) {
            if (parent_item_->Items(i)->Visible()) items_.push_back(parent_item_->Items(i));
        }
    }
    const TMainMenu* menu = bar_.Menu();
    const bool owner_draw = menu != nullptr && menu->OwnerDraw();
    TCanvas measure;
    const TSize button = MenuBarButtonSize();
    const int spacing = IsMenuBar() ? OwnerDrawBarItemSpacing() : 0;
    std::vector<TSize> sizes;
    for (TMenuItem* item : items_) {
        measure.SetFont(Screen().MenuFont());
        int width = IsMenuBar() ? button.cx : 0;
        int height = IsMenuBar() ? button.cy : 16;
        if (owner_draw && item->OnMeasureItem) {
            Guarded([&] { item->OnMeasureItem(item, measure, width, height); });
            if (IsMenuBar()) width = std::max(0, width) + spacing;
        } else {
            DefaultMeasure(item, measure, IsMenuBar(), width, height);
        }
        sizes.push_back(TSize{std::max(0, width), std::max(0, height)});
    }
    if (IsMenuBar()) {
        int x = 0;
        int height = button.cy;
        for (const TSize& s : sizes) height = std::max(height, s.cy);
        for (const TSize& s : sizes) {
            rects_.push_back(TRect{x, 0, x + s.cx, height});
            x += s.cx;
        }
        widget_->resize(widget_->width(), height);
        return;
    }
    // Columns: a break starts a new one; every item of a column is as wide as its widest.
    int x = 0;
    int y = 0;
    int bottom = 0;
    std::size_t column_start = 0;
    int column_width = 0;
    auto close_column = [&](std::size_t end) {
        for (std::size_t i = column_start; i < end; ++i) rects_[i].Right = rects_[i].Left + column_width;
        x += column_width;
    };
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (items_[i]->Break() && i > 0) {
            close_column(i);
            column_start = i;
            column_width = 0;
            y = 0;
        }
        rects_.push_back(TRect{x, y, x + sizes[i].cx, y + sizes[i].cy});
        column_width = std::max(column_width, sizes[i].cx);
        y += sizes[i].cy;
        bottom = std::max(bottom, y);
    }
    close_column(items_.size());
    widget_->resize(x + 2 * kFrame, bottom + 2 * kFrame);
}

TOwnerDrawState TMenuWindow::StateOf(int position) const {
    const TMenuItem* item = ItemAt(position);
    TOwnerDrawState state = 0;
    if (position == selected_) state |= odSelected;
    if (IsMenuBar() && position == bar_.HotItem() && !bar_.Tracking()) state |= odHotLight;
    if (!item->Enabled()) state |= odDisabled | odGrayed;
    if (item->Checked()) state |= odChecked;
    if (item->Default()) state |= odDefault;
    return state;
}

void TMenuWindow::SetSelected(int position) {
    if (position == selected_) return;
    selected_ = position;
    Invalidate();
}

int TMenuWindow::HitTest(TPoint local) const {
    const TPoint p{local.X - ClientOffset(), local.Y - ClientOffset()};
    for (std::size_t i = 0; i < rects_.size(); ++i) {
        if (rects_[i].Contains(p)) return static_cast<int>(i);
    }
    return -1;
}

void TMenuWindow::Paint() {
    const QSize size = widget_->size();
    if (!surface_ || surface_->size() != size) {
        surface_ = std::make_unique<QImage>(size, QImage::Format_ARGB32);
        surface_->fill(Qt::white);
    }
    if (size.isEmpty()) return;
    TCanvas whole(surface_.get());
    const int offset = ClientOffset();
    const int bpl = static_cast<int>(surface_->bytesPerLine());
    TCanvas client(surface_->bits() + offset * bpl + offset * 4, std::max(0, size.width() - 2 * offset),
                   std::max(0, size.height() - 2 * offset), bpl, TPixelFormat::pf32bit);
    window_canvas_ = &whole;
    item_canvas_ = &client;
    if (!IsMenuBar()) {
        // The platform's frame: a dark line around, the menu colour inside.
        whole.Brush().SetColor(clMenu);
        whole.FillRect(TRect{0, 0, size.width(), size.height()});
        whole.Brush().SetColor(clBtnShadow);
        whole.FrameRect(TRect{0, 0, size.width(), size.height()});
    }
    Perform(TMenuMessage::mmEraseBackground, 0);
    const TMainMenu* menu = bar_.Menu();
    const bool owner_draw = menu != nullptr && menu->OwnerDraw();
    for (int i = 0; i < ItemCount(); ++i) {
        TMenuItem* item = ItemAt(i);
        const TRect rect = rects_[static_cast<std::size_t>(i)];
        const TOwnerDrawState state = StateOf(i);
        client.SetFont(Screen().MenuFont());
        client.Brush().SetColor(clMenu);
        client.Pen().SetColor(clBlack);
        Guarded([&] {
            if (owner_draw && item->OnAdvancedDrawItem) {
                item->OnAdvancedDrawItem(item, client, rect, state);
            } else if (owner_draw && item->OnDrawItem) {
                item->OnDrawItem(item, client, rect, (state & odSelected) != 0);
            } else {
                DefaultDraw(item, client, rect, state, IsMenuBar());
            }
        });
    }
    window_canvas_ = nullptr;
    item_canvas_ = nullptr;
}

// --- the key filter ---

// Sees every key press of the form's window and of the drop-downs before the focused control
// does, and every mouse press, so that a press elsewhere ends the tracking.
class TMenuBar::KeyFilter : public QObject {
public:
    explicit KeyFilter(TMenuBar& bar) : bar_(bar) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::MouseButtonPress) return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget == nullptr) return false;
        const bool ours = Ours(widget);
        if (type == QEvent::MouseButtonPress) {
            if (bar_.Tracking() && !ours) Guarded([&] { bar_.PressOutside(); });
            return false;
        }
        if (!ours && widget->window() != bar_.window_) return false;
        auto* key_event = static_cast<QKeyEvent*>(event);
        bool taken = false;
        Guarded([&] {
            const int key = key_event->key() == Qt::Key_Alt ? VK_MENU : control_detail::VirtualKeyOf(key_event->key());
            const Qt::KeyboardModifiers mods = key_event->modifiers();
            if (type == QEvent::KeyRelease) {
                if (!key_event->isAutoRepeat()) taken = bar_.KeyUp(key);
                return;
            }
            taken = bar_.KeyDown(key, (mods & Qt::AltModifier) != 0, (mods & Qt::ControlModifier) != 0,
                                 (mods & Qt::ShiftModifier) != 0);
        });
        return taken;
    }

private:
    bool Ours(QWidget* widget) const {
        for (TMenuWindow* w : LiveMenuWindows()) {
            if (&w->Bar() == &bar_ && (w->Widget() == widget || w->Widget()->isAncestorOf(widget))) return true;
        }
        return false;
    }
    TMenuBar& bar_;
};

// --- TMenuBar ---

TMenuBar::TMenuBar(QWidget* window, std::function<bool(TShortCut)> shortcut)
    : window_(window),
      shortcut_(std::move(shortcut)),
      delay_(std::make_unique<QtDelayTimer>()),
      filter_(std::make_unique<KeyFilter>(*this)) {
    bar_window_.reset(new TMenuWindow(*this, nullptr, 0));
    qApp->installEventFilter(filter_.get());
}

TMenuBar::~TMenuBar() {
    qApp->removeEventFilter(filter_.get());
    delay_->Stop();
    popups_.clear();
}

void TMenuBar::SetMenu(TMainMenu* menu) {
    EndTracking();
    menu_ = menu;
    bar_window_->parent_item_ = menu_ != nullptr ? menu_->Items() : nullptr;
    Rebuild();
}

void TMenuBar::Rebuild() {
    bar_window_->Layout();
    bar_window_->widget_->setVisible(menu_ != nullptr);
    for (auto& popup : popups_) popup->Layout();
    RepaintAll();
}

int TMenuBar::Height() const { return menu_ != nullptr ? bar_window_->widget_->height() : 0; }

void TMenuBar::SetGeometry(int left, int top, int width) {
    bar_window_->widget_->setGeometry(left, top, width, bar_window_->widget_->height());
}

TMenuWindow* TMenuBar::WindowOf(const TMenuItem* item) const {
    if (bar_window_->PositionOf(item) >= 0) return bar_window_.get();
    for (const auto& popup : popups_) {
        if (popup->PositionOf(item) >= 0) return popup.get();
    }
    return nullptr;
}

void TMenuBar::SetDelayTimer(std::unique_ptr<TMenuDelayTimer> timer) {
    delay_->Stop();
    delay_ = std::move(timer);
}

void TMenuBar::RepaintAll() {
    bar_window_->Invalidate();
    for (auto& popup : popups_) popup->Invalidate();
}

int TMenuBar::OpenBarPosition() const { return popups_.empty() ? -1 : bar_window_->selected_; }

void TMenuBar::BarSelect(int position) {
    tracking_ = true;
    hot_ = -1;
    bar_window_->SetSelected(position);
    bar_window_->Invalidate();
}

bool TMenuBar::KeyDown(int key, bool alt, bool ctrl, bool shift) {
    if (key == VK_MENU) {
        alt_alone_ = true;
        return false;
    }
    alt_alone_ = false;
    if (menu_ == nullptr || key == 0) return false;
    const int count = bar_window_->ItemCount();
    const bool letter = (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9');
    auto bar_mnemonic = [&](char c) {
        for (int i = 0; i < count; ++i) {
            if (GetHotkey(bar_window_->ItemAt(i)->Caption()) == c) return i;
        }
        return -1;
    };
    if (!tracking_) {
        TShortCut sc = static_cast<TShortCut>(key);
        if (alt) sc |= scAlt;
        if (ctrl) sc |= scCtrl;
        if (shift) sc |= scShift;
        if (shortcut_ && (alt || ctrl || key >= 0x70 || !letter) && shortcut_(sc)) return true;
        if (key == VK_F10 && !alt && !ctrl && !shift && count > 0) {
            BarSelect(0);
            return true;
        }
        if (alt && !ctrl && letter) {
            const int pos = bar_mnemonic(static_cast<char>(key));
            if (pos >= 0) {
                OpenBarItem(pos, true);
                return true;
            }
        }
        return false;
    }
    const int bar_pos = bar_window_->selected_;
    auto bar_step = [&](int step) { return count == 0 ? -1 : (std::max(bar_pos, 0) + step + count) % count; };
    if (key == VK_F10 || (alt && letter && popups_.empty() && bar_mnemonic(static_cast<char>(key)) < 0)) {
        EndTracking();
        return true;
    }
    if (popups_.empty()) {
        switch (key) {
        case VK_LEFT:
            BarSelect(bar_step(-1));
            break;
        case VK_RIGHT:
            BarSelect(bar_step(1));
            break;
        case VK_DOWN:
        case VK_UP:
        case VK_RETURN:
            if (bar_pos >= 0) OpenBarItem(bar_pos, true);
            break;
        case VK_ESCAPE:
            EndTracking();
            break;
        default:
            if (letter) {
                const int pos = bar_mnemonic(static_cast<char>(key));
                if (pos >= 0) OpenBarItem(pos, true);
            }
            break;
        }
        return true;
    }
    TMenuWindow& top = *popups_.back();
    TMenuItem* selected = top.ItemAt(top.selected_);
    switch (key) {
    case VK_UP:
        MoveSelection(top, -1);
        break;
    case VK_DOWN:
        MoveSelection(top, 1);
        break;
    case VK_RIGHT:
        if (selected != nullptr && selected->Count() > 0 && selected->Enabled()) {
            OpenSubMenu(top, top.selected_, true);
        } else {
            OpenBarItem(bar_step(1), true);
        }
        break;
    case VK_LEFT:
        if (popups_.size() > 1) {
            ClosePopupsAbove(static_cast<int>(popups_.size()) - 1);
        } else {
            OpenBarItem(bar_step(-1), true);
        }
        break;
    case VK_RETURN:
        if (selected == nullptr || !selected->Enabled() || selected->IsLine()) break;
        if (selected->Count() > 0) {
            OpenSubMenu(top, top.selected_, true);
        } else {
            Choose(selected);
        }
        break;
    case VK_ESCAPE:
        ClosePopupsAbove(static_cast<int>(popups_.size()) - 1);
        RepaintAll();
        break;
    default:
        if (letter) PickByMnemonic(top, static_cast<char>(key));
        break;
    }
    return true;
}

bool TMenuBar::KeyUp(int key) {
    if (key != VK_MENU) return false;
    const bool alone = alt_alone_;
    alt_alone_ = false;
    if (!alone || menu_ == nullptr) return false;
    if (tracking_) {
        EndTracking();
    } else if (bar_window_->ItemCount() > 0) {
        BarSelect(0);
    }
    return true;
}

void TMenuBar::MoveSelection(TMenuWindow& window, int step) {
    const int count = window.ItemCount();
    if (count == 0) return;
    int pos = window.selected_;
    for (int tries = 0; tries < count; ++tries) {
        pos = pos < 0 ? (step > 0 ? 0 : count - 1) : (pos + step + count) % count;
        if (Selectable(window.ItemAt(pos))) {
            window.SetSelected(pos);
            return;
        }
    }
}

bool TMenuBar::PickByMnemonic(TMenuWindow& window, char letter) {
    for (int i = 0; i < window.ItemCount(); ++i) {
        TMenuItem* item = window.ItemAt(i);
        if (GetHotkey(item->Caption()) != letter || !item->Enabled()) continue;
        window.SetSelected(i);
        if (item->Count() > 0) {
            OpenSubMenu(window, i, true);
        } else {
            Choose(item);
        }
        return true;
    }
    return false;
}

void TMenuBar::MouseMove(TMenuWindow& window, TPoint local) {
    const int pos = window.HitTest(local);
    if (window.IsMenuBar()) {
        if (!popups_.empty()) {
            if (pos >= 0 && pos != OpenBarPosition()) OpenBarItem(pos, false);
            return;
        }
        if (tracking_) {
            if (pos >= 0) BarSelect(pos);
            return;
        }
        if (pos != hot_) {
            hot_ = pos;
            bar_window_->Invalidate();
        }
        return;
    }
    if (pos < 0 || pos == window.selected_) return;
    window.SetSelected(pos);
    delay_->Stop();
    const int level = window.Level();
    TMenuItem* item = window.ItemAt(pos);
    const bool deeper_open = static_cast<int>(popups_.size()) > level;
    if (!deeper_open && item->Count() == 0) return;
    delay_->Start(kSubMenuDelayMs, [this, level, pos] {
        if (static_cast<int>(popups_.size()) < level) return;
        TMenuWindow& w = *popups_[static_cast<std::size_t>(level - 1)];
        if (w.selected_ != pos) return;
        ClosePopupsAbove(level);
        TMenuItem* it = w.ItemAt(pos);
        if (it != nullptr && it->Count() > 0 && it->Enabled()) OpenSubMenu(w, pos, false);
    });
}

void TMenuBar::MouseDown(TMenuWindow& window, TPoint local) {
    const int pos = window.HitTest(local);
    if (pos < 0) return;
    if (window.IsMenuBar()) {
        if (!popups_.empty() && OpenBarPosition() == pos) {
            EndTracking();
        } else {
            OpenBarItem(pos, false);
        }
        return;
    }
    TMenuItem* item = window.ItemAt(pos);
    if (item->Count() > 0 && item->Enabled()) {
        delay_->Stop();
        window.SetSelected(pos);
        OpenSubMenu(window, pos, false);
    }
}

void TMenuBar::MouseUp(TMenuWindow& window, TPoint local) {
    if (window.IsMenuBar()) return;
    TMenuItem* item = window.ItemAt(window.HitTest(local));
    if (item == nullptr || !item->Enabled() || item->IsLine() || item->Count() > 0) return;
    Choose(item);
}

void TMenuBar::MouseLeave(TMenuWindow& window) {
    if (window.IsMenuBar() && !tracking_ && hot_ >= 0) {
        hot_ = -1;
        bar_window_->Invalidate();
    }
}

void TMenuBar::PressOutside() { EndTracking(); }

void TMenuBar::OpenBarItem(int position, bool select_first) {
    TMenuItem* item = bar_window_->ItemAt(position);
    if (item == nullptr) return;
    delay_->Stop();
    ClosePopupsAbove(0);
    BarSelect(position);
    if (item->Count() == 0) {
        if (item->Enabled()) Choose(item);
        return;
    }
    OpenSubMenu(*bar_window_, position, select_first);
}

void TMenuBar::OpenSubMenu(TMenuWindow& from, int position, bool select_first) {
    TMenuItem* item = from.ItemAt(position);
    if (item == nullptr || item->Count() == 0 || !item->Enabled()) return;
    const TRect anchor = from.ItemRect(position);
    const int level = from.Level() + 1;
    ClosePopupsAbove(from.Level());
    from.SetSelected(position);
    // Actions bring their items up to date before anyone sees them.
    for (int i = 0; i < item->Count(); ++i) {
        if (TBasicAction* action = item->Items(i)->Action()) Guarded([&] { action->Update(); });
    }
    // An update may have changed the tree; the item must still be where it was.
    if (from.ItemAt(position) != item) return;
    std::unique_ptr<TMenuWindow> popup(new TMenuWindow(*this, item, level));
    popup->Layout();
    if (from.IsMenuBar()) {
        popup->SetWindowPos(anchor.Left, anchor.Bottom);
    } else {
        popup->SetWindowPos(anchor.Right - 20, anchor.Top - TMenuWindow::kFrame);
    }
    TMenuWindow& shown = *popup;
    popups_.push_back(std::move(popup));
    shown.widget_->show();
    shown.Perform(TMenuMessage::mmShowWindow, 1);
    if (select_first) MoveSelection(shown, 1);
    RepaintAll();
}

void TMenuBar::ClosePopupsAbove(int level) {
    while (static_cast<int>(popups_.size()) > level) {
        std::unique_ptr<TMenuWindow> popup = std::move(popups_.back());
        popups_.pop_back();
        popup->Perform(TMenuMessage::mmShowWindow, 0);
        popup->widget_->hide();
        popup->Perform(TMenuMessage::mmDestroy, 0);
    }
    if (level > 0 && static_cast<int>(popups_.size()) == level) popups_.back()->Invalidate();
}

void TMenuBar::EndTracking() {
    delay_->Stop();
    ClosePopupsAbove(0);
    const bool changed = tracking_ || bar_window_->selected_ >= 0 || hot_ >= 0;
    tracking_ = false;
    alt_alone_ = false;
    hot_ = -1;
    bar_window_->selected_ = -1;
    if (changed) bar_window_->Invalidate();
}

void TMenuBar::Choose(TMenuItem* item) {
    EndTracking();
    Guarded([item] { item->Click(); });
}

}  // namespace ui
