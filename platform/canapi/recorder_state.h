// The recording backend's state inside libcanapi.so: the call log, the accepted transmits, the
// failures a test asked for, and the open session's receive queue for injected records.
// The test-facing C functions (recorder.h) are thin wrappers over this.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "platform/canapi/receive_queue.h"

namespace canapi {

enum class FailableCall { ResetCanCard, InitCanCard, Instruction, Transmit };
inline constexpr std::size_t kFailableCalls = 4;

class Recorder {
public:
    static Recorder& Instance();

    void Reset();
    void Log(std::string line);
    std::vector<std::string> LogLines() const;

    // True when the test asked this call to fail (one failure used up).
    bool ConsumeFailure(FailableCall call);
    void FailNext(FailableCall call, std::int32_t count);

    void AddTransmit(const Record& record);
    std::vector<Record> Transmits() const;

    // The recording session's queue, or null between sessions.
    void Attach(ReceiveQueue* queue);
    bool Inject(const Record& record);
    std::size_t Pending() const;

private:
    Recorder() = default;
    mutable std::mutex mutex_;
    std::vector<std::string> log_;
    std::vector<Record> transmits_;
    std::array<std::int32_t, kFailableCalls> failures_{};
    ReceiveQueue* queue_ = nullptr;
};

}  // namespace canapi
