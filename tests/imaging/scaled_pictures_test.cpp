// Loading a selection of pictures on every core against loading them one by one. Built in the
// thread-sanitizer kind too, which has no widgets: only the picture classes are used here.
#include "imaging/scaled_pictures.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "imaging/stretch_copy.h"
#include "platform/kernel/large_memory.h"
#include "platform/kernel/memory_budget.h"
#include "platform/ui/core/exceptions.h"
#include "platform/ui/graphics/picture.h"
#include "tests/imaging/picture_files.h"
#include "tests/support/resident_memory.h"
#include "tests/support/temp_folder.h"
#include "tests/ui/gif_fixture.h"
#include "tests/ui/png_fixture.h"

namespace imaging {
namespace {

namespace fs = std::filesystem;

// Centred, keeping the aspect ratio, as the album fits its pictures.
ui::TRect Fit(int w, int h, int W, int H) {
    if (w * H > h * W) {
        const int fh = h * W / w;
        return ui::TRect{0, (H - fh) / 2, W, (H - fh) / 2 + fh};
    }
    const int fw = w * H / h;
    return ui::TRect{(W - fw) / 2, 0, (W - fw) / 2 + fw, H};
}

class ScaledPictures : public testing::Test {
protected:
    // JPEG files with detail, a BMP and a PNG among them: every format's loading runs on the pool.
    std::vector<std::string> Files(int count) {
        std::vector<std::string> files;
        for (int i = 0; i < count; ++i) {
            const char* extension = i % 6 == 2 ? ".bmp" : i % 6 == 4 ? ".png" : ".jpg";
            const std::string file = (dir_ / ("picture" + std::to_string(i) + extension)).string();
            files.push_back(test::WriteDetailedPicture(file, 150 + 29 * i, 420 - 17 * i, i));
        }
        return files;
    }

