// The album's two heavy paths on camera-size input: adding pictures (JPEG decode, Lanczos
// reduction into the screen) and exporting download files (JPEG encode per card and variant).
// Reports pictures per second for each stage.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/add_picture.h"
#include "app/album_cards.h"
#include "app/download_files.h"
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
    const ui::TBitmap* Picture(int index) const override { return cards_.at(static_cast<std::size_t>(index)).second.get(); }
    void Clear() override { cards_.clear(); }
    ui::TBitmap* NewCard(const std::string& caption, bool) override {
        cards_.emplace_back(caption, std::make_unique<ui::TBitmap>());
        return cards_.back().second.get();
    }
    void SetCardWidth(int) override {}

private:
    std::vector<std::pair<std::string, std::unique_ptr<ui::TBitmap>>> cards_;
};

// The input pictures: smooth gradients with some detail, each one different, made once.
class Inputs {
public:
    Inputs() : dir_(fs::temp_directory_path() / "qbk_bench_album_core") {
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        ui::TBitmap bitmap;
        bitmap.SetSize(kWidth, kHeight);
        for (int i = 0; i < kPictures; ++i) {
            for (int y = 0; y < kHeight; ++y) {
                std::uint8_t* row = bitmap.ScanLine(y);
                for (int x = 0; x < kWidth; ++x) {
                    row[3 * x] = static_cast<std::uint8_t>(x / 16 + i * 5);
                    row[3 * x + 1] = static_cast<std::uint8_t>(y / 12);
                    row[3 * x + 2] = static_cast<std::uint8_t>(((x ^ y) & 512) ? 200 : 40);
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
    fs::path Dir() const { return dir_; }

private:
    fs::path dir_;
    std::vector<std::string> files_;
};

const Inputs& TheInputs() {
    static const Inputs inputs;
    return inputs;
}

void BM_AddPictures(benchmark::State& state) {
    const Inputs& inputs = TheInputs();
    for (auto _ : state) {
        MemoryAlbum album;
        app::AddPictures(album, kFamily, inputs.Files(), false);
        benchmark::DoNotOptimize(album.Count());
    }
    state.counters["pictures/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kPictures, benchmark::Counter::kIsRate);
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
    state.counters["pictures/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kPictures, benchmark::Counter::kIsRate);
}

BENCHMARK(BM_AddPictures)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_ExportDownloadFiles)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
