// Lanczos reduction of a 4000 x 3000 picture to the two screen sizes of the album, with our
// resampler and, on the same picture in the same run, with libvips' single-threaded Lanczos-3
// reduction. Prints both times and their ratio (ours / libvips).
#include <benchmark/benchmark.h>
#include <vips/vips.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "imaging/bitmap32.h"

namespace {

constexpr int kSrcW = 4000, kSrcH = 3000;

const imaging::TBitmap32& Picture() {
    static imaging::TBitmap32 picture;
    static const bool filled = [] {
        imaging::TBitmap32& b = picture;
        b.SetSize(kSrcW, kSrcH);
        // A photo-like mix of smooth gradients and noise, opaque.
        std::mt19937 rng(42);
        for (int y = 0; y < kSrcH; ++y)
            for (int x = 0; x < kSrcW; ++x) {
                const auto n = static_cast<std::uint32_t>(rng() & 0x1F);
                const auto r = static_cast<std::uint8_t>((x * 255 / kSrcW + n) & 0xFF);
                const auto g = static_cast<std::uint8_t>((y * 255 / kSrcH + n) & 0xFF);
                const auto bl = static_cast<std::uint8_t>(((x + y) / 31 + n) & 0xFF);
                *b.PixelPointer(x, y) = imaging::Color32(255, r, g, bl);
            }
        b.SetStretchFilter(imaging::TStretchFilter::sfLanczos);
        return true;
    }();
    (void)filled;
    return picture;
}

void Ours(int w, int h) {
    imaging::TBitmap32 dst;
    dst.SetSize(w, h);
    dst.Draw(dst.BoundsRect(), Picture().BoundsRect(), &Picture());
    benchmark::DoNotOptimize(dst.Bits()[0]);
}

VipsImage* SourceImage() {
    static VipsImage* image = vips_image_new_from_memory(Picture().Bits(), std::size_t{kSrcW} * kSrcH * 4, kSrcW, kSrcH,
                                                         4, VIPS_FORMAT_UCHAR);
    return image;
}

void Vips(int w, int h) {
    VipsImage* out = nullptr;
    if (vips_reduce(SourceImage(), &out, static_cast<double>(kSrcW) / w, static_cast<double>(kSrcH) / h, "kernel",
                    VIPS_KERNEL_LANCZOS3, nullptr) != 0) {
        std::fprintf(stderr, "vips_reduce failed: %s\n", vips_error_buffer());
        std::abort();
    }
    std::size_t size = 0;
    void* memory = vips_image_write_to_memory(out, &size);
    benchmark::DoNotOptimize(memory);
    g_free(memory);
    g_object_unref(out);
}

void BM_Ours(benchmark::State& state) {
    for (auto _ : state) Ours(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
}
void BM_Vips(benchmark::State& state) {
    for (auto _ : state) Vips(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
}
BENCHMARK(BM_Ours)->Args({320, 240})->Args({176, 220})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Vips)->Args({320, 240})->Args({176, 220})->Unit(benchmark::kMillisecond);

template <typename F>
double MedianMs(F f) {
    std::vector<double> runs;
    for (int i = 0; i < 7; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        f();
        runs.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (VIPS_INIT(argv[0]) != 0) return 1;
    vips_concurrency_set(1);
    vips_cache_set_max(0);
    Picture();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (auto [w, h] : {std::pair{320, 240}, std::pair{176, 220}}) {
        const double ours = MedianMs([&] { Ours(w, h); });
        const double vips = MedianMs([&] { Vips(w, h); });
        std::printf("%dx%d -> %dx%d: ours %.1f ms, libvips (1 thread) %.1f ms, ratio %.2f\n", kSrcW, kSrcH, w, h, ours,
                    vips, ours / vips);
    }
    g_object_unref(SourceImage());
    vips_shutdown();
    return 0;
}
