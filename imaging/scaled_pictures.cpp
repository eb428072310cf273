#include "imaging/scaled_pictures.h"

#include <algorithm>
#include <optional>

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

// The picture is drawn in a way the reduction in bands does not give (the same size, a copy,
// or weights beyond its exact sums): it is loaded whole and drawn by StretchCopy.
struct DrawnWhole {};

// Whatever the picture leaves uncovered of the new screen stays 0x00000000, transparent black.
std::unique_ptr<TBitmap32> LoadWhole(const std::string& FileName, int ScreenWidth, int ScreenHeight,
                                     const TFitRect& fit, int threads, TContributorCache* weights) {
    auto screen = std::make_unique<TBitmap32>();
    TBitmap32 source;
    source.LoadFromFile(FileName);
    source.SetStretchFilter(TStretchFilter::sfLanczos);
    screen->SetSize(ScreenWidth, ScreenHeight);
    if (!source.Empty() && !screen->Empty()) {
        StretchCopy(screen.get(), fit(source.Width(), source.Height()), screen->BoundsRect(), &source,
                    source.BoundsRect(), source.StretchFilter(), source.DrawMode(), source.OnPixelCombine, threads,
                    weights);
        screen->Changed();
    }
    return screen;
}

// Rows a band: 16 rows of a camera picture (256 KB) stay in the processor's cache from the
// decoder to the horizontal pass.
constexpr int kBandRows = 16;

// The reduction of one picture that arrives in bands, on the thread that decodes it: the draw
// StretchCopy makes of it with the Lanczos filter, opaque, into the screen's fit(w, h), computed
// row-first.
class BandedReduction {
public:
    BandedReduction(TBitmap32& screen, const TFitRect& fit, TContributorCache& cache)
        : screen_(screen), fit_(fit), cache_(cache) {}

    // Called once the picture's size is known: where its first band goes.
    std::uint8_t* Start(int width, int height, int ScreenWidth, int ScreenHeight) {
        screen_.SetSize(ScreenWidth, ScreenHeight);
        const ui::TRect rect = fit_(width, height);
        clip_ = IntersectRects(screen_.BoundsRect(), rect);
        if (!screen_.Empty() && !clip_.IsEmpty()) {
            if (std::int64_t{rect.Right} - rect.Left == width && std::int64_t{rect.Bottom} - rect.Top == height)
                throw DrawnWhole{};
            auto columns =
                cache_.Table(rect.Left, rect.Right, clip_.Left, clip_.Right, 0, width, TStretchFilter::sfLanczos);
            rows_ = cache_.Table(rect.Top, rect.Bottom, clip_.Top, clip_.Bottom, 0, height, TStretchFilter::sfLanczos);
            if (!TRowFirstResampler::Exact(*columns, *rows_)) throw DrawnWhole{};
            // Lanczos has negative lobes: its sums are clamped.
            resampler_.emplace(width, height, std::move(columns), true);
        }
        band_.resize(static_cast<std::size_t>(width) * kBandRows);
        return reinterpret_cast<std::uint8_t*>(band_.data());
    }

    std::uint8_t* Band(int first, int count) {
        if (resampler_) resampler_->AddRows(first, count, band_.data());
        return reinterpret_cast<std::uint8_t*>(band_.data());
    }

    // After the last band: the destination rows.
    void Finish() {
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
    TBitmap32& screen_;
    const TFitRect& fit_;
    TContributorCache& cache_;
    ui::TRect clip_;
    std::shared_ptr<const TContributorTable> rows_;
    std::optional<TRowFirstResampler> resampler_;
    kernel::LargeBuffer<TColor32> band_;
};

// The bytes loading a picture holds at its peak: what its decoder holds, the horizontal sums of
// the reduction (4 channels of 32 bits for each screen column of each source row) and, for a
// picture loaded whole, its 32-bit copy.
std::uint64_t LoadingBytes(const ui::TPictureLoadCost& cost, bool banded, int ScreenWidth) {
    const std::uint64_t sums = 16 * static_cast<std::uint64_t>(std::max(ScreenWidth, 0)) * cost.height;
    if (banded) return cost.banded + sums;
    return cost.whole + 4 * cost.width * cost.height + sums;
}

// A JPEG is reduced while it decodes, on this thread alone; the others, and the draws the
// reduction in bands does not give, are loaded whole. Each way takes its share of `budget`
// before it begins.
std::unique_ptr<TBitmap32> LoadScaledInBands(const std::string& FileName, int ScreenWidth, int ScreenHeight,
                                             const TFitRect& fit, TContributorCache& cache,
                                             kernel::MemoryBudget& budget) {
    const ui::TPictureLoadCost cost = ui::PictureFileLoadCost(FileName, kBandRows);
    kernel::MemoryBudget::Share share = budget.Take(LoadingBytes(cost, true, ScreenWidth));
    auto screen = std::make_unique<TBitmap32>();
    try {
        BandedReduction reduction(*screen, fit, cache);
        const bool banded = ui::LoadPictureFileBands32(
            FileName, kBandRows, [&](int w, int h) { return reduction.Start(w, h, ScreenWidth, ScreenHeight); },
            [&](int first, int count) { return reduction.Band(first, count); });
        if (banded) {
            reduction.Finish();
            return screen;
        }
    } catch (const DrawnWhole&) {}
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
