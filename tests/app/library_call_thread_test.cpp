// The device link's call thread: every call of one link on the same thread (the library keeps its
// SDO timeout per calling thread), results and exceptions handed back, and the caller waiting the
// way it chose.
#include "app/library_call_thread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/kernel/sinks.h"

namespace {

using namespace std::chrono_literals;

TEST(LibraryCallThread, EveryCallRunsOnTheSameThreadOfItsOwn) {
    app::LibraryCallThread calls;
    const std::thread::id first = calls.Run([] { return std::this_thread::get_id(); });
    EXPECT_NE(first, std::this_thread::get_id());
    for (int i = 0; i < 5; ++i) EXPECT_EQ(calls.Run([] { return std::this_thread::get_id(); }), first);
    // What a call sets for its thread is there for the next call.
    thread_local int setting = 0;
    calls.Run([] { setting = 200; });
    EXPECT_EQ(calls.Run([] { return setting; }), 200);
    EXPECT_EQ(setting, 0);
}

TEST(LibraryCallThread, ResultsAndExceptionsComeBackToTheCaller) {
    app::LibraryCallThread calls;
    EXPECT_EQ(calls.Run([] { return std::string("answer"); }), "answer");
    try {
        calls.Run([] { throw std::runtime_error("KLP Library Failure: scripted"); });
        ADD_FAILURE() << "the exception was lost";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "KLP Library Failure: scripted");
    }
    // The thread goes on serving after a failed call.
    EXPECT_EQ(calls.Run([] { return 7; }), 7);
}

// The caller waits through its waiter, which is asked with short slices until the call has ended.
TEST(LibraryCallThread, TheCallerWaitsThroughItsWaiter) {
    int asks = 0;
    bool ended_seen = false;
    app::LibraryCallThread calls([&](const std::function<bool(std::chrono::milliseconds)>& ended) {
        while (!ended(5ms)) ++asks;
        ended_seen = true;
    });
    calls.Run([] { std::this_thread::sleep_for(50ms); });
    EXPECT_TRUE(ended_seen);
    EXPECT_GT(asks, 0);
}

// A box a call raises goes up on the waiting thread, in its turn, and the call goes on with its
// answer: the user answers the library's box before the caller's own comes, as when the library is
// called on the caller's thread.
TEST(LibraryCallThread, ABoxACallRaisesGoesUpOnTheWaitingThreadAndItsAnswerComesBack) {
    struct Shown {
        std::string text;
        std::thread::id on;
    };
    std::vector<Shown> shown;
    const kernel::MessageBoxSink previous =
        kernel::SetMessageBoxSink([&shown](const std::string& text, const std::string&, unsigned) {
            shown.push_back({text, std::this_thread::get_id()});
            return text == "Replace it?" ? kernel::kIdNo : kernel::kIdOk;
        });
    using Waiter = app::LibraryCallThread::Waiter;
    const Waiter waiters[] = {
        {},  // blocks until the call ends
        [](const std::function<bool(std::chrono::milliseconds)>& ended) {
            while (!ended(5ms)) {}
        },
    };
    for (const Waiter& waiter : waiters) {
        shown.clear();
        app::LibraryCallThread calls(waiter);
        const int answer = calls.Run([] {
            kernel::MessageBox("USB CAN Adapter: unable to reset USB adapter", "", kernel::kMbOk);
            return kernel::MessageBox("Replace it?", "", kernel::kMbYesNo);
        });
        kernel::MessageBox("E0023: Initialization of communication interface failed", "", kernel::kMbOk);
        EXPECT_EQ(answer, kernel::kIdNo);
        ASSERT_EQ(shown.size(), 3u);
        EXPECT_EQ(shown[0].text, "USB CAN Adapter: unable to reset USB adapter");
        EXPECT_EQ(shown[1].text, "Replace it?");
        for (const Shown& box : shown) EXPECT_EQ(box.on, std::this_thread::get_id()) << box.text;
    }
    kernel::SetMessageBoxSink(previous);
}

}  // namespace
