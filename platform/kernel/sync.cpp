// Semaphores, events and the per-process registry of named events.
#include "platform/kernel/sync.h"

#include <map>
#include <stdexcept>

namespace kernel {

namespace {

// Waits on `cv` until `ready()` holds or the timeout passes; a negative timeout waits for ever.
template <typename Predicate>
bool WaitFor(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, std::chrono::milliseconds timeout,
             Predicate ready) {
    if (timeout < std::chrono::milliseconds::zero()) {
        cv.wait(lock, ready);
        return true;
    }
    // A zero timeout only looks: no sleep on the condition, which would cost a system call.
    if (timeout == std::chrono::milliseconds::zero()) return ready();
    return cv.wait_for(lock, timeout, ready);
}

}  // namespace

Semaphore::Semaphore(std::int32_t initial, std::int32_t maximum) : count_(initial), maximum_(maximum) {
    if (maximum < 1 || initial < 0 || initial > maximum) {
        throw std::invalid_argument("Semaphore: initial count must lie in 0..maximum and maximum >= 1");
    }
}

bool Semaphore::Release(std::int32_t count) {
    if (count <= 0) return false;
    {
        std::lock_guard lock(mutex_);
        // Written as a difference so that a huge `count` cannot overflow the sum.
        if (count > maximum_ - count_) return false;
        count_ += count;
    }
    if (count == 1) {
        available_.notify_one();
    } else {
        available_.notify_all();
    }
    return true;
}

WaitResult Semaphore::Wait(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    if (!WaitFor(available_, lock, timeout, [this] { return count_ > 0; })) return WaitResult::Timeout;
    --count_;
    return WaitResult::Signaled;
}

std::int32_t Semaphore::Count() const {
    std::lock_guard lock(mutex_);
    return count_;
}

Event::Event(bool manualReset, bool initiallySignaled)
    : signaled_state_(initiallySignaled), manual_reset_(manualReset) {}

void Event::Set() {
    {
        std::lock_guard lock(mutex_);
        if (manual_reset_ || waiting_ == handed_over_) {
            signaled_state_ = true;
        } else {
            ++handed_over_;
        }
    }
    // Everyone is woken: under auto reset exactly one waiter finds the handed-over signal (or the
    // state) for it and the rest wait on.
    signaled_.notify_all();
}

void Event::Reset() {
    std::lock_guard lock(mutex_);
    signaled_state_ = false;
}

WaitResult Event::Wait(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    if (manual_reset_) {
        return WaitFor(signaled_, lock, timeout, [this] { return signaled_state_; }) ? WaitResult::Signaled
                                                                                     : WaitResult::Timeout;
    }
    if (signaled_state_) {
        signaled_state_ = false;
        return WaitResult::Signaled;
    }
    ++waiting_;
    const bool got = WaitFor(signaled_, lock, timeout, [this] { return handed_over_ > 0 || signaled_state_; });
    --waiting_;
    if (!got) return WaitResult::Timeout;
    if (handed_over_ > 0) {
        --handed_over_;
    } else {
        signaled_state_ = false;
    }
    return WaitResult::Signaled;
}

bool Event::IsSignaled() const {
    std::lock_guard lock(mutex_);
    return signaled_state_;
}

std::int32_t Event::Waiting() const {
    std::lock_guard lock(mutex_);
    return waiting_ - handed_over_;
}

namespace {

// The process's named events. It lives in this shared library so that the program, the interface
// library and the adapter stand-in all resolve a name to the same object.
class EventRegistry {
public:
    static EventRegistry& Instance() {
        static EventRegistry registry;
        return registry;
    }

    std::shared_ptr<Event> Create(const std::string& name, bool manualReset, bool initiallySignaled) {
        std::lock_guard lock(mutex_);
        Prune();
        if (auto it = events_.find(name); it != events_.end()) {
            if (auto existing = it->second.lock()) return existing;
        }
        auto event = std::make_shared<Event>(manualReset, initiallySignaled);
        events_[name] = event;
        return event;
    }

    std::shared_ptr<Event> Open(const std::string& name) {
        std::lock_guard lock(mutex_);
        auto it = events_.find(name);
        return it == events_.end() ? nullptr : it->second.lock();
    }

private:
    // Drops names whose last holder let go, so the map does not grow with every short-lived name.
    void Prune() {
        for (auto it = events_.begin(); it != events_.end();) {
            it = it->second.expired() ? events_.erase(it) : std::next(it);
        }
    }

    std::mutex mutex_;
    std::map<std::string, std::weak_ptr<Event>> events_;
};

}  // namespace

std::shared_ptr<Event> CreateEvent(const std::string& name, bool manualReset, bool initiallySignaled) {
    // An unnamed event is private to its creator, as on the original kernel.
    if (name.empty()) return std::make_shared<Event>(manualReset, initiallySignaled);
    return EventRegistry::Instance().Create(name, manualReset, initiallySignaled);
}

std::shared_ptr<Event> OpenEvent(const std::string& name) {
    if (name.empty()) return nullptr;
    return EventRegistry::Instance().Open(name);
}

}  // namespace kernel
