// Memory for large buffers (full-size pictures and the files they come from) straight from the
// system, in its large pages where it has them. A fresh small page costs a trap on its first
// touch, and on a virtual machine a dear one: a camera picture's 48 MB would take 12 000 of them,
// its large pages take 24.
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace kernel {

// Blocks from this size on come from AllocateLarge; smaller ones from the heap.
inline constexpr std::size_t kLargeBlockBytes = std::size_t{2} << 20;

// From now on every block of kLargeBlockBytes and more that the process allocates (the
// toolkit's pictures too) comes straight from the system and goes back to it when freed. Left to
// itself the heap keeps large freed blocks for reuse in the thread that freed them, so pictures
// decoded one after another on several threads would stay resident once in every thread. The
// program calls it at its start.
void ReturnLargeBlocksToTheSystem();

// `bytes` (more than 0) of memory in large pages where the system gives them, zero on first
// touch; std::bad_alloc when there is none. FreeLarge takes the same `bytes` back.
void* AllocateLarge(std::size_t bytes);
void FreeLarge(void* block, std::size_t bytes) noexcept;

// An allocator for large buffers that leaves new elements as they are: memory that a decoder
// or a reader fills is written once, by it, instead of being zeroed first.
template <typename T>
struct LargeAllocator {
    using value_type = T;

    LargeAllocator() = default;
    template <typename U>
    LargeAllocator(const LargeAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_alloc();
        const std::size_t bytes = n * sizeof(T);
        if (bytes >= kLargeBlockBytes) return static_cast<T*>(AllocateLarge(bytes));
        return std::allocator<T>().allocate(n);
    }
    void deallocate(T* p, std::size_t n) noexcept {
        if (n * sizeof(T) >= kLargeBlockBytes) {
            FreeLarge(p, n * sizeof(T));
        } else {
            std::allocator<T>().deallocate(p, n);
        }
    }
    template <typename U>
    void construct(U* p) noexcept {
        ::new (static_cast<void*>(p)) U;
    }
    template <typename U, typename... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
    template <typename U>
    bool operator==(const LargeAllocator<U>&) const noexcept {
        return true;
    }
};

template <typename T>
using LargeBuffer = std::vector<T, LargeAllocator<T>>;

}  // namespace kernel
