#include "imaging/thread_persistent.h"

#include <mutex>

namespace imaging {

namespace {
// One lock for the lock counts of every object of the process: the counts are read by other
// threads (to see whether an object is in use) while the owner holds the object's own lock.
kernel::CriticalSection& LockCountGuard() {
    static kernel::CriticalSection guard;
    return guard;
}
}  // namespace

void TThreadPersistent::Changed() {
    if (update_count_ == 0 && OnChange) OnChange(this);
}

void TThreadPersistent::Lock() {
    {
        std::lock_guard<kernel::CriticalSection> count_guard(LockCountGuard());
        ++lock_count_;
    }
    lock_.Enter();
}

void TThreadPersistent::Unlock() {
    lock_.Leave();
    std::lock_guard<kernel::CriticalSection> count_guard(LockCountGuard());
    --lock_count_;
}

std::int32_t TThreadPersistent::LockCount() const {
    std::lock_guard<kernel::CriticalSection> count_guard(LockCountGuard());
    return lock_count_;
}

}  // namespace imaging
