#include "platform/ui/controls/drag_drop.h"

#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <algorithm>

#include "platform/ui/controls/application.h"
#include "platform/ui/controls/screen.h"

namespace ui {

namespace {

struct Registration {
    QPointer<QWidget> widget;
    std::shared_ptr<IDropTarget> target;
};

// The registered drop targets of the process's windows (user-interface thread only).
std::vector<Registration>& Registrations() {
    static std::vector<Registration> list;
    std::erase_if(list, [](const Registration& r) { return r.widget.isNull(); });
    return list;
}

TDragSession*& ActiveSession() {
    static TDragSession* active = nullptr;
    return active;
}

const Registration* RegistrationOf(const QWidget* widget) {
    for (const Registration& r : Registrations()) {
        if (r.widget == widget) return &r;
    }
    return nullptr;
}

// The registered target of the window under the screen point: the innermost registered window
// around the widget there. Windows that let the mouse through (the drag's own feedback windows)
// are looked through by geometry.
std::shared_ptr<IDropTarget> TargetAt(TPoint point) {
    const QPoint global(point.X, point.Y);
    QWidget* hit = QApplication::widgetAt(global);
    if (hit != nullptr && !hit->window()->testAttribute(Qt::WA_TransparentForMouseEvents)) {
        for (QWidget* w = hit; w != nullptr; w = w->parentWidget()) {
            if (const Registration* r = RegistrationOf(w)) return r->target;
        }
        return nullptr;
    }
    std::shared_ptr<IDropTarget> found;
    for (const Registration& r : Registrations()) {
        if (r.widget->isVisible() && r.widget->rect().contains(r.widget->mapFromGlobal(global))) found = r.target;
    }
    return found;
}

TKeyState KeyStateOf(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods) {
    TKeyState s = 0;
    if (buttons & Qt::LeftButton) s |= MK_LBUTTON;
    if (buttons & Qt::RightButton) s |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton) s |= MK_MBUTTON;
    if (mods & Qt::ShiftModifier) s |= MK_SHIFT;
    if (mods & Qt::ControlModifier) s |= MK_CONTROL;
    if (mods & Qt::AltModifier) s |= MK_ALT;
    return s;
}

constexpr TKeyState kButtons = MK_LBUTTON | MK_RBUTTON | MK_MBUTTON;

Qt::CursorShape CursorFor(TDropEffect effect) {
    if (effect & DROPEFFECT_MOVE) return Qt::DragMoveCursor;
    if (effect & DROPEFFECT_COPY) return Qt::DragCopyCursor;
    if (effect & DROPEFFECT_LINK) return Qt::DragLinkCursor;
    return Qt::ForbiddenCursor;
}

// Holds the mouse and keyboard grab of one widget for the length of a drag.
class InputGrab : public QObject {
public:
    explicit InputGrab(QWidget* widget) : widget_(widget) {
        // Headless platforms have no grab; the application-wide filter takes the events anyway.
        const QString platform = QGuiApplication::platformName();
        if (platform == "offscreen" || platform == "minimal") widget_ = nullptr;
        if (widget_ == nullptr || !widget_->isVisible()) return;
        widget_->grabMouse();
        widget_->grabKeyboard();
    }
    ~InputGrab() override {
        if (widget_ == nullptr || !widget_->isVisible()) return;
        widget_->releaseKeyboard();
        widget_->releaseMouse();
    }

private:
    QPointer<QWidget> widget_;
};

}  // namespace

// Takes every mouse and key event of the application while a drag runs.
class DragEventFilter : public QObject {
public:
    explicit DragEventFilter(TDragSession* session) : session_(session) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override { return session_->HandleEvent(event); }

private:
    TDragSession* session_;
};

