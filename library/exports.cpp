#include "library/exports.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <exception>

#include "library/can_disp.h"
#include "library/fault_monitor.h"
#include "library/nm.h"
#include "library/os_layer.h"
#include "library/pool_buffer.h"
#include "library/sdo_client.h"
#include "library/stack_modules.h"
#include "library/tracing.h"
#include "library/usb_intf.h"
#include "platform/kernel/thread.h"

namespace {

using namespace klp;

constexpr std::int32_t kMaxWriteLength = 0x2000000;
constexpr std::size_t kMaxDumpBytes = 32;
constexpr std::uint8_t kMaxNode = 31;
constexpr int kSystemStatePolls = 100;
constexpr std::chrono::milliseconds kSystemStatePollPause{1};
constexpr std::uint8_t kSystemStateRequestCode = 6;
constexpr std::uint8_t kNoAnswer = 255;

unsigned ThreadId() { return kernel::CurrentThreadId(); }

// The caller's record data, cut to what a trace line shows.
std::size_t DumpCount(std::int32_t length) {
    return std::min<std::size_t>(static_cast<std::size_t>(std::max(length, 0)), kMaxDumpBytes);
}
const char* DumpTail(std::int32_t length) {
    return static_cast<std::size_t>(std::max(length, 0)) > kMaxDumpBytes ? "...]" : "]";
}

// A transfer of the SDO client; a stack that is not open refuses it as a node that is not ready
// would.
SdoResult Transfer(TSDORECORD& r, SdoService service) {
    const StackCallScope call;
    if (!call) return SdoResult{SdoOutcome::kRefused};
    return SDOC_Communicate(r.node, r.index, r.subindex, r.data, r.length, service);
}

// The count a trace line shows for a transfer: its bytes, or -1 when it failed.
std::int32_t TracedCount(const SdoResult& result) { return result.ok() ? result.bytes : -1; }

CANBuf* FrameFromRecord(const TCANRECORD& record) {
    // The record holds 8 data bytes; a larger DLC would read past them.
    const std::uint8_t dlc = std::min<std::uint8_t>(record.dlc, 8);
    CANBuf* buf = CAN_NewFrame(record.cob_id, dlc);
    std::memcpy(buf->data, record.data, dlc);
    return buf;
}

}  // namespace

namespace klp {

std::uint8_t NodeStateCode(std::uint8_t nm_state) {
    switch (nm_state) {
    case 0:
        return 0;
    case 1:
        return 1;
    case 2:
        return 2;
    case 4:
        return 3;
    case 8:
        return 4;
    default:
        return 255;
    }
}

std::int32_t ProgressPercent(const SdoProgress& progress) {
    // 64 bits: sizes up to 32 MiB times 100 do not fit in 32.
    const std::int64_t total = progress.total;
    const std::int64_t done = progress.download ? total - progress.remaining : progress.received;
    return total == 0 ? 0 : static_cast<std::int32_t>(done * 100 / total);
}

}  // namespace klp

