#include "tests/support/input.h"

#include <QCoreApplication>
#include <QInputDevice>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointingDevice>
#include <QWheelEvent>
#include <QWidget>

#include "tests/support/render.h"

namespace test_support {

namespace {

// The devices the events come from, made after Qt's device list exists so that they are
// freed before it; the events then never depend on Qt making default devices.
const QPointingDevice* TestMouse() {
    (void)QInputDevice::devices();
    static const QPointingDevice mouse("test mouse", 1001, QInputDevice::DeviceType::Mouse,
                                       QPointingDevice::PointerType::Generic, QInputDevice::Capability::Position, 1, 3);
    return &mouse;
}
const QInputDevice* TestKeyboard() {
    (void)QInputDevice::devices();
    static const QInputDevice keyboard("test keyboard", 1002, QInputDevice::DeviceType::Keyboard);
    return &keyboard;
}

QPointF Local(ui::TPoint p) { return QPointF(p.X, p.Y); }
QPointF Global(ui::TControl& control, ui::TPoint p) { return control.Widget()->mapToGlobal(Local(p)); }

void SendMouse(ui::TControl& control, QEvent::Type type, ui::TPoint p, Qt::MouseButton button, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers mods);

void SendMouse(ui::TControl& control, QEvent::Type type, ui::TPoint p, Qt::MouseButton button, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers mods) {
    test_support::SendMouse(control.Widget(), type, QPoint(p.X, p.Y), button, buttons, mods);
}

}  // namespace

void SendMouse(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers mods) {
    EnsureApplication();
    QMouseEvent e(type, QPointF(p), QPointF(w->mapToGlobal(p)), button, buttons, mods, TestMouse());
    QCoreApplication::sendEvent(w, &e);
}

void SendKey(QWidget* w, int key, const QString& text, Qt::KeyboardModifiers mods) {
    EnsureApplication();
    QKeyEvent e(QEvent::KeyPress, key, mods, 0, 0, 0, text, false, 1, TestKeyboard());
    QCoreApplication::sendEvent(w, &e);
}

void Click(ui::TControl& control, ui::TPoint p, Qt::KeyboardModifiers mods) {
    MousePress(control, p, Qt::LeftButton, mods);
    SendMouse(control, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton, mods);
}

void MousePress(ui::TControl& control, ui::TPoint p, Qt::MouseButton button, Qt::KeyboardModifiers mods) {
    SendMouse(control, QEvent::MouseButtonPress, p, button, button, mods);
}

void MouseRelease(ui::TControl& control, ui::TPoint p, Qt::MouseButton button) {
    SendMouse(control, QEvent::MouseButtonRelease, p, button, Qt::NoButton, Qt::NoModifier);
}

void MouseMove(ui::TControl& control, ui::TPoint p, Qt::MouseButtons buttons) {
    SendMouse(control, QEvent::MouseMove, p, Qt::NoButton, buttons, Qt::NoModifier);
}

void Key(ui::TControl& control, int qt_key, Qt::KeyboardModifiers mods, const QString& text) {
    EnsureApplication();
    QKeyEvent press(QEvent::KeyPress, qt_key, mods, 0, 0, 0, text, false, 1, TestKeyboard());
    QCoreApplication::sendEvent(control.Widget(), &press);
    QKeyEvent release(QEvent::KeyRelease, qt_key, mods, 0, 0, 0, text, false, 1, TestKeyboard());
    QCoreApplication::sendEvent(control.Widget(), &release);
}

void Type(ui::TControl& control, char ch) {
    const char upper = (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 'a' + 'A') : ch;
    Key(control, upper, Qt::NoModifier, QString(QChar(ch)));
}

bool Wheel(ui::TControl& control, ui::TPoint p, int notches) {
    EnsureApplication();
    QWheelEvent e(Local(p), Global(control, p), QPoint(), QPoint(0, notches * 120), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false, Qt::MouseEventNotSynthesized, TestMouse());
    e.setAccepted(false);
    QCoreApplication::sendEvent(control.Widget(), &e);
    return e.isAccepted();
}

void MouseAtScreen(ui::TControl& control, QEvent::Type type, ui::TPoint screen_pos, Qt::MouseButton button,
                   Qt::MouseButtons buttons) {
    QWidget* w = control.Widget();
    SendMouse(w, type, w->mapFromGlobal(QPoint(screen_pos.X, screen_pos.Y)), button, buttons);
}

void Drag(ui::TControl& control, ui::TPoint from, int dx, int dy) {
    const ui::TPoint s = control.ClientToScreen(from);
    MouseAtScreen(control, QEvent::MouseButtonPress, s, Qt::LeftButton, Qt::LeftButton);
    MouseAtScreen(control, QEvent::MouseMove, ui::TPoint{s.X + dx / 2, s.Y + dy / 2}, Qt::NoButton, Qt::LeftButton);
    MouseAtScreen(control, QEvent::MouseMove, ui::TPoint{s.X + dx, s.Y + dy}, Qt::NoButton, Qt::LeftButton);
    MouseAtScreen(control, QEvent::MouseButtonRelease, ui::TPoint{s.X + dx, s.Y + dy}, Qt::LeftButton, Qt::NoButton);
}

bool WantsKeyBeforeShortcuts(ui::TControl& control, int qt_key, const QString& text) {
    EnsureApplication();
    QKeyEvent e(QEvent::ShortcutOverride, qt_key, Qt::NoModifier, 0, 0, 0, text, false, 1, TestKeyboard());
    e.setAccepted(false);
    QCoreApplication::sendEvent(control.Widget(), &e);
    return e.isAccepted();
}

}  // namespace test_support
