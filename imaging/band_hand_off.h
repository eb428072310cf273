// Bands of rows handed from the thread that produces them (a decoder) to helper threads that
// work on them: a few band buffers go round, so the producer goes on with the next band while
// the helpers work, and waits only when every buffer is still in use.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "imaging/color32.h"
#include "platform/kernel/large_memory.h"
#include "platform/kernel/thread.h"

namespace imaging {

class TBandHandOff {
public:
    // work(first, count, pixels) for each band handed, on one of `helpers` threads or on the
    // producer's; `slots` (at least 2) buffers of `band_pixels` pixels each.
    using Work = std::function<void(int first, int count, const TColor32* pixels)>;
    TBandHandOff(int helpers, std::size_t slots, std::size_t band_pixels, Work work);
    // Stops the helpers after the bands they have begun; bands not begun are dropped.
    ~TBandHandOff();
    TBandHandOff(const TBandHandOff&) = delete;
    TBandHandOff& operator=(const TBandHandOff&) = delete;

    // The buffer for the first band.
    TColor32* First();
    // The buffer last given holds rows first..first+count-1: hands it on and returns the buffer
    // for the next band once one is free, working on bands itself while it waits.
    TColor32* Hand(int first, int count);
    // Returns once every band handed has been worked on, working on them too. A band's work
    // that threw passes its error on here.
    void Finish();

private:
    struct Job {
        std::size_t slot;
        int first;
        int count;
    };
    std::uint32_t Helper();
    // Works on waiting bands, or waits, until `done` holds; called with the lock held.
    void WorkUntil(std::unique_lock<std::mutex>& lock, const std::function<bool()>& done);
    // Runs the job with the lock released; called and returns with it held.
    void Run(std::unique_lock<std::mutex>& lock, const Job& job);

    const std::size_t slots_;
    const std::size_t band_pixels_;
    const Work work_;
    kernel::LargeBuffer<TColor32> buffers_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> queue_;
    std::vector<char> in_use_;  // by slot: given out, waiting or being worked on
    std::size_t current_ = 0;   // the slot last given out
    int running_ = 0;           // jobs being worked on
    bool stop_ = false;
    std::exception_ptr error_;
    std::vector<std::unique_ptr<kernel::Thread>> helpers_;  // last: joined first
};

}  // namespace imaging
