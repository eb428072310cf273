// WRITEKLP of 1 MiB to a simulated node, the library loaded by name and running on a private
// virtual bus against qbk-devsim. A passive participant counts the frames on the bus, so the
// report sets the frames per payload byte next to the protocol's minimum: one frame per 7 bytes
// plus one confirmation per block of 127 segments.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

#include "platform/canapi/vbus.h"
#include "tests/e2e/devsim_process.h"
#include "tests/e2e/klp_binding.h"

namespace {

using namespace std::chrono_literals;

constexpr std::size_t kPayload = 1 << 20;
constexpr std::uint8_t kNode = 2;

// Frames on the bus, counted by a participant that only listens.
class FrameCounter {
public:
    explicit FrameCounter(const std::string& bus) : bus_(canapi::VirtualBus::Join(bus).bus) {
        if (bus_) thread_ = std::thread([this] { Run(); });
    }
    ~FrameCounter() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
    }
    bool ok() const { return bus_ != nullptr; }
    std::uint64_t frames() const { return frames_.load(); }

private:
    void Run() {
        canapi::Frame frame;
        while (!stop_) {
            if (bus_->Receive(frame, 20ms) == canapi::ReceiveResult::Frame &&
                (frame.id == 0x7A0u + kNode || frame.id == 0x780u + kNode)) {
                ++frames_;
            }
        }
    }
    std::unique_ptr<canapi::VirtualBus> bus_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<std::uint64_t> frames_{0};
};

class Rig {
public:
    Rig() : bus_("bench-sdo-" + std::to_string(getpid())), devsim_(bus_, {"--node", "2:0x1031:5"}), counter_(bus_) {
        if (!devsim_.WaitReady(5s) || !counter_.ok()) {
            fail("qbk-devsim did not start");
            return;
        }
        setenv("CANAPI_CHANNEL", ("vbus:" + bus_).c_str(), 1);
        klp_ = std::make_unique<e2e::KlpBinding>();
        if (!klp_->error().empty()) {
            fail(klp_->error());
            return;
        }
        TINITKLP init{2000, 50};
        if (klp_->OPENKLP(&init)) {
            fail("OPENKLP failed");
            return;
        }
        opened_ = true;
        std::this_thread::sleep_for(500ms);
        if (klp_->CHECKSDO5CHANNELCONFLICT() != 0) {
            fail("conflict on the bus");
            return;
        }
        for (int i = 0; i < 80 && !klp_->READYKLP(); ++i) std::this_thread::sleep_for(50ms);
        if (!klp_->READYKLP()) {
            fail("node never ready");
            return;
        }
        record_.resize(sizeof(TSDORECORD) + kPayload);
        for (std::size_t i = 0; i < kPayload; ++i) record_[sizeof(TSDORECORD) + i] = static_cast<std::uint8_t>(i * 13);
        ready_ = true;
    }
    ~Rig() {
        if (opened_) klp_->CLOSEKLP();
    }
    Rig(const Rig&) = delete;
    Rig& operator=(const Rig&) = delete;

    bool ready() const { return ready_; }
    const std::string& error() const { return error_; }
    std::uint64_t frames() const { return counter_.frames(); }

    bool Write() {
        auto* record = reinterpret_cast<TSDORECORD*>(record_.data());
        *record = TSDORECORD{static_cast<std::int32_t>(kPayload), 0x1019, 0, kNode, 1};
        klp_->SETKLPTIMEOUT(60000);
        return !klp_->WRITEKLP(record);
    }

private:
    void fail(const std::string& why) { error_ = why; }

    std::string bus_;
    e2e::DevsimProcess devsim_;
    FrameCounter counter_;
    std::unique_ptr<e2e::KlpBinding> klp_;
    std::vector<std::uint8_t> record_;
    bool opened_ = false;
    bool ready_ = false;
    std::string error_;
};

void WriteOneMebibyte(benchmark::State& state, Rig* rig) {
    if (!rig->ready()) {
        state.SkipWithError(rig->error().c_str());
        return;
    }
    constexpr double kSegments = (kPayload + 6) / 7;
    constexpr double kMinimumFrames = kSegments + (static_cast<std::size_t>(kSegments) + 126) / 127;
    std::uint64_t frames = 0;
    std::uint64_t writes = 0;
    for (auto _ : state) {
        // Let the last frames of the previous write reach the counter before this one starts.
        state.PauseTiming();
        std::this_thread::sleep_for(50ms);
        const std::uint64_t before = rig->frames();
        state.ResumeTiming();
        if (!rig->Write()) {
            state.SkipWithError("WRITEKLP failed");
            return;
        }
        state.PauseTiming();
        std::this_thread::sleep_for(50ms);
        frames += rig->frames() - before;
        ++writes;
        state.ResumeTiming();
    }
    const double per_byte = static_cast<double>(frames) / static_cast<double>(writes * kPayload);
    const double minimum = kMinimumFrames / kPayload;
    state.SetBytesProcessed(static_cast<std::int64_t>(writes * kPayload));
    state.counters["frames_per_byte"] = per_byte;
    state.counters["minimum_per_byte"] = minimum;
    state.counters["frames_vs_minimum"] = per_byte / minimum;
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    auto rig = std::make_unique<Rig>();
    benchmark::RegisterBenchmark("WRITEKLP_1MiB_over_virtual_bus", WriteOneMebibyte, rig.get())
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(5);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    rig.reset();
    return 0;
}
