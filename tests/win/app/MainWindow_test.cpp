#include <windows.h>

#include <gtest/gtest.h>

#include "app/AppState.h"
#include "app/Startup.h"
#include "support/TestApp.h"

namespace {

class MainWindowTest : public testing::Test {
protected:
    void SetUp() override { window = testapp::createMainWindowIn(folder.path()); }
    void TearDown() override { testapp::destroyMainWindow(window); }
    testapp::TempFolder folder;
    HWND window = nullptr;
};

TEST_F(MainWindowTest, HasTheProgramsClassAndTitle) {
    ASSERT_NE(window, nullptr);
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    EXPECT_STREQ(className, "QUILTPAD");
    char title[128] = {};
    GetWindowTextA(window, title, sizeof title);
    // two ideographic spaces (0x81 0x40) between the name and the version
    EXPECT_STREQ(title, "キルト帳\x81\x40\x81\x40version 3.21");
    EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW);
    EXPECT_NE(GetMenu(window), nullptr);
}

TEST_F(MainWindowTest, CarriesTheInstanceKeyPropertyUntilDestroyed) {
    ASSERT_NE(window, nullptr);
    const std::string key = gApp.paths.instanceKey;
    EXPECT_EQ(key.find('\\'), std::string::npos);
    EXPECT_EQ(GetPropA(window, key.c_str()), reinterpret_cast<HANDLE>(1));
    EXPECT_TRUE(startup::raiseRunningInstance(key));
    // the message loop's exit code is the quit message's wParam
    DestroyWindow(window);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 0u);
    EXPECT_FALSE(startup::raiseRunningInstance(key));
}

TEST_F(MainWindowTest, FirstStartIsCentred640By480) {
    ASSERT_NE(window, nullptr);
    WINDOWPLACEMENT wp = {};
    wp.length = sizeof wp;
    GetWindowPlacement(window, &wp);
    EXPECT_EQ(wp.rcNormalPosition.right - wp.rcNormalPosition.left, 640);
    EXPECT_EQ(wp.rcNormalPosition.bottom - wp.rcNormalPosition.top, 480);
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    EXPECT_EQ(wp.rcNormalPosition.left, (desktop.right - desktop.left) / 2 - 320);
    EXPECT_EQ(wp.rcNormalPosition.top, (desktop.bottom - desktop.top) / 2 - 240);
}

TEST(Startup, TitleComesFromTheStringTable) {
    EXPECT_EQ(startup::loadTitle(GetModuleHandleA(nullptr)), "キルト帳　　version 3.21");
}

}  // namespace
