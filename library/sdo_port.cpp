#include "library/sdo_port.h"

#include "library/can_disp.h"
#include "library/nm.h"
#include "library/os_layer.h"

namespace klp {

bool StackSdoPort::OwnNodeReady() { return NM_Ready(); }
std::uint8_t StackSdoPort::OwnNodeId() { return NM_OwnNodeId(); }
CANBuf* StackSdoPort::TakeBuffer() { return POOL_get_CANBuf(); }
void StackSdoPort::ReleaseBuffer(CANBuf* buf) { POOL_release_CANBuf(buf); }
void StackSdoPort::Send(CANBuf* buf) { CAN_SendMsg(buf); }
void StackSdoPort::Repost(CANBuf* buf) { OS_Put(kDispatcherMailbox, message_type_, msg::kFrame, buf); }
bool StackSdoPort::Stopping() { return OS_Stopping(); }
void StackSdoPort::ArmTimer() { TIM_Start(timer_, 1, kDispatcherMailbox, message_type_, msg::kTick, nullptr); }

}  // namespace klp
