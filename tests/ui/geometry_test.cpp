#include "platform/ui/graphics/geometry.h"

#include <gtest/gtest.h>

namespace ui {
namespace {

TEST(Geometry, OffsetAndInflateMoveEveryEdge) {
    EXPECT_EQ(OffsetRect(TRect{1, 2, 5, 7}, 3, -2), (TRect{4, 0, 8, 5}));
    EXPECT_EQ(InflateRect(TRect{10, 10, 20, 14}, 2), (TRect{8, 8, 22, 16}));
    // A negative amount shrinks; shrinking past the middle leaves an empty rectangle.
    EXPECT_EQ(InflateRect(TRect{10, 10, 20, 14}, -1), (TRect{11, 11, 19, 13}));
    EXPECT_TRUE(InflateRect(TRect{10, 10, 20, 14}, -2).IsEmpty());
}

TEST(Geometry, IntersectionFollowsTheExcludedRightAndBottomEdges) {
    struct Case {
        TRect a, b;
        TRect common;
        bool overlap;
    };
    const Case cases[] = {
        {{0, 0, 10, 10}, {5, 5, 15, 15}, {5, 5, 10, 10}, true},
        {{0, 0, 10, 10}, {2, 3, 4, 5}, {2, 3, 4, 5}, true},         // one inside the other
        {{0, 0, 10, 10}, {9, 9, 12, 12}, {9, 9, 10, 10}, true},     // one shared pixel
        {{0, 0, 10, 10}, {10, 0, 20, 10}, {10, 0, 10, 10}, false},  // touching edges share none
        {{0, 0, 10, 10}, {0, 10, 10, 20}, {0, 10, 10, 10}, false},
        {{0, 0, 10, 10}, {20, 20, 30, 30}, {20, 20, 10, 10}, false},
        {{0, 0, 0, 10}, {0, 0, 10, 10}, {0, 0, 0, 10}, false},  // an empty rectangle
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IntersectRect(c.a, c.b), c.common);
        EXPECT_EQ(IntersectRect(c.b, c.a), c.common);
        EXPECT_EQ(RectsOverlap(c.a, c.b), c.overlap);
        EXPECT_EQ(RectsOverlap(c.b, c.a), c.overlap);
        EXPECT_EQ(IntersectRect(c.a, c.b).IsEmpty(), !c.overlap);
    }
}

}  // namespace
}  // namespace ui
