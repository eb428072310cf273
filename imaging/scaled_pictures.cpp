#include "imaging/scaled_pictures.h"

#include <algorithm>
#include <optional>

#include "imaging/contributor_cache.h"
#include "imaging/row_first_resampler.h"
#include "imaging/stretch_copy.h"
#include "platform/kernel/ordered_work.h"
#include "platform/kernel/system_info.h"
#include "platform/ui/graphics/picture.h"
#include "platform/ui/graphics/pixel_bands.h"

namespace imaging {

namespace {

// Pictures of a selection loaded at once at most: a picture the decoder cannot hand over in
// bands is held whole (a camera's takes 48 MB), so a machine with many cores still holds a
// bounded few of them.
constexpr int kMaxPicturesInFlight = 8;

// Draws `source` with the Lanczos filter into fit(w, h) of `screen`, as the album draws it.
void DrawWhole(TBitmap32& screen, TBitmap32& source, const TFitRect& fit, int threads, TContributorCache* weights) {
    source.SetStretchFilter(TStretchFilter::sfLanczos);
    if (!source.Empty() && !screen.Empty()) {
        StretchCopy(&screen, fit(source.Width(), source.Height()), screen.BoundsRect(), &source, source.BoundsRect(),
                    source.StretchFilter(), source.DrawMode(), source.OnPixelCombine, threads, weights);
        screen.Changed();
    }
}

// Whatever the picture leaves uncovered of the new screen stays 0x00000000, transparent black.
std::unique_ptr<TBitmap32> LoadWhole(const std::string& FileName, int ScreenWidth, int ScreenHeight,
                                     const TFitRect& fit, int threads, TContributorCache* weights) {
    auto screen = std::make_unique<TBitmap32>();
    TBitmap32 source;
    source.LoadFromFile(FileName);
    screen->SetSize(ScreenWidth, ScreenHeight);
    DrawWhole(*screen, source, fit, threads, weights);
    return screen;
}

// Rows a band: 16 rows of a camera picture (256 KB) stay in the processor's cache from the
// decoder to the horizontal pass.
constexpr int kBandRows = 16;

// The reduction of one picture that arrives in bands, on the thread that decodes it: the draw
// StretchCopy makes of it with the Lanczos filter, opaque, into the screen's fit(w, h), computed
// row-first. A picture it cannot draw so (the same size, a copy, or weights beyond its exact
// sums) it takes whole, in one band, and draws by StretchCopy: the decoder goes on from the
// bytes it has read, and the file is read once.
class BandedReduction {
public:
    BandedReduction(TBitmap32& screen, const TFitRect& fit, TContributorCache& cache)
        : screen_(screen), fit_(fit), cache_(cache) {}

    // Called once the picture's size is known: whether it is reduced in bands; else it is taken
    // whole.
    bool InBands(int width, int height, int ScreenWidth, int ScreenHeight) {
        in_bands_ = Plan(width, height, ScreenWidth, ScreenHeight);
        return in_bands_;
    }

    // Where the first band goes, after InBands: kBandRows rows, or the whole picture.
    ui::TPixelBand FirstBand(int width, int height) {
        if (!in_bands_) return ui::TPixelBand{whole_.emplace().For(width, height), height};
        band_.resize(static_cast<std::size_t>(width) * kBandRows);
        return ui::TPixelBand{reinterpret_cast<std::uint8_t*>(band_.data()), kBandRows};
    }

    std::uint8_t* Band(int first, int count) {
        if (resampler_) resampler_->AddRows(first, count, band_.data());
        return reinterpret_cast<std::uint8_t*>(band_.data());
    }

    // After the last band: the destination rows.
    void Finish() {
        if (whole_) {
            TBitmap32 source;
            whole_->MoveTo(source);
            whole_.reset();
            DrawWhole(screen_, source, fit_, 1, &cache_);
            return;
        }
        if (screen_.Empty()) return;
        if (resampler_) {
            const auto width = static_cast<std::size_t>(screen_.Width());
            for (std::size_t r = 0; r < rows_->size(); ++r) {
                const auto y = static_cast<std::size_t>(clip_.Top) + r;
                resampler_->ComputeRow((*rows_)[r], screen_.Bits() + y * width + static_cast<std::size_t>(clip_.Left));
            }
        }
        screen_.Changed();
    }

private:
    bool Plan(int width, int height, int ScreenWidth, int ScreenHeight) {
        screen_.SetSize(ScreenWidth, ScreenHeight);
        const ui::TRect rect = fit_(width, height);
        clip_ = IntersectRects(screen_.BoundsRect(), rect);
        if (screen_.Empty() || clip_.IsEmpty()) return true;
        if (std::int64_t{rect.Right} - rect.Left == width && std::int64_t{rect.Bottom} - rect.Top == height)
            return false;
        auto columns =
            cache_.Table(rect.Left, rect.Right, clip_.Left, clip_.Right, 0, width, TStretchFilter::sfLanczos);
        rows_ = cache_.Table(rect.Top, rect.Bottom, clip_.Top, clip_.Bottom, 0, height, TStretchFilter::sfLanczos);
        if (!TRowFirstResampler::Exact(*columns, *rows_)) return false;
        // Lanczos has negative lobes: its sums are clamped.
        resampler_.emplace(width, height, std::move(columns), true);
        return true;
    }