const char* HResultName(HResult result) {
    switch (result) {
    case HResult::S_OK:
        return "S_OK";
    case HResult::S_FALSE:
        return "S_FALSE";
    case HResult::E_NOTIMPL:
        return "E_NOTIMPL";
    case HResult::E_INVALIDARG:
        return "E_INVALIDARG";
    case HResult::E_UNEXPECTED:
        return "E_UNEXPECTED";
    case HResult::DV_E_FORMATETC:
        return "DV_E_FORMATETC";
    case HResult::OLE_E_ADVISENOTSUPPORTED:
        return "OLE_E_ADVISENOTSUPPORTED";
    case HResult::DRAGDROP_S_DROP:
        return "DRAGDROP_S_DROP";
    case HResult::DRAGDROP_S_CANCEL:
        return "DRAGDROP_S_CANCEL";
    case HResult::DRAGDROP_S_USEDEFAULTCURSORS:
        return "DRAGDROP_S_USEDEFAULTCURSORS";
    case HResult::DRAGDROP_E_ALREADYREGISTERED:
        return "DRAGDROP_E_ALREADYREGISTERED";
    case HResult::DRAGDROP_E_NOTREGISTERED:
        return "DRAGDROP_E_NOTREGISTERED";
    }
    return "?";
}

HResult RegisterDragDrop(TWinControl& window, std::shared_ptr<IDropTarget> target) {
    if (target == nullptr) return HResult::E_INVALIDARG;
    if (RegistrationOf(window.Widget()) != nullptr) return HResult::DRAGDROP_E_ALREADYREGISTERED;
    Registrations().push_back(Registration{window.Widget(), std::move(target)});
    return HResult::S_OK;
}

HResult RevokeDragDrop(TWinControl& window) {
    auto& list = Registrations();
    const auto it =
        std::find_if(list.begin(), list.end(), [&](const Registration& r) { return r.widget == window.Widget(); });
    if (it == list.end()) return HResult::DRAGDROP_E_NOTREGISTERED;
    list.erase(it);
    return HResult::S_OK;
}

// --- TDragSession -----------------------------------------------------------------------------

TDragSession::TDragSession(std::shared_ptr<IDataObject> data, std::shared_ptr<IDropSource> source, TDropEffect allowed)
    : data_(std::move(data)), source_(std::move(source)), allowed_(allowed) {}

TDragSession::~TDragSession() {
    if (!running_) return;
    Guard([&] {
        if (target_ != nullptr) target_->DragLeave();
    });
    Finish(HResult::DRAGDROP_S_CANCEL, DROPEFFECT_NONE);
}

TDragSession* TDragSession::Active() { return ActiveSession(); }

HResult TDragSession::Begin() {
    if (running_ || ActiveSession() != nullptr || QApplication::instance() == nullptr || data_ == nullptr ||
        source_ == nullptr) {
        return HResult::E_UNEXPECTED;
    }
    running_ = true;
    ActiveSession() = this;
    point_ = Mouse().CursorPos();
    key_state_ = MK_LBUTTON | KeyStateOf(Qt::NoButton, QApplication::keyboardModifiers());
    grab_ = std::make_unique<InputGrab>(QApplication::widgetAt(QPoint(point_.X, point_.Y)));
    filter_ = std::make_unique<DragEventFilter>(this);
    qApp->installEventFilter(filter_.get());
    QApplication::setOverrideCursor(QCursor(Qt::ForbiddenCursor));
    cursor_set_ = true;
    Step(point_, key_state_, false);
    return HResult::S_OK;
}

void TDragSession::Tick() {
    if (running_) Step(point_, key_state_, false);
}

