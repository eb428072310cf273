// The album's two heavy paths on camera-size input: adding pictures (JPEG decode, Lanczos
// reduction into the screen) and exporting download files (JPEG encode per card and variant).
//
// Adding is measured on the same JPEG files, in the same run, as: our single-picture add
// (decode + scale + card), libvips decoding and reducing with its Lanczos-3 kernel on one
// thread, its thumbnail path (it decodes at a reduced size, so it is no exact peer, but it is
// what a user of it would reach for), the plain decoder alone (the floor), and our batch of 50
// on every core with its peak memory. The summary prints each time and the ratios.
#include <benchmark/benchmark.h>
#include <vips/vips.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/add_picture.h"
#include "app/album_cards.h"
#include "app/device_family.h"
#include "app/download_files.h"
#include "platform/kernel/system_info.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/jpeg.h"

namespace {

namespace fs = std::filesystem;

constexpr int kPictures = 50;
constexpr int kWidth = 4000;
constexpr int kHeight = 3000;
constexpr int kFamily = 1;

class MemoryAlbum : public app::AlbumCards {
public:
    int Count() const override { return static_cast<int>(cards_.size()); }
    std::string Caption(int index) const override { return cards_.at(static_cast<std::size_t>(index)).first; }
    const ui::TBitmap* Picture(int index) const override {
        return cards_.at(static_cast<std::size_t>(index)).second.get();
    }
    void Clear() override { cards_.clear(); }
    ui::TBitmap* NewCard(const std::string& caption, bool) override {
        cards_.emplace_back(caption, std::make_unique<ui::TBitmap>());
        return cards_.back().second.get();
    }
    void SetCardWidth(int) override {}

private:
    std::vector<std::pair<std::string, std::unique_ptr<ui::TBitmap>>> cards_;
};

// The input pictures: smooth gradients with some detail and a camera sensor's grain, each one
// different, made once. The grain matters: without it a file decodes several times faster than
// a photograph of the same size does.
class Inputs {
public:
    Inputs() : dir_(fs::temp_directory_path() / "qbk_bench_album_core") {
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        ui::TBitmap bitmap;
        bitmap.SetSize(kWidth, kHeight);
        std::uint32_t grain = 12345;
        for (int i = 0; i < kPictures; ++i) {
            for (int y = 0; y < kHeight; ++y) {
                std::uint8_t* row = bitmap.ScanLine(y);
                for (int x = 0; x < kWidth; ++x) {
                    grain ^= grain << 13;
                    grain ^= grain >> 17;
                    grain ^= grain << 5;
                    const int n = static_cast<int>(grain & 31) - 16;
                    row[3 * x] = static_cast<std::uint8_t>(std::clamp(((x / 16 + i * 5) & 0xFF) + n, 0, 255));
                    row[3 * x + 1] = static_cast<std::uint8_t>(std::clamp(y / 12 + n, 0, 255));
                    row[3 * x + 2] = static_cast<std::uint8_t>(((x ^ y) & 512) ? 200 + n : 40 + n);
                }
            }
            ui::TJPEGImage jpeg;
            jpeg.Assign(&bitmap);
            const std::string name = (dir_ / ("picture" + std::to_string(i) + ".jpg")).string();
            jpeg.SaveToFile(name);
            files_.push_back(name);
        }
    }
    ~Inputs() { fs::remove_all(dir_); }
    const std::vector<std::string>& Files() const { return files_; }
    const std::string& File(std::int64_t i) const { return files_[static_cast<std::size_t>(i % kPictures)]; }
    fs::path Dir() const { return dir_; }

private:
    fs::path dir_;
    std::vector<std::string> files_;
};

const Inputs& TheInputs() {
    static const Inputs inputs;
    return inputs;
}

// The size our add reduces the pictures to: the rectangle the picture fills in the screen.
ui::TRect Fitted() {
    return app::FitPictureRect(kWidth, kHeight, app::ScreenWidth(kFamily), app::ScreenHeight(kFamily));
}

// From the process's status file, in MiB: "VmRSS" now or "VmHWM", the peak since the last reset.
double StatusMiB(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key + ":", 0) == 0) return std::strtod(line.c_str() + key.size() + 1, nullptr) / 1024.0;
    }
    return 0;
}

// Starts a new peak: the kernel resets VmHWM to the current resident size.
void ResetPeakMemory() { std::ofstream("/proc/self/clear_refs") << "5"; }

void Fail(benchmark::State& state, const char* what) {
    state.SkipWithError((std::string(what) + ": " + vips_error_buffer()).c_str());
    vips_error_clear();
}

// The peer's images and buffers, owned.
struct UnrefImage {
    void operator()(VipsImage* image) const { g_object_unref(image); }
};
using VipsImageRef = std::unique_ptr<VipsImage, UnrefImage>;
struct FreeBuffer {
    void operator()(void* memory) const { g_free(memory); }
};

