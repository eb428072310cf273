// Driving a real window from a test as a user would: its menu items by caption, the keyboard
// through the window system (so that a modal window in the way blocks it as it blocks a user),
// and the message boxes the program shows, recorded instead of shown.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/kernel/sinks.h"
#include "platform/ui/forms/form.h"
#include "platform/ui/forms/menu_bar.h"
#include "tests/support/render.h"
#include "tests/support/temp_folder.h"

namespace app_test {

// A left click on `position` of a menu window as the user gives it: the pointer moves there,
// presses and releases.
inline void ClickMenuWindow(ui::TMenuWindow& window, int position) {
    const ui::TRect r = window.ItemRect(position);
    const ui::TRect w = window.WindowRect();
    const QPointF global((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    const QPointF local(global.x() - w.Left, global.y() - w.Top);
    for (QEvent::Type type : {QEvent::MouseMove, QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, local, global, type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window.Widget(), &event);
    }
}

// The position of the item captioned `caption` (with its '&') in a menu window, -1 for none.
inline int MenuPosition(const ui::TMenuWindow& window, const std::string& caption) {
    for (int i = 0; i < window.ItemCount(); ++i) {
        if (window.ItemAt(i)->Caption() == caption) return i;
    }
    return -1;
}

// Chooses the menu bar item `menu` > `item` (captions with their '&') with the mouse: a click
// on the bar item opens its drop-down, a click on the item chooses it.
inline void ChooseMenuItem(ui::TForm& form, const std::string& menu, const std::string& item) {
    ui::TMenuBar* bar = form.MenuBar();
    ASSERT_NE(bar, nullptr) << "the form has no menu";
    const int top = MenuPosition(bar->Window(), menu);
    ASSERT_GE(top, 0) << menu;
    ClickMenuWindow(bar->Window(), top);
    ASSERT_EQ(bar->PopupCount(), 1) << menu << " did not open";
    const int position = MenuPosition(bar->Popup(0), item);
    ASSERT_GE(position, 0) << menu << " > " << item;
    ClickMenuWindow(bar->Popup(0), position);
}

// A key typed into the form's window through the window system.
inline void TypeKey(ui::TForm& form, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWindow* window = form.Window()->windowHandle();
    ASSERT_NE(window, nullptr) << "the form is not shown";
    QTest::keyClick(window, key, modifiers);
}

// Shows the form and waits until the window system made it the active window.
inline void ShowActive(ui::TForm& form) {
    form.Show();
    form.BringToFront();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.Window()));
}

// Records every message box instead of showing it.
class MessageBoxes {
public:
    MessageBoxes()
        : previous_(kernel::SetMessageBoxSink([this](const std::string& text, const std::string& caption, unsigned) {
              shown.push_back(caption + ": " + text);
              return kernel::kIdOk;
          })) {}
    ~MessageBoxes() { kernel::SetMessageBoxSink(previous_); }
    MessageBoxes(const MessageBoxes&) = delete;
    MessageBoxes& operator=(const MessageBoxes&) = delete;

    std::vector<std::string> shown;

private:
    kernel::MessageBoxSink previous_;
};

// Runs `action` from the event loop as soon as the loop of a modal window runs; when the loop
// is still running after a generous time the test fails and `escape` ends the loop, so that a
// broken modal loop fails the test instead of hanging it.
class DuringModalLoop {
public:
    DuringModalLoop(std::function<void()> action, std::function<void()> escape) {
        QTimer::singleShot(0, std::move(action));
        watchdog_.setSingleShot(true);
        QObject::connect(&watchdog_, &QTimer::timeout, [escape = std::move(escape)] {
            ADD_FAILURE() << "the modal loop did not end";
            escape();
        });
        watchdog_.start(20000);
    }

private:
    QTimer watchdog_;
};

// Runs `act` once on the real file dialog as soon as it shows, from inside its modal loop; keep
// the returned handle until the dialog has closed (dropping it stops the looking).
inline std::shared_ptr<std::function<void()>> WhenFileDialogShows(std::function<void(QFileDialog&)> act) {
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [act = std::move(act), weak = std::weak_ptr<std::function<void()>>(poll)] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            if (dialog != nullptr && dialog->isVisible()) return act(*dialog);
        }
        if (auto next = weak.lock()) QTimer::singleShot(10, [next] { (*next)(); });
    };
    QTimer::singleShot(0, [poll] { (*poll)(); });
    return poll;
}

// A test's own folder that also holds the registry of the windows it creates (XDG_CONFIG_HOME).
class SettingsFolder : public test_support::ScratchFolder {
public:
    SettingsFolder() { ::setenv("XDG_CONFIG_HOME", Path().c_str(), 1); }
};

}  // namespace app_test
