// Network management of the library's node (module NM).
//
// The library is itself a node: after the start it has no id and announces its identity every
// 500 ms until the bus master assigns one; the master's start command makes it operational, after
// which the master guards it, and the node falls back to the unassigned state when guarding stops
// for 1 s. All NM work runs on the dispatcher thread as NM events (message type 1); software timer
// 0 drives the announcements and the guard supervision.
//
// Threads: NM_Start and NM_Evt run on the dispatcher thread (NM_Start also once during the stack
// start, before the dispatcher runs). The queries may be called from any thread.
#pragma once

#include <cstdint>

namespace klp {

struct CANBuf;

// NM states.
inline constexpr std::uint8_t kNmNoId = 2;      // pre-operational, no id
inline constexpr std::uint8_t kNmAssigned = 4;  // id assigned / stopped
inline constexpr std::uint8_t kNmOperational = 8;

inline constexpr std::uint8_t kNoNodeId = 255;

// The node's identity, also served by its object dictionary (0x1000, 0x1006, 0x100B).
inline constexpr std::uint16_t kIdentityWord = 15;
inline constexpr std::uint32_t kIdentityValue = 10;
inline constexpr std::uint16_t kReplyWord = 0x0100;

// NM events (subtype of a type-1 message).
namespace nm_event {
inline constexpr std::uint8_t kCommand = 0;  // frame on 0x000 (or RESETKLP)
inline constexpr std::uint8_t kAssign = 1;   // frame on 0x7EA
inline constexpr std::uint8_t kGuard = 2;    // frame on 0x7C0 + own id
inline constexpr std::uint8_t kTimer = 3;    // timer 0 expired
}  // namespace nm_event

// NM commands (data[0] of a frame on 0x000).
namespace nm_command {
inline constexpr std::uint8_t kStart = 0x01;
inline constexpr std::uint8_t kStop = 0x02;
inline constexpr std::uint8_t kReset = 0x81;
inline constexpr std::uint8_t kClearStopped = 0x82;
}  // namespace nm_command

// Assignment-protocol COB-IDs.
namespace nm_cob {
inline constexpr std::uint16_t kAssignReply = 0x7E9;
inline constexpr std::uint16_t kRangeReply = 0x7E6;
inline constexpr std::uint16_t kAnnounce = 0x7EF;       // identity word 15
inline constexpr std::uint16_t kAnnounceAlt = 0x7F0;    // identity word 3
inline constexpr std::uint16_t kAnnounceOther = 0x7EC;  // any other identity word
}  // namespace nm_cob

// Stack start: every NM value back to its value at load (state 0, no id, stopped flag clear).
void NM_Reset();

// Own id := 255, state := 2; with post_event, a timer event (nm_event::kTimer) is posted to the
// dispatcher so that the first announcement goes out at once.
void NM_Start(bool post_event);

// Dispatcher thread: handles one NM event and consumes the buffer. An unknown event raises the
// kernel's fatal error code 9 ("NM protocol fatal error"; line 474, "NM::NM_Evt" in its text).
void NM_Evt(std::uint8_t event, CANBuf* buf);

// Fills `buf` with the announcement frame for an identity word (COB-ID, DLC, data).
void NM_BuildAnnounce(std::uint16_t identity_word, CANBuf& buf);

// Queries (any thread).
std::uint8_t NM_State();
bool NM_Ready();        // state 4 or 8
bool NM_Operational();  // state 8
bool NM_Stopped();
std::uint8_t NM_OwnNodeId();

}  // namespace klp
