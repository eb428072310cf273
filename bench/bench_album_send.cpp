// A whole album send as the "Download Album" button makes it: 20 pictures of the family-1 screen
// size, JPEG-encoded, to a simulated family-1 device on a private virtual bus. The fixed waits of
// the link (after the open, readiness and idle polls, before the unlock and the image) are
// counted apart from the rest, which is the transfer itself (SDO traffic, encoding, close).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/album_transfer.h"
#include "bench/timed_download.h"
#include "tests/e2e/devsim_process.h"

namespace {

using namespace std::chrono_literals;

constexpr int kPictures = 20;
constexpr int kFamily = 1;

void BM_AlbumSend(benchmark::State& state) {
    const std::string bus = "w8-bench-" + std::to_string(getpid());
    setenv("CANAPI_CHANNEL", ("vbus:" + bus).c_str(), 1);
    unsetenv("QBK_MODULE_KLP_LIB_USB");
    const auto image = std::filesystem::temp_directory_path() / (bus + ".bin");

    std::vector<std::unique_ptr<ui::TBitmap>> bitmaps;
    app::AlbumPages pages;
    for (int i = 0; i < kPictures; ++i) {
        auto bitmap = std::make_unique<ui::TBitmap>();
        bitmap->SetSize(app::ScreenWidth(kFamily), app::ScreenHeight(kFamily));
        pages.push_back({"Picture " + std::to_string(i + 1), bitmap.get()});
        bitmaps.push_back(std::move(bitmap));
    }

    std::chrono::nanoseconds waited{0}, total{0};
    std::int64_t sends = 0, failures = 0, bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // A device stays idle after a send: every round gets a freshly powered one.
        auto devsim = std::make_unique<e2e::DevsimProcess>(
            bus, std::vector<std::string>{"--node", "1:0x1031:5", "--store-image", image.string()});
        if (!devsim->WaitReady(5s)) {
            state.SkipWithError("qbk-devsim did not get ready");
            break;
        }
        state.ResumeTiming();

        const bench::TimedDownload round = bench::DownloadAlbumTimed(pages, kFamily);
        total += round.total;
        waited += round.waits;
        ++sends;
        if (!round.finished) ++failures;

        state.PauseTiming();
        std::error_code error;
        bytes = static_cast<std::int64_t>(std::filesystem::file_size(image, error));
        std::filesystem::remove(image, error);
        devsim.reset();
        state.ResumeTiming();
    }
    if (sends == 0) return;
    const auto ms = [sends](std::chrono::nanoseconds d) {
        return std::chrono::duration<double, std::milli>(d).count() / static_cast<double>(sends);
    };
    state.counters["fixed_waits_ms"] = ms(waited);
    state.counters["transfer_ms"] = ms(total - waited);
    state.counters["image_bytes"] = static_cast<double>(bytes);
    state.counters["failed_sends"] = static_cast<double>(failures);
    std::printf("album send of %d pictures (%lld bytes): %.1f ms in fixed waits, %.1f ms in the transfer\n", kPictures,
                static_cast<long long>(bytes), ms(waited), ms(total - waited));
}

BENCHMARK(BM_AlbumSend)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
