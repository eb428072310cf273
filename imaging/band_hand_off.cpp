#include "imaging/band_hand_off.h"

#include <algorithm>
#include <utility>

namespace imaging {

TBandHandOff::TBandHandOff(int helpers, std::size_t slots, std::size_t band_pixels, Work work)
    : slots_(std::max<std::size_t>(slots, 2)),
      band_pixels_(band_pixels),
      work_(std::move(work)),
      buffers_(slots_ * band_pixels),
      in_use_(slots_, 0) {
    for (int i = 0; i < helpers; ++i)
        helpers_.push_back(
            std::make_unique<kernel::Thread>([this] { return Helper(); }, kernel::Thread::Start::Running));
}

TBandHandOff::~TBandHandOff() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    helpers_.clear();
}

TColor32* TBandHandOff::First() {
    std::lock_guard lock(mutex_);
    current_ = 0;
    in_use_[0] = 1;
    return buffers_.data();
}

TColor32* TBandHandOff::Hand(int first, int count) {
    std::unique_lock lock(mutex_);
    queue_.push_back({current_, first, count});
    changed_.notify_one();
    const std::size_t next = (current_ + 1) % slots_;
    WorkUntil(lock, [&] { return in_use_[next] == 0; });
    in_use_[next] = 1;
    current_ = next;
    return buffers_.data() + next * band_pixels_;
}

void TBandHandOff::Finish() {
    std::unique_lock lock(mutex_);
    WorkUntil(lock, [&] { return queue_.empty() && running_ == 0; });
    if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
}

void TBandHandOff::WorkUntil(std::unique_lock<std::mutex>& lock, const std::function<bool()>& done) {
    while (!done()) {
        if (queue_.empty()) {
            changed_.wait(lock);
            continue;
        }
        const Job job = queue_.front();
        queue_.pop_front();
        Run(lock, job);
    }
}

void TBandHandOff::Run(std::unique_lock<std::mutex>& lock, const Job& job) {
    ++running_;
    lock.unlock();
    std::exception_ptr error;
    try {
        work_(job.first, job.count, buffers_.data() + job.slot * band_pixels_);
    } catch (...) {
        error = std::current_exception();
    }
    lock.lock();
    --running_;
    in_use_[job.slot] = 0;
    if (error && !error_) error_ = error;
    changed_.notify_all();
}

std::uint32_t TBandHandOff::Helper() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return stop_ || !queue_.empty(); });
        if (stop_) return 0;
        const Job job = queue_.front();
        queue_.pop_front();
        Run(lock, job);
    }
}

}  // namespace imaging
