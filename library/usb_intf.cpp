#include "library/usb_intf.h"

#include <algorithm>
#include <array>
#include <exception>
#include <mutex>
#include <string>

#include "library/tracing.h"
#include "platform/canapi/canapi.h"
#include "platform/kernel/module.h"
#include "platform/kernel/sinks.h"
#include "platform/kernel/sync.h"
#include "platform/kernel/thread.h"

namespace klp {
namespace {

using namespace std::chrono_literals;

constexpr std::uint16_t kRemoteDataCobId = 0x7ED;
// Identifiers the receive thread never passes on (the range the adapter would otherwise flood
// the dispatcher with).
constexpr std::uint16_t kDroppedFirst = 0x0B4;
constexpr std::uint16_t kDroppedLast = 0x6E0;
constexpr int kTransmitCalls = 4;
constexpr int kThreadRounds = 100;
constexpr std::chrono::milliseconds kThreadRound = 10ms;
constexpr std::chrono::milliseconds kEventWait = 50ms;
constexpr std::chrono::milliseconds kUninitialisedPoll = 10ms;
// A receive call that keeps failing would otherwise keep the thread from ever waiting again.
constexpr int kMaxReceiveErrorsInARow = 1000;

// Library-wide: the adapter lock, the single adapter object and the send token.
struct AdapterGlobals {
    kernel::CriticalSection lock;  // innermost: every transmit and receive call
    std::shared_ptr<TUSBIntf> adapter;
    Token send_token;
    std::atomic<std::int64_t> release_pause_ms{2500};
};

AdapterGlobals& G() {
    static AdapterGlobals g;
    return g;
}

std::shared_ptr<TUSBIntf> CurrentAdapter() {
    std::lock_guard guard(G().lock);
    return G().adapter;
}

using Record = std::array<std::uint32_t, kCanapiRecordWords>;

Record InitBlock() {
    Record block{};
    for (int i = 4; i < 8; ++i) block[i] = 0xFF;
    for (int i = 12; i < 16; ++i) block[i] = 0xFF;
    return block;
}

Record InstructionBlock() {
    // Transmit time-out 500: high byte 1, low byte 244, given twice.
    Record block = InitBlock();
    block[0] = 101;
    block[1] = 0;
    block[2] = 1;
    block[3] = 244;
    block[4] = 1;
    block[5] = 244;
    return block;
}

Record TransmitRecord(std::uint16_t cob_id, std::uint8_t dlc, const std::uint8_t* data, bool remote) {
    Record record{};
    record[0] = cob_id;
    record[1] = std::min<std::uint8_t>(dlc, 8);
    for (int i = 0; i < 8 && data != nullptr; ++i) record[2 + i] = data[i];
    record[11] = remote ? 1 : 0;
    return record;
}

const char* StatusText(std::uint32_t code) {
    switch (code) {
    case kCanapiStatusBusOff:
        return "USB CAN Adapter: Receive error->Bus-Off";
    case kCanapiStatusTransmitQueueFull:
        return "USB CAN Adapter: Receive error->Transmit-Queue full";
    case kCanapiStatusRestart:
        return "USB CAN Adapter: Receive error->Restart CAN-USB";
    case kCanapiStatusTransmitError:
        return "USB CAN Adapter: Receive error->Transmit Error";
    default:
        return "USB CAN Adapter: Receive error->Unknown Error";
    }
}

}  // namespace

struct TUSBIntf::Api {
    ca_InitApi_1_t init_api = nullptr;
    ca_ResetCanCard_1_t reset_card = nullptr;
    ca_InitCanCard_1_t init_card = nullptr;
    ca_TransmitCanCard_1_t transmit = nullptr;
    ca_GetData_1_t get_data = nullptr;
    ca_ResetSoftwareFilterMask_1_t reset_filter_mask = nullptr;
    ca_SetAllId_1_t set_all_id = nullptr;
    ca_SetFilterId_1_t set_filter_id = nullptr;
    ca_Instruction_1_t instruction = nullptr;
    ca_GetCharData_1_t get_char_data = nullptr;
    ca_GetCharCplxData_1_t get_char_cplx_data = nullptr;
    ca_ClearFifo_1_t clear_fifo = nullptr;
    ca_SetFilterVar_1_t set_filter_var = nullptr;
    ca_CloseApi_t close_api = nullptr;
};

namespace {
template <typename F>
void Bind(const kernel::Module& module, const char* name, F& target) {
    target = reinterpret_cast<F>(module.Symbol(name));
}
}  // namespace

TUSBIntf::TUSBIntf() : api_(std::make_unique<Api>()) {
    module_ = kernel::Module::Load("CANAPI.DLL");
    if (!module_) throw AdapterError("TUSBIntf: loading CANAPI.DLL failed");
    Api& a = *api_;
    Bind(*module_, "ca_InitApi_1", a.init_api);
    Bind(*module_, "ca_ResetCanCard_1", a.reset_card);
    Bind(*module_, "ca_InitCanCard_1", a.init_card);
    Bind(*module_, "ca_TransmitCanCard_1", a.transmit);
    Bind(*module_, "ca_GetData_1", a.get_data);
    Bind(*module_, "ca_ResetSoftwareFilterMask_1", a.reset_filter_mask);
    Bind(*module_, "ca_SetAllId_1", a.set_all_id);
    Bind(*module_, "ca_SetFilterId_1", a.set_filter_id);
    Bind(*module_, "ca_Instruction_1", a.instruction);
    Bind(*module_, "ca_GetCharData_1", a.get_char_data);
    Bind(*module_, "ca_GetCharCplxData_1", a.get_char_cplx_data);
    Bind(*module_, "ca_ClearFifo_1", a.clear_fifo);
    Bind(*module_, "ca_SetFilterVar_1", a.set_filter_var);
    Bind(*module_, "ca_CloseApi", a.close_api);
}

TUSBIntf::~TUSBIntf() {
    if (!closed_) {
        try {
            Close();
        } catch (const std::exception&) {
            // The receive thread did not end: it is joined below all the same.
        }
    }
    if (receive_thread_) {
        receive_state_ = 2;
        receive_thread_.reset();
    }
    Destroy();
}

void TUSBIntf::Destroy() {
    if (destroyed_) return;
    destroyed_ = true;
    {
        std::lock_guard guard(G().lock);
        module_.reset();
    }
    // The adapter needs this pause after its library is freed before it can be opened again.
    const std::int64_t pause_ms = G().release_pause_ms;
    if (pause_ms > 0) kernel::Sleep(std::chrono::milliseconds(pause_ms));
}

void TUSBIntf::ResetAndOpen() {
    if (!not_initialised_) return;
    if (api_->init_api != nullptr) {
        api_->init_api(11, 0x300);
        api_open_ = true;
    }
    if (api_->reset_card == nullptr || api_->reset_card() == 0) {
        throw AdapterError("USB CAN Adapter: unable to reset USB adapter");
    }
    input_event_ = kernel::OpenEvent(CANAPI_INPUT_EVENT_NAME);
    if (!input_event_) throw AdapterError("USB CAN Adapter: unable to open USBInput Event");

    if (receive_state_ == 0) {
        try {
            receive_thread_ =
                std::make_unique<kernel::Thread>([this] { return ReceiveTask(); }, kernel::Thread::Start::Running);
        } catch (const std::exception&) {
            throw AdapterError("USB CAN Adapter: unable to create receive thread");
        }
    }
    for (int round = 0; round < kThreadRounds && receive_state_ != 1; ++round) kernel::Sleep(kThreadRound);
    if (receive_state_ != 1) throw AdapterError("USB CAN Adapter: receive thread not started within 1 sec");
}

void TUSBIntf::Initialise() {
    if (!not_initialised_) return;
    Record init_block = InitBlock();
    if (api_->init_card == nullptr || api_->init_card(1, 0, 0, 0, init_block.data(), 7, 0x7F, 0, 0, 0) == 0) {
        throw AdapterError("USB CAN Adapter: unable to init USB adapter");
    }
    Record instruction_block = InstructionBlock();
    if (api_->instruction == nullptr || api_->instruction(instruction_block.data()) == 0) {
        throw AdapterError("USB CAN Adapter: unable to change transmit timeout time");
    }
    not_initialised_ = 0;
}

bool TUSBIntf::Transmit(const std::uint32_t record[16]) {
    std::lock_guard guard(G().lock);
    // Checked under the lock: Close clears the flag under it before the API goes away.
    if (not_initialised_ || api_->transmit == nullptr) return false;
    return api_->transmit(1, 0, record) != 0;
}

void TUSBIntf::Send(const CANBuf& buf) {
    if (not_initialised_) return;
    const Record record = TransmitRecord(buf.cob_id, buf.dlc, buf.data, buf.rtr != 0);
    if (TraceOn(trace::kAdapterTx)) TraceAdapterRecord("VARNHOLDzud-Tx ----", record.data(), false);
    for (int call = 0; call < kTransmitCalls; ++call) {
        if (Transmit(record.data())) return;
        if (not_initialised_) return;
        if (call + 1 < kTransmitCalls) kernel::Yield();
    }
}

void TUSBIntf::SetupRemoteData(const CANBuf& buf) {
    std::lock_guard guard(G().lock);
    pending_ = CANBuf{};
    pending_.cob_id = buf.cob_id;
    pending_.dlc = std::min<std::uint8_t>(buf.dlc, 8);
    std::copy(std::begin(buf.data), std::end(buf.data), std::begin(pending_.data));
    pending_.rtr = 0;
    const std::uint8_t was = rtr_toggle_.fetch_xor(1);
    if (was != 0 || buf.cob_id != kRemoteDataCobId || not_initialised_) return;
    const Record record = TransmitRecord(kRemoteDataCobId, 0, nullptr, true);
    if (TraceOn(trace::kAdapterTx)) TraceAdapterRecord("VARNHOLDzud-RTR-Tx ----", record.data(), false);
    if (!Transmit(record.data()) && TraceOn(trace::kAdapterTx)) {
        TraceLine("[TUSBIntf::SetupRemoteData] canSend virt-RTR error!");
    }
}

RxResult TUSBIntf::Receive(CANBuf& out) {
    if (not_initialised_) return RxResult::kNone;
    Record record{};
    {
        std::lock_guard guard(G().lock);
        if (not_initialised_ || api_->get_data == nullptr) return RxResult::kNone;
        if (api_->get_data(record.data()) == 0) return RxResult::kNone;
    }
    const std::uint32_t kind = record[0];
    if ((kind & 0xF000u) == 0x8000u) throw AdapterError(StatusText(record[1]));
    // A standard identifier has 11 bits; anything wider would alias onto another node's COB-ID.
    if ((kind != kCanapiKindStandardData && kind != kCanapiKindStandardRemote) || record[1] > 0x7FF) {
        throw AdapterError("USB CAN Adapter: Receive error->Extended frame received");
    }
    if (TraceOn(trace::kAdapterRx)) TraceAdapterRecord("VARNHOLDzud-Rx", record.data(), true);
    out.cob_id = static_cast<std::uint16_t>(record[1]);
    // The record holds 8 data words; a larger DLC from the adapter is cut to them.
    out.dlc = static_cast<std::uint8_t>(std::min<std::uint32_t>(record[2], 8));
    out.rtr = 0;
    for (int i = 0; i < out.dlc; ++i) out.data[i] = static_cast<std::uint8_t>(record[3 + i]);
    return RxResult::kFrame;
}

void TUSBIntf::HandleFrame(const CANBuf& frame) {
    CANBuf pending{};
    bool answer = false;
    {
        std::lock_guard guard(G().lock);
        if (rtr_toggle_ == 1 && frame.cob_id == pending_.cob_id) {
            pending = pending_;
            answer = true;
        }
    }
    if (answer) {
        Send(pending);
        return;
    }
    if (frame.cob_id >= kDroppedFirst && frame.cob_id <= kDroppedLast) return;
    // Once the stack is broken nobody takes from the mailbox; queueing would only empty the pool.
    if (OS_Broken()) return;
    CANBuf* buf = POOL_get_CANBuf();
    buf->cob_id = frame.cob_id;
    buf->dlc = frame.dlc;
    buf->rtr = 0;
    std::copy(std::begin(frame.data), std::end(frame.data), std::begin(buf->data));
    OS_Put(kDispatcherMailbox, msg::kCan, msg::kReceived, buf);
}

std::uint32_t TUSBIntf::ReceiveTask() {
    receive_state_ = 1;
    while (receive_state_ == 1) {
        if (not_initialised_) {
            kernel::Sleep(kUninitialisedPoll);
            continue;
        }
        if (input_event_->Wait(kEventWait) == kernel::WaitResult::Timeout) continue;
        input_event_->Reset();
        // Drain everything the adapter holds; a bad record costs only itself.
        int errors_in_a_row = 0;
        while (receive_state_ == 1 && errors_in_a_row < kMaxReceiveErrorsInARow) {
            try {
                CANBuf frame{};
                if (Receive(frame) == RxResult::kNone) break;
                errors_in_a_row = 0;
                HandleFrame(frame);
            } catch (const std::exception& e) {
                ++errors_in_a_row;
                if (TraceOn(trace::kAdapterRx)) TraceFormat("VARNHOLDzud-Rx %s", e.what());
            } catch (...) {
                ++errors_in_a_row;
            }
        }
    }
    input_event_.reset();
    receive_state_ = 0;
    return 0;
}

void TUSBIntf::Close() {
    closed_ = true;
    if (receive_thread_) {
        receive_state_ = 2;
        for (int round = 0; round < kThreadRounds && receive_state_ != 0; ++round) kernel::Sleep(kThreadRound);
        if (receive_state_ != 0) throw AdapterError("USB CAN Adapter: receive thread not stopped within 1 sec");
        receive_thread_.reset();
    }
    {
        // From here on no thread calls into the API: every call checks the flag under this lock.
        std::lock_guard guard(G().lock);
        not_initialised_ = 1;
    }
    OS_WakeDispatcher();
    if (api_open_ && api_->close_api != nullptr) api_->close_api();
    api_open_ = false;
}

// ---------------------------------------------------------------------------------------------
// Library-level wrappers

StartResult USB_Create(std::uint8_t /*adapter_param: ignored by the adapter*/) {
    AdapterGlobals& g = G();
    g.send_token = OS_CreateSemaphor(1, 1);
    std::shared_ptr<TUSBIntf> adapter;
    try {
        adapter = std::make_shared<TUSBIntf>();
        adapter->ResetAndOpen();
    } catch (...) {
        std::string text;
        try {
            throw;
        } catch (const std::exception& e) {
            text = e.what();
        } catch (...) {}
        kernel::MessageBox(text, "", kernel::kMbOk);
        // Nothing of a failed creation stays: the object's destructor stops its thread and frees
        // the library.
        adapter.reset();
        g.send_token.reset();
        return StartResult::kFailed;
    }
    std::lock_guard guard(g.lock);
    g.adapter = std::move(adapter);
    return StartResult::kStarted;
}

StartResult USB_Init() {
    const std::shared_ptr<TUSBIntf> adapter = CurrentAdapter();
    if (!adapter) return StartResult::kFailed;
    try {
        adapter->Initialise();
    } catch (...) {
        return StartResult::kFailed;
    }
    return StartResult::kStarted;
}

void USB_Destroy() {
    std::shared_ptr<TUSBIntf> adapter;
    {
        std::lock_guard guard(G().lock);
        adapter = G().adapter;
    }
    if (!adapter) return;
    // Close first while the object is still reachable, so a failure leaves it for a retry.
    adapter->Close();
    {
        std::lock_guard guard(G().lock);
        G().adapter.reset();
    }
    // A sender that copied the pointer may still hold the object; it sees it closed and leaves
    // without touching the library, which is freed here, on the stopping thread, with its pause.
    adapter->Destroy();
}

void USB_CloseSendToken() { G().send_token.reset(); }

void USB_Send(const CANBuf& buf) {
    if (const std::shared_ptr<TUSBIntf> adapter = CurrentAdapter()) adapter->Send(buf);
}

void USB_SetupRemoteData(const CANBuf& buf) {
    if (const std::shared_ptr<TUSBIntf> adapter = CurrentAdapter()) adapter->SetupRemoteData(buf);
}

kernel::Semaphore& USB_SendToken() {
    AdapterGlobals& g = G();
    if (!g.send_token) OS_FatalError(18, 0, "TUSBIntf::SendToken");
    return *g.send_token;
}

void USB_SetReleasePauseForTests(std::chrono::milliseconds pause) { G().release_pause_ms = pause.count(); }

}  // namespace klp
