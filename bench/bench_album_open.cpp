// Opening a large album into the real main window: File > Open Album's command on albums of
// 1,000 and 10,000 cards of the Rurerovirez family's screen size. The time a card should be
// the same for both sizes: the cards are added inside one update of the card list, so each new
// card does not lay out, sort and filter every card before it.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "platform/ui/core/streams.h"
#include "platform/ui/graphics/bitmap.h"
#include "tests/support/render.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFamily = 0;  // Rurerovirez, 176 x 220
constexpr int kWidth = 176;
constexpr int kHeight = 220;

void PutU16(std::ofstream& out, std::uint16_t v) {
    const char bytes[2] = {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
    out.write(bytes, 2);
}

void PutU32(std::ofstream& out, std::uint32_t v) {
    PutU16(out, static_cast<std::uint16_t>(v));
    PutU16(out, static_cast<std::uint16_t>(v >> 16));
}

// The run's files: album files (the largest is a gigabyte) and the settings folder, removed at
// the end of the run.
class Scratch {
public:
    Scratch() : dir_(fs::temp_directory_path() / ("qbk_bench_album_open_" + std::to_string(::getpid()))) {
        fs::create_directories(dir_ / "config");
        ::setenv("XDG_CONFIG_HOME", (dir_ / "config").c_str(), 1);
    }
    ~Scratch() {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    fs::path Path(const std::string& name) const { return dir_ / name; }

private:
    fs::path dir_;
};

Scratch& Files() {
    static Scratch scratch;
    return scratch;
}

// An album file of `cards` cards, each the same 24-bit picture of the family's size, written
// once a size and kept for the run.
std::string AlbumOf(int cards) {
    static std::map<int, std::string> made;
    auto& name = made[cards];
    if (!name.empty()) return name;
    name = Files().Path("album" + std::to_string(cards) + ".ZRB").string();
    ui::TBitmap picture;
    picture.SetSize(kWidth, kHeight);
    picture.Canvas().Brush().SetColor(static_cast<ui::TColor>(0x3060A0));
    picture.Canvas().FillRect(ui::TRect{0, 0, kWidth, kHeight / 2});
    ui::TMemoryStream bmp;
    picture.SaveToStream(bmp);
    std::ofstream out(name, std::ios::binary);
    PutU16(out, 2);
    PutU16(out, kFamily);
    PutU16(out, static_cast<std::uint16_t>(cards));
    for (int i = 0; i < cards; ++i) {
        const std::string caption = "Picture " + std::to_string(i + 1);
        PutU16(out, static_cast<std::uint16_t>(caption.size()));
        out.write(caption.data(), static_cast<std::streamsize>(caption.size()));
        PutU32(out, static_cast<std::uint32_t>(bmp.Size()));
        out.write(reinterpret_cast<const char*>(bmp.Memory()), static_cast<std::streamsize>(bmp.Size()));
    }
    return name;
}

void BM_OpenAlbum(benchmark::State& state) {
    test_support::EnsureApplication();
    const int cards = static_cast<int>(state.range(0));
    const std::string file = AlbumOf(cards);
    app::TQuillbookForm form(nullptr);
    for (auto _ : state) {
        form.OpenAlbum(file);
        state.PauseTiming();
        if (form.PicCardList->Cards().Count() != cards) state.SkipWithError("the album did not open whole");
        form.PicCardList->Cards().Clear();
        state.ResumeTiming();
    }
}

// One round of 10,000 cards took minutes while every card laid out all the others.
BENCHMARK(BM_OpenAlbum)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_OpenAlbum)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