extern "C" {

bool OPENKLP(TINITKLP* init) {
    if (TraceOn(trace::kOpenClose)) TraceLibraryLine("openKLP()  ......");
    if (init == nullptr) return true;
    InstallProtocolHooks();
    const bool failed = init_KLP(init->sdo_timeout_ms, init->adapter_param) != StartResult::kStarted;
    if (TraceOn(trace::kOpenClose)) TraceLibraryFormat("openKLP = %u  ~~~~~~", failed ? 1u : 0u);
    return failed;
}

void CLOSEKLP() {
    if (TraceOn(trace::kOpenClose)) TraceLibraryLine("closeKLP()  ......");
    close_KLP();
    if (TraceOn(trace::kOpenClose)) TraceLibraryLine("closeKLP()  ~~~~~~");
}

void RESETKLP() {
    if (TraceOn(trace::kOpenClose)) TraceLibraryLine("resetKLP() > > >");
    if (const StackCallScope call; call) {
        // Handled by the dispatcher exactly as a received reset command addressed to every node.
        CANBuf* buf = CAN_NewFrame(cob::kNmCommand, 3);
        buf->data[0] = nm_command::kReset;
        buf->data[1] = 0;
        OS_Put(kDispatcherMailbox, msg::kNm, nm_event::kCommand, buf);
    }
    if (TraceOn(trace::kOpenClose)) TraceLibraryLine("resetKLP()  ~~~~~~");
}

bool READYKLP() {
    const bool ready = NM_Ready();
    if (TraceOn(trace::kStatus)) TraceLibraryFormat("readyKLP() = %u", ready ? 1u : 0u);
    return ready;
}

bool STOPPEDKLP() {
    const bool stopped = NM_Stopped();
    if (TraceOn(trace::kStatus)) TraceLibraryFormat("stoppedKLP() = %u", stopped ? 1u : 0u);
    return stopped;
}

std::uint8_t GETNODESTATEKLP() {
    const std::uint8_t state = NM_State();
    if (TraceOn(trace::kStatus)) TraceLibraryFormat("getNodeStateKLP(), NM_State() = %u", state);
    return NodeStateCode(state);
}

std::uint8_t GETNODEIDKLP() {
    const std::uint8_t id = NM_OwnNodeId();
    if (TraceOn(trace::kStatus)) TraceLibraryFormat("getNodeIdKLP() = %u", id);
    return id;
}

std::int32_t SETKLPTIMEOUT(std::uint32_t timeout_ms) {
    if (TraceOn(trace::kStatus)) {
        TraceLibraryFormat("@T:%u setKLPtimeout(timeout:%u ms)", ThreadId(), timeout_ms);
    }
    return OS_SetSdoTimeoutMs(timeout_ms);
}

bool READKLP(TSDORECORD* r) {
    if (r == nullptr) return true;
    const bool trace_on = TraceOn(trace::kRead);
    if (trace_on) {
        TraceLibraryFormat("@T:%u readKLP( node=%u idx=%06x subI=%02x )  ...", ThreadId(), r->node, r->index,
                           r->subindex);
    }
    try {
        SdoResult result;
        // A negative capacity names no data area at all: it fails like every attempt failing.
        const int attempts = r->length < 0 ? 0 : r->attempts;
        for (int attempt = 0; attempt < attempts; ++attempt) {
            if (CAN_PowerDownFlag() != 0) {
                if (trace_on) TraceLibraryLine("readKLP !ABORT (powerdn)!");
                return true;
            }
            result = Transfer(*r, SdoService::kUpload);
            if (result.ok()) break;
            if (trace_on) {
                TraceLibraryFormat("@T:%u readKLP dataLength = %d  !RETRY! ...", ThreadId(), TracedCount(result));
            }
        }
        if (!result.ok()) {
            if (trace_on) TraceLibraryFormat("@T:%u readKLP !FAILED!", ThreadId());
            return true;
        }
        r->length = result.bytes;
        if (trace_on) {
            if (r->length == 0) {
                TraceLibraryFormat("@T:%u readKLP OK, dataLength=%u  ILLEGAL?", ThreadId(), 0u);
            } else {
                TraceLibraryDump(DumpCount(r->length), r->data, DumpTail(r->length), "@T:%u readKLP OK, LEN=%u[",
                                 ThreadId(), static_cast<unsigned>(r->length));
            }
        }
        return false;
    } catch (const std::exception&) {
        if (TraceOn(trace::kExceptions)) TraceLibraryLine("readKLP !Exception!");
        return true;
    }
}

bool WRITEKLP(TSDORECORD* r) {
    if (r == nullptr) return true;
    const bool trace_on = TraceOn(trace::kWrite);
    if (r->length < 1 || r->length > kMaxWriteLength) {
        if (trace_on) {
            TraceLibraryFormat("writeKLP( node=%u idx=%06x subI=%02x) ILLEGAL LEN=%u", r->node, r->index, r->subindex,
                               static_cast<unsigned>(r->length));
        }
        return true;
    }
    if (trace_on) {
        TraceLibraryDump(DumpCount(r->length), r->data, DumpTail(r->length),
                         "@T:%u writeKLP( node=%u idx=%06x subI=%02x LEN=%u[", ThreadId(), r->node, r->index,
                         r->subindex, static_cast<unsigned>(r->length));
    }
    try {
        bool done = false;
        for (int attempt = 0; attempt < r->attempts; ++attempt) {
            if (CAN_PowerDownFlag() != 0) {
                // Written whatever the mask: the caller must be able to see why the device refused.
                TraceLibraryLine("writeKLP !BAD (powerdn)!");
                return true;
            }
            const SdoResult result = Transfer(*r, SdoService::kDownload);
            if (result.ok() && result.bytes == r->length) {
                done = true;
                break;
            }
            if (trace_on) {
                TraceLibraryFormat("@T:%u writeKLP wrretl=%d !RETRY! ...", ThreadId(), TracedCount(result));
            }
        }
        if (trace_on) {
            TraceLibraryFormat(done ? "@T:%u writeKLP : Ok." : "@T:%u writeKLP : !FAILED!", ThreadId());
        }
        return !done;
    } catch (const std::exception&) {
        if (TraceOn(trace::kExceptions)) TraceLibraryLine("writeKLP !Exception!");
        return true;
    }
}

void WRITECAN(TCANRECORD* record) {
    if (TraceOn(trace::kOpenClose)) {
        TraceLibraryFormat("writeCAN(COBId=%03x)", record != nullptr ? record->cob_id : 0u);
    }
    const StackCallScope call;
    if (record == nullptr || !call) return;
    CAN_SendMsg(FrameFromRecord(*record));
}

void WRITECANRTR(TCANRECORD* record) {
    if (TraceOn(trace::kOpenClose)) {
        TraceLibraryFormat("writeCANRTR(COBId=%03x)", record != nullptr ? record->cob_id : 0u);
    }
    const StackCallScope call;
    if (record == nullptr || !call) return;
    PoolBuffer buf(FrameFromRecord(*record));
    buf->rtr = 1;
    USB_SetupRemoteData(*buf.get());
}

std::int32_t COMMPROGKLP(std::uint16_t node) {
    if (CAN_PowerDownFlag() != 0 && TraceOn(trace::kStatus)) TraceLibraryLine("commProgKLP !BAD (powerdn)!");
    const std::int32_t percent = node <= kMaxNode ? ProgressPercent(SDOC_Progress(static_cast<std::uint8_t>(node))) : 0;
    if (TraceOn(trace::kStatus)) TraceLibraryFormat("commProgKLP(NodeId:%u) = %d%%", node, percent);
    return percent;
}

const TFAULTRECORD* GETFAULTKLP(std::int32_t index) {
    if (TraceOn(trace::kStatus)) TraceLibraryFormat("getFaultKLP(faultIndex:%d)", index);
    // The fault thread may remove any listed record at any moment; each caller thread gets its
    // own copy, which stays valid until that thread asks again.
    thread_local TFAULTRECORD copy{};
    const std::optional<TFAULTRECORD> record = FAULT_List().At(index);
    if (!record) return nullptr;
    copy = *record;
    return &copy;
}

std::uint8_t GETSYSTEMSTATE() {
    if (TraceOn(trace::kOpenClose)) TraceLibraryLine("getSystemState ...");
    std::uint8_t state = kNoAnswer;
    if (const StackCallScope call; call) {
        const std::uint8_t own = NM_OwnNodeId();
        CANBuf* buf = CAN_NewFrame(static_cast<std::uint16_t>(cob::kSystemStateRequest + own), 2);
        buf->data[0] = kSystemStateRequestCode;
        buf->data[1] = own;
        CAN_SetSystemState(kNoSystemState);
        CAN_SendMsg(buf);
        for (int poll = 0; poll < kSystemStatePolls && CAN_SystemState() == kNoSystemState && !OS_Stopping(); ++poll) {
            kernel::Sleep(kSystemStatePollPause);
        }
        state = CAN_SystemState();
    }
    if (TraceOn(trace::kOpenClose)) TraceLibraryFormat("getSystemState = %u", state);
    return state;
}

std::int32_t CHECKSYSTEMPOWERDOWNREQUEST() {
    const std::uint32_t flag = CAN_TakePowerDownFlag();
    if (TraceOn(trace::kStatus)) TraceLibraryFormat("checkSystemPowerDownRequest() = %u", flag);
    return static_cast<std::int32_t>(flag);
}

std::uint8_t CHECKSDO5CHANNELCONFLICT() {
    if (TraceOn(trace::kStatus)) TraceLibraryLine("checkSDO5ChannelConflict ...");
    const bool conflict = CAN_ConflictFlag();
    CAN_SetSdoChannelOpen(!conflict);
    if (const StackCallScope call; call && !conflict) OS_ResumeFaultThread();
    if (TraceOn(trace::kStatus)) TraceLibraryFormat("checkSDO5ChannelConflict = %u", conflict ? 1u : 0u);
    return conflict ? 1 : 0;
}

void SETTRACEFLAGS(std::int32_t mask) {
    TraceLibraryFormat("SetTraceFlags(traceFlags:%08x)", static_cast<unsigned>(mask));
    SetTraceMask(static_cast<std::uint32_t>(mask));
}

}  // extern "C"
