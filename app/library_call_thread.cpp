#include "app/library_call_thread.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <utility>

#include "platform/kernel/sinks.h"
#include "platform/kernel/sync.h"
#include "platform/kernel/thread.h"

namespace app {

// A message box the call thread raised, put up by the waiting thread.
struct BoxRequest {
    std::string text;
    std::string caption;
    unsigned flags = 0;
    int answer = kernel::kIdOk;
};

// What the two threads share: the call handed over, its exception, a box asked for, and the
// signals each way.
struct LibraryCallThread::Shared {
    kernel::Semaphore start{0, 1};
    kernel::Event wake{false, false};      // auto reset: the call ended, or it asks for a box
    kernel::Event answered{false, false};  // auto reset: the box asked for was answered
    std::function<void()> call;            // empty: the thread ends
    std::exception_ptr error;
    std::mutex mutex;           // guards the two below
    bool ended = false;         // the call handed over has ended
    BoxRequest* box = nullptr;  // a box waiting to be put up
    std::unique_ptr<kernel::Thread> thread;

    // Call thread: the box goes up on the waiting thread, as if the call ran there (the library
    // shows its boxes on the thread that called it), and this thread waits for the answer. The
    // waiting thread waits for nothing but this call, so nothing waits in a circle.
    int AskTheWaitingThread(const std::string& text, const std::string& caption, unsigned flags) {
        BoxRequest request{text, caption, flags};
        {
            std::lock_guard lock(mutex);
            box = &request;
        }
        wake.Set();
        answered.Wait();
        return request.answer;
    }

    // Waiting thread: puts up the box asked for, if any. True once the call has ended.
    bool ServeAndSeeEnded() {
        BoxRequest* request = nullptr;
        {
            std::lock_guard lock(mutex);
            request = std::exchange(box, nullptr);
        }
        if (request != nullptr) {
            request->answer = kernel::MessageBox(request->text, request->caption, request->flags);
            answered.Set();
        }
        std::lock_guard lock(mutex);
        return ended;
    }
};

LibraryCallThread::LibraryCallThread(Waiter wait) : wait_(std::move(wait)), shared_(std::make_shared<Shared>()) {
    if (!wait_) wait_ = [](const std::function<bool(std::chrono::milliseconds)>& ended) { ended(kernel::kInfinite); };
    Shared* shared = shared_.get();
    shared_->thread = std::make_unique<kernel::Thread>(
        [shared]() -> std::uint32_t {
            kernel::SetThreadMessageBoxSink(
                [shared](const std::string& text, const std::string& caption, unsigned flags) {
                    return shared->AskTheWaitingThread(text, caption, flags);
                });
            for (;;) {
                shared->start.Wait();
                if (!shared->call) return 0;
                try {
                    shared->call();
                } catch (...) {
                    shared->error = std::current_exception();
                }
                shared->call = nullptr;
                {
                    std::lock_guard lock(shared->mutex);
                    shared->ended = true;
                }
                shared->wake.Set();
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
    // The semaphore and the events order the hand-over: the call thread reads `call` only after
    // the release, and this thread reads `error` only after the call's end is seen.
    shared_->call = std::move(call);
    shared_->error = nullptr;
    {
        std::lock_guard lock(shared_->mutex);
        shared_->ended = false;
    }
    shared_->start.Release();
    Shared& shared = *shared_;
    bool done = false;
    // Between its waits the waiter puts up the boxes the call asks for.
    const auto ended = [&shared, &done](std::chrono::milliseconds limit) {
        while (!done) {
            const bool woken = shared.wake.Wait(limit) == kernel::WaitResult::Signaled;
            done = shared.ServeAndSeeEnded();
            if (!woken || limit >= std::chrono::milliseconds(0)) break;
        }
        return done;
    };
    wait_(ended);
    // A waiter that gave up early must not leave the call running into the next one.
    while (!done) ended(kernel::kInfinite);
    if (std::exception_ptr error = std::exchange(shared_->error, nullptr)) std::rethrow_exception(error);
}

}  // namespace app
