#include "imaging/scaled_pictures.h"

#include <algorithm>
#include <future>
#include <mutex>
#include <optional>

#include "imaging/band_hand_off.h"
#include "imaging/contributor_cache.h"
#include "imaging/row_first_resampler.h"
#include "imaging/stretch_copy.h"
#include "platform/kernel/ordered_work.h"
#include "platform/kernel/system_info.h"
#include "platform/ui/graphics/picture.h"

namespace imaging {

namespace {

// Pictures of a selection loaded at once at most: a picture the decoder cannot hand over in
// bands is held whole (a camera's takes 48 MB), so a machine with many cores still holds a
// bounded few of them.
constexpr int kMaxPicturesInFlight = 8;
// Band buffers going round a helper thread when one picture is reduced on every core.
constexpr std::size_t kBandsPerHelper = 3;

// The picture is drawn in a way the reduction in bands does not give (the same size, a copy,
// or weights beyond its exact sums): it is loaded whole and drawn by StretchCopy.
struct DrawnWhole {};

// Whatever the picture leaves uncovered of the new screen stays 0x00000000, transparent black.
std::unique_ptr<TBitmap32> LoadWhole(const std::string& FileName, int ScreenWidth, int ScreenHeight,
                                     const TFitRect& fit, int threads) {
    auto screen = std::make_unique<TBitmap32>();
    TBitmap32 source;
    source.LoadFromFile(FileName);
    source.SetStretchFilter(TStretchFilter::sfLanczos);
    screen->SetSize(ScreenWidth, ScreenHeight);
    if (!source.Empty() && !screen->Empty()) {
        StretchCopy(screen.get(), fit(source.Width(), source.Height()), screen->BoundsRect(), &source,
                    source.BoundsRect(), source.StretchFilter(), source.DrawMode(), source.OnPixelCombine, threads);
        screen->Changed();
    }
    return screen;
}

// Rows a band: on one thread, 16 rows of a camera picture (256 KB) stay in the processor's cache
// from the decoder to the horizontal pass; handed to other threads, bands twice as tall cost
// half as many hand-overs.
int BandRows(int threads) { return threads > 1 ? 32 : 16; }

// The reduction of one picture that arrives in bands: the draw StretchCopy makes of it with the
// Lanczos filter, opaque, into the screen's fit(w, h), computed row-first.
class BandedReduction {
public:
    BandedReduction(TBitmap32& screen, const TFitRect& fit, int threads, TContributorCache& cache)
        : screen_(screen), fit_(fit), threads_(threads), cache_(cache) {}

    // Called once the picture's size is known: where its first band goes.
    std::uint8_t* Start(int width, int height, int ScreenWidth, int ScreenHeight) {
        screen_.SetSize(ScreenWidth, ScreenHeight);
        const ui::TRect rect = fit_(width, height);
        clip_ = IntersectRects(screen_.BoundsRect(), rect);
        drawing_ = !screen_.Empty() && !clip_.IsEmpty();
        if (drawing_) {
            if (std::int64_t{rect.Right} - rect.Left == width && std::int64_t{rect.Bottom} - rect.Top == height)
                throw DrawnWhole{};
            width_ = width;
            height_ = height;
            const ui::TRect clip = clip_;
            TContributorCache& cache = cache_;
            // On every core the weights are worked out while the decoder begins; on one thread
            // when they are first needed.
            const auto launch = threads_ > 1 ? std::launch::async : std::launch::deferred;
            columns_ = std::async(launch, [=, &cache] {
                           return cache.Table(rect.Left, rect.Right, clip.Left, clip.Right, 0, width,
                                              TStretchFilter::sfLanczos);
                       }).share();
            rows_ = std::async(launch, [=, &cache] {
                        return cache.Table(rect.Top, rect.Bottom, clip.Top, clip.Bottom, 0, height,
                                           TStretchFilter::sfLanczos);
                    }).share();
        }
        const std::size_t band_pixels = static_cast<std::size_t>(width) * BandRows(threads_);
        if (threads_ > 1 && drawing_) {
            hand_off_.emplace(
                threads_ - 1, kBandsPerHelper * static_cast<std::size_t>(threads_), band_pixels,
                [this](int first, int count, const TColor32* pixels) { Resampler().AddRows(first, count, pixels); });
            return reinterpret_cast<std::uint8_t*>(hand_off_->First());
        }
        band_.resize(band_pixels);
        return reinterpret_cast<std::uint8_t*>(band_.data());
    }

