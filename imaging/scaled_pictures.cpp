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

// `source` reduced into `rect` of `screen` in `bands` bands of rows, one per thread: each row of
// the result depends on the source alone, so the bands are the rows one draw would give.
void DrawInBands(TBitmap32& screen, const ui::TRect& rect, const TBitmap32& source, int bands) {
    const ui::TRect clip = IntersectRects(rect, screen.BoundsRect());
    if (clip.IsEmpty()) return;
    const int count = std::max(1, std::min(bands, clip.Height()));
    const auto band = [&](std::size_t k) {
        const int i = static_cast<int>(k);
        return ui::TRect{clip.Left, clip.Top + clip.Height() * i / count, clip.Right,
                         clip.Top + clip.Height() * (i + 1) / count};
    };
    const auto draw = [&](std::size_t k) {
        StretchCopy(&screen, rect, band(k), &source, source.BoundsRect(), source.StretchFilter(), source.DrawMode(),
                    source.OnPixelCombine);
    };
    if (count == 1) {
        draw(0);
    } else {
        // The caller draws bands too, so one thread fewer keeps every processor busy.
        kernel::RunOrdered(static_cast<std::size_t>(count), count - 1, static_cast<std::size_t>(count), draw,
                           [](std::size_t) {});
    }
    screen.Changed();
}

std::unique_ptr<TBitmap32> LoadScaled(const std::string& FileName, int ScreenWidth, int ScreenHeight,
                                      const TFitRect& fit, int bands) {
    auto screen = std::make_unique<TBitmap32>();
    TBitmap32 source;
    source.LoadFromFile(FileName);
    source.SetStretchFilter(TStretchFilter::sfLanczos);
    // New pixel memory is 0x00000000, so whatever the picture leaves uncovered stays black.
    screen->SetSize(ScreenWidth, ScreenHeight);
    if (!source.Empty() && !screen->Empty()) DrawInBands(*screen, fit(source.Width(), source.Height()), source, bands);
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
