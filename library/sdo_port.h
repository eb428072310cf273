// The stack services the SDO client and server engines use, behind a port so that each engine can
// be driven without the running stack (tests give them their own buffers, bus and timer).
#pragma once

#include <cstdint>

#include "library/pool_buffer.h"

namespace klp {

struct CANBuf;

class SdoPort : public BufferOwner {
public:
    virtual ~SdoPort() = default;
    virtual bool OwnNodeReady() = 0;       // NM state 4 or 8
    virtual CANBuf* TakeBuffer() = 0;      // never null (an empty pool is fatal)
    virtual void Send(CANBuf* buf) = 0;    // consumes the buffer; may throw
    virtual void Repost(CANBuf* buf) = 0;  // back to the dispatcher as the engine's frame message
    virtual void ArmTimer() = 0;           // the engine's timer: one tick, then its tick message
    // True once the stack is being closed: a caller waiting for a transfer gives it up.
    virtual bool Stopping() { return false; }
};

using SdoClientPort = SdoPort;

class SdoServerPort : public SdoPort {
public:
    virtual std::uint8_t OwnNodeId() = 0;  // 255 while none is assigned
};

// The port over the running stack: the pool, CAN_SendMsg, the dispatcher's mailbox and one of the
// kernel's timers, for the engine whose messages carry `message_type`.
class StackSdoPort final : public SdoServerPort {
public:
    StackSdoPort(std::uint8_t message_type, std::uint8_t timer) : message_type_(message_type), timer_(timer) {}

    bool OwnNodeReady() override;
    std::uint8_t OwnNodeId() override;
    CANBuf* TakeBuffer() override;
    void ReleaseBuffer(CANBuf* buf) override;
    void Send(CANBuf* buf) override;
    void Repost(CANBuf* buf) override;
    void ArmTimer() override;
    bool Stopping() override;

private:
    std::uint8_t message_type_;
    std::uint8_t timer_;
};

}  // namespace klp