// libvips computes lazily: the image is written into memory, as a caller of it would take the
// pixels, and dropped.
void WriteOut(const VipsImageRef& image) {
    std::size_t size = 0;
    const std::unique_ptr<void, FreeBuffer> memory(vips_image_write_to_memory(image.get(), &size));
    benchmark::DoNotOptimize(memory.get());
}

// Pictures a second over the whole run, each iteration having handled every input picture.
benchmark::Counter PicturesRate(const benchmark::State& state) {
    return benchmark::Counter(static_cast<double>(state.iterations()) * kPictures, benchmark::Counter::kIsRate);
}

// Each further picture, as the program adds it: the weights of this size were kept from an add
// before the timing.
void BM_AddPicture(benchmark::State& state) {
    const Inputs& inputs = TheInputs();
    imaging::TContributorCache weights;
    {
        MemoryAlbum album;
        app::AddPicture(album, kFamily, inputs.File(0), false, &weights);
    }
    std::int64_t i = 0;
    for (auto _ : state) {
        MemoryAlbum album;
        app::AddPicture(album, kFamily, inputs.File(i++), false, &weights);
        benchmark::DoNotOptimize(album.Count());
    }
}

// The first picture of a size: the weights are worked out in the add.
void BM_AddFirstPicture(benchmark::State& state) {
    const Inputs& inputs = TheInputs();
    std::int64_t i = 0;
    for (auto _ : state) {
        MemoryAlbum album;
        app::AddPicture(album, kFamily, inputs.File(i++), false);
        benchmark::DoNotOptimize(album.Count());
    }
}

void BM_PlainDecode(benchmark::State& state) {
    const Inputs& inputs = TheInputs();
    std::vector<std::vector<std::uint8_t>> data;
    for (const std::string& file : inputs.Files()) {
        std::ifstream in(file, std::ios::binary);
        data.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // One buffer, written once before timing: the decoder alone, without the first touch of memory.
    std::vector<std::uint8_t> pixels(std::size_t{kWidth} * kHeight * 4, 0);
    std::size_t i = 0;
    for (auto _ : state) {
        const std::vector<std::uint8_t>& jpeg = data[i++ % data.size()];
        ui::DecodeJpegPixels32(jpeg.data(), jpeg.size(), [&](int, int) { return pixels.data(); });
        benchmark::DoNotOptimize(pixels[0]);
    }
}

void BM_PeerDecodeReduce(benchmark::State& state) {
    const Inputs& inputs = TheInputs();
    const ui::TRect fit = Fitted();
    std::int64_t i = 0;
    for (auto _ : state) {
        const VipsImageRef in(
            vips_image_new_from_file(inputs.File(i++).c_str(), "access", VIPS_ACCESS_SEQUENTIAL, nullptr));
        VipsImage* out = nullptr;
        if (in == nullptr ||
            vips_reduce(in.get(), &out, static_cast<double>(kWidth) / fit.Width(),
                        static_cast<double>(kHeight) / fit.Height(), "kernel", VIPS_KERNEL_LANCZOS3, nullptr) != 0) {
            return Fail(state, "vips_reduce");
        }
        WriteOut(VipsImageRef(out));
    }
}

void BM_PeerThumbnail(benchmark::State& state) {
    const Inputs& inputs = TheInputs();
    const ui::TRect fit = Fitted();
    std::int64_t i = 0;
    for (auto _ : state) {
        VipsImage* out = nullptr;
        if (vips_thumbnail(inputs.File(i++).c_str(), &out, fit.Width(), "height", fit.Height(), nullptr) != 0) {
            return Fail(state, "vips_thumbnail");
        }
        WriteOut(VipsImageRef(out));
    }
}

void BM_AddPictures(benchmark::State& state) {
    const Inputs& inputs = TheInputs();
    const double before = StatusMiB("VmRSS");
    ResetPeakMemory();
    for (auto _ : state) {
        MemoryAlbum album;
        app::AddPictures(album, kFamily, inputs.Files(), false);
        benchmark::DoNotOptimize(album.Count());
    }
    state.counters["pictures/s"] = PicturesRate(state);
    state.counters["peak_MiB"] = StatusMiB("VmHWM") - before;
    state.counters["threads"] = kernel::ProcessorCount();
}

void BM_ExportDownloadFiles(benchmark::State& state) {
    const Inputs& inputs = TheInputs();
    MemoryAlbum album;
    app::AddPictures(album, kFamily, inputs.Files(), false);
    const std::string target = (inputs.Dir() / "album.HPA").string();
    for (auto _ : state) {
        try {
            app::ExportDownloadFiles(app::PagesOf(album), kFamily, target);
        } catch (const std::exception& e) {
            state.SkipWithError(e.what());
            return;
        }
    }
    // Every picture is encoded once per variant: family 1 has two.
    state.counters["pictures/s"] = PicturesRate(state);
}

// Every benchmark of the summary: three repetitions of `iterations` each, their median kept, with
// the processor time of every thread of the process beside the wall-clock time.
template <int iterations>
void Repeated(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMillisecond)
        ->Iterations(iterations)
        ->Repetitions(3)
        ->ReportAggregatesOnly(true)
        ->MeasureProcessCPUTime()
        ->UseRealTime();
}