    // The test's own folder: suites of other worktrees may run the same test at the same time.
    test_support::ScratchFolder scratch_{"qbk_scaled_"};
    const fs::path& dir_ = scratch_.Path();
};

constexpr int kW = 176, kH = 220;
const TFitRect kFit = [](int w, int h) { return Fit(w, h, kW, kH); };

bool SamePixels(const TBitmap32& a, const TBitmap32& b) {
    return a.Width() == b.Width() && a.Height() == b.Height() &&
           std::memcmp(a.Bits(), b.Bits(), static_cast<std::size_t>(a.Width()) * a.Height() * 4) == 0;
}

TEST_F(ScaledPictures, OnThePoolTheyAreThePicturesOfLoadingOneByOneInOrder) {
    const std::vector<std::string> files = Files(20);
    const std::thread::id caller = std::this_thread::get_id();
    std::vector<std::size_t> order;
    std::vector<std::unique_ptr<TBitmap32>> pictures;
    LoadScaledPictures(files, kW, kH, kFit, [&](std::size_t i, std::unique_ptr<TBitmap32> picture) {
        EXPECT_EQ(std::this_thread::get_id(), caller);
        order.push_back(i);
        pictures.push_back(std::move(picture));
    });
    ASSERT_EQ(pictures.size(), files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(files[i]);
        EXPECT_EQ(order[i], i);
        const std::unique_ptr<TBitmap32> alone = LoadScaledPicture(files[i], kW, kH, kFit);
        EXPECT_TRUE(SamePixels(*pictures[i], *alone));
        // The centre is always covered, and a picture without alpha is opaque there.
        EXPECT_EQ(AlphaOf(*alone->PixelPointer(kW / 2, kH / 2)), 255);
    }
}

TEST_F(ScaledPictures, ASelectionOfOneIsTheSinglePictureAndFailsAsItDoes) {
    const std::vector<std::string> files = Files(1);
    std::vector<std::unique_ptr<TBitmap32>> pictures;
    LoadScaledPictures(files, kW, kH, kFit, [&](std::size_t i, std::unique_ptr<TBitmap32> picture) {
        EXPECT_EQ(i, 0u);
        pictures.push_back(std::move(picture));
    });
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_TRUE(SamePixels(*pictures[0], *LoadScaledPicture(files[0], kW, kH, kFit)));

    const std::string cut = test::WriteCutCopy(files[0], (dir_ / "cut.jpg").string(), 1.0 / 3);
    EXPECT_THROW(LoadScaledPictures({cut}, kW, kH, kFit,
                                    [&](std::size_t, std::unique_ptr<TBitmap32>) { ADD_FAILURE() << "taken"; }),
                 ui::EInvalidGraphic);
}

TEST_F(ScaledPictures, KeptWeightsGiveThePixelsOfAFreshAddAcrossSizesAndSelections) {
    const std::vector<std::string> files = Files(6);
    TContributorCache weights;
    // Pictures of several sizes into two screen sizes, each twice: the second time the weights
    // come from the cache.
    for (int round = 0; round < 2; ++round) {
        for (const auto& [W, H] : {std::pair{kW, kH}, std::pair{90, 60}}) {
            const TFitRect fit = [W = W, H = H](int w, int h) { return Fit(w, h, W, H); };
            for (const std::string& file : files) {
                SCOPED_TRACE(file + " into " + std::to_string(W) + "x" + std::to_string(H));
                EXPECT_TRUE(
                    SamePixels(*LoadScaledPicture(file, W, H, fit, &weights), *LoadScaledPicture(file, W, H, fit)));
            }
        }
    }
    const std::size_t built = weights.Built();
    EXPECT_GT(built, 0u);
    // A selection on the pool shares the same cache and gives the same pixels.
    std::vector<std::unique_ptr<TBitmap32>> pictures;
    LoadScaledPictures(
        files, kW, kH, kFit,
        [&](std::size_t, std::unique_ptr<TBitmap32> picture) { pictures.push_back(std::move(picture)); }, &weights);
    ASSERT_EQ(pictures.size(), files.size());
    for (std::size_t i = 0; i < files.size(); ++i)
        EXPECT_TRUE(SamePixels(*pictures[i], *LoadScaledPicture(files[i], kW, kH, kFit)));
}

// The picture loaded whole and drawn by StretchCopy on one thread.
std::unique_ptr<TBitmap32> DrawnWhole(const std::string& file, int W, int H, const TFitRect& fit) {
    TBitmap32 source;
    source.LoadFromFile(file);
    auto screen = std::make_unique<TBitmap32>();
    screen->SetSize(W, H);
    StretchCopy(screen.get(), fit(source.Width(), source.Height()), screen->BoundsRect(), &source, source.BoundsRect(),
                TStretchFilter::sfLanczos, TDrawMode::dmOpaque, source.OnPixelCombine);
    return screen;
}

TEST_F(ScaledPictures, ReducedWhileDecodedTheyAreThePicturesDrawnWhole) {
    struct Case {
        const char* name;
        int w, h;  // the picture
        TFitRect fit;
    };
    const Case cases[] = {
        {"reduced, as wide as the screen", 600, 450, kFit},
        {"reduced, narrower than the screen", 300, 700, kFit},
        {"enlarged", 40, 30, kFit},
        {"reduced across, enlarged down", 500, 100,
         [](int, int) {
             return ui::TRect{0, 0, kW, 160};
         }},
        {"hanging over every edge", 300, 300,
         [](int, int) {
             return ui::TRect{-37, -20, kW + 50, kH + 9};
         }},
        {"one row", 333, 1, kFit},
        {"the screen's own size", kW, kH, kFit},
        {"outside the screen", 200, 200,
         [](int, int) {
             return ui::TRect{kW + 1, 0, kW + 100, 50};
         }},
    };
    int seed = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = test::WriteDetailedPicture((dir_ / "case.jpg").string(), c.w, c.h, ++seed);
        std::unique_ptr<TBitmap32> scaled;
        LoadScaledPictures({file}, kW, kH, c.fit,
                           [&](std::size_t, std::unique_ptr<TBitmap32> picture) { scaled = std::move(picture); });
        ASSERT_NE(scaled, nullptr);
        EXPECT_TRUE(SamePixels(*scaled, *DrawnWhole(file, kW, kH, c.fit)));
        EXPECT_TRUE(SamePixels(*scaled, *LoadScaledPicture(file, kW, kH, c.fit)));
    }
}

TEST_F(ScaledPictures, APictureTakenWholeFromTheDecoderCountsAsAWholeLoad) {
    // Pictures drawn at their own size are copied, not reduced: the reduction takes each whole
    // from the decoder that read its headers, and before that trades its share of the budget
    // for bands for the share of a whole load, larger than two shares for bands together.
    const int side = 1000;
    const TFitRect own_size = [](int w, int h) { return ui::TRect{0, 0, w, h}; };
    std::vector<std::string> files;
    for (int i = 0; i < 2; ++i) {
        files.push_back(
            test::WriteDetailedPicture((dir_ / ("own" + std::to_string(i) + ".jpg")).string(), side, side, i));
    }
    const ui::TPictureLoadCost cost = ui::PictureFileLoadCost(files[0], 16);
    const std::uint64_t sums = 16 * std::uint64_t{kW} * side;
    ASSERT_LT(2 * (cost.banded + sums), cost.whole + 4 * cost.width * cost.height + sums);
    kernel::MemoryBudget budget(std::uint64_t{1} << 30);
    std::vector<std::unique_ptr<TBitmap32>> pictures;
    LoadScaledPictures(
        files, kW, kH, own_size,
        [&](std::size_t, std::unique_ptr<TBitmap32> picture) { pictures.push_back(std::move(picture)); }, nullptr,
        &budget);
    EXPECT_GE(budget.PeakTaken(), cost.whole + 4 * cost.width * cost.height + sums);
    ASSERT_EQ(pictures.size(), files.size());
    for (std::size_t i = 0; i < files.size(); ++i)
        EXPECT_TRUE(SamePixels(*pictures[i], *LoadScaledPicture(files[i], kW, kH, own_size)));
}

TEST_F(ScaledPictures, AnUnreadableFileEndsTheRunAfterTheFilesBeforeIt) {
    std::vector<std::string> files = Files(14);
    const std::string cut = test::WriteCutCopy(files[0], (dir_ / "cut.jpg").string(), 1.0 / 3);
    const std::size_t bad_at = 9;
    files.insert(files.begin() + static_cast<std::ptrdiff_t>(bad_at), cut);
    std::vector<std::size_t> taken;
    try {
        LoadScaledPictures(files, kW, kH, kFit, [&](std::size_t i, std::unique_ptr<TBitmap32>) { taken.push_back(i); });
        ADD_FAILURE() << "the damaged file was accepted";
    } catch (const ui::EInvalidGraphic& e) {
        EXPECT_EQ(std::string(e.what()).rfind("JPEG image is not valid: ", 0), 0u) << e.what();
    }
    ASSERT_EQ(taken.size(), bad_at);
    for (std::size_t i = 0; i < bad_at; ++i) EXPECT_EQ(taken[i], i);

    // A missing file fails the same way, here at the very start.
    taken.clear();
    EXPECT_THROW(LoadScaledPictures({(dir_ / "none.jpg").string(), files[0]}, kW, kH, kFit,
                                    [&](std::size_t i, std::unique_ptr<TBitmap32>) { taken.push_back(i); }),
                 ui::Exception);
    EXPECT_TRUE(taken.empty());
}

// What loading `file` whole into a 32-bit bitmap takes, told from its headers: the decoder's
// peak and the bitmap.
std::uint64_t TakesWhole(const std::string& file) {
    const ui::TPictureLoadCost cost = ui::PictureFileLoadCost(file, 16);
    return cost.whole + 4 * cost.width * cost.height;
}

double MiB(std::uint64_t bytes) { return static_cast<double>(bytes) / (1 << 20); }

TEST_F(ScaledPictures, EachFormatTakesNoMoreMemoryThanItsHeadersTell) {
    // Pictures of 2048 x 2048 (an icon 256 x 256): what loading each takes, measured, against what
    // the budget of a run counts for it before it is loaded.
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {"grey.png", ui::test::ZeroPng(2048, 2048, 8, 0)},
        {"rgba.png", ui::test::ZeroPng(2048, 2048, 8, 6)},
        {"deep.png", ui::test::ZeroPng(2048, 2048, 16, 2)},
    };
    std::vector<std::string> files;
    for (const Case& c : cases) {
        files.push_back((dir_ / c.name).string());
        std::ofstream(files.back(), std::ios::binary)
            .write(reinterpret_cast<const char*>(c.bytes.data()), static_cast<std::streamsize>(c.bytes.size()));
    }
    files.push_back(test::WriteDetailedPicture((dir_ / "photo.jpg").string(), 2048, 2048, 1));
    files.push_back(test::WriteDetailedPicture((dir_ / "plain.bmp").string(), 2048, 2048, 2));
    ui::test::GifSpec gif;
    gif.width = gif.height = 2048;
    gif.palette = {0x102030, 0xFFFFFF};
    gif.indices.assign(2048 * 2048, 0);
    const std::vector<std::uint8_t> gif_bytes = ui::test::MakeGif(gif);
    files.push_back((dir_ / "flat.gif").string());
    std::ofstream(files.back(), std::ios::binary)
        .write(reinterpret_cast<const char*>(gif_bytes.data()), static_cast<std::streamsize>(gif_bytes.size()));
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        const std::uint64_t told = TakesWhole(file);
        EXPECT_GT(told, std::uint64_t{2048} * 2048 * 4);
        const test_support::PeakWatch memory;
        {
            TBitmap32 bitmap;
            bitmap.LoadFromFile(file);
            ASSERT_EQ(bitmap.Width(), 2048);
        }
        if (test_support::kPeaksAreThePrograms) {
            EXPECT_LE(memory.RiseMiB(), MiB(told));
        }
    }
    // A JPEG reduced while it decodes holds a few rows of it.
    const ui::TPictureLoadCost jpeg = ui::PictureFileLoadCost(files[3], 16);
    EXPECT_LE(jpeg.banded, std::uint64_t{2048} * 4 * 64);
}

