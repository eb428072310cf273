#include "platform/ui/forms/paint_wait.h"

#include <QApplication>
#include <QEventLoop>
#include <QThread>
#include <algorithm>
#include <thread>

namespace ui {

namespace {

using namespace std::chrono_literals;

// How long a paint may wait for its turn.
constexpr std::chrono::milliseconds kSlice = 10ms;

bool OnWindowThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return qobject_cast<const QApplication*>(app) != nullptr && QThread::currentThread() == app->thread();
}

}  // namespace

void WaitPainting(const std::function<bool(std::chrono::milliseconds slice)>& ended) {
    if (!OnWindowThread()) {
        while (!ended(std::chrono::milliseconds(-1))) {}
        return;
    }
    // Window-system events other than input (exposures among them) and posted events (the paints
    // they ask for) are delivered; input is kept for later, timers and notifiers are left alone.
    const QEventLoop::ProcessEventsFlags only_painting =
        QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers | QEventLoop::X11ExcludeTimers;
    while (!ended(kSlice)) QCoreApplication::processEvents(only_painting);
}

void SleepPainting(std::chrono::milliseconds duration) {
    const auto end = std::chrono::steady_clock::now() + duration;
    WaitPainting([end](std::chrono::milliseconds slice) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= end) return true;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - now);
        std::this_thread::sleep_for(slice < 0ms ? left : std::min(slice, left));
        return std::chrono::steady_clock::now() >= end;
    });
}

}  // namespace ui
