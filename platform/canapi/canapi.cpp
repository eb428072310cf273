// The 14 exported functions of the adapter API stand-in and its one session.
#define CANAPI_BUILDING 1
#include "platform/canapi/canapi.h"

#include <chrono>
#include <cstdlib>
#include <memory>
#include <optional>
#include <shared_mutex>
#include <string>

#include "platform/canapi/channel.h"
#include "platform/canapi/receive_queue.h"
#include "platform/canapi/recorder_state.h"
#include "platform/canapi/records.h"
#include "platform/canapi/socketcan_backend.h"
#include "platform/canapi/vbus_backend.h"
#include "platform/kernel/sinks.h"
#include "platform/kernel/sync.h"

namespace canapi {

namespace {

// The adapter API has no handles: one session per process, from ca_InitApi_1 to ca_CloseApi.
struct Session {
    // Opening and closing take it exclusively; the other calls share it.
    std::shared_mutex mutex;
    bool open = false;
    Channel::Kind kind = Channel::Kind::VirtualBus;
    std::shared_ptr<kernel::Event> event;
    std::unique_ptr<ReceiveQueue> queue;
    std::unique_ptr<Backend> backend;  // null for the recording backend, or when opening failed
    bool ready = false;                // the backend is usable
    // How long a transmit waits for room in the adapter's queue; set by ca_Instruction_1.
    std::chrono::milliseconds transmit_timeout{0};
};

Session& TheSession() {
    static Session session;
    return session;
}

std::string ChannelSetting() {
    const char* value = std::getenv("CANAPI_CHANNEL");
    return value != nullptr ? value : "";
}

// Outside a session the environment decides, so calls made before opening are still logged.
bool Recording(const Session& s) { return s.open ? s.kind == Channel::Kind::Record : ChannelSetting() == "record"; }

// One log line: name(arg,arg,...).
class CallLine {
public:
    explicit CallLine(const char* name) : text_(name) { text_ += '('; }
    CallLine& Int(std::int64_t v) { return Add(std::to_string(v)); }
    CallLine& Block(const std::uint32_t* words) {
        if (words == nullptr) return Add("null");
        std::string b = "[";
        for (int i = 0; i < kCanapiRecordWords; ++i) {
            if (i > 0) b += ',';
            b += std::to_string(words[i]);
        }
        return Add(b + "]");
    }
    CallLine& Out(const void* pointer) { return Add(pointer != nullptr ? "out" : "null"); }
    std::string Text() const { return text_ + ')'; }

private:
    CallLine& Add(const std::string& arg) {
        if (!first_) text_ += ',';
        first_ = false;
        text_ += arg;
        return *this;
    }
    std::string text_;
    bool first_ = true;
};

void LogIfRecording(const Session& s, const CallLine& line) {
    if (Recording(s)) Recorder::Instance().Log(line.Text());
}

bool RecordedFailure(const Session& s, FailableCall call) {
    return s.kind == Channel::Kind::Record && Recorder::Instance().ConsumeFailure(call);
}

// The backend's result for calls that only need it open (and, when recording, no forced failure).
std::int32_t ReadyResult(const Session& s, FailableCall call) {
    if (!s.open || !s.ready) return 0;
    return RecordedFailure(s, call) ? 0 : 1;
}

// The instruction that sets the transmit time-out: word 0 = 101, the time-out in milliseconds as
// its high byte in word 2 and its low byte in word 3.
constexpr std::uint32_t kSetTransmitTimeout = 101;

std::optional<std::chrono::milliseconds> TransmitTimeoutOf(const std::uint32_t* block) {
    if (block[0] != kSetTransmitTimeout || block[2] > 0xFF || block[3] > 0xFF) return std::nullopt;
    return std::chrono::milliseconds(block[2] << 8 | block[3]);
}

// Which bus the session uses goes to the debug output: a person whose adapter never answers
// learns there that the editor is on the virtual bus.
void SayWhichChannel(const Channel& channel, bool from_environment) {
    if (channel.kind == Channel::Kind::SocketCan) {
        kernel::OutputDebugString("canapi: using SocketCAN interface \"" + channel.name + "\"");
    } else if (channel.kind == Channel::Kind::VirtualBus) {
        kernel::OutputDebugString("canapi: using the virtual bus \"" + channel.name + "\"" +
                                  (from_environment ? std::string()
                                                    : " (CANAPI_CHANNEL is not set; an adapter is reached with "
                                                      "CANAPI_CHANNEL=socketcan:<interface>)"));
    }
}

void Close(Session& s) {
    s.backend.reset();  // stops its receive thread before the queue goes
    if (s.kind == Channel::Kind::Record) Recorder::Instance().Attach(nullptr);
    s.queue.reset();
    s.event.reset();
    s.open = false;
    s.ready = false;
    s.transmit_timeout = {};
}

}  // namespace

}  // namespace canapi

