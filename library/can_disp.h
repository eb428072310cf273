// CAN dispatcher and send layer (module CAN_DISP).
//
// Owns the dispatcher thread body CAND_Task, which serves mailbox 1 and so runs every protocol
// handler of the library one message at a time; the frame dispatch fDispatchMsg, which routes each
// received frame by its COB-ID; and CAN_SendMsg, the one path by which the library puts a frame on
// the bus. Frames the node sends to its own id come back through the dispatcher, so the library's
// SDO client can talk to its own SDO server.
//
// Also owns the bus-wide flags the exports read: the system state, the power-down flag, the
// conflict flag and the SDO channel open flag. They are written by one thread and read by others;
// they are atomics so that a reader always sees a whole value.
#pragma once

#include <cstdint>

namespace klp {

struct CANBuf;

// A fresh buffer from the pool holding an empty data frame: the given COB-ID and DLC, remote-
// request flag 0 and all eight data bytes 0 (a pooled buffer keeps the bytes of its last use).
CANBuf* CAN_NewFrame(std::uint16_t cob_id, std::uint8_t dlc);

// COB-ID plan of the node (node part = COB-ID & 0x1F).
namespace cob {
inline constexpr std::uint16_t kNmCommand = 0x000;
inline constexpr std::uint16_t kFaultFirst = 0x041;  // fault report of node 1..
inline constexpr std::uint16_t kFaultLast = 0x05F;   // .. 31
inline constexpr std::uint16_t kFaultBase = 0x040;
inline constexpr std::uint16_t kSystemStateRequest = 0x060;  // + own id
inline constexpr std::uint16_t kMasterCommand = 0x080;
inline constexpr std::uint16_t kServerRequestFirst = 0x700;  // channels 1-4: 0x700/0x720/0x740/0x760 + own
inline constexpr std::uint16_t kServerRequestLast = 0x77F;
// The main SDO channel's requests and answers: sdo::kRequestBase, sdo::kResponseBase + node.
inline constexpr std::uint16_t kGuard = 0x7C0;  // + own
inline constexpr std::uint16_t kAssignRequest = 0x7EA;
}  // namespace cob

// Bytes of a bus-master command on 0x080.
inline constexpr std::uint8_t kMasterSystemState0 = 7;  // data {7, 1, state}
inline constexpr std::uint8_t kMasterSystemState1 = 1;
inline constexpr std::uint8_t kMasterForcePowerDown = 0x85;
// The system state while no answer has come.
inline constexpr std::uint8_t kNoSystemState = 255;

// Thread body of the dispatcher: takes buffers from mailbox 1 until the stop flag is set and hands
// each to its handler. Runs on the dispatcher thread only.
void CAND_Task();
// Dispatcher thread only: hands one message taken from mailbox 1 to its handler and consumes the
// buffer, as one round of CAND_Task does. A harness that plays the dispatcher thread itself (the
// fuzz target, which runs every message on its own thread) calls it.
void CAND_Dispatch(CANBuf* buf);

// Dispatcher thread only: routes one received frame and consumes the buffer (passes it on or
// releases it).
void fDispatchMsg(CANBuf* buf);

// Any thread: sends the frame and consumes the buffer. A frame to the node's own id is posted back
// to mailbox 1 as received (except the node's own guard reply, which would be answered for ever).
// A null buffer raises std::invalid_argument; an exception of the adapter passes on after the
// buffer has been released and the send token given back.
void CAN_SendMsg(CANBuf* buf);

// Flags (any thread).
std::uint8_t CAN_SystemState();
void CAN_SetSystemState(std::uint8_t state);
// Non-zero once the bus master commanded a forced power-down.
std::uint32_t CAN_PowerDownFlag();
// Returns the power-down flag and clears it in one step, so a request is reported exactly once.
std::uint32_t CAN_TakePowerDownFlag();
bool CAN_ConflictFlag();
void CAN_ClearConflictFlag();
bool CAN_SdoChannelOpen();
void CAN_SetSdoChannelOpen(bool open);

// Stack start: every flag back to its value at load (system state 255, the others 0).
void CAN_ResetFlags();

}  // namespace klp
