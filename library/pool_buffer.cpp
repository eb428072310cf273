#include "library/pool_buffer.h"

#include "library/os_layer.h"

namespace klp {

namespace {

class Pool final : public BufferOwner {
public:
    void ReleaseBuffer(CANBuf* buf) override { POOL_release_CANBuf(buf); }
};

}  // namespace

BufferOwner& ThePool() {
    static Pool pool;
    return pool;
}

PoolBuffer::~PoolBuffer() {
    if (buf_ == nullptr) return;
    try {
        owner_.ReleaseBuffer(buf_);
    } catch (...) {
        // The pool reported its broken invariant as a fatal error already.
    }
}

std::uint8_t* PoolBuffer::data() const noexcept { return buf_->data; }

}  // namespace klp
