// TThreadPersistent: change notification with an update counter, and a per-object lock for
// callers that share an object between threads. The object itself is used on one thread at a
// time; Lock/Unlock are the sharing callers' business.
#pragma once

#include <cstdint>
#include <string>

#include "platform/kernel/sync.h"
#include "platform/ui/core/persistent.h"

namespace imaging {

class TThreadPersistent : public ui::TPersistent {
public:
    TThreadPersistent() = default;
    TThreadPersistent(const TThreadPersistent&) = delete;
    TThreadPersistent& operator=(const TThreadPersistent&) = delete;
    ~TThreadPersistent() override = default;

    std::string ClassName() const override { return "TThreadPersistent"; }

    // Fires OnChange (sender = this) unless updates are suspended.
    virtual void Changed();
    // Suspend / resume OnChange; neither notifies by itself.
    void BeginUpdate() { ++update_count_; }
    void EndUpdate() { --update_count_; }
    std::int32_t UpdateCount() const { return update_count_; }

    // Counts the caller in (under the process-wide lock-count lock), then enters the object's lock.
    void Lock();
    // Leaves the object's lock, then counts the caller out.
    void Unlock();
    std::int32_t LockCount() const;

    ui::TNotifyEvent OnChange;

private:
    kernel::CriticalSection lock_;
    std::int32_t lock_count_ = 0;
    std::int32_t update_count_ = 0;
};

}  // namespace imaging
