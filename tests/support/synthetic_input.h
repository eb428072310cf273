// Synthetic mouse and key events for headless UI tests, sent through the application so that
// event filters see them as they see the user's.
#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QString>
#include <QWidget>

namespace test_support {

// A mouse event at `p` in `w`'s coordinates; `buttons` are the buttons held after the event.
inline void SendMouse(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons,
                      Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QMouseEvent e(type, QPointF(p), QPointF(w->mapToGlobal(p)), button, buttons, mods);
    QApplication::sendEvent(w, &e);
}

// A key press; `text` is what the key types (empty for keys that type nothing).
inline void SendKey(QWidget* w, int key, const QString& text = QString(), Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent e(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(w, &e);
}

}  // namespace test_support
