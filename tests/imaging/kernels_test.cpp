#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "imaging/contributor_table.h"
#include "imaging/filter_kernels.h"

using namespace imaging;

TEST(Kernels, ValuesAtChosenPoints) {
    struct Case {
        TStretchFilter filter;
        float x;
        float expected;
    } cases[] = {
        {TStretchFilter::sfNearest, 0.5f, 1.0f},         {TStretchFilter::sfNearest, -0.5f, 0.0f},
        {TStretchFilter::sfLinear, -0.25f, 0.75f},       {TStretchFilter::sfLinear, 1.0f, 0.0f},
        {TStretchFilter::sfLinear, -1.0f, 0.0f},         {TStretchFilter::sfSpline, 0.0f, 2.0f / 3.0f},
        {TStretchFilter::sfSpline, 1.0f, 1.0f / 6.0f},   {TStretchFilter::sfSpline, -2.0f, 0.0f},
        {TStretchFilter::sfLanczos, 0.0f, 1.0f},         {TStretchFilter::sfLanczos, 3.0f, 0.0f},
        {TStretchFilter::sfMitchell, 0.0f, 8.0f / 9.0f}, {TStretchFilter::sfMitchell, 1.0f, 1.0f / 18.0f},
        {TStretchFilter::sfMitchell, 2.0f, 0.0f},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(FilterInfo(c.filter).Kernel(c.x), c.expected, 1e-6) << static_cast<int>(c.filter) << " at " << c.x;
    // Lanczos: zero crossings at the integers, negative lobe between 1 and 2.
    EXPECT_NEAR(Lanczos3Kernel(1.0f), 0.0f, 1e-6);
    EXPECT_LT(Lanczos3Kernel(1.5f), 0.0f);
    EXPECT_EQ(Lanczos3Kernel(-1.25f), Lanczos3Kernel(1.25f));
    EXPECT_EQ(FilterInfo(TStretchFilter::sfLanczos).Radius, 3.0f);
    EXPECT_EQ(FilterInfo(TStretchFilter::sfSpline).Radius, 2.0f);
}

TEST(Kernels, RoundHalfEven) {
    const std::pair<Extended, std::int64_t> cases[] = {{0.5L, 0},   {1.5L, 2},    {2.5L, 2},   {-0.5L, 0},
                                                       {-1.5L, -2}, {2.4999L, 2}, {-2.6L, -3}, {7.0L, 7}};
    for (auto [v, expected] : cases) EXPECT_EQ(RoundHalfEven(v), expected) << static_cast<double>(v);
}

TEST(ContributorTable, LanczosReducingEightToFour) {
    const TContributorTable t = BuildContributorTable(0, 4, 0, 4, 0, 8, TStretchFilter::sfLanczos);
    ASSERT_EQ(t.size(), 4u);
    const float centres[4] = {0.5f, 2.5f, 4.5f, 6.5f};
    for (std::size_t i = 0; i < 4; ++i) {
        int sum = 0;
        for (const TContributor& c : t[i]) {
            EXPECT_GE(c.Position, 0);
            EXPECT_LE(c.Position, 7);
            sum += c.Weight;
        }
        EXPECT_EQ(sum, 256);
        // Taps run from floor(c - 6) to ceil(c + 6); the pixel under the centre weighs most.
        int best = 0;
        for (const TContributor& c : t[i]) best = std::max(best, c.Weight);
        const int near_pos = static_cast<int>(std::floor(centres[i]));
        bool found = false;
        for (const TContributor& c : t[i])
            if ((c.Position == near_pos || c.Position == near_pos + 1) && c.Weight == best) found = true;
        EXPECT_TRUE(found) << i;
    }
    // The first list without clamping: weights for j = -5..6 (c = 0.5), w = round(K((c - j) / 2) * 128).
    // Its clamped taps at 0 come first, then 1, 2, ...: positions never decrease.
    for (std::size_t k = 1; k < t[0].size(); ++k) EXPECT_LE(t[0][k - 1].Position, t[0][k].Position);
    EXPECT_EQ(t[0].front().Position, 0);
    // Interior list: exact weights before the middle correction.
    const TContributorList& l = t[2];
    int expected_sum = 0;
    std::vector<int> expected;
    for (int j = -2; j <= 11; ++j) {
        const float x = static_cast<float>((4.5L - j) * 0.5L);
        const auto w = RoundHalfEven(Extended{Lanczos3Kernel(x)} * 256 * 0.5L);
        if (w != 0) {
            expected.push_back(static_cast<int>(w));
            expected_sum += static_cast<int>(w);
        }
    }
    ASSERT_EQ(l.size(), expected.size());
    expected[(expected.size() - 1) / 2] -= expected_sum - 256;
    for (std::size_t k = 0; k < l.size(); ++k) EXPECT_EQ(l[k].Weight, expected[k]) << k;
}

TEST(ContributorTable, LanczosEnlargingTwoToEightRepeatsEdgePositions) {
    const TContributorTable t = BuildContributorTable(0, 8, 0, 8, 0, 2, TStretchFilter::sfLanczos);
    ASSERT_EQ(t.size(), 8u);
    for (const TContributorList& l : t) {
        int sum = 0, zeros = 0, ones = 0;
        for (const TContributor& c : l) {
            sum += c.Weight;
            ASSERT_TRUE(c.Position == 0 || c.Position == 1);
            (c.Position == 0 ? zeros : ones)++;
        }
        EXPECT_EQ(sum, 256);
        EXPECT_GT(zeros, 1);  // clamped taps left of column 0 repeat it
        EXPECT_GT(ones, 1);
    }
}

TEST(ContributorTable, OnePixelSourceAndEmptyCases) {
    const TContributorTable t = BuildContributorTable(0, 9, 2, 7, 3, 4, TStretchFilter::sfMitchell);
    ASSERT_EQ(t.size(), 5u);
    for (const TContributorList& l : t) {
        ASSERT_EQ(l.size(), 1u);
        EXPECT_EQ(l[0].Position, 3);
        EXPECT_EQ(l[0].Weight, 256);
    }
    EXPECT_TRUE(BuildContributorTable(0, 9, 0, 9, 3, 3, TStretchFilter::sfLanczos).empty());
    EXPECT_TRUE(BuildContributorTable(0, 9, 4, 4, 0, 5, TStretchFilter::sfLanczos).empty());
}

TEST(ContributorTable, EveryListSumsTo256AndStaysInsideTheSource) {
    std::mt19937 rng(3);
    const TStretchFilter filters[] = {TStretchFilter::sfLinear, TStretchFilter::sfSpline, TStretchFilter::sfLanczos,
                                      TStretchFilter::sfMitchell};
    for (int round = 0; round < 400; ++round) {
        const int src_lo = static_cast<int>(rng() % 5), src_w = 2 + static_cast<int>(rng() % 300);
        const int dst_lo = static_cast<int>(rng() % 50) - 25, dst_w = 1 + static_cast<int>(rng() % 400);
        const int clip_lo = dst_lo + static_cast<int>(rng() % dst_w);
        const int clip_hi = clip_lo + 1 + static_cast<int>(rng() % (dst_lo + dst_w - clip_lo));
        for (TStretchFilter f : filters) {
            const TContributorTable t =
                BuildContributorTable(dst_lo, dst_lo + dst_w, clip_lo, clip_hi, src_lo, src_lo + src_w, f);
            ASSERT_EQ(t.size(), static_cast<std::size_t>(clip_hi - clip_lo));
            for (const TContributorList& l : t) {
                int sum = 0;
                for (const TContributor& c : l) {
                    sum += c.Weight;
                    ASSERT_GE(c.Position, src_lo);
                    ASSERT_LT(c.Position, src_lo + src_w);
                }
                ASSERT_EQ(sum, 256);
            }
        }
    }
    // A reduction so strong that every weight rounds to 0 takes the pixel under the centre.
    const TContributorTable strong = BuildContributorTable(0, 1, 0, 1, 0, 4000, TStretchFilter::sfLanczos);
    ASSERT_EQ(strong.size(), 1u);
    ASSERT_EQ(strong[0].size(), 1u);
    EXPECT_EQ(strong[0][0].Position, 1999);
    EXPECT_EQ(strong[0][0].Weight, 256);
}
