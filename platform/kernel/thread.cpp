// Threads behind a start gate, and the small per-process thread ids that traces print.
#include "platform/kernel/thread.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <string>
#include <thread>

#include "platform/kernel/sinks.h"

namespace kernel {

namespace {

std::atomic<ThreadId> g_next_thread_id{1};
thread_local ThreadId t_thread_id = 0;

ThreadId AllocateThreadId() { return g_next_thread_id.fetch_add(1, std::memory_order_relaxed); }

}  // namespace

ThreadId CurrentThreadId() {
    if (t_thread_id == 0) t_thread_id = AllocateThreadId();
    return t_thread_id;
}

struct Thread::State {
    enum class Gate { Closed, Resumed, Abandoned };

    std::function<std::uint32_t()> body;
    ThreadId id = 0;

    mutable std::mutex mutex;
    std::condition_variable changed;
    Gate gate = Gate::Closed;
    bool started = false;
    bool finished = false;
    std::uint32_t exit_code = kStillActive;

    std::mutex join_mutex;  // serialises joining the std::thread below
    std::thread thread;

    void Open(Gate how) {
        {
            std::lock_guard lock(mutex);
            if (gate != Gate::Closed) return;
            gate = how;
        }
        changed.notify_all();
    }

    void Finish(std::uint32_t code) {
        {
            std::lock_guard lock(mutex);
            exit_code = code;
            finished = true;
        }
        changed.notify_all();
    }

    static void Run(const std::shared_ptr<State>& self) {
        t_thread_id = self->id;
        {
            std::unique_lock lock(self->mutex);
            self->changed.wait(lock, [&] { return self->gate != Gate::Closed; });
            if (self->gate == Gate::Abandoned) {
                lock.unlock();
                self->Finish(0);
                return;
            }
            self->started = true;
        }
        std::uint32_t code = 1;
        // An exception must not reach the thread's top (it would end the process): report it.
        try {
            code = self->body();
        } catch (const std::exception& e) {
            OutputDebugString("Thread " + std::to_string(self->id) + ": unhandled exception: " + e.what());
        } catch (...) {
            OutputDebugString("Thread " + std::to_string(self->id) + ": unhandled exception");
        }
        // Drop the body's captures on this thread, before anyone sees the thread as ended.
        self->body = nullptr;
        self->Finish(code);
    }
};

Thread::Thread(std::function<std::uint32_t()> body, Start start) : state_(std::make_shared<State>()) {
    state_->body = std::move(body);
    state_->id = AllocateThreadId();
    if (start == Start::Running) state_->gate = State::Gate::Resumed;
    // The thread holds its own reference so the state outlives a detached thread.
    state_->thread = std::thread([state = state_] { State::Run(state); });
}

Thread::~Thread() {
    Abandon();
    std::lock_guard lock(state_->join_mutex);
    if (!state_->thread.joinable()) return;
    if (state_->thread.get_id() == std::this_thread::get_id()) {
        // Destroyed from its own body: it cannot wait for itself.
        state_->thread.detach();
    } else {
        state_->thread.join();
    }
}

void Thread::Resume() { state_->Open(State::Gate::Resumed); }

void Thread::Abandon() { state_->Open(State::Gate::Abandoned); }

bool Thread::HasStarted() const {
    std::lock_guard lock(state_->mutex);
    return state_->started;
}

std::uint32_t Thread::ExitCode() const {
    std::lock_guard lock(state_->mutex);
    return state_->finished ? state_->exit_code : kStillActive;
}

bool Thread::Join(std::chrono::milliseconds timeout) {
    if (CurrentThreadId() == state_->id) return false;
    {
        std::unique_lock lock(state_->mutex);
        auto ended = [&] { return state_->finished; };
        if (timeout < std::chrono::milliseconds::zero()) {
            state_->changed.wait(lock, ended);
        } else if (!state_->changed.wait_for(lock, timeout, ended)) {
            return false;
        }
    }
    // The body has ended; what remains of the thread is its return, so this join is short.
    std::lock_guard lock(state_->join_mutex);
    if (state_->thread.joinable()) state_->thread.join();
    return true;
}

ThreadId Thread::Id() const { return state_->id; }

void Sleep(std::chrono::milliseconds duration) {
    if (duration <= std::chrono::milliseconds::zero()) {
        std::this_thread::yield();
        return;
    }
    std::this_thread::sleep_for(duration);
}

void Yield() { std::this_thread::yield(); }

}  // namespace kernel