using namespace canapi;

extern "C" {

int32_t ca_InitApi_1(int32_t mode, int32_t version) {
    Session& s = TheSession();
    std::unique_lock lock(s.mutex);
    if (s.open) {
        LogIfRecording(s, CallLine("ca_InitApi_1").Int(mode).Int(version));
        return 1;
    }
    const ChannelParse parsed = ParseChannel(ChannelSetting());
    s.kind = parsed.channel ? parsed.channel->kind : Channel::Kind::VirtualBus;
    s.open = true;
    LogIfRecording(s, CallLine("ca_InitApi_1").Int(mode).Int(version));
    // Manual reset: the caller resets it explicitly after each wake-up, and a set that happens
    // while it drains the queue must not be lost to another waiter.
    s.event = kernel::CreateEvent(CANAPI_INPUT_EVENT_NAME, true, false);
    s.queue = std::make_unique<ReceiveQueue>(kReceiveQueueCapacity, s.event);
    if (!parsed.channel) {
        kernel::OutputDebugString("canapi: " + parsed.error);
        return 1;
    }
    switch (parsed.channel->kind) {
    case Channel::Kind::Record:
        Recorder::Instance().Attach(s.queue.get());
        s.ready = true;
        break;
    case Channel::Kind::VirtualBus:
    case Channel::Kind::SocketCan: {
        BackendOpen opened = parsed.channel->kind == Channel::Kind::VirtualBus
                                 ? OpenVirtualBusBackend(parsed.channel->name, *s.queue)
                                 : OpenSocketCanBackend(parsed.channel->name, *s.queue);
        if (!opened.backend) {
            kernel::OutputDebugString("canapi: " + opened.error);
            break;
        }
        s.backend = std::move(opened.backend);
        s.ready = true;
        SayWhichChannel(*parsed.channel, !ChannelSetting().empty());
        break;
    }
    }
    return 1;
}

int32_t ca_ResetCanCard_1(void) {
    Session& s = TheSession();
    std::shared_lock lock(s.mutex);
    LogIfRecording(s, CallLine("ca_ResetCanCard_1"));
    const std::int32_t result = ReadyResult(s, FailableCall::ResetCanCard);
    // A reset adapter starts with an empty receive FIFO.
    if (result != 0 && s.kind != Channel::Kind::Record) s.queue->Clear();
    return result;
}

int32_t ca_InitCanCard_1(int32_t card, int32_t a1, int32_t a2, int32_t a3, const uint32_t* init_block, int32_t a5,
                         int32_t a6, int32_t a7, int32_t a8, int32_t a9) {
    Session& s = TheSession();
    std::shared_lock lock(s.mutex);
    LogIfRecording(s, CallLine("ca_InitCanCard_1")
                          .Int(card)
                          .Int(a1)
                          .Int(a2)
                          .Int(a3)
                          .Block(init_block)
                          .Int(a5)
                          .Int(a6)
                          .Int(a7)
                          .Int(a8)
                          .Int(a9));
    if (init_block == nullptr) return 0;
    return ReadyResult(s, FailableCall::InitCanCard);
}

int32_t ca_TransmitCanCard_1(int32_t card, int32_t channel, const uint32_t* record) {
    Session& s = TheSession();
    std::shared_lock lock(s.mutex);
    LogIfRecording(s, CallLine("ca_TransmitCanCard_1").Int(card).Int(channel).Block(record));
    if (!s.open || !s.ready) return 0;
    const std::optional<Frame> frame = TransmitFrame(record);
    if (!frame) return 0;
    if (s.kind == Channel::Kind::Record) {
        if (RecordedFailure(s, FailableCall::Transmit)) return 0;
        Record copy{};
        std::copy(record, record + kCanapiRecordWords, copy.begin());
        Recorder::Instance().AddTransmit(copy);
        return 1;
    }
    return s.backend->Transmit(*frame, s.transmit_timeout) == TransmitResult::Accepted ? 1 : 0;
}

int32_t ca_GetData_1(uint32_t* record) {
    Session& s = TheSession();
    std::shared_lock lock(s.mutex);
    LogIfRecording(s, CallLine("ca_GetData_1").Out(record));
    if (!s.open || record == nullptr) return 0;
    Record next{};
    if (!s.queue->Pop(next)) return 0;
    std::copy(next.begin(), next.end(), record);
    return 1;
}

int32_t ca_ResetSoftwareFilterMask_1(int32_t channel) {
    Session& s = TheSession();
    std::shared_lock lock(s.mutex);
    LogIfRecording(s, CallLine("ca_ResetSoftwareFilterMask_1").Int(channel));
    return 1;
}

int32_t ca_SetAllId_1(int32_t channel, int32_t state) {
    Session& s = TheSession();
    std::shared_lock lock(s.mutex);
    LogIfRecording(s, CallLine("ca_SetAllId_1").Int(channel).Int(state));
    return 1;
}

int32_t ca_SetFilterId_1(int32_t channel, int32_t id, int32_t state) {
    Session& s = TheSession();
    std::shared_lock lock(s.mutex);
    LogIfRecording(s, CallLine("ca_SetFilterId_1").Int(channel).Int(id).Int(state));
    return 1;
}

int32_t ca_Instruction_1(const uint32_t* instruction_block) {
    Session& s = TheSession();
    // Exclusive: the time-out it sets is read by every transmit.
    std::unique_lock lock(s.mutex);
    LogIfRecording(s, CallLine("ca_Instruction_1").Block(instruction_block));
    if (instruction_block == nullptr) return 0;
    const std::int32_t result = ReadyResult(s, FailableCall::Instruction);
    if (result != 0) {
        if (const auto timeout = TransmitTimeoutOf(instruction_block)) s.transmit_timeout = *timeout;
    }
    return result;
}

int32_t ca_GetCharData_1(uint8_t* buffer, int32_t length) {
    Session& s = TheSession();
    std::shared_lock lock(s.mutex);
    LogIfRecording(s, CallLine("ca_GetCharData_1").Out(buffer).Int(length));
    return 1;
}

int32_t ca_GetCharCplxData_1(uint8_t* buffer, int32_t length) {
    Session& s = TheSession();
    std::shared_lock lock(s.mutex);
    LogIfRecording(s, CallLine("ca_GetCharCplxData_1").Out(buffer).Int(length));
    return 1;
}

int32_t ca_ClearFifo_1(int32_t channel) {
    Session& s = TheSession();
    std::shared_lock lock(s.mutex);
    LogIfRecording(s, CallLine("ca_ClearFifo_1").Int(channel));
    return 1;
}

int32_t ca_SetFilterVar_1(int32_t channel, int32_t variable, int32_t value) {
    Session& s = TheSession();
    std::shared_lock lock(s.mutex);
    LogIfRecording(s, CallLine("ca_SetFilterVar_1").Int(channel).Int(variable).Int(value));
    return 1;
}

int32_t ca_CloseApi(void) {
    Session& s = TheSession();
    std::unique_lock lock(s.mutex);
    LogIfRecording(s, CallLine("ca_CloseApi"));
    if (s.open) Close(s);
    return 1;
}

}  // extern "C"
