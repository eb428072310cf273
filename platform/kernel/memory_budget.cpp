#include "platform/kernel/memory_budget.h"

#include <algorithm>
#include <utility>

namespace kernel {

MemoryBudget::Share::Share(Share&& other) noexcept
    : budget_(std::exchange(other.budget_, nullptr)), bytes_(std::exchange(other.bytes_, 0)) {}

MemoryBudget::Share& MemoryBudget::Share::operator=(Share&& other) noexcept {
    if (this != &other) {
        Release();
        budget_ = std::exchange(other.budget_, nullptr);
        bytes_ = std::exchange(other.bytes_, 0);
    }
    return *this;
}

void MemoryBudget::Share::Release() {
    if (budget_ != nullptr) std::exchange(budget_, nullptr)->Give(std::exchange(bytes_, 0));
}

MemoryBudget::Share MemoryBudget::Take(std::uint64_t bytes) {
    bytes = std::min(bytes, total_);
    std::unique_lock lock(mutex_);
    const std::uint64_t ticket = next_ticket_++;
    changed_.wait(lock, [&] { return serving_ == ticket && free_ >= bytes; });
    free_ -= bytes;
    peak_ = std::max(peak_, total_ - free_);
    ++serving_;
    lock.unlock();
    // The next in line may fit in what is left.
    changed_.notify_all();
    return Share(this, bytes);
}

std::uint64_t MemoryBudget::PeakTaken() const {
    std::lock_guard lock(mutex_);
    return peak_;
}

std::uint64_t MemoryBudget::Waiting() const {
    std::lock_guard lock(mutex_);
    return next_ticket_ - serving_;
}

void MemoryBudget::Give(std::uint64_t bytes) {
    {
        std::lock_guard lock(mutex_);
        free_ += bytes;
    }
    changed_.notify_all();
}

}  // namespace kernel
