#include "platform/kernel/ordered_work.h"

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>

#include "platform/kernel/thread.h"

namespace kernel {

namespace {

struct Progress {
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t next = 0;    // the next item to begin
    std::size_t taken = 0;   // items handed to take
    std::size_t limit = 0;   // no item at or after this one begins
    bool stop = false;       // the caller has finished: threads end
    std::vector<char> done;  // by slot: work has returned
    std::vector<std::exception_ptr> errors;
};

// Tells the threads to end when the caller leaves, on every path, before they are joined.
struct StopOnExit {
    Progress& progress;
    ~StopOnExit() {
        {
            std::lock_guard lock(progress.mutex);
            progress.stop = true;
        }
        progress.changed.notify_all();
    }
};

// Whether an item may begin now; called with the mutex held.
bool MayBegin(const Progress& p, std::size_t window) { return p.next < p.limit && p.next < p.taken + window; }

// Runs item i, begun with the mutex held, and records how it ended.
void RunItem(Progress& p, std::size_t window, const std::function<void(std::size_t)>& work, std::size_t i) {
    std::exception_ptr error;
    try {
        work(i);
    } catch (...) {
        error = std::current_exception();
    }
    {
        std::lock_guard lock(p.mutex);
        p.done[i % window] = 1;
        p.errors[i % window] = error;
        if (error) p.limit = std::min(p.limit, i + 1);
    }
    p.changed.notify_all();
}

std::uint32_t Worker(Progress& p, std::size_t window, const std::function<void(std::size_t)>& work) {
    for (;;) {
        std::size_t i = 0;
        {
            std::unique_lock lock(p.mutex);
            p.changed.wait(lock, [&] { return p.stop || p.next >= p.limit || MayBegin(p, window); });
            if (p.stop || p.next >= p.limit) return 0;
            i = p.next++;
        }
        RunItem(p, window, work, i);
    }
}

}  // namespace

void RunOrdered(std::size_t count, int threads, std::size_t window, const std::function<void(std::size_t)>& work,
                const std::function<void(std::size_t)>& take) {
    if (count == 0) return;
    const std::size_t pool = std::min<std::size_t>(count, static_cast<std::size_t>(std::max(threads, 1)));
    window = std::max(window, pool);

    Progress progress;
    progress.limit = count;
    progress.done.assign(window, 0);
    progress.errors.resize(window);
    // Destroyed in reverse: the stop is signalled first, then every thread is joined.
    std::vector<std::unique_ptr<Thread>> pool_threads;
    StopOnExit stop_on_exit{progress};
    for (std::size_t t = 0; t < pool; ++t) {
        pool_threads.push_back(std::make_unique<Thread>(
            [&progress, window, &work] { return Worker(progress, window, work); }, Thread::Start::Running));
    }

    for (std::size_t i = 0; i < count; ++i) {
        std::exception_ptr error;
        {
            std::unique_lock lock(progress.mutex);
            // While item i is not done, the caller takes on work no thread has begun: on a busy
            // machine the pool's threads may get the processor late, the caller never waits idle.
            while (progress.done[i % window] == 0) {
                if (MayBegin(progress, window)) {
                    const std::size_t j = progress.next++;
                    lock.unlock();
                    RunItem(progress, window, work, j);
                    lock.lock();
                    continue;
                }
                progress.changed.wait(lock,
                                      [&] { return progress.done[i % window] != 0 || MayBegin(progress, window); });
            }
            progress.done[i % window] = 0;
            error = std::exchange(progress.errors[i % window], nullptr);
            if (error) progress.limit = std::min(progress.limit, i + 1);
        }
        if (error) std::rethrow_exception(error);
        try {
            take(i);
        } catch (...) {
            {
                std::lock_guard lock(progress.mutex);
                progress.limit = std::min(progress.limit, i + 1);
            }
            throw;
        }
        {
            std::lock_guard lock(progress.mutex);
            progress.taken = i + 1;
        }
        progress.changed.notify_all();
    }
}

}  // namespace kernel