    TBitmap32& screen_;
    const TFitRect& fit_;
    TContributorCache& cache_;
    ui::TRect clip_;
    std::shared_ptr<const TContributorTable> rows_;
    std::optional<TRowFirstResampler> resampler_;
    kernel::LargeBuffer<TColor32> band_;
    bool in_bands_ = true;
    std::optional<TDecodedPixels32> whole_;
};

// The bytes loading a picture holds at its peak: what its decoder holds, the horizontal sums of
// the reduction (4 channels of 32 bits for each screen column of each source row) and, for a
// picture loaded whole, its 32-bit copy.
std::uint64_t LoadingBytes(const ui::TPictureLoadCost& cost, bool banded, int ScreenWidth) {
    const std::uint64_t sums = 16 * static_cast<std::uint64_t>(std::max(ScreenWidth, 0)) * cost.height;
    if (banded) return cost.banded + sums;
    return cost.whole + 4 * cost.width * cost.height + sums;
}

// A picture whose format decodes in bands is reduced while it decodes, on this thread alone; the
// others are loaded whole. Each way takes its share of `budget` before it allocates: a picture
// the reduction in bands takes whole gives back its share for bands and takes the larger one
// before the decoder goes on.
std::unique_ptr<TBitmap32> LoadScaledInBands(const std::string& FileName, int ScreenWidth, int ScreenHeight,
                                             const TFitRect& fit, TContributorCache& cache,
                                             kernel::MemoryBudget& budget) {
    const ui::TPictureLoadCost cost = ui::PictureFileLoadCost(FileName, kBandRows);
    kernel::MemoryBudget::Share share = budget.Take(LoadingBytes(cost, true, ScreenWidth));
    auto screen = std::make_unique<TBitmap32>();
    BandedReduction reduction(*screen, fit, cache);
    const bool decoded = ui::LoadPictureFileBands32(
        FileName,
        [&](int w, int h) {
            if (!reduction.InBands(w, h, ScreenWidth, ScreenHeight)) {
                share.Release();
                share = budget.Take(LoadingBytes(cost, false, ScreenWidth));
            }
            return reduction.FirstBand(w, h);
        },
        [&](int first, int count) { return reduction.Band(first, count); });
    if (decoded) {
        reduction.Finish();
        return screen;
    }
    share.Release();
    share = budget.Take(LoadingBytes(cost, false, ScreenWidth));
    return LoadWhole(FileName, ScreenWidth, ScreenHeight, fit, 1, &cache);
}

}  // namespace

std::unique_ptr<TBitmap32> LoadScaledPicture(const std::string& FileName, int ScreenWidth, int ScreenHeight,
                                             const TFitRect& fit, TContributorCache* Weights) {
    // One picture: the decoder's thread cannot share its work, so the picture is decoded whole
    // and reduced in bands of rows on every core.
    return LoadWhole(FileName, ScreenWidth, ScreenHeight, fit, kernel::ProcessorCount(), Weights);
}

void LoadScaledPictures(const std::vector<std::string>& FileNames, int ScreenWidth, int ScreenHeight,
                        const TFitRect& fit, const std::function<void(std::size_t, std::unique_ptr<TBitmap32>)>& take,
                        TContributorCache* Weights, kernel::MemoryBudget* Budget) {
    // One thread a picture: each is decoded and reduced on the thread that loads it, so every
    // processor decodes, and the caller loads pictures too while it waits, so the pool has one
    // thread fewer. Pictures of one size share their weights. A selection of one picture has
    // nothing to run beside it, so it takes the single picture's path over every core.
    if (FileNames.size() == 1) {
        take(0, LoadScaledPicture(FileNames[0], ScreenWidth, ScreenHeight, fit, Weights));
        return;
    }
    TContributorCache own_cache;
    TContributorCache& cache = Weights ? *Weights : own_cache;
    kernel::MemoryBudget own_budget(kLoadingBytesInFlight);
    kernel::MemoryBudget& budget = Budget ? *Budget : own_budget;
    const int loaders = std::min(kernel::ProcessorCount(), kMaxPicturesInFlight);
    kernel::RunOrderedResults<std::unique_ptr<TBitmap32>>(
        FileNames.size(), std::max(loaders - 1, 1),
        [&](std::size_t i) { return LoadScaledInBands(FileNames[i], ScreenWidth, ScreenHeight, fit, cache, budget); },
        [&](std::size_t i, std::unique_ptr<TBitmap32> picture) { take(i, std::move(picture)); });
}

}  // namespace imaging
