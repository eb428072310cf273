// "Download Album" of a 40-card album over a real Linux kernel's CAN stack, inside the guest that
// bench/real_can_transfer.sh boots (tools/guest_kernel): through the interface library on can0
// into qbk-devsim on can1, on a bus modelled at 250 kbit/s, once behind the kernel's default
// 10-frame transmit queue and once behind a 1000-frame one. A sender that idles the bus while its
// queue is full shows as the first taking longer than the second.
//
// A transfer's time leaves out the link's fixed waits (after the open, between polls, the pause
// after the close), which are the same behind both queues. Printed at the end: both times, their
// ratio (at most 1.15 is the aim), and the frames a second put on the bus against the modelled
// bus's rate.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/timed_download.h"
#include "tests/e2e/album_send.h"
#include "tests/e2e/devsim_process.h"
#include "tests/real_kernel/guest_can.h"

namespace {

using namespace std::chrono_literals;

constexpr int kCards = 40;
constexpr int kFamily = 1;

const e2e::Album& TheAlbum() {
    static const e2e::Album album = e2e::Album::Textured(kCards, kFamily);
    return album;
}

e2e::Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return e2e::Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void BM_AlbumTransfer(benchmark::State& state) {
    const int queue = static_cast<int>(state.range(0));
    if (const std::string failed = guest::SetQueue(queue, true); !failed.empty()) {
        state.SkipWithError(failed.c_str());
        return;
    }
    setenv("CANAPI_CHANNEL", guest::kLibraryChannel, 1);
    const std::string image = "/tmp/bench-image.bin";
    const e2e::Bytes payload = TheAlbum().Payload(kFamily, 1, 1);
    std::uint64_t frames = 0;
    double seconds = 0;
    for (auto _ : state) {
        // A device stays idle after a send: every round gets a freshly powered one.
        std::filesystem::remove(image);
        e2e::DevsimProcess devsim(guest::kDeviceBus, {"--node", "1:0x1031:5", "--store-image", image});
        if (!devsim.WaitReady(10s)) {
            state.SkipWithError("qbk-devsim did not get ready");
            break;
        }
        const std::uint64_t sent_before = guest::TxPackets("can0");
        const bench::TimedDownload round = bench::DownloadAlbumTimed(TheAlbum().pages(), kFamily);
        const double transfer = std::chrono::duration<double>(round.Transfer()).count();
        frames += guest::TxPackets("can0") - sent_before;
        seconds += transfer;
        state.SetIterationTime(transfer);
        if (!round.finished || ReadFile(image) != payload) {
            state.SkipWithError("the album did not arrive whole");
            break;
        }
    }
    state.counters["frames_per_s"] = seconds > 0 ? static_cast<double>(frames) / seconds : 0;
    state.counters["payload_bytes"] = static_cast<double>(payload.size());
}

BENCHMARK(BM_AlbumTransfer)
    ->ArgName("queue")
    ->Arg(10)
    ->Arg(1000)
    ->Iterations(2)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

// Keeps each queue's mean time a transfer and its frame rate for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            seconds[run.benchmark_name()] = run.GetAdjustedRealTime();
            const auto rate = run.counters.find("frames_per_s");
            if (rate != run.counters.end()) frames_per_s[run.benchmark_name()] = rate->second.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> seconds;
    std::map<std::string, double> frames_per_s;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const std::string small = "BM_AlbumTransfer/queue:10/iterations:2/manual_time";
    const std::string large = "BM_AlbumTransfer/queue:1000/iterations:2/manual_time";
    if (!reporter.seconds.count(small) || !reporter.seconds.count(large)) {
        std::printf("\nno summary: a run failed\n");
        return 1;
    }
    std::printf("\n%d-card album over a 250 kbit/s bus modelled in the kernel, fixed waits left out:\n", kCards);
    for (const auto& [name, queue] : {std::pair{small, 10}, std::pair{large, 1000}}) {
        std::printf("  behind a %4d-frame queue  %6.2f s  %6.0f frames/s = %.2f of the modelled bus's %.0f\n", queue,
                    reporter.seconds[name], reporter.frames_per_s[name],
                    reporter.frames_per_s[name] / guest::kModelledFramesPerSecond, guest::kModelledFramesPerSecond);
    }
    std::printf("  10-frame queue / 1000-frame queue = %.3f (aim: at most 1.15)\n",
                reporter.seconds[small] / reporter.seconds[large]);
    return 0;
}
