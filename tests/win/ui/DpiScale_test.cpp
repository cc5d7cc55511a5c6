// The sizes the program gives in pixels follow the display's scale: at 144 and 192 pixels
// per inch they are the 96-dpi ones times 1.5 and 2 (the test command runs this in a prefix
// of each scale), and a move to a monitor of another scale takes them there.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "app/MainControls.h"
#include "support/TestApp.h"
#include "ui/Dpi.h"

namespace {

struct Measured {
    const char* what;
    int pixels;
    int at96;
};

std::string unscaled(HWND window, int dpi) {
    int toolbarWidth = 0, toolbarHeight = 0, icon = 0, iconHeight = 0;
    ImageList_GetIconSize(reinterpret_cast<HIMAGELIST>(SendMessageA(gControls.toolbar, TB_GETIMAGELIST, 0, 0)),
                          &toolbarWidth, &toolbarHeight);
    ImageList_GetIconSize(TreeView_GetImageList(gControls.pageList.window(), TVSIL_NORMAL), &icon, &iconHeight);
    RECT list = {}, memo = {};
    GetWindowRect(gControls.pageList.window(), &list);
    GetWindowRect(gControls.memo.window(), &memo);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&list), 2);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&memo), 2);
    MINMAXINFO limits = {};
    SendMessageA(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    const Measured sizes[] = {
        {"toolbar image width", toolbarWidth, 40},
        {"toolbar image height", toolbarHeight, 36},
        {"page list icon", icon, 16},
        {"left margin", list.left, 5},
        {"splitter gap", memo.left - list.right, 10},
        {"smallest window", limits.ptMinTrackSize.x, 400},
    };
    std::string wrong;
    for (const Measured& m : sizes) {
        if (m.pixels != dpi::scale(m.at96, dpi))
            wrong += std::string("\n  ") + m.what + ": " + std::to_string(m.pixels) + " for " + std::to_string(m.at96) +
                     " at 96";
    }
    return wrong;
}

class DpiScale : public testing::Test {
protected:
    void SetUp() override {
        window = testapp::createMainWindowIn(folder.path());
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override { testapp::destroyMainWindow(window); }

    testapp::TempFolder folder;
    HWND window = nullptr;
};

TEST_F(DpiScale, TheSizesInPixelsFollowTheDisplay) {
    const int dpi = dpi::ofWindow(window);
    EXPECT_EQ(unscaled(window, dpi), "") << dpi << " dpi";
}

// Windows tells the window the new scale and suggests a rectangle for it (here a little more
// than the smallest window at that scale: the test display has room for it), then the move back.
TEST_F(DpiScale, AMoveToAMonitorOfAnotherScaleTakesTheSizesAlong) {
    const int dpi = dpi::ofWindow(window);
    for (int moved : {dpi == 96 ? 144 : 96, dpi}) {
        const RECT suggested = {20, 0, 20 + dpi::scale(480, moved), dpi::scale(404, moved)};
        SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(moved, moved), reinterpret_cast<LPARAM>(&suggested));
        RECT now = {};
        GetWindowRect(window, &now);
        EXPECT_TRUE(EqualRect(&now, &suggested)) << now.right - now.left << " x " << now.bottom - now.top;
        EXPECT_EQ(unscaled(window, moved), "") << moved << " dpi";
    }
}

}  // namespace
