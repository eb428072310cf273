#include "platform/kernel/large_memory.h"

#include <malloc.h>
#include <sys/mman.h>

#include <cstdint>

namespace kernel {

namespace {

std::size_t RoundedUp(std::size_t bytes) { return (bytes + kLargeBlockBytes - 1) & ~(kLargeBlockBytes - 1); }

}  // namespace

void ReturnLargeBlocksToTheSystem() {
    // A fixed threshold also stops the heap from raising it after each large block it frees.
    ::mallopt(M_MMAP_THRESHOLD, static_cast<int>(kLargeBlockBytes));
}

void* AllocateLarge(std::size_t bytes) {
    const std::size_t size = RoundedUp(bytes);
    if (size < bytes) throw std::bad_alloc();
    // Large pages need an aligned start: map one large page more and give back the ends.
    const std::size_t mapped = size + kLargeBlockBytes;
    void* raw = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (start + kLargeBlockBytes - 1) & ~(std::uintptr_t{kLargeBlockBytes} - 1);
    if (aligned > start) ::munmap(raw, aligned - start);
    const std::uintptr_t end = aligned + size;
    if (start + mapped > end) ::munmap(reinterpret_cast<void*>(end), start + mapped - end);
    // Only a hint: without large pages the memory works all the same.
    ::madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(aligned);
}

void FreeLarge(void* block, std::size_t bytes) noexcept {
    if (block != nullptr) ::munmap(block, RoundedUp(bytes));
}

}  // namespace kernel
