// Holding a message buffer: whoever takes one from the pool (directly, or through a port that
// stands for the pool in tests) gives it back on every path unless it hands it on.
#pragma once

#include <cstdint>

namespace klp {

struct CANBuf;

// Where a held buffer goes back to.
class BufferOwner {
public:
    virtual void ReleaseBuffer(CANBuf* buf) = 0;

protected:
    ~BufferOwner() = default;
};

// The library's pool as an owner (POOL_release_CANBuf).
BufferOwner& ThePool();

// Holds one buffer and gives it back to its owner on every path unless it is handed on with
// release(). A release that fails (a broken pool) is swallowed: the fatal error has been
// reported, and a destructor must not throw.
class PoolBuffer {
public:
    explicit PoolBuffer(CANBuf* buf) noexcept : PoolBuffer(ThePool(), buf) {}
    PoolBuffer(BufferOwner& owner, CANBuf* buf) noexcept : owner_(owner), buf_(buf) {}
    ~PoolBuffer();
    PoolBuffer(const PoolBuffer&) = delete;
    PoolBuffer& operator=(const PoolBuffer&) = delete;

    CANBuf* get() const noexcept { return buf_; }
    CANBuf* operator->() const noexcept { return buf_; }
    std::uint8_t* data() const noexcept;
    CANBuf* release() noexcept {
        CANBuf* buf = buf_;
        buf_ = nullptr;
        return buf;
    }

private:
    BufferOwner& owner_;
    CANBuf* buf_;
};

}  // namespace klp