bool TDragSession::HandleEvent(QEvent* event) {
    if (!running_) return false;
    switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
        auto* e = static_cast<QMouseEvent*>(event);
        const QPoint g = e->globalPosition().toPoint();
        point_ = TPoint{g.x(), g.y()};
        Mouse().Track(point_);
        key_state_ = KeyStateOf(e->buttons(), e->modifiers());
        Step(point_, key_state_, false);
        return true;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        auto* e = static_cast<QKeyEvent*>(event);
        key_state_ = (key_state_ & kButtons) | KeyStateOf(Qt::NoButton, e->modifiers());
        const bool escape = event->type() == QEvent::KeyPress && e->key() == Qt::Key_Escape;
        Step(point_, key_state_, escape);
        return true;
    }
    case QEvent::ShortcutOverride:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
        return true;  // nothing acts on the keyboard or the wheel while a drag runs
    default:
        return false;
    }
}

void TDragSession::Guard(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& e) {
        // A failing source or target ends the drag as a cancel; the error goes to the report.
        target_.reset();
        if (running_) Finish(HResult::DRAGDROP_S_CANCEL, DROPEFFECT_NONE);
        Application().HandleException(e);
    }
}

void TDragSession::Step(TPoint point, TKeyState key_state, bool escape) {
    Guard([&] {
        const HResult answer = source_->QueryContinueDrag(escape, key_state);
        if (!running_) return;
        if (answer == HResult::DRAGDROP_S_CANCEL) {
            if (target_ != nullptr) target_->DragLeave();
            Finish(HResult::DRAGDROP_S_CANCEL, DROPEFFECT_NONE);
        } else if (answer == HResult::DRAGDROP_S_DROP) {
            // A target that refused the last step gets a leave instead of the drop.
            TDropEffect effect = DROPEFFECT_NONE;
            if (target_ != nullptr && last_effect_ != DROPEFFECT_NONE) {
                effect = allowed_;
                target_->Drop(data_, key_state, point, effect);
                effect &= allowed_;
            } else if (target_ != nullptr) {
                target_->DragLeave();
            }
            Finish(HResult::DRAGDROP_S_DROP, effect);
        } else {
            Over(point, key_state);
        }
    });
}

void TDragSession::Over(TPoint point, TKeyState key_state) {
    std::shared_ptr<IDropTarget> under = TargetAt(point);
    TDropEffect effect = allowed_;
    if (under != target_) {
        if (target_ != nullptr) target_->DragLeave();
        target_ = under;
        if (target_ != nullptr) target_->DragEnter(data_, key_state, point, effect);
    } else if (target_ != nullptr) {
        target_->DragOver(key_state, point, effect);
    }
    last_effect_ = target_ != nullptr ? (effect & allowed_) : DROPEFFECT_NONE;
    if (source_->GiveFeedback(last_effect_) == HResult::DRAGDROP_S_USEDEFAULTCURSORS && cursor_set_) {
        QApplication::changeOverrideCursor(QCursor(CursorFor(last_effect_)));
    }
}

void TDragSession::Finish(HResult result, TDropEffect effect) {
    if (!running_) return;
    running_ = false;
    result_ = result;
    effect_ = effect;
    target_.reset();
    if (filter_ != nullptr) qApp->removeEventFilter(filter_.get());
    filter_.reset();
    grab_.reset();
    if (cursor_set_) QApplication::restoreOverrideCursor();
    cursor_set_ = false;
    if (ActiveSession() == this) ActiveSession() = nullptr;
    if (OnFinished) OnFinished();
}

HResult DoDragDrop(std::shared_ptr<IDataObject> data, std::shared_ptr<IDropSource> source, TDropEffect allowed,
                   TDropEffect& effect) {
    effect = DROPEFFECT_NONE;
    TDragSession session(std::move(data), std::move(source), allowed);
    QEventLoop loop;
    session.OnFinished = [&loop] { loop.quit(); };
    const HResult begun = session.Begin();
    if (begun != HResult::S_OK) return begun;
    if (session.Running()) {
        QTimer ticks;
        QObject::connect(&ticks, &QTimer::timeout, &ticks, [&session] { session.Tick(); });
        ticks.start(kDragTickMs);
        loop.exec();
    }
    effect = session.Effect();
    return session.Result();
}

}  // namespace ui
