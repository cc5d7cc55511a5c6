#include "settings/ScreenFit.h"

#include <gtest/gtest.h>

namespace {

using screenfit::Placement;
using screenfit::Rect;

const Rect PRIMARY = {0, 0, 1280, 800};
const Rect PRIMARY_WORK = {0, 0, 1280, 760};  // a task bar along the bottom
const Rect LEFT_MONITOR = {-1920, -200, 0, 880};

Placement place(int32_t x, int32_t y, int32_t w, int32_t h) {
    Placement p;
    p.x = x;
    p.y = y;
    p.width = w;
    p.height = h;
    return p;
}

void expectPlacement(const Placement& p, int32_t x, int32_t y, int32_t w, int32_t h) {
    EXPECT_EQ(p.x, x);
    EXPECT_EQ(p.y, y);
    EXPECT_EQ(p.width, w);
    EXPECT_EQ(p.height, h);
}

TEST(ScreenFit, AWindowThatAnyMonitorShowsStaysWhereItIs) {
    const std::vector<Rect> monitors = {PRIMARY, LEFT_MONITOR};
    expectPlacement(screenfit::keepOnScreen(place(100, 50, 640, 480), monitors, PRIMARY_WORK), 100, 50, 640, 480);
    // on the second monitor only
    expectPlacement(screenfit::keepOnScreen(place(-1500, -150, 640, 480), monitors, PRIMARY_WORK), -1500, -150,
                    640, 480);
    // one pixel column still on the primary monitor
    expectPlacement(screenfit::keepOnScreen(place(1279, 10, 640, 480), monitors, PRIMARY_WORK), 1279, 10, 640,
                    480);
}

TEST(ScreenFit, AWindowOffEveryMonitorIsCentredOnThePrimaryWorkArea) {
    const std::vector<Rect> monitors = {PRIMARY};
    // where the left monitor used to be: its right edge touches the primary one but shares no pixel
    expectPlacement(screenfit::keepOnScreen(place(-640, 100, 640, 480), monitors, PRIMARY_WORK), 320, 140, 640, 480);
    expectPlacement(screenfit::keepOnScreen(place(5000, 4000, 800, 600), monitors, PRIMARY_WORK), 240, 80, 800, 600);
    // larger than the work area: the top-left corner stays reachable
    expectPlacement(screenfit::keepOnScreen(place(9000, 0, 2000, 1000), monitors, PRIMARY_WORK), 0, 0, 2000, 1000);
}

TEST(ScreenFit, ExtremeNumbersFromAHandEditedFileDoNotOverflow) {
    const std::vector<Rect> monitors = {PRIMARY};
    expectPlacement(screenfit::keepOnScreen(place(INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX), monitors,
                                            PRIMARY_WORK),
                    0, 0, INT32_MAX, INT32_MAX);
    // spans the whole screen from far away: visible, kept
    EXPECT_TRUE(screenfit::isVisibleOnAny(place(-2000000000, -2000000000, 2100000000, 2100000000), monitors));
    EXPECT_FALSE(screenfit::isVisibleOnAny(place(10, 10, 0, 0), monitors));
    EXPECT_FALSE(screenfit::isVisibleOnAny(place(10, 10, 640, 480), {}));
}

}  // namespace
