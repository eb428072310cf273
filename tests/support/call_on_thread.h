// A call a test runs on a thread of its own and that may never return (the fault the test looks
// for). The test waits for it with a bound; a call that is still running then is left behind,
// with what it uses, instead of being joined: the test fails instead of hanging.
#pragma once

#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <thread>

#include "tests/support/wait_until.h"

namespace test_support {

template <typename Result>
class CallOnThread {
public:
    // `call` must capture (by value, or through shared pointers) everything it uses that the test
    // would otherwise destroy: when it is left behind, only what it holds stays alive.
    explicit CallOnThread(std::function<Result()> call) {
        auto task = std::make_shared<std::packaged_task<Result()>>(std::move(call));
        result_ = task->get_future();
        thread_ = std::thread([task] { (*task)(); });
    }
    ~CallOnThread() {
        if (!thread_.joinable()) return;
        if (result_.valid() && result_.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
            thread_.detach();  // still inside the call: left behind
        } else {
            thread_.join();
        }
    }
    CallOnThread(const CallOnThread&) = delete;
    CallOnThread& operator=(const CallOnThread&) = delete;

    // True when the call returned within `limit`.
    bool Ended(std::chrono::milliseconds limit = kPatience) {
        return result_.wait_for(limit) == std::future_status::ready;
    }
    // The call's result; only after Ended() answered true.
    Result Get() {
        thread_.join();
        return result_.get();
    }

private:
    std::future<Result> result_;
    std::thread thread_;
};

}  // namespace test_support
