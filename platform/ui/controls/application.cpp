#include "platform/ui/controls/application.h"

#include <QApplication>
#include <QCoreApplication>
#include <QHelpEvent>
#include <QToolTip>
#include <QWidget>
#include <stdexcept>

#include "platform/ui/core/exceptions.h"
#include "platform/kernel/sinks.h"

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

void TApplication::ProcessMessages() {
    if (QCoreApplication::instance() != nullptr) QCoreApplication::processEvents();
}

}  // namespace ui
