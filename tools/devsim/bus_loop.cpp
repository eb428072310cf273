#include "tools/devsim/bus_loop.h"

#include <algorithm>
#include <chrono>

#include "platform/canapi/frame_text.h"

namespace devsim {

namespace {

// The loop looks at the stop flag at least this often.
constexpr std::chrono::milliseconds kMaxWait{50};

canapi::Frame ToBus(const Frame& frame) {
    canapi::Frame out;
    out.id = frame.id;
    out.rtr = frame.rtr;
    out.dlc = frame.dlc;
    if (!frame.rtr) out.data = frame.data;
    return out;
}

void Log(std::ostream* log, const char* direction, const canapi::Frame& frame) {
    if (log != nullptr) *log << direction << canapi::FormatFrameText(frame) << '\n';
}

}  // namespace

LoopEnd RunOnBus(Simulator& simulator, BusPort& bus, const std::atomic<bool>& stop, std::ostream* log) {
    simulator.Start(Clock::now());
    canapi::Frame received;
    while (!stop.load()) {
        const TimePoint now = Clock::now();
        const std::vector<Frame> due = simulator.TakeDue(now);
        for (const Frame& frame : due) {
            const canapi::Frame out = ToBus(frame);
            Log(log, "tx ", out);
            bus.Send(out);
        }
        if (log != nullptr && !due.empty()) log->flush();

        auto wait = kMaxWait;
        if (const auto wake = simulator.NextWake()) {
            const auto until = std::chrono::duration_cast<std::chrono::milliseconds>(*wake - Clock::now());
            wait = std::clamp(until, std::chrono::milliseconds(0), kMaxWait);
        }
        switch (bus.Receive(received, wait)) {
        case canapi::ReceiveResult::Frame:
            Log(log, "rx ", received);
            if (log != nullptr) log->flush();
            // Extended frames are not part of the node protocol.
            if (!received.extended && received.id <= 0x7FF) {
                Frame frame;
                frame.id = static_cast<std::uint16_t>(received.id);
                frame.rtr = received.rtr;
                frame.dlc = std::min<std::uint8_t>(received.dlc, 8);
                if (!received.rtr) frame.data = received.data;
                simulator.OnFrame(frame, Clock::now());
            }
            break;
        case canapi::ReceiveResult::Timeout:
            break;
        case canapi::ReceiveResult::Error:
            return LoopEnd::BusError;
        }
    }
    return LoopEnd::Stopped;
}

}  // namespace devsim
