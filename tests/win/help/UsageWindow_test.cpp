#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/AppState.h"
#include "app/Startup.h"
#include "help/UsageWindow.h"
#include "res/resource.h"
#include "support/TestApp.h"
#include "support/TestParent.h"

namespace {

using testsupport::clickControl;
using testsupport::controlText;

bool hasLine(const std::string& text, const std::string& line) {
    return ("\r\n" + text + "\r\n").find("\r\n" + line + "\r\n") != std::string::npos;
}

POINT cornerOf(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return {r.left, r.top};
}

class UsageWindowTest : public testing::Test {
protected:
    void TearDown() override {
        if (usage) DestroyWindow(usage);
    }
    HWND usage = nullptr;
};

struct UsagePage {
    int button;
    const char* heading;
    std::vector<std::string> lines;  // quoted lines, each a whole line of the text
};

const UsagePage PAGES[] = {
    {IDC_USAGE_BASIC, "** よく使用する基本操作です **", {"■ページ追加", "■フォルダ追加", "■タイトル変更"}},
    {IDC_USAGE_MORE,
     "** その他の機能について **",
     {"詳しい内容は メニューから[ヘルプ]→[HTML説明書] に画像付きで紹介しています。", "・大切なページの暗号化機能",
      "・バックアップ機能", "・ドラッグ＆ドロップによるページの移動", "・テキスト形式でのコピー/ペースト",
      "・背景色のカスタマイズ"}},
    {IDC_USAGE_EASY, "** キルト帳はかんたんな操作でメモをとれるソフトです **", {}},
};

TEST_F(UsageWindowTest, EachButtonShowsItsTextUnderItsFramedHeading) {
    usage = usagewindow::create(0, 0, true);
    ASSERT_NE(usage, nullptr);
    EXPECT_EQ(controlText(usage, IDC_USAGE_TEXT).rfind(PAGES[2].heading, 0), 0u) << "the easy text comes first";
    for (const UsagePage& page : PAGES) {
        clickControl(usage, page.button);
        const std::string text = controlText(usage, IDC_USAGE_TEXT);
        EXPECT_EQ(text.rfind(std::string(page.heading) + "\r\n\r\n\r\n", 0), 0u) << page.heading;
        for (const std::string& line : page.lines) EXPECT_TRUE(hasLine(text, line)) << line;
    }
    // the basic entries name their buttons on an indented line under each title
    clickControl(usage, IDC_USAGE_BASIC);
    EXPECT_NE(controlText(usage, IDC_USAGE_TEXT).find("■ページ追加\r\n　"), std::string::npos);
}

// A place from another machine that no monitor shows is moved onto the screen whole;
// a place that shows the window is kept.
TEST_F(UsageWindowTest, ASavedPlaceOffEveryMonitorIsFittedOntoTheScreen) {
    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const POINT places[] = {{130, 95}, {5000, 4000}, {-3000, 200}, {200, -3000}};
    for (const POINT& place : places) {
        usage = usagewindow::create(place.x, place.y, false);
        ASSERT_NE(usage, nullptr);
        RECT r = {};
        GetWindowRect(usage, &r);
        const bool shown = place.x >= work.left && place.y >= work.top && place.x < work.right && place.y < work.bottom;
        if (shown) {
            EXPECT_TRUE(r.left == place.x && r.top == place.y) << place.x << "," << place.y;
        }
        EXPECT_TRUE(r.left >= work.left && r.top >= work.top && r.right <= work.right && r.bottom <= work.bottom)
            << place.x << "," << place.y << " -> " << r.left << "," << r.top;
        DestroyWindow(usage);
        usage = nullptr;
    }
}

TEST_F(UsageWindowTest, CloseEscAndTheCloseBoxHideWithoutDestroying) {
    struct Way {
        UINT message;
        WPARAM wParam;
    };
    const Way ways[] = {{WM_COMMAND, IDC_USAGE_CLOSE}, {WM_COMMAND, IDCANCEL}, {WM_CLOSE, 0}};
    usage = usagewindow::create(0, 0, true);
    ASSERT_NE(usage, nullptr);
    for (const Way& way : ways) {
        usagewindow::show(usage, true);
        ASSERT_TRUE(IsWindowVisible(usage));
        SendMessageA(usage, way.message, way.wParam, 0);
        EXPECT_FALSE(IsWindowVisible(usage)) << way.message << " " << way.wParam;
        EXPECT_TRUE(IsWindow(usage));
    }
}

TEST_F(UsageWindowTest, TheCommandBringsAWindowLeftBehindToTheFront) {
    usage = usagewindow::create(0, 0, true);
    ASSERT_NE(usage, nullptr);
    usagewindow::show(usage, false);
    testsupport::TestParent other;
    SetForegroundWindow(other.window());
    ASSERT_NE(GetForegroundWindow(), usage);
    usagewindow::show(usage, true);
    EXPECT_EQ(GetForegroundWindow(), usage);
}

TEST_F(UsageWindowTest, TickingTheBoxKeepsTheWindowAndDecidesTheNextStart) {
    for (bool visible : {true, false}) {
        usage = usagewindow::create(0, 0, visible);
        ASSERT_NE(usage, nullptr);
        EXPECT_EQ(usagewindow::visibleNextTime(usage), visible);
        usagewindow::show(usage, false);
        clickControl(usage, IDC_HOWTO_DONT_SHOW);
        EXPECT_TRUE(IsWindowVisible(usage));
        EXPECT_EQ(usagewindow::visibleNextTime(usage), !visible);
        DestroyWindow(usage);
        usage = nullptr;
    }
}

// Start-up and exit as the program runs them: the box and the place are
// written at exit and honoured by the next start.
TEST(UsageWindowSettings, TheBoxAndThePlaceSurviveARestart) {
    testapp::TempFolder folder;
    HWND window = testapp::createMainWindowIn(folder.path());
    ASSERT_NE(window, nullptr);
    startup::showToolWindows();
    ASSERT_NE(gApp.usageWindow, nullptr);
    EXPECT_TRUE(IsWindowVisible(gApp.usageWindow)) << "a first start shows it";
    EXPECT_EQ(cornerOf(gApp.usageWindow).x, 0);
    EXPECT_EQ(cornerOf(gApp.usageWindow).y, 0);
    EXPECT_EQ(GetWindow(gApp.usageWindow, GW_OWNER), nullptr);
    SetWindowPos(gApp.usageWindow, nullptr, 130, 95, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    clickControl(gApp.usageWindow, IDC_HOWTO_DONT_SHOW);
    testapp::destroyMainWindow(window);

    window = testapp::createMainWindowIn(folder.path());
    ASSERT_NE(window, nullptr);
    startup::showToolWindows();
    ASSERT_NE(gApp.usageWindow, nullptr);
    EXPECT_FALSE(IsWindowVisible(gApp.usageWindow));
    EXPECT_EQ(cornerOf(gApp.usageWindow).x, 130);
    EXPECT_EQ(cornerOf(gApp.usageWindow).y, 95);
    SendMessageA(window, WM_COMMAND, IDM_USAGE, 0);
    EXPECT_TRUE(IsWindowVisible(gApp.usageWindow)) << "the command still shows it";
    EXPECT_FALSE(usagewindow::visibleNextTime(gApp.usageWindow)) << "with the box ticked";
    testapp::destroyMainWindow(window);
}

}  // namespace
