// The bounded queue of receive records that ca_GetData_1 reads. Pushing sets the adapter event.
// When the queue is full the new record is dropped and counted (the reader is far behind; older
// records keep their order), and the drop is reported once per episode on the debug output.
//
// Threads: any; one internal lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>

#include "platform/canapi/records.h"
#include "platform/kernel/sync.h"

namespace canapi {

inline constexpr std::size_t kReceiveQueueCapacity = 65536;

class ReceiveQueue {
public:
    ReceiveQueue(std::size_t capacity, std::shared_ptr<kernel::Event> event);
    ReceiveQueue(const ReceiveQueue&) = delete;
    ReceiveQueue& operator=(const ReceiveQueue&) = delete;

    // False when the queue was full and the record was dropped.
    bool Push(const Record& record);
    // False when empty.
    bool Pop(Record& record);
    void Clear();
    std::size_t Size() const;
    // Records dropped because the queue was full, since construction.
    std::uint64_t Dropped() const;

private:
    const std::size_t capacity_;
    const std::shared_ptr<kernel::Event> event_;
    mutable std::mutex mutex_;
    std::deque<Record> records_;
    std::uint64_t dropped_ = 0;
    std::uint64_t dropped_in_episode_ = 0;
};

}  // namespace canapi
