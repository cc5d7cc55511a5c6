#include "settings/ScreenFit.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using screenfit::Placement;
using screenfit::Rect;

const Rect PRIMARY_WORK = {0, 0, 1280, 760};  // a task bar along the bottom
const Rect LEFT_WORK = {-1920, -200, 0, 880};
const int32_t MIN_SIZE = 400;

struct FitCase {
    const char* name;
    Placement saved;
    Placement expected;
};

const FitCase CASES[] = {
    {"fits and lies on the primary monitor: kept", {100, 50, 640, 480}, {100, 50, 640, 480}},
    {"fits on the second monitor: kept", {-1500, -150, 640, 480}, {-1500, -150, 640, 480}},
    {"mostly off the right edge: moved fully on", {1279, 10, 640, 480}, {640, 10, 640, 480}},
    {"title bar above the work area: moved down", {100, -30, 640, 480}, {100, 0, 640, 480}},
    {"hanging below the work area: moved up", {100, 700, 640, 480}, {100, 280, 640, 480}},
    {"off every monitor: centred on the primary one", {5000, 4000, 800, 600}, {240, 80, 800, 600}},
    {"touching a monitor without sharing a pixel counts as off", {-2560, 100, 640, 480}, {320, 140, 640, 480}},
    {"wider and higher than the screen: shrunk to the work area", {0, 0, 99999, 99999}, {0, 0, 1280, 760}},
    {"negative height: the smallest window", {0, 0, 640, -5}, {0, 0, 640, 400}},
    {"extreme numbers do not overflow", {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX}, {0, 0, 1280, 760}},
    {"a huge window from far away spanning both monitors: fitted to the one showing most",
     {-2000000000, -2000000000, 2100000000, 2100000000},
     {-1920, -200, 1920, 1080}},
};

TEST(ScreenFit, AWindowIsFittedToTheWorkAreaOfAMonitor) {
    const std::vector<Rect> areas = {PRIMARY_WORK, LEFT_WORK};
    for (const FitCase& c : CASES) {
        const Placement p = screenfit::keepOnScreen(c.saved, areas, PRIMARY_WORK, MIN_SIZE);
        EXPECT_EQ(p.x, c.expected.x) << c.name;
        EXPECT_EQ(p.y, c.expected.y) << c.name;
        EXPECT_EQ(p.width, c.expected.width) << c.name;
        EXPECT_EQ(p.height, c.expected.height) << c.name;
    }
}

TEST(ScreenFit, WithoutAnyMonitorListedThePrimaryWorkAreaIsUsed) {
    const Placement p = screenfit::keepOnScreen({10, 10, 640, 480}, {}, PRIMARY_WORK, MIN_SIZE);
    EXPECT_EQ(p.x, 320);
    EXPECT_EQ(p.y, 140);
}

}  // namespace
