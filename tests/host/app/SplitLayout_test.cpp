#include <gtest/gtest.h>

#include "app/SplitLayout.h"

namespace {

using namespace splitlayout;

TEST(SplitLayout, DragShareIsTruncatedTravelPlusStartClamped) {
    EXPECT_EQ(dragShare(160, 100, 600, 25, 10, 70), 35);
    EXPECT_EQ(dragShare(105, 100, 600, 25, 10, 70), 25);  // under one percent
    EXPECT_EQ(dragShare(94, 100, 600, 25, 10, 70), 24);   // -600/600, truncated toward zero
    EXPECT_EQ(dragShare(-5000, 100, 600, 25, 10, 70), 10);
    EXPECT_EQ(dragShare(5000, 100, 600, 25, 10, 70), 70);
    EXPECT_EQ(dragShare(5000, 100, 600, 42, 27, 87), 87);
    EXPECT_EQ(dragShare(5000, 100, 0, 25, 10, 70), 25);  // no width: no change
}

TEST(SplitLayout, ZoneIsStrictlyInsideTheGap) {
    EXPECT_FALSE(inSplitterZone(105, 50, 100, 400));
    EXPECT_TRUE(inSplitterZone(106, 50, 100, 400));
    EXPECT_TRUE(inSplitterZone(114, 50, 100, 400));
    EXPECT_FALSE(inSplitterZone(115, 50, 100, 400));
    EXPECT_FALSE(inSplitterZone(110, 0, 100, 400));
    EXPECT_FALSE(inSplitterZone(110, 400, 100, 400));
}

TEST(SplitLayout, WideningIsUndoneOnceAndOnlyOnce) {
    Share s;
    s.percent = 30;
    widen(s);
    widen(s);  // a second gain without a loss changes nothing
    EXPECT_EQ(s.percent, 47);
    EXPECT_EQ(s.min, 27);
    EXPECT_EQ(s.max, 87);
    EXPECT_EQ(restingPercent(s), 30);
    narrow(s);
    narrow(s);
    EXPECT_EQ(s.percent, 30);
    EXPECT_EQ(s.min, 10);
    EXPECT_EQ(s.max, 70);
    EXPECT_EQ(restingPercent(s), 30);
}

}  // namespace
