#include "imaging/contributor_cache.h"

#include <algorithm>
#include <exception>
#include <optional>

namespace imaging {

TContributorCache::TContributorCache(std::size_t capacity) : capacity_(std::max<std::size_t>(capacity, 1)) {}

std::shared_ptr<const TContributorTable> TContributorCache::Table(int DstLo, int DstHi, int ClipLo, int ClipHi,
                                                                  int SrcLo, int SrcHi, TStretchFilter Filter) {
    const Key key{DstLo, DstHi, ClipLo, ClipHi, SrcLo, SrcHi, static_cast<int>(Filter)};
    std::shared_future<std::shared_ptr<const TContributorTable>> table;
    std::optional<std::promise<std::shared_ptr<const TContributorTable>>> promise;
    {
        std::lock_guard lock(mutex_);
        const auto found = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.key == key; });
        if (found != entries_.end()) {
            table = found->table;
            std::rotate(found, found + 1, entries_.end());
        } else {
            promise.emplace();
            table = promise->get_future().share();
            if (entries_.size() == capacity_) entries_.erase(entries_.begin());
            entries_.push_back({key, table});
            ++built_;
        }
    }
    // Built outside the lock: other sizes need not wait for it.
    if (promise) {
        try {
            promise->set_value(std::make_shared<const TContributorTable>(
                BuildContributorTable(DstLo, DstHi, ClipLo, ClipHi, SrcLo, SrcHi, Filter)));
        } catch (...) {
            // Whoever waits for it sees the failure too; the next caller builds anew.
            promise->set_exception(std::current_exception());
            std::lock_guard lock(mutex_);
            std::erase_if(entries_, [&](const Entry& e) { return e.key == key; });
        }
    }
    return table.get();
}

std::size_t TContributorCache::Built() const {
    std::lock_guard lock(mutex_);
    return built_;
}

}  // namespace imaging
