#include "library/can_disp.h"

#include <atomic>
#include <cstring>
#include <exception>
#include <stdexcept>

#include "library/fault_monitor.h"
#include "library/nm.h"
#include "library/os_layer.h"
#include "library/pool_buffer.h"
#include "library/sdo_client.h"
#include "library/sdo_protocol.h"
#include "library/sdo_server.h"
#include "library/tracing.h"
#include "library/usb_intf.h"
#include "platform/kernel/thread.h"

namespace klp {
namespace {

std::atomic<std::uint8_t> g_system_state{kNoSystemState};
std::atomic<std::uint32_t> g_power_down{0};
std::atomic<std::uint8_t> g_conflict{0};
std::atomic<std::uint8_t> g_channel_open{0};

constexpr std::uint16_t kStandardIdLimit = 0x800;
constexpr std::uint16_t kNodeMask = 0x1F;

bool InRange(std::uint16_t id, std::uint16_t first, std::uint16_t last) { return id >= first && id <= last; }

// Holds the send token for one whole frame (transmit and loop-back), given back on every path.
// Once the stack is being closed nobody waits for a token another sender holds: that frame is not
// taken, as the adapter drops a frame it cannot send, and the close need not wait for its sender.
class SendTokenHold {
public:
    SendTokenHold() : token_(USB_SendToken()) {
        while (!OS_WaitTokenFor(token_, kTick)) {
            if (OS_Stopping()) return;
        }
        held_ = true;
    }
    ~SendTokenHold() {
        if (!held_) return;
        try {
            OS_SendToken(token_);
        } catch (...) {
            // A token that cannot be given back is a fatal error, already shown; the frame has gone.
        }
    }
    SendTokenHold(const SendTokenHold&) = delete;
    SendTokenHold& operator=(const SendTokenHold&) = delete;