    std::uint8_t* Band(int first, int count) {
        if (hand_off_) return reinterpret_cast<std::uint8_t*>(hand_off_->Hand(first, count));
        if (drawing_) Resampler().AddRows(first, count, band_.data());
        return reinterpret_cast<std::uint8_t*>(band_.data());
    }

    // After the last band: the destination rows.
    void Finish() {
        if (screen_.Empty()) return;
        if (drawing_) {
            if (hand_off_) hand_off_->Finish();
            const TRowFirstResampler& resampler = Resampler();
            const std::shared_ptr<const TContributorTable> rows = rows_.get();
            if (!TRowFirstResampler::Exact(*columns_.get(), *rows)) throw DrawnWhole{};
            const auto compute = [&](std::size_t first, std::size_t count) {
                for (std::size_t r = first; r < first + count; ++r) {
                    const auto y = static_cast<std::size_t>(clip_.Top) + r;
                    resampler.ComputeRow((*rows)[r], screen_.Bits() + y * static_cast<std::size_t>(screen_.Width()) +
                                                         static_cast<std::size_t>(clip_.Left));
                }
            };
            const std::size_t total = rows->size();
            if (threads_ > 1 && total > 1) {
                const std::size_t bands = std::min<std::size_t>(total, 4 * static_cast<std::size_t>(threads_));
                kernel::RunOrdered(
                    bands, threads_ - 1, bands,
                    [&](std::size_t k) { compute(total * k / bands, total * (k + 1) / bands - total * k / bands); },
                    [](std::size_t) {});
            } else {
                compute(0, total);
            }
        }
        screen_.Changed();
    }

private:
    // Made when the first band arrives, on whichever thread takes it.
    TRowFirstResampler& Resampler() {
        std::call_once(made_, [&] { resampler_.emplace(width_, height_, columns_.get(), true); });
        return *resampler_;
    }

    TBitmap32& screen_;
    const TFitRect& fit_;
    const int threads_;
    TContributorCache& cache_;
    ui::TRect clip_;
    bool drawing_ = false;
    int width_ = 0;
    int height_ = 0;
    std::shared_future<std::shared_ptr<const TContributorTable>> columns_;
    std::shared_future<std::shared_ptr<const TContributorTable>> rows_;
    std::once_flag made_;
    // Lanczos has negative lobes: its sums are clamped.
    std::optional<TRowFirstResampler> resampler_;
    kernel::LargeBuffer<TColor32> band_;
    std::optional<TBandHandOff> hand_off_;  // last: its helpers are stopped first
};

std::unique_ptr<TBitmap32> LoadScaled(const std::string& FileName, int ScreenWidth, int ScreenHeight,
                                      const TFitRect& fit, int threads, TContributorCache& cache) {
    auto screen = std::make_unique<TBitmap32>();
    try {
        BandedReduction reduction(*screen, fit, threads, cache);
        const bool banded = ui::LoadPictureFileBands32(
            FileName, BandRows(threads), [&](int w, int h) { return reduction.Start(w, h, ScreenWidth, ScreenHeight); },
            [&](int first, int count) { return reduction.Band(first, count); });
        if (banded) {
            reduction.Finish();
            return screen;
        }
    } catch (const DrawnWhole&) {}
    return LoadWhole(FileName, ScreenWidth, ScreenHeight, fit, threads);
}

}  // namespace

std::unique_ptr<TBitmap32> LoadScaledPicture(const std::string& FileName, int ScreenWidth, int ScreenHeight,
                                             const TFitRect& fit) {
    TContributorCache cache(2);
    return LoadScaled(FileName, ScreenWidth, ScreenHeight, fit, kernel::ProcessorCount(), cache);
}

void LoadScaledPictures(const std::vector<std::string>& FileNames, int ScreenWidth, int ScreenHeight,
                        const TFitRect& fit, const std::function<void(std::size_t, std::unique_ptr<TBitmap32>)>& take) {
    // One thread a picture: each is decoded and reduced on the thread that loads it, so every
    // processor decodes, and the caller loads pictures too while it waits, so the pool has one
    // thread fewer. Pictures of one size share their weights.
    TContributorCache cache;
    const int loaders = std::min(kernel::ProcessorCount(), kMaxPicturesInFlight);
    kernel::RunOrderedResults<std::unique_ptr<TBitmap32>>(
        FileNames.size(), std::max(loaders - 1, 1),
        [&](std::size_t i) { return LoadScaled(FileNames[i], ScreenWidth, ScreenHeight, fit, 1, cache); },
        [&](std::size_t i, std::unique_ptr<TBitmap32> picture) { take(i, std::move(picture)); });
}

}  // namespace imaging
