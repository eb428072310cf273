#include "imaging/scaled_pictures.h"

#include "platform/kernel/ordered_work.h"
#include "platform/kernel/system_info.h"

namespace imaging {

std::unique_ptr<TBitmap32> LoadScaledPicture(const std::string& FileName, int ScreenWidth, int ScreenHeight,
                                             const TFitRect& fit) {
    auto screen = std::make_unique<TBitmap32>();
    {
        TBitmap32 source;
        source.LoadFromFile(FileName);
        source.SetStretchFilter(TStretchFilter::sfLanczos);
        // New pixel memory is 0x00000000, so whatever the picture leaves uncovered stays black.
        screen->SetSize(ScreenWidth, ScreenHeight);
        screen->Draw(fit(source.Width(), source.Height()), source.BoundsRect(), &source);
    }
    return screen;
}

void LoadScaledPictures(const std::vector<std::string>& FileNames, int ScreenWidth, int ScreenHeight,
                        const TFitRect& fit,
                        const std::function<void(std::size_t, std::unique_ptr<TBitmap32>)>& take) {
    kernel::RunOrderedResults<std::unique_ptr<TBitmap32>>(
        FileNames.size(), kernel::ProcessorCount(),
        [&](std::size_t i) { return LoadScaledPicture(FileNames[i], ScreenWidth, ScreenHeight, fit); },
        [&](std::size_t i, std::unique_ptr<TBitmap32> picture) { take(i, std::move(picture)); });
}

}  // namespace imaging