    bool held() const { return held_; }

private:
    kernel::Semaphore& token_;
    bool held_ = false;
};

void MasterCommand(const CANBuf& buf) {
    if (buf.dlc >= 3 && buf.data[0] == kMasterSystemState0 && buf.data[1] == kMasterSystemState1) {
        g_system_state = buf.data[2];
    } else if (buf.dlc >= 1 && buf.data[0] == kMasterForcePowerDown) {
        g_power_down = 1;
        if (TraceOn(trace::kPowerDown)) TraceLibraryLine("Can_disp.fDispatchMsg CMM_CMD_FORCE_POWERDOWN!");
    }
}

void Dispatch(CANBuf* buf) {
    PoolBuffer hold(buf);
    switch (buf->type) {
    case msg::kCan:
        if (buf->subtype == msg::kReceived) {
            fDispatchMsg(hold.release());
        } else if (buf->subtype == msg::kSend) {
            CAN_SendMsg(hold.release());
        }
        return;
    case msg::kNm:
        NM_Evt(buf->subtype, hold.release());
        return;
    case msg::kSdoClient:
        if (CAN_SdoChannelOpen() || buf->subtype != msg::kFrame) SDOC_Handler(buf->subtype, hold.release());
        return;
    case msg::kSdoServer:
        SDOS_Handler(buf->subtype, hold.release());
        return;
    case msg::kIgnored:
        return;
    default:
        POOL_release_CANBuf(hold.release());
        OS_FatalError(8, 487, "CAN_DISP::CAND_Task");
    }
}

}  // namespace

CANBuf* CAN_NewFrame(std::uint16_t cob_id, std::uint8_t dlc) {
    CANBuf* buf = POOL_get_CANBuf();
    buf->cob_id = cob_id;
    buf->rtr = 0;
    buf->dlc = dlc;
    std::memset(buf->data, 0, sizeof buf->data);
    return buf;
}

void CAND_Task() {
    while (!OS_Stopping()) {
        CANBuf* buf = OS_Get(kDispatcherMailbox, -1);
        if (buf == nullptr) {
            // Only a broken stack fails a wait without time limit: idle until the close stops us.
            kernel::Sleep(kTick);
            continue;
        }
        CAND_Dispatch(buf);
    }
}

void CAND_Dispatch(CANBuf* buf) {
    try {
        Dispatch(buf);
    } catch (const std::exception&) {
        // A fatal error has been shown and marks the stack broken; any other failure of a
        // handler loses that one message, as a dropped frame would. The dispatcher keeps
        // serving so that the stack can still be closed.
    }
}

void fDispatchMsg(CANBuf* buf) {
    if (buf == nullptr) return;
    PoolBuffer hold(buf);
    const std::uint16_t id = buf->cob_id;
    if (id >= kStandardIdLimit) return;
    const std::uint8_t node = id & kNodeMask;
    const std::uint8_t own = NM_OwnNodeId();
    const bool ready = NM_Ready();

    if (id == cob::kNmCommand) {
        NM_Evt(nm_event::kCommand, hold.release());
    } else if (InRange(id, cob::kFaultFirst, cob::kFaultLast)) {
        buf->cob_id = static_cast<std::uint16_t>(id - cob::kFaultBase);
        FAULT_Queue(hold.release());
    } else if (id == cob::kMasterCommand) {
        MasterCommand(*buf);
    } else if (InRange(id, cob::kServerRequestFirst, cob::kServerRequestLast)) {
        if (node == own && node != 0 && ready) SDOS_Handler(msg::kFrame, hold.release());
    } else if (InRange(id, sdo::kResponseBase + 1, sdo::kResponseBase + kNodeMask)) {
        if (!ready) return;
        // Another client's traffic on the response channel (or our own server's answers).
        g_conflict = 1;
        if (CAN_SdoChannelOpen()) SDOC_Handler(msg::kFrame, hold.release());
    } else if (InRange(id, sdo::kRequestBase + 1, sdo::kRequestBase + kNodeMask)) {
        if (ready) SDOS_Handler(msg::kFrame, hold.release());
    } else if (InRange(id, cob::kGuard + 1, cob::kGuard + kNodeMask)) {
        if (node == own) NM_Evt(nm_event::kGuard, hold.release());
    } else if (id == cob::kAssignRequest) {
        NM_Evt(nm_event::kAssign, hold.release());
    }
}

void CAN_SendMsg(CANBuf* buf) {
    if (buf == nullptr) throw std::invalid_argument("CAN_SendMsg: NULL pointer received");
    PoolBuffer hold(buf);  // released after the token is back when not looped back
    SendTokenHold token;
    if (!token.held()) return;
    USB_Send(*buf);
    const std::uint8_t own = NM_OwnNodeId();
    // The guard reply travels on the request's own COB-ID; looped back it would be a new request
    // and the node would answer itself for ever.
    const bool own_guard_reply = buf->cob_id == cob::kGuard + own;
    if ((buf->cob_id & kNodeMask) == own && !own_guard_reply) {
        OS_Put(kDispatcherMailbox, msg::kCan, msg::kReceived, hold.release());
    }
}

std::uint8_t CAN_SystemState() { return g_system_state.load(); }
void CAN_SetSystemState(std::uint8_t state) { g_system_state = state; }
std::uint32_t CAN_PowerDownFlag() { return g_power_down.load(); }
std::uint32_t CAN_TakePowerDownFlag() { return g_power_down.exchange(0); }
bool CAN_ConflictFlag() { return g_conflict.load() != 0; }
void CAN_ClearConflictFlag() { g_conflict = 0; }
bool CAN_SdoChannelOpen() { return g_channel_open.load() != 0; }
void CAN_SetSdoChannelOpen(bool open) { g_channel_open = open ? 1 : 0; }

void CAN_ResetFlags() {
    g_system_state = kNoSystemState;
    g_power_down = 0;
    g_conflict = 0;
    g_channel_open = 0;
}

}  // namespace klp
