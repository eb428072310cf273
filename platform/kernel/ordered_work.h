// Work on a pool of threads whose results are taken in order on the calling thread: the
// pictures of one command are decoded side by side and still reach the album one after another.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace kernel {

// Runs `work(i)` for i = 0 .. count-1 on up to `threads` threads of its own, and on the calling
// thread while it waits, and calls `take(i)` on the calling thread for every i in order, each
// after its work(i) has returned. At most
// `window` items (at least `threads`) are begun and not yet taken, so work(i) may keep its
// result in slot i % window for take(i). When work(i) or take(i) throws, no later item begins,
// take still sees every item before i, and the exception passes to the caller once the threads
// have finished what they had begun. The threads end before RunOrdered returns.
void RunOrdered(std::size_t count, int threads, std::size_t window, const std::function<void(std::size_t)>& work,
                const std::function<void(std::size_t)>& take);

// RunOrdered with results: take(i, work(i)), keeping at most 2 * threads results in flight.
template <typename Result, typename Work, typename Take>
void RunOrderedResults(std::size_t count, int threads, Work work, Take take) {
    const std::size_t window = 2 * static_cast<std::size_t>(threads > 0 ? threads : 1);
    std::vector<std::optional<Result>> slots(window);
    RunOrdered(
        count, threads, window, [&](std::size_t i) { slots[i % window].emplace(work(i)); },
        [&](std::size_t i) {
            Result result = std::move(*slots[i % window]);
            slots[i % window].reset();
            take(i, std::move(result));
        });
}

}  // namespace kernel