BENCHMARK(BM_AddPicture)->Apply(Repeated<15>);
BENCHMARK(BM_AddFirstPicture)->Apply(Repeated<15>);
BENCHMARK(BM_PlainDecode)->Apply(Repeated<15>);
BENCHMARK(BM_PeerDecodeReduce)->Apply(Repeated<15>);
BENCHMARK(BM_PeerThumbnail)->Apply(Repeated<15>);
BENCHMARK(BM_AddPictures)->Apply(Repeated<1>);
BENCHMARK(BM_ExportDownloadFiles)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// Keeps the median real time (ms a run) and the counters of each benchmark for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
            std::string name = run.benchmark_name();
            name = name.substr(0, name.find('/'));
            median_ms[name] = run.GetAdjustedRealTime();
            median_cpu_ms[name] = run.GetAdjustedCPUTime();
            for (const auto& [key, counter] : run.counters) counters[name + " " + key] = counter.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> median_ms;
    std::map<std::string, double> median_cpu_ms;  // of every thread of the process
    std::map<std::string, double> counters;
};

std::string LoadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

}  // namespace

int main(int argc, char** argv) {
    if (VIPS_INIT(argv[0]) != 0) return 1;
    vips_concurrency_set(1);
    vips_cache_set_max(0);
    TheInputs();
    std::printf("load average before: %s on %u processors, pool of %d threads\n", LoadAverage().c_str(),
                std::thread::hardware_concurrency(), kernel::ProcessorCount());
    benchmark::Initialize(&argc, argv);
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    // Wall-clock time is what a user waits; processor time (of every thread, the peer's
    // included) is the work done, which a busy machine distorts far less.
    for (const bool wall : {true, false}) {
        auto& ms = wall ? reporter.median_ms : reporter.median_cpu_ms;
        if (!ms.count("BM_AddPicture") || !ms.count("BM_AddFirstPicture") || !ms.count("BM_PlainDecode") ||
            !ms.count("BM_PeerDecodeReduce") || !ms.count("BM_PeerThumbnail") || !ms.count("BM_AddPictures")) {
            break;
        }
        const double single = ms["BM_AddPicture"];
        const double batch_each = ms["BM_AddPictures"] / kPictures;
        std::printf("\n%dx%d JPEG -> %dx%d, medians a picture, %s:\n", kWidth, kHeight, Fitted().Width(),
                    Fitted().Height(), wall ? "wall-clock time" : "processor time of all threads");
        std::printf(
            "  our single add (decode + scale + card)  %7.1f ms   each further picture of a size: the ratios below\n",
            single);
        std::printf(
            "  our single add, first of its size       %7.1f ms   its weights worked out too; / plain decode = %.2f\n",
            ms["BM_AddFirstPicture"], ms["BM_AddFirstPicture"] / ms["BM_PlainDecode"]);
        std::printf("  plain decode (the floor)                %7.1f ms   ours / it = %.2f (target <= 1.5)\n",
                    ms["BM_PlainDecode"], single / ms["BM_PlainDecode"]);
        std::printf("  libvips decode + Lanczos-3, 1 thread    %7.1f ms   ours / it = %.2f (target <= 0.4)\n",
                    ms["BM_PeerDecodeReduce"], single / ms["BM_PeerDecodeReduce"]);
        std::printf("  libvips thumbnail, 1 thread             %7.1f ms   ours / it = %.2f\n", ms["BM_PeerThumbnail"],
                    single / ms["BM_PeerThumbnail"]);
        std::printf("  our batch of %d, pool of %d             %7.1f ms   %.1f ms a picture", kPictures,
                    kernel::ProcessorCount(), ms["BM_AddPictures"], batch_each);
        if (wall) {
            std::printf(", %.1f pictures/s against %.1f singly: %.2f x the single rate (target >= 5 on 8 cores)",
                        1000.0 / batch_each, 1000.0 / single, single / batch_each);
        }
        std::printf("\n");
    }
    std::printf("  batch peak memory above the resident size before it: %.0f MiB\n",
                reporter.counters["BM_AddPictures peak_MiB"]);
    std::printf("load average after: %s\n", LoadAverage().c_str());
    vips_shutdown();
    return 0;
}
