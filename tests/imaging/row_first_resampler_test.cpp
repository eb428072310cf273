// The row-first resampler against the filtered resampler's reference path, and the contributor
// tables shared between pictures of one size.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <numeric>
#include <random>
#include <thread>
#include <vector>

#include "imaging/contributor_cache.h"
#include "imaging/filtered_resampler.h"
#include "imaging/row_first_resampler.h"

namespace imaging {
namespace {

bool SameTables(const TContributorTable& a, const TContributorTable& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].size() != b[i].size()) return false;
        for (std::size_t k = 0; k < a[i].size(); ++k)
            if (a[i][k].Position != b[i][k].Position || a[i][k].Weight != b[i][k].Weight) return false;
    }
    return true;
}

TEST(RowFirstResampler, GivesTheFilteredResamplersPixelsFromBandsInAnyOrder) {
    std::mt19937 rng(11);
    const TStretchFilter filters[] = {TStretchFilter::sfLinear, TStretchFilter::sfSpline, TStretchFilter::sfLanczos,
                                      TStretchFilter::sfMitchell};
    for (int round = 0; round < 60; ++round) {
        const int sw = 1 + static_cast<int>(rng() % 90), sh = 1 + static_cast<int>(rng() % 70);
        // Reductions and enlargements, drawn partly outside the clip on every side.
        const int dw = 1 + static_cast<int>(rng() % 80), dh = 1 + static_cast<int>(rng() % 60);
        const int left = -static_cast<int>(rng() % 8), top = -static_cast<int>(rng() % 8);
        const int clip_left = static_cast<int>(rng() % 4), clip_top = static_cast<int>(rng() % 4);
        const int clip_right = std::max(clip_left + 1, left + dw - static_cast<int>(rng() % 4));
        const int clip_bottom = std::max(clip_top + 1, top + dh - static_cast<int>(rng() % 4));
        const TStretchFilter f = filters[round % 4];
        const bool clamp = f == TStretchFilter::sfLanczos || f == TStretchFilter::sfMitchell;
        auto columns = std::make_shared<const TContributorTable>(
            BuildContributorTable(left, left + dw, clip_left, clip_right, 0, sw, f));
        auto rows = std::make_shared<const TContributorTable>(
            BuildContributorTable(top, top + dh, clip_top, clip_bottom, 0, sh, f));
        if (columns->empty() || rows->empty()) continue;
        SCOPED_TRACE(testing::Message() << sw << "x" << sh << " -> " << dw << "x" << dh << " filter " << round % 4);
        ASSERT_TRUE(TRowFirstResampler::Exact(*columns, *rows));

        std::vector<TColor32> src(static_cast<std::size_t>(sw) * sh);
        for (TColor32& p : src) p = rng();
        TFilteredResampler reference(src.data(), sw, *columns, *rows, clamp);
        TRowFirstResampler row_first(sw, sh, columns, clamp);

        // The source in bands of random heights, added last band first.
        std::vector<std::pair<int, int>> bands;
        for (int y = 0; y < sh;) {
            const int count = std::min(sh - y, 1 + static_cast<int>(rng() % 9));
            bands.emplace_back(y, count);
            y += count;
        }
        std::reverse(bands.begin(), bands.end());
        for (const auto& [first, count] : bands) {
            const std::vector<TColor32> band(src.begin() + static_cast<std::ptrdiff_t>(first) * sw,
                                             src.begin() + static_cast<std::ptrdiff_t>(first + count) * sw);
            row_first.AddRows(first, count, band.data());
        }
        ASSERT_EQ(row_first.Columns(), reference.Columns());
        std::vector<TColor32> expected(static_cast<std::size_t>(reference.Columns()));
        std::vector<TColor32> actual(expected.size());
        for (int y = 0; y < reference.Rows(); ++y) {
            reference.ComputeRow(y, expected.data(), TResamplePath::Reference);
            row_first.ComputeRow((*rows)[static_cast<std::size_t>(y)], actual.data());
            ASSERT_EQ(actual, expected) << "row " << y;
        }
    }
}

TEST(RowFirstResampler, ExactOnlyWhileNoSumCanLeaveItsRange) {
    const TContributorTable plain = BuildContributorTable(0, 10, 0, 10, 0, 37, TStretchFilter::sfLanczos);
    EXPECT_TRUE(TRowFirstResampler::Exact(plain, plain));
    // Strong weights: fine on one side, but products of two such could leave 32 bits.
    TContributorTable strong = plain;
    strong[0] = {{0, 3000}, {1, -2744}};
    EXPECT_TRUE(TRowFirstResampler::Exact(strong, plain));
    EXPECT_FALSE(TRowFirstResampler::Exact(strong, strong));
}

TEST(ContributorCache, BuildsEachTableOnceWhileItIsKept) {
    TContributorCache cache(2);
    const auto a = cache.Table(0, 320, 0, 320, 0, 4000, TStretchFilter::sfLanczos);
    EXPECT_TRUE(SameTables(*a, BuildContributorTable(0, 320, 0, 320, 0, 4000, TStretchFilter::sfLanczos)));
    EXPECT_EQ(cache.Table(0, 320, 0, 320, 0, 4000, TStretchFilter::sfLanczos), a);
    // Every argument is part of the key.
    const auto b = cache.Table(0, 320, 0, 320, 0, 4000, TStretchFilter::sfMitchell);
    const auto c = cache.Table(0, 320, 0, 319, 0, 4000, TStretchFilter::sfLanczos);
    EXPECT_NE(b, a);
    EXPECT_TRUE(SameTables(*c, BuildContributorTable(0, 320, 0, 319, 0, 4000, TStretchFilter::sfLanczos)));
    EXPECT_EQ(cache.Built(), 3u);
    // Two are kept: the least recently used, a, has gone and is built again; c stays.
    EXPECT_EQ(cache.Table(0, 320, 0, 319, 0, 4000, TStretchFilter::sfLanczos), c);
    const auto again = cache.Table(0, 320, 0, 320, 0, 4000, TStretchFilter::sfLanczos);
    EXPECT_NE(again, a);
    EXPECT_TRUE(SameTables(*again, *a));
    EXPECT_EQ(cache.Built(), 4u);
}

TEST(ContributorCache, ThreadsAskingAtOnceShareOneBuild) {
    TContributorCache cache;
    std::atomic<bool> go{false};
    std::vector<std::shared_ptr<const TContributorTable>> tables(8);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < tables.size(); ++t) {
        threads.emplace_back([&, t] {
            while (!go) std::this_thread::yield();
            tables[t] = cache.Table(0, 240, 0, 240, 0, 3000, TStretchFilter::sfLanczos);
        });
    }
    go = true;
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(cache.Built(), 1u);
    for (const auto& table : tables) EXPECT_EQ(table, tables[0]);
}

}  // namespace
}  // namespace imaging
