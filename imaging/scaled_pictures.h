// Picture files loaded and reduced to a screen's size: one at a time on any thread, or a whole
// selection on every core with the results handed over in order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "imaging/bitmap32.h"
#include "imaging/contributor_cache.h"
#include "platform/kernel/memory_budget.h"
#include "platform/ui/graphics/geometry.h"

namespace imaging {

// Where a picture of w x h pixels goes in the screen.
using TFitRect = std::function<ui::TRect(int w, int h)>;

// `FileName` loaded and drawn with the Lanczos filter into fit(w, h) of a ScreenWidth x
// ScreenHeight bitmap; whatever it leaves uncovered stays 0 (transparent black). The reduction
// runs in bands of rows on a pool sized to the machine. Safe on any thread. An unreadable file
// raises the class library's error. `Weights`, when given, keeps the filter's weights for the
// next pictures of the same size (a user adds camera pictures of one size again and again).
std::unique_ptr<TBitmap32> LoadScaledPicture(const std::string& FileName, int ScreenWidth, int ScreenHeight,
                                             const TFitRect& fit, TContributorCache* Weights = nullptr);

// The memory the pictures a run loads side by side hold at most at once, told from their
// headers; a picture that needs more is loaded alone.
inline constexpr std::uint64_t kLoadingBytesInFlight = std::uint64_t{512} << 20;

// LoadScaledPicture for every file on a pool of threads sized to the machine, the same pixels;
// take(i, picture) runs on the calling thread for the files in order. Each picture is loaded on
// one thread; a JPEG is reduced while it decodes, without its full-size pixels held, and the
// pictures of one size share their weights. A file that cannot be loaded ends the run after the
// files before it have been taken; its error passes to the caller and no later file is taken.
// A few pictures are loaded at a time: one per thread, at most 8, and no more than the memory
// each takes (told from its headers before it is decoded) fits in `Budget` together, by default
// one of kLoadingBytesInFlight of this run's own. The weights come from `Weights` when given,
// else from a cache of this run's own.
void LoadScaledPictures(const std::vector<std::string>& FileNames, int ScreenWidth, int ScreenHeight,
                        const TFitRect& fit, const std::function<void(std::size_t, std::unique_ptr<TBitmap32>)>& take,
                        TContributorCache* Weights = nullptr, kernel::MemoryBudget* Budget = nullptr);

}  // namespace imaging
