// Driving a real window from a test as a user would: its menu items by caption, the keyboard
// through the window system (so that a modal window in the way blocks it as it blocks a user),
// and the message boxes the program shows, recorded instead of shown.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/kernel/sinks.h"
#include "platform/ui/forms/form.h"
#include "tests/app/scratch_folder.h"
#include "tests/support/render.h"

namespace app_test {

// The menu bar item `menu` > `item` of the form's window (captions with their '&'); null when
// there is none.
inline QAction* MenuItem(ui::TForm& form, const std::string& menu, const std::string& item) {
    auto* bar = form.Window()->findChild<QMenuBar*>();
    if (bar == nullptr) return nullptr;
    for (QAction* top : bar->actions()) {
        if (top->menu() == nullptr || top->text().toStdString() != menu) continue;
        for (QAction* a : top->menu()->actions()) {
            if (a->text().toStdString() == item) return a;
        }
    }
    return nullptr;
}

// Chooses the menu item as a click on it does.
inline void ChooseMenuItem(ui::TForm& form, const std::string& menu, const std::string& item) {
    QAction* action = MenuItem(form, menu, item);
    ASSERT_NE(action, nullptr) << menu << " > " << item;
    action->trigger();
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

// A test's own folder that also holds the registry of the windows it creates (XDG_CONFIG_HOME).
class SettingsFolder : public ScratchFolder {
public:
    SettingsFolder() { ::setenv("XDG_CONFIG_HOME", Path().c_str(), 1); }
};

}  // namespace app_test
