// Test helper: the stack opened against the adapter stand-in (recording channel unless a test
// picks another), with a test dispatcher that records what reaches mailbox 1 and gives every
// buffer back to the pool.
#pragma once

#include <gtest/gtest.h>

#include <dirent.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "library/os_layer.h"
#include "library/tracing.h"
#include "library/usb_intf.h"
#include "platform/canapi/recorder.h"
#include "tests/library/sink_recorder.h"
#include "tests/support/wait_until.h"

namespace klp_test {

using namespace std::chrono_literals;

// Threads of this process (entries of /proc/self/task).
inline int ThreadCount() {
    int count = 0;
    if (DIR* dir = opendir("/proc/self/task")) {
        while (dirent* entry = readdir(dir)) {
            if (entry->d_name[0] != '.') ++count;
        }
        closedir(dir);
    }
    return count;
}

using test_support::kPatience;
using test_support::WaitUntil;

// One message as the test dispatcher saw it.
struct Seen {
    std::uint8_t type = 0;
    std::uint8_t subtype = 0;
    std::uint16_t cob_id = 0;
    std::uint8_t dlc = 0;
    std::uint8_t data[8] = {};
    const klp::CANBuf* buffer = nullptr;
};

// The body of CAND_Task for tests: serves mailbox 1 until the stop flag, records every message
// except the ignored ones (type 7) and releases each buffer. `on_message` runs first when set.
class TestDispatcher {
public:
    std::function<void()> Body() {
        return [this] {
            while (!klp::OS_Stopping()) {
                klp::CANBuf* buf = klp::OS_Get(klp::kDispatcherMailbox, -1);
                if (buf == nullptr) {
                    if (klp::OS_Broken()) return;
                    continue;
                }
                if (on_message) on_message(*buf);
                if (buf->type != klp::msg::kIgnored) {
                    Seen seen{buf->type, buf->subtype, buf->cob_id, buf->dlc, {}, buf};
                    std::copy(std::begin(buf->data), std::end(buf->data), std::begin(seen.data));
                    std::lock_guard guard(mutex_);
                    seen_.push_back(seen);
                }
                klp::POOL_release_CANBuf(buf);
            }
        };
    }
    std::vector<Seen> Messages() const {
        std::lock_guard guard(mutex_);
        return seen_;
    }
    // COB-IDs of the received frames (type 0, subtype 0), in order.
    std::vector<std::uint16_t> ReceivedCobIds() const {
        std::vector<std::uint16_t> ids;
        for (const Seen& s : Messages()) {
            if (s.type == klp::msg::kCan && s.subtype == klp::msg::kReceived) ids.push_back(s.cob_id);
        }
        return ids;
    }
    bool WaitForCobId(std::uint16_t cob_id, std::chrono::milliseconds timeout = kPatience) const {
        return WaitUntil(
            [&] {
                for (std::uint16_t id : ReceivedCobIds()) {
                    if (id == cob_id) return true;
                }
                return false;
            },
            timeout);
    }

    std::function<void(klp::CANBuf&)> on_message;

private:
    mutable std::mutex mutex_;
    std::vector<Seen> seen_;
};

class StackTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("CANAPI_CHANNEL", "record", 1);
        unsetenv("QBK_MODULE_CANAPI");
        canapi_recorder_reset();
        klp::SetTraceMask(0);
        klp::USB_SetReleasePauseForTests(0ms);
        // The thread sanitizer starts its own background thread with the process's first thread;
        // start one here so the count below already holds it. A thread just joined can still be
        // listed for a moment, so the checks after a close allow the count to have fallen.
        std::thread([] {}).join();
        threads_before_ = ThreadCount();
    }
    void TearDown() override {
        if (klp::OS_Running()) {
            try {
                klp::close_KLP();
            } catch (const std::exception& e) {
                ADD_FAILURE() << "close_KLP: " << e.what();
            }
        }
        klp::OS_SetStackHooks({});
        klp::OS_SetManualTicksForTests(false);
        klp::SetTraceMask(0);
        klp::USB_SetReleasePauseForTests(2500ms);
        unsetenv("QBK_MODULE_CANAPI");
    }

    // From now on the library's timers and timed waits count only the ticks the test gives
    // (klp::OS_TickForTests), so tick-counting logic is tested independently of the machine's speed.
    static void UseManualTicks() { klp::OS_SetManualTicksForTests(true); }

    // Hooks with the test dispatcher; tests add to them before Open.
    klp::StackHooks Hooks() {
        klp::StackHooks hooks;
        hooks.dispatcher_task = dispatcher_.Body();
        return hooks;
    }
    void Open() { Open(Hooks()); }
    void Open(klp::StackHooks hooks) {
        klp::OS_SetStackHooks(std::move(hooks));
        ASSERT_EQ(klp::init_KLP(2000, 50), klp::StartResult::kStarted);
        ASSERT_TRUE(klp::OS_Running());
    }
    // After a close: no thread of the stack or the adapter is left.
    void ExpectNothingLeft() {
        EXPECT_FALSE(klp::OS_Running());
        EXPECT_EQ(klp::POOL_FreeCount(), klp::kPoolSize);
        EXPECT_TRUE(WaitUntil([&] { return ThreadCount() <= threads_before_; }))
            << ThreadCount() << " threads, " << threads_before_ << " before the start";
    }

    static std::vector<std::string> LogLinesStartingWith(const std::string& prefix) {
        std::vector<std::string> lines;
        for (const std::string& line : canapi_recorder::Log()) {
            if (line.rfind(prefix, 0) == 0) lines.push_back(line);
        }
        return lines;
    }

    SinkRecorder sinks_;
    TestDispatcher dispatcher_;
    int threads_before_ = 0;
};

// A frame to hand to the adapter.
inline klp::CANBuf Frame(std::uint16_t cob_id, std::initializer_list<std::uint8_t> data, bool remote = false) {
    klp::CANBuf buf{};
    buf.cob_id = cob_id;
    buf.rtr = remote ? 1 : 0;
    buf.dlc = static_cast<std::uint8_t>(data.size());
    std::size_t i = 0;
    for (std::uint8_t b : data) buf.data[i++] = b;
    return buf;
}

}  // namespace klp_test
