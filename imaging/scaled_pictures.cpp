#include "imaging/scaled_pictures.h"

#include <algorithm>

#include "imaging/stretch_copy.h"
#include "platform/kernel/ordered_work.h"
#include "platform/kernel/system_info.h"

namespace imaging {

namespace {

// Pictures of a selection loaded at once at most: each holds one full-size picture (a camera's
// takes 48 MB), so a machine with many cores still holds a bounded few of them.
constexpr int kMaxPicturesInFlight = 8;

std::unique_ptr<TBitmap32> LoadScaled(const std::string& FileName, int ScreenWidth, int ScreenHeight,
                                      const TFitRect& fit, int threads) {
    auto screen = std::make_unique<TBitmap32>();
    TBitmap32 source;
    source.LoadFromFile(FileName);
    source.SetStretchFilter(TStretchFilter::sfLanczos);
    // New pixel memory is 0x00000000, so whatever the picture leaves uncovered stays black.
    screen->SetSize(ScreenWidth, ScreenHeight);
    if (!source.Empty() && !screen->Empty()) {
        StretchCopy(screen.get(), fit(source.Width(), source.Height()), screen->BoundsRect(), &source,
                    source.BoundsRect(), source.StretchFilter(), source.DrawMode(), source.OnPixelCombine, threads);
        screen->Changed();
    }
    return screen;
}

}  // namespace

std::unique_ptr<TBitmap32> LoadScaledPicture(const std::string& FileName, int ScreenWidth, int ScreenHeight,
                                             const TFitRect& fit) {
    return LoadScaled(FileName, ScreenWidth, ScreenHeight, fit, kernel::ProcessorCount());
}

void LoadScaledPictures(const std::vector<std::string>& FileNames, int ScreenWidth, int ScreenHeight,
                        const TFitRect& fit,
                        const std::function<void(std::size_t, std::unique_ptr<TBitmap32>)>& take) {
    // The pictures keep every processor busy: each is reduced on the thread that loaded it, and
    // the caller loads pictures too while it waits, so the pool has one thread fewer.
    const int loaders = std::min(kernel::ProcessorCount(), kMaxPicturesInFlight);
    kernel::RunOrderedResults<std::unique_ptr<TBitmap32>>(
        FileNames.size(), std::max(loaders - 1, 1),
        [&](std::size_t i) { return LoadScaled(FileNames[i], ScreenWidth, ScreenHeight, fit, 1); },
        [&](std::size_t i, std::unique_ptr<TBitmap32> picture) { take(i, std::move(picture)); });
}

}  // namespace imaging
