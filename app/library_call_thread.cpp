#include "app/library_call_thread.h"

#include <cstdint>
#include <utility>

#include "platform/kernel/sync.h"
#include "platform/kernel/thread.h"

namespace app {

// What the two threads share: the call handed over, its exception, and the signals each way.
struct LibraryCallThread::Shared {
    kernel::Semaphore start{0, 1};
    kernel::Event ended{false, false};  // auto reset: one call's end
    std::function<void()> call;         // empty: the thread ends
    std::exception_ptr error;
    std::unique_ptr<kernel::Thread> thread;
};

LibraryCallThread::LibraryCallThread(Waiter wait) : wait_(std::move(wait)), shared_(std::make_shared<Shared>()) {
    if (!wait_) wait_ = [](const std::function<bool(std::chrono::milliseconds)>& ended) { ended(kernel::kInfinite); };
    Shared* shared = shared_.get();
    shared_->thread = std::make_unique<kernel::Thread>(
        [shared]() -> std::uint32_t {
            for (;;) {
                shared->start.Wait();
                if (!shared->call) return 0;
                try {
                    shared->call();
                } catch (...) {
                    shared->error = std::current_exception();
                }
                shared->call = nullptr;
                shared->ended.Set();
            }
        },
        kernel::Thread::Start::Running);
}

LibraryCallThread::~LibraryCallThread() {
    shared_->call = nullptr;
    shared_->start.Release();
    shared_->thread.reset();  // joins
}

void LibraryCallThread::RunErased(std::function<void()> call) {
    // The semaphore and the event order the hand-over: the call thread reads `call` only after
    // the release, and this thread reads `error` only after the end is set.
    shared_->call = std::move(call);
    shared_->error = nullptr;
    shared_->start.Release();
    bool done = false;
    wait_([this, &done](std::chrono::milliseconds limit) {
        if (!done) done = shared_->ended.Wait(limit) == kernel::WaitResult::Signaled;
        return done;
    });
    // A waiter that gave up early must not leave the call running into the next one.
    if (!done) shared_->ended.Wait();
    if (std::exception_ptr error = std::exchange(shared_->error, nullptr)) std::rethrow_exception(error);
}

}  // namespace app
