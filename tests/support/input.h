// Synthetic input for headless UI tests: mouse, key and wheel events sent to a control's real
// widget, so that they take the same path as the user's (the widget's handlers, the shift
// state, the cursor position the controls read).
#pragma once

#include <QEvent>
#include <QPoint>
#include <QString>
#include <Qt>

#include "platform/ui/controls/controls.h"

class QWidget;

namespace test_support {

// Raw events on a widget, for tests below the control level (drag loops, editors' own widgets).
// A mouse event at `p` in `w`'s coordinates; `buttons` are the buttons held after the event.
void SendMouse(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers mods = Qt::NoModifier);
// A key press; `text` is what the key types (empty for keys that type nothing).
void SendKey(QWidget* w, int key, const QString& text = QString(), Qt::KeyboardModifiers mods = Qt::NoModifier);

// A left click (press and release) at `p` in the control's client coordinates.
void Click(ui::TControl& control, ui::TPoint p, Qt::KeyboardModifiers mods = Qt::NoModifier);
void MousePress(ui::TControl& control, ui::TPoint p, Qt::MouseButton button = Qt::LeftButton,
                Qt::KeyboardModifiers mods = Qt::NoModifier);
void MouseRelease(ui::TControl& control, ui::TPoint p, Qt::MouseButton button = Qt::LeftButton);
// A move to `p`, with `buttons` held.
void MouseMove(ui::TControl& control, ui::TPoint p, Qt::MouseButtons buttons = Qt::NoButton);
// One key pressed and released; `text` is what the key types (empty for none).
void Key(ui::TControl& control, int qt_key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {});
// A typed character: the key press of that letter or digit with its text.
void Type(ui::TControl& control, char ch);
// Wheel notches at `p` (client coordinates): positive away from the user. True when the
// control accepted the event.
bool Wheel(ui::TControl& control, ui::TPoint p, int notches);
// A mouse event at a point on the screen, sent to the control wherever it has moved to by then.
void MouseAtScreen(ui::TControl& control, QEvent::Type type, ui::TPoint screen_pos, Qt::MouseButton button,
                   Qt::MouseButtons buttons);
// A left-button drag that starts at `from` (client coordinates): press, a move half way, a move
// by (dx, dy), release, at fixed screen positions, so that a control that moves or sizes under
// the mouse sees the positions the user's hand would give.
void Drag(ui::TControl& control, ui::TPoint from, int dx, int dy);
// Asks whether the control takes `qt_key` before the window's shortcuts would.
bool WantsKeyBeforeShortcuts(ui::TControl& control, int qt_key, const QString& text = {});

}  // namespace test_support
