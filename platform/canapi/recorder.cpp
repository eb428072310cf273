// Recording backend state and the exported test interface.
#define CANAPI_BUILDING 1
#include "platform/canapi/recorder.h"

#include <cstring>

#include "platform/canapi/recorder_state.h"

namespace canapi {

Recorder& Recorder::Instance() {
    static Recorder recorder;
    return recorder;
}

void Recorder::Reset() {
    std::lock_guard lock(mutex_);
    log_.clear();
    transmits_.clear();
    failures_.fill(0);
    if (queue_ != nullptr) queue_->Clear();
}

void Recorder::Log(std::string line) {
    std::lock_guard lock(mutex_);
    log_.push_back(std::move(line));
}

std::vector<std::string> Recorder::LogLines() const {
    std::lock_guard lock(mutex_);
    return log_;
}

bool Recorder::ConsumeFailure(FailableCall call) {
    std::lock_guard lock(mutex_);
    auto& left = failures_[static_cast<std::size_t>(call)];
    if (left <= 0) return false;
    --left;
    return true;
}

void Recorder::FailNext(FailableCall call, std::int32_t count) {
    std::lock_guard lock(mutex_);
    failures_[static_cast<std::size_t>(call)] = count > 0 ? count : 0;
}

void Recorder::AddTransmit(const Record& record) {
    std::lock_guard lock(mutex_);
    transmits_.push_back(record);
}

std::vector<Record> Recorder::Transmits() const {
    std::lock_guard lock(mutex_);
    return transmits_;
}

void Recorder::Attach(ReceiveQueue* queue) {
    std::lock_guard lock(mutex_);
    queue_ = queue;
}

bool Recorder::Inject(const Record& record) {
    std::lock_guard lock(mutex_);
    return queue_ != nullptr && queue_->Push(record);
}

std::size_t Recorder::Pending() const {
    std::lock_guard lock(mutex_);
    return queue_ != nullptr ? queue_->Size() : 0;
}

}  // namespace canapi

using canapi::Recorder;

extern "C" {

void canapi_recorder_reset(void) { Recorder::Instance().Reset(); }

size_t canapi_recorder_log_size(void) { return Recorder::Instance().LogLines().size(); }

size_t canapi_recorder_log_line(size_t index, char* buffer, size_t size) {
    const auto lines = Recorder::Instance().LogLines();
    if (index >= lines.size()) {
        if (buffer != nullptr && size > 0) buffer[0] = '\0';
        return 0;
    }
    const std::string& line = lines[index];
    if (buffer != nullptr && size > 0) {
        const size_t n = line.size() < size - 1 ? line.size() : size - 1;
        std::memcpy(buffer, line.data(), n);
        buffer[n] = '\0';
    }
    return line.size();
}

size_t canapi_recorder_transmit_count(void) { return Recorder::Instance().Transmits().size(); }

int32_t canapi_recorder_transmit(size_t index, uint32_t* record) {
    const auto transmits = Recorder::Instance().Transmits();
    if (index >= transmits.size() || record == nullptr) return 0;
    std::memcpy(record, transmits[index].data(), sizeof(canapi::Record));
    return 1;
}

int32_t canapi_recorder_inject(const uint32_t* record) {
    if (record == nullptr) return 0;
    canapi::Record r{};
    std::memcpy(r.data(), record, sizeof(r));
    return Recorder::Instance().Inject(r) ? 1 : 0;
}

size_t canapi_recorder_pending(void) { return Recorder::Instance().Pending(); }

void canapi_recorder_fail_transmits(int32_t n) { Recorder::Instance().FailNext(canapi::FailableCall::Transmit, n); }

int32_t canapi_recorder_fail_calls(const char* function, int32_t n) {
    if (function == nullptr) return 0;
    static constexpr struct {
        const char* name;
        canapi::FailableCall call;
    } kCalls[] = {
        {"ca_ResetCanCard_1", canapi::FailableCall::ResetCanCard},
        {"ca_InitCanCard_1", canapi::FailableCall::InitCanCard},
        {"ca_Instruction_1", canapi::FailableCall::Instruction},
        {"ca_TransmitCanCard_1", canapi::FailableCall::Transmit},
    };
    for (const auto& entry : kCalls) {
        if (std::strcmp(entry.name, function) == 0) {
            Recorder::Instance().FailNext(entry.call, n);
            return 1;
        }
    }
    return 0;
}

}  // extern "C"