TEST_F(ScaledPictures, PicturesLoadedSideBySideStayWithinTheirMemoryBudget) {
    // Eight pictures of 2048 x 2048 that take tens of megabytes each while they load. With room
    // for one of them at a time the run holds little more than one, where eight side by side
    // would hold several hundred megabytes; the pictures are those of loading them one by one.
    std::vector<std::string> files;
    for (int i = 0; i < 8; ++i) {
        files.push_back((dir_ / ("grey" + std::to_string(i) + ".png")).string());
        const std::vector<std::uint8_t> png = ui::test::ZeroPng(2048, 2048 - 8 * static_cast<std::uint32_t>(i), 8, 0);
        std::ofstream(files.back(), std::ios::binary)
            .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    }
    const std::uint64_t one = TakesWhole(files[0]);
    kernel::MemoryBudget budget(one + one / 2);
    std::vector<std::unique_ptr<TBitmap32>> pictures;
    kernel::ReturnLargeBlocksToTheSystem();  // as the program does
    const test_support::PeakWatch memory;
    LoadScaledPictures(
        files, kW, kH, kFit,
        [&](std::size_t, std::unique_ptr<TBitmap32> picture) { pictures.push_back(std::move(picture)); }, nullptr,
        &budget);
    EXPECT_GE(budget.PeakTaken(), one / 2);  // each picture took its share
    if (test_support::kPeaksAreThePrograms) {
        EXPECT_LT(memory.RiseMiB(), 2 * MiB(one)) << "one picture is told to take " << MiB(one) << " MiB";
    }
    ASSERT_EQ(pictures.size(), files.size());
    for (std::size_t i = 0; i < files.size(); ++i)
        EXPECT_TRUE(SamePixels(*pictures[i], *LoadScaledPicture(files[i], kW, kH, kFit)));
}

}  // namespace
}  // namespace imaging
