#include "platform/ui/controls/application.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QHelpEvent>
#include <QToolTip>
#include <QWidget>
#include <stdexcept>

#include "platform/kernel/sinks.h"
#include "platform/ui/core/exceptions.h"

namespace ui {

TApplication& Application() {
    static TApplication app;
    return app;
}

void TApplication::HandleException(const std::exception& error) {
    if (dynamic_cast<const EAbort*>(&error) != nullptr) return;
    if (OnException) {
        OnException(error);
        return;
    }
    ShowException(error);
}

void TApplication::ShowException(const std::exception& error) {
    std::string text = error.what();
    if (!text.empty() && text.back() != '.') text += '.';
    kernel::MessageBox(text, title_, kernel::kMbOk | kernel::kMbIconError);
}

void TApplication::CancelHint() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) QToolTip::hideText();
}

void TApplication::ActivateHint(TPoint screen) {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr || !QToolTip::isVisible()) return;
    const QPoint global(screen.X, screen.Y);
    QWidget* under = QApplication::widgetAt(global);
    if (under == nullptr) {
        QToolTip::hideText();
        return;
    }
    // Asked as the toolkit asks when the mouse rests: the control answers with its hint, and
    // one that has none leaves no hint of another behind.
    QHelpEvent ask(QEvent::ToolTip, under->mapFromGlobal(global), global);
    QCoreApplication::sendEvent(under, &ask);
    if (!ask.isAccepted()) QToolTip::hideText();
}

void TApplication::ProcessPaintMessages() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return;
    // A window that a closed dialog uncovered has no pending paint of its own under every
    // window system (the uncovering may not have been reported yet), so each shown window is
    // painted whole.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible()) window->repaint();
    }
}

namespace {

// Swallows the input events sent to any object for its lifetime.
class InputDrop : public QObject {
public:
    InputDrop() { QCoreApplication::instance()->installEventFilter(this); }
    ~InputDrop() override { QCoreApplication::instance()->removeEventFilter(this); }
    InputDrop(const InputDrop&) = delete;
    InputDrop& operator=(const InputDrop&) = delete;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::NonClientAreaMouseButtonPress:
        case QEvent::NonClientAreaMouseButtonRelease:
        case QEvent::NonClientAreaMouseButtonDblClick:
        case QEvent::NonClientAreaMouseMove:
        case QEvent::Enter:
        case QEvent::Leave:
        case QEvent::HoverEnter:
        case QEvent::HoverMove:
        case QEvent::HoverLeave:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TouchCancel:
        case QEvent::TabletPress:
        case QEvent::TabletMove:
        case QEvent::TabletRelease:
            return true;
        default:
            return false;
        }
    }
};

}  // namespace

void TApplication::ProcessRequestMessages() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return;
    // The toolkit counts a close request as input, so input cannot be left queued while the
    // requests are delivered: it is delivered too, and dropped before any control sees it.
    const InputDrop drop;
    QCoreApplication::processEvents(QEventLoop::ExcludeSocketNotifiers);
}

void TApplication::AfterHandlers(std::function<void()> action) {
    if (!InHandler()) {
        Reported(action);
        return;
    }
    after_handlers_.push_back(std::move(action));
}

TApplication::HandlerScope::HandlerScope() { ++Application().handler_depth_; }

TApplication::HandlerScope::~HandlerScope() {
    TApplication& app = Application();
    if (--app.handler_depth_ > 0) return;
    // Run as no handler, so that what they start is not kept for later again.
    while (!app.after_handlers_.empty()) {
        const std::function<void()> action = std::move(app.after_handlers_.front());
        app.after_handlers_.erase(app.after_handlers_.begin());
        Reported(action);
    }
}

void TApplication::ProcessMessages() {
    if (QCoreApplication::instance() != nullptr) QCoreApplication::processEvents();
}

}  // namespace ui
