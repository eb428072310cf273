// Message boxes of other threads and the paint-only wait: only the user-interface thread builds
// windows, no thread waits for another over a box, and a waiting user-interface thread paints
// but takes no input.
#include <gtest/gtest.h>

#include <qpa/qwindowsysteminterface.h>
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/kernel/sinks.h"
#include "platform/ui/forms/application_host.h"
#include "platform/ui/forms/paint_wait.h"
#include "tests/support/call_on_thread.h"

namespace {

using namespace std::chrono_literals;

constexpr const char* kFatal = "KLP Library Failure: Message Queue empty; line: 79; POOL::POOL_get_CANBuf";

std::vector<QMessageBox*> ShownBoxes() {
    std::vector<QMessageBox*> boxes;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(w); box != nullptr && box->isVisible()) boxes.push_back(box);
    }
    return boxes;
}

// Raises the library's fatal-error box, for a thread of its own.
int RaiseBox() { return kernel::MessageBox(kFatal, "KLP Communication Error", kernel::kMbOk | kernel::kMbIconError); }

// The user-interface thread blocks for the thread that raises a box, handling no events, as it does
// when it joins a library thread in the library's close: the raising thread must not wait for it.
// The box comes up once the user-interface thread handles its events, built there.
TEST(MessageBoxHandOver, BoxOfAnotherThreadIsBuiltByTheWindowThreadWhichNobodyWaitsFor) {
    int argc = 0;
    ui::TApplicationHost host(argc, nullptr);
    host.InstallMessageBoxDialogs();
    test_support::CallOnThread<int> raiser(RaiseBox);
    ASSERT_TRUE(raiser.Ended()) << "the raising thread waits for its box";
    EXPECT_EQ(raiser.Get(), kernel::kIdOk);
    EXPECT_TRUE(ShownBoxes().empty());

    QApplication::processEvents();
    const std::vector<QMessageBox*> boxes = ShownBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    QPointer<QMessageBox> box = boxes[0];
    EXPECT_EQ(box->thread(), QApplication::instance()->thread());
    EXPECT_EQ(box->text().toStdString(), kFatal);
    EXPECT_EQ(box->windowTitle().toStdString(), "KLP Communication Error");
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
    // A window of its own: the program's windows stay usable beside it.
    EXPECT_EQ(box->windowModality(), Qt::NonModal);
    box->button(QMessageBox::Ok)->click();
    QApplication::processEvents();
    EXPECT_TRUE(box.isNull() || !box->isVisible());
}

// While the user-interface thread shows a modal box of its own, a box handed over comes up beside
// it without ending or blocking either.
TEST(MessageBoxHandOver, BoxHandedOverDuringAModalBoxComesUpBesideIt) {
    int argc = 0;
    ui::TApplicationHost host(argc, nullptr);
    host.InstallMessageBoxDialogs();
    std::unique_ptr<test_support::CallOnThread<int>> raiser;
    std::vector<std::string> seen;
    QTimer step;
    QObject::connect(&step, &QTimer::timeout, [&] {
        if (!raiser) {
            raiser = std::make_unique<test_support::CallOnThread<int>>(RaiseBox);
            return;
        }
        const auto boxes = ShownBoxes();
        if (boxes.size() < 2) return;
        for (QMessageBox* b : boxes) seen.push_back(b->text().toStdString());
        for (QMessageBox* b : boxes) b->button(QMessageBox::Ok)->click();
        step.stop();
    });
    step.start(10);
    // The modal box of the user-interface thread; the step above answers it.
    EXPECT_EQ(kernel::MessageBox("Own box", "Caption", kernel::kMbOk), kernel::kIdOk);
    ASSERT_TRUE(raiser);
    ASSERT_TRUE(raiser->Ended());
    EXPECT_EQ(raiser->Get(), kernel::kIdOk);
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(seen, (std::vector<std::string>{kFatal, "Own box"}));
}

// Boxes still up when the host ends go with it, and later ones from other threads are dropped.
TEST(MessageBoxHandOver, HostEndTakesItsBoxesAlong) {
    {
        int argc = 0;
        ui::TApplicationHost host(argc, nullptr);
        host.InstallMessageBoxDialogs();
        test_support::CallOnThread<int> raiser(RaiseBox);
        ASSERT_TRUE(raiser.Ended());
        QApplication::processEvents();
        EXPECT_EQ(ShownBoxes().size(), 1u);
    }
    EXPECT_TRUE(ShownBoxes().empty());
}

// The paint-only wait: a window invalidated during the wait is painted, while input and timers
// stay queued for after it; a box another thread raises meanwhile comes up during the wait.
TEST(PaintWait, PaintsAndShowsHandedOverBoxesButKeepsInputAndTimersForLater) {
    int argc = 0;
    ui::TApplicationHost host(argc, nullptr);
    host.InstallMessageBoxDialogs();
    struct Counting : QWidget {
        int paints = 0;
        int presses = 0;
        void paintEvent(QPaintEvent*) override { ++paints; }
        void mousePressEvent(QMouseEvent*) override { ++presses; }
    } window;
    window.resize(200, 100);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QApplication::processEvents();
    bool timer_fired = false;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&] { timer_fired = true; });
    timer.start(1);
    window.update();
    QWindowSystemInterface::handleMouseEvent(window.windowHandle(), QPointF(10, 10),
                                             window.mapToGlobal(QPointF(10, 10)), Qt::LeftButton, Qt::LeftButton,
                                             QEvent::MouseButtonPress);
    const int paints_before = window.paints;
    std::unique_ptr<test_support::CallOnThread<int>> raiser;
    const auto start = std::chrono::steady_clock::now();
    // Ends once the window has painted and the box is up, and the timer is long due (or after a
    // bound).
    ui::WaitPainting([&](std::chrono::milliseconds slice) {
        if (!raiser) raiser = std::make_unique<test_support::CallOnThread<int>>(RaiseBox);
        std::this_thread::sleep_for(std::min(slice, 5ms));
        const auto waited = std::chrono::steady_clock::now() - start;
        const bool done = window.paints > paints_before && ShownBoxes().size() == 1 && waited > 50ms;
        return done || waited > 20s;
    });
    EXPECT_GT(window.paints, paints_before);
    EXPECT_EQ(ShownBoxes().size(), 1u);
    EXPECT_EQ(window.presses, 0);
    EXPECT_FALSE(timer_fired);
    ASSERT_TRUE(raiser->Ended());
    raiser->Get();
    // Nothing was lost: the wait over, the input and the timer come through.
    test_support::WaitUntil([&] {
        QApplication::processEvents();
        return timer_fired;
    });
    EXPECT_EQ(window.presses, 1);
    EXPECT_TRUE(timer_fired);
    for (QMessageBox* b : ShownBoxes()) b->button(QMessageBox::Ok)->click();
}

// A sleep that paints lasts its time.
TEST(PaintWait, SleepLastsItsTime) {
    const auto start = std::chrono::steady_clock::now();
    ui::SleepPainting(120ms);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 120ms);
}

}  // namespace
