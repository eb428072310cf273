// Kernel synchronisation objects with the semantics the system was written against:
// counting semaphores with an explicit maximum, manual- and auto-reset events (optionally
// named, one registry per process), and re-entrant critical sections.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace kernel {

// Result of waiting on a semaphore or an event.
enum class WaitResult { Signaled, Timeout };

// Wait for ever.
inline constexpr std::chrono::milliseconds kInfinite{-1};

// Counting semaphore. Release past the maximum count fails and leaves the count unchanged,
// as callers of the original kernel rely on.
class Semaphore {
public:
    // Throws std::invalid_argument unless maximum >= 1 and 0 <= initial <= maximum (the original
    // kernel refused to create such a semaphore).
    Semaphore(std::int32_t initial, std::int32_t maximum);
    Semaphore(const Semaphore&) = delete;
    Semaphore& operator=(const Semaphore&) = delete;

    // Adds `count` (>0) to the semaphore; false (count unchanged) when that would exceed the maximum.
    bool Release(std::int32_t count = 1);
    // Takes one unit; kInfinite (any negative timeout) waits for ever, zero only tries.
    WaitResult Wait(std::chrono::milliseconds timeout = kInfinite);
    std::int32_t Count() const;
    std::int32_t Maximum() const { return maximum_; }

private:
    mutable std::mutex mutex_;
    std::condition_variable available_;
    std::int32_t count_;
    const std::int32_t maximum_;
};

// Event object. A manual-reset event stays signalled until Reset; an auto-reset event releases
// exactly one waiter and resets itself.
class Event {
public:
    Event(bool manualReset, bool initiallySignaled);
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void Set();
    void Reset();
    WaitResult Wait(std::chrono::milliseconds timeout = kInfinite);
    bool IsSignaled() const;
    // Auto reset: threads blocked in Wait that no Set has been handed to yet (lets a test start
    // setting only once its waiters wait).
    std::int32_t Waiting() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable signaled_;
    bool signaled_state_;
    const bool manual_reset_;
    // Auto reset: a Set while threads wait hands the signal to one of them at once (the event stays
    // reset), so two Sets release two waiters even before either has woken.
    std::int32_t waiting_ = 0;
    std::int32_t handed_over_ = 0;
};

// Named events: one registry per process, shared by every library linked against the kernel.
// CreateEvent returns the existing event when the name is taken (its reset mode and state kept).
// The registry holds only weak references: a name vanishes when its last holder lets go.
std::shared_ptr<Event> CreateEvent(const std::string& name, bool manualReset, bool initiallySignaled);
// Null when no event of that name exists.
std::shared_ptr<Event> OpenEvent(const std::string& name);

// Re-entrant lock: the owning thread may enter again and must leave as often.
class CriticalSection {
public:
    CriticalSection() = default;
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void Enter() { mutex_.lock(); }
    void Leave() { mutex_.unlock(); }
    bool TryEnter() { return mutex_.try_lock(); }
    // BasicLockable, so std::lock_guard / std::scoped_lock work.
    void lock() { Enter(); }
    void unlock() { Leave(); }

private:
    std::recursive_mutex mutex_;
};

}  // namespace kernel
