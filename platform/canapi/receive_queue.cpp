// Bounded receive queue.
#include "platform/canapi/receive_queue.h"

#include <string>
#include <utility>

#include "platform/kernel/sinks.h"

namespace canapi {

ReceiveQueue::ReceiveQueue(std::size_t capacity, std::shared_ptr<kernel::Event> event)
    : capacity_(capacity), event_(std::move(event)) {}

bool ReceiveQueue::Push(const Record& record) {
    bool accepted = false;
    bool first_drop = false;
    std::uint64_t episode_dropped = 0;
    {
        std::lock_guard lock(mutex_);
        if (records_.size() >= capacity_) {
            ++dropped_;
            first_drop = dropped_in_episode_++ == 0;
        } else {
            records_.push_back(record);
            accepted = true;
            episode_dropped = std::exchange(dropped_in_episode_, 0);
        }
    }
    // The reader may already be waiting: signal after the record is in the queue.
    if (accepted && event_) event_->Set();
    // Reported outside the lock: the debug sink may be slow.
    if (first_drop) {
        kernel::OutputDebugString("canapi: receive queue full (" + std::to_string(capacity_) +
                                  " records), dropping received frames");
    }
    if (episode_dropped != 0) {
        kernel::OutputDebugString("canapi: receive queue has room again; " + std::to_string(episode_dropped) +
                                  " received frames were dropped");
    }
    return accepted;
}

bool ReceiveQueue::Pop(Record& record) {
    std::lock_guard lock(mutex_);
    if (records_.empty()) return false;
    record = records_.front();
    records_.pop_front();
    return true;
}

void ReceiveQueue::Clear() {
    std::lock_guard lock(mutex_);
    records_.clear();
}

std::size_t ReceiveQueue::Size() const {
    std::lock_guard lock(mutex_);
    return records_.size();
}

std::uint64_t ReceiveQueue::Dropped() const {
    std::lock_guard lock(mutex_);
    return dropped_;
}

}  // namespace canapi
