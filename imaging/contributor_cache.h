// Contributor tables kept for reuse while pictures of the same size are reduced to the same
// size: their weights are worked out once (in extended precision, which is dear) and shared.
#pragma once

#include <array>
#include <cstddef>
#include <future>
#include <memory>
#include <mutex>
#include <vector>

#include "imaging/contributor_table.h"

namespace imaging {

class TContributorCache {
public:
    // Keeps the tables of the last `capacity` (at least 1) different arguments.
    explicit TContributorCache(std::size_t capacity = 8);

    // BuildContributorTable(...) for these arguments, built once while it is kept: threads that
    // ask for a table another thread is building wait for it. Safe on any thread.
    std::shared_ptr<const TContributorTable> Table(int DstLo, int DstHi, int ClipLo, int ClipHi, int SrcLo, int SrcHi,
                                                   TStretchFilter Filter);

    // Tables built so far (not taken from the cache).
    std::size_t Built() const;

private:
    using Key = std::array<int, 7>;
    struct Entry {
        Key key;
        std::shared_future<std::shared_ptr<const TContributorTable>> table;
    };

    const std::size_t capacity_;
    mutable std::mutex mutex_;
    std::vector<Entry> entries_;  // the most recently used last
    std::size_t built_ = 0;
};

}  // namespace imaging
