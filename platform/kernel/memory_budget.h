// A total of memory that work running side by side holds at most at once: each piece takes its
// share before it allocates and gives it back when it is done, waiting while the others hold too
// much. The pictures of one command are decoded on several threads; each may need hundreds of
// megabytes, and together they must stay within what the machine gives a program.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace kernel {

class MemoryBudget {
public:
    explicit MemoryBudget(std::uint64_t total_bytes) : total_(total_bytes), free_(total_bytes) {}
    MemoryBudget(const MemoryBudget&) = delete;
    MemoryBudget& operator=(const MemoryBudget&) = delete;

    // Bytes taken from the budget, given back when it is destroyed or released.
    class Share {
    public:
        Share() = default;
        Share(Share&& other) noexcept;
        Share& operator=(Share&& other) noexcept;
        ~Share() { Release(); }
        void Release();
        std::uint64_t Bytes() const { return bytes_; }

    private:
        friend class MemoryBudget;
        Share(MemoryBudget* budget, std::uint64_t bytes) : budget_(budget), bytes_(bytes) {}
        MemoryBudget* budget_ = nullptr;
        std::uint64_t bytes_ = 0;
    };

    // Waits until `bytes` are free and takes them. Shares are handed out in the order they were
    // asked for, so a large one is not passed by small ones for ever. A share larger than the
    // whole budget takes all of it: that piece runs alone rather than never.
    Share Take(std::uint64_t bytes);

    std::uint64_t Total() const { return total_; }
    // The most bytes held at once so far.
    std::uint64_t PeakTaken() const;
    // Takes that wait (lets a test go on only once its takers wait).
    std::uint64_t Waiting() const;

private:
    void Give(std::uint64_t bytes);

    const std::uint64_t total_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::uint64_t free_;
    std::uint64_t peak_ = 0;
    std::uint64_t next_ticket_ = 0;  // handed to the next Take
    std::uint64_t serving_ = 0;      // the ticket whose Take may go next
};

}  // namespace kernel
