#include <gtest/gtest.h>

#include <algorithm>

#include "settings/ColourList.h"

namespace {

using colourlist::Colours;

Colours numbered() {
    Colours c{};
    for (int i = 0; i < colourlist::COUNT; ++i) c[i] = 100 + i;
    return c;
}

TEST(RecentColours, NewColourPushesTheOthersBackAndDropsTheOldest) {
    Colours c = numbered();
    colourlist::rememberRecentColour(c, 7);
    EXPECT_EQ(c[0], 7u);
    for (int i = 1; i < colourlist::COUNT; ++i) EXPECT_EQ(c[i], 100u + i - 1);
}

TEST(RecentColours, KnownColourMovesToTheFrontWithoutDuplicate) {
    Colours c = numbered();
    colourlist::rememberRecentColour(c, 105);
    EXPECT_EQ(c[0], 105u);
    EXPECT_EQ(c[1], 100u);
    EXPECT_EQ(c[5], 104u);
    EXPECT_EQ(c[6], 106u);
    EXPECT_EQ(c[15], 115u);
    colourlist::rememberRecentColour(c, 105);  // chosen twice: still once, still first
    EXPECT_EQ(c[0], 105u);
    EXPECT_EQ(std::count(c.begin(), c.end(), 105u), 1);
}

TEST(RecentColours, LastEntryAndFirstEntry) {
    Colours c = numbered();
    colourlist::rememberRecentColour(c, 115);  // the last one moves to the front
    EXPECT_EQ(c[0], 115u);
    EXPECT_EQ(c[15], 114u);
    Colours same = numbered();
    colourlist::rememberRecentColour(same, 100);  // the first one stays
    EXPECT_EQ(same, numbered());
}

TEST(RecentColours, SeventeenNewColoursKeepTheSixteenNewest) {
    Colours c{};
    for (std::uint32_t i = 1; i <= 17; ++i) colourlist::rememberRecentColour(c, i);
    for (int i = 0; i < colourlist::COUNT; ++i) EXPECT_EQ(c[i], 17u - i);
}

}  // namespace
