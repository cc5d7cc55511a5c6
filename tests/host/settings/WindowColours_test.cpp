#include "settings/WindowColours.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(WindowColours, IndexesAndTheCustomEntry) {
    EXPECT_EQ(windowcolours::colourOf(0, 0), 0xDEBD89u);   // 空 137,189,222
    EXPECT_EQ(windowcolours::colourOf(17, 0), 0xF7EDEAu);  // 白菫色 234,237,247
    EXPECT_EQ(windowcolours::colourOf(10, 0x123456), 0x123456u);
    // a damaged header's index must not read past the table
    EXPECT_EQ(windowcolours::colourOf(18, 0), windowcolours::colourOf(0, 0));
    EXPECT_EQ(windowcolours::colourOf(-1, 0), windowcolours::colourOf(0, 0));
    EXPECT_STREQ(windowcolours::nameOf(10), "カスタム");
}

TEST(WindowColours, DisplayOrderShowsEveryIndexOnce) {
    std::set<int> seen;
    for (int p = 0; p < windowcolours::COUNT; ++p) seen.insert(windowcolours::indexAtDisplayPosition(p));
    EXPECT_EQ(seen.size(), 18u);
    EXPECT_EQ(*seen.begin(), 0);
    EXPECT_EQ(*seen.rbegin(), 17);
    EXPECT_EQ(windowcolours::indexAtDisplayPosition(0), 11);
    EXPECT_EQ(windowcolours::indexAtDisplayPosition(17), 10);
    EXPECT_EQ(windowcolours::indexAtDisplayPosition(18), -1);
    for (int p = 0; p < windowcolours::COUNT; ++p)
        EXPECT_EQ(windowcolours::displayPositionOf(windowcolours::indexAtDisplayPosition(p)), p);
    EXPECT_EQ(windowcolours::displayPositionOf(18), -1);
}

}  // namespace
