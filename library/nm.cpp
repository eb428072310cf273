#include "library/nm.h"

#include <atomic>
#include <cstring>

#include "library/byte_order.h"
#include "library/can_disp.h"
#include "library/os_layer.h"
#include "library/pool_buffer.h"

namespace klp {
namespace {

// Read by the exports on caller threads while the dispatcher writes them.
std::atomic<std::uint8_t> g_state{0};
std::atomic<std::uint8_t> g_own_id{kNoNodeId};
std::atomic<std::uint8_t> g_stopped{0};

// Dispatcher thread only (and the stack start, before the dispatcher runs).
std::uint8_t g_guard_toggle = 0;
constexpr std::uint32_t kNoBound = 0xFFFFFFFFu;
std::uint32_t g_lower_bound = kNoBound;

// Timer 0 periods in 50 ms ticks.
constexpr std::uint8_t kAnnounceTicks = 10;   // 500 ms between announcements
constexpr std::uint8_t kSuperviseTicks = 20;  // 1 s: assignment pause, guard supervision

constexpr std::uint8_t kAssignCmd = 1;
constexpr std::uint8_t kRangeQuery = 6;
constexpr std::uint8_t kLowerBound = 7;
constexpr std::uint8_t kUpperBound = 8;

constexpr std::uint16_t kAltIdentityWord = 3;

constexpr std::uint8_t kMinNodeId = 1;
constexpr std::uint8_t kMaxNodeId = 31;

constexpr auto& Le16 = le::Get16;
constexpr auto& Le32 = le::Get32;

void StartNmTimer(std::uint8_t ticks) {
    TIM_Start(kNmTimer, ticks, kDispatcherMailbox, msg::kNm, nm_event::kTimer, nullptr);
}

// Turns a held buffer into an empty data frame on `cob_id`.
void MakeEmptyFrame(CANBuf& buf, std::uint16_t cob_id) {
    buf.cob_id = cob_id;
    buf.rtr = 0;
    buf.dlc = 0;
    std::memset(buf.data, 0, sizeof buf.data);
}

void HandleCommand(const CANBuf& buf) {
    if (!NM_Ready() || buf.dlc != 3) return;
    const std::uint8_t target = buf.data[1];
    if (target != 0 && target != g_own_id.load()) return;
    switch (buf.data[0]) {
    case nm_command::kStart:
        g_state = kNmOperational;
        StartNmTimer(kSuperviseTicks);
        g_guard_toggle = 0;
        break;
    case nm_command::kStop:
        g_state = kNmAssigned;
        if (target == 0) g_stopped = 1;
        TIM_Stop(kNmTimer);
        break;
    case nm_command::kReset:
        TIM_Stop(kNmTimer);
        NM_Start(false);
        StartNmTimer(kAnnounceTicks);
        g_stopped = 1;
        break;
    case nm_command::kClearStopped:
        g_stopped = 0;
        break;
    default:
        break;
    }
}

// Returns true when the buffer was turned into an answer that must be sent.
bool HandleAssign(CANBuf& buf) {
    if (buf.dlc != 8 || g_state.load() != kNmNoId) return false;
    TIM_Stop(kNmTimer);
    bool answer = false;
    const std::uint8_t* d = buf.data;
    switch (d[0]) {
    case kAssignCmd: {
        const std::uint8_t id = d[1];
        // An id outside the bus's range would make the node answer frames of other services.
        const bool id_valid = id >= kMinNodeId && id <= kMaxNodeId;
        if (Le16(d + 2) == kIdentityWord && Le32(d + 4) == kIdentityValue && id_valid) {
            g_own_id = id;
            g_state = kNmAssigned;
            buf.cob_id = nm_cob::kAssignReply;
            buf.rtr = 0;
            buf.data[2] = static_cast<std::uint8_t>(kReplyWord >> 8);
            buf.data[3] = static_cast<std::uint8_t>(kReplyWord & 0xFF);
            answer = true;
        }
        break;
    }
    case kRangeQuery:
        if (Le16(d + 1) <= kIdentityWord && kIdentityWord <= Le16(d + 3)) {
            MakeEmptyFrame(buf, nm_cob::kRangeReply);
            answer = true;
        }
        break;
    case kLowerBound:
        g_lower_bound = Le16(d + 1) == kIdentityWord ? Le32(d + 3) : kNoBound;
        break;
    case kUpperBound:
        if (Le16(d + 1) == kIdentityWord && g_lower_bound <= kIdentityValue && kIdentityValue <= Le32(d + 3)) {
            MakeEmptyFrame(buf, nm_cob::kRangeReply);
            answer = true;
        }
        g_lower_bound = kNoBound;
        break;
    default:
        break;
    }
    // Armed before the answer goes out, so that a send that raises cannot stop the announcements.
    StartNmTimer(kSuperviseTicks);
    return answer;
}

bool HandleGuard(CANBuf& buf) {
    const std::uint8_t state = g_state.load();
    if (state != kNmOperational) return false;
    buf.rtr = 0;
    buf.dlc = 1;
    std::memset(buf.data, 0, sizeof buf.data);
    buf.data[0] = static_cast<std::uint8_t>(state | g_guard_toggle);
    g_guard_toggle ^= 0x80;
    StartNmTimer(kSuperviseTicks);
    return true;
}

bool HandleTimer(CANBuf& buf) {
    switch (g_state.load()) {
    case kNmNoId:
        NM_BuildAnnounce(kIdentityWord, buf);
        StartNmTimer(kAnnounceTicks);
        return true;
    case kNmOperational:
        // The master stopped guarding for a whole supervision period: leave the bus and ask again.
        NM_Start(true);
        return false;
    default:
        return false;
    }
}

}  // namespace

void NM_Reset() {
    g_state = 0;
    g_own_id = kNoNodeId;
    g_stopped = 0;
    g_guard_toggle = 0;
    g_lower_bound = kNoBound;
}

void NM_Start(bool post_event) {
    g_own_id = kNoNodeId;
    g_state = kNmNoId;
    if (post_event) OS_Put(kDispatcherMailbox, msg::kNm, nm_event::kTimer, nullptr);
}

void NM_BuildAnnounce(std::uint16_t identity_word, CANBuf& buf) {
    // Two identity words have announcement COB-IDs of their own; all others announce empty.
    std::uint16_t cob_id = nm_cob::kAnnounceOther;
    if (identity_word == kIdentityWord) cob_id = nm_cob::kAnnounce;
    if (identity_word == kAltIdentityWord) cob_id = nm_cob::kAnnounceAlt;
    MakeEmptyFrame(buf, cob_id);
    if (cob_id == nm_cob::kAnnounceOther) return;
    buf.dlc = 8;
    buf.data[0] = static_cast<std::uint8_t>(identity_word & 0xFF);
    buf.data[1] = static_cast<std::uint8_t>(identity_word >> 8);
    for (int i = 0; i < 4; ++i) buf.data[2 + i] = static_cast<std::uint8_t>(kIdentityValue >> (8 * i));
    buf.data[6] = static_cast<std::uint8_t>(kReplyWord >> 8);
    buf.data[7] = static_cast<std::uint8_t>(kReplyWord & 0xFF);
}

void NM_Evt(std::uint8_t event, CANBuf* buf) {
    PoolBuffer hold(buf);
    bool send = false;
    switch (event) {
    case nm_event::kCommand:
        if (buf) HandleCommand(*buf);
        break;
    case nm_event::kAssign:
        send = buf && HandleAssign(*buf);
        break;
    case nm_event::kGuard:
        send = buf && HandleGuard(*buf);
        break;
    case nm_event::kTimer:
        send = buf && HandleTimer(*buf);
        break;
    default:
        POOL_release_CANBuf(hold.release());
        OS_FatalError(9, 474, "NM::NM_Evt");
    }
    if (send) CAN_SendMsg(hold.release());
}

std::uint8_t NM_State() { return g_state.load(); }
bool NM_Ready() {
    const std::uint8_t state = g_state.load();
    return state == kNmAssigned || state == kNmOperational;
}
bool NM_Operational() { return g_state.load() == kNmOperational; }
bool NM_Stopped() { return g_stopped.load() != 0; }
std::uint8_t NM_OwnNodeId() { return g_own_id.load(); }

}  // namespace klp
