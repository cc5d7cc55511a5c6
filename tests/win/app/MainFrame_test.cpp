#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "app/AppState.h"
#include "app/Book.h"
#include "app/MainControls.h"
#include "app/Splitter.h"
#include "app/Toolbar.h"
#include "support/TestApp.h"

namespace {

// A child's rectangle in the main window's client coordinates.
RECT childRect(HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

class MainFrameTest : public testing::Test {
protected:
    void SetUp() override {
        window = testapp::createMainWindowIn(folder.path());
        ASSERT_NE(window, nullptr);
        list = gControls.pageList.window();
        memo = gControls.memo.window();
        top = toolbar::height(gControls.toolbar);
    }
    void TearDown() override { testapp::destroyMainWindow(window); }

    void size(WPARAM type, int width, int height) { SendMessageA(window, WM_SIZE, type, MAKELPARAM(width, height)); }
    SIZE client() {
        RECT r{};
        GetClientRect(window, &r);
        return {r.right, r.bottom};
    }
    void mouse(UINT message, int x, int y) {
        SendMessageA(window, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
        testapp::pumpMessages();  // the splitter posts its re-layout
    }
    int listWidth() {
        RECT r = childRect(list);
        return r.right - r.left;
    }
    void expectLayout(int width, int height, int share) {
        const int w = share * width / 100;
        const int h = height - top - 10;
        const RECT l = childRect(list);
        EXPECT_EQ(l.left, 5);
        EXPECT_EQ(l.top, top);
        EXPECT_EQ(l.right - l.left, w);
        EXPECT_EQ(l.bottom - l.top, h);
        const RECT m = childRect(memo);
        EXPECT_EQ(m.left, w + 15);
        EXPECT_EQ(m.top, top);
        EXPECT_EQ(m.right - m.left, width - w - 20);
        EXPECT_EQ(m.bottom - m.top, h);
    }

    testapp::TempFolder folder;
    HWND window = nullptr;
    HWND list = nullptr;
    HWND memo = nullptr;
    int top = 0;
};

TEST_F(MainFrameTest, ChildrenCarryTheirIds) {
    EXPECT_EQ(GetDlgCtrlID(gControls.toolbar), 1006);
    EXPECT_EQ(GetDlgCtrlID(list), 1004);
    EXPECT_EQ(GetDlgCtrlID(memo), 1000);
    EXPECT_GT(top, 0);
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    EXPECT_TRUE(SendMessageA(memo, EM_GETEVENTMASK, 0, 0) & ENM_LINK);
    EXPECT_FALSE(SendMessageA(memo, EM_GETLANGOPTIONS, 0, 0) & IMF_DUALFONT);
    EXPECT_TRUE(KillTimer(window, 1));  // both timers run
    EXPECT_TRUE(KillTimer(window, 2));
}

TEST_F(MainFrameTest, LayoutPlacesTheTwoPanesWithMarginsAndTheSplitterGap) {
    size(SIZE_RESTORED, 600, 400);
    expectLayout(600, 400, 25);
    size(SIZE_MAXIMIZED, 1001, 777);
    expectLayout(1001, 777, 25);
    gApp.splitter.percent = 70;
    size(SIZE_RESTORED, 417, 333);
    expectLayout(417, 333, 70);
    gApp.splitter.percent = 10;
    size(SIZE_RESTORED, 999, 500);
    expectLayout(999, 500, 10);
}

TEST_F(MainFrameTest, NothingMovesWhileMinimised) {
    size(SIZE_RESTORED, 600, 400);
    size(SIZE_MINIMIZED, 0, 0);
    expectLayout(600, 400, 25);
    size(SIZE_RESTORED, 800, 500);
    expectLayout(800, 500, 25);
}

TEST_F(MainFrameTest, MinimumTrackingSizeIs400By400) {
    MINMAXINFO mmi{};
    mmi.ptMinTrackSize = {1, 1};
    SendMessageA(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    EXPECT_EQ(mmi.ptMinTrackSize.x, 400);
    EXPECT_EQ(mmi.ptMinTrackSize.y, 400);
}

TEST_F(MainFrameTest, SplitterDragFollowsThePointerWithinTenToSeventyPercent) {
    const SIZE c = client();
    size(SIZE_RESTORED, c.cx, c.cy);
    const int zoneX = listWidth() + 10;
    mouse(WM_LBUTTONDOWN, zoneX, 50);
    ASSERT_TRUE(splitter::isDragging());
    EXPECT_EQ(GetCapture(), window);
    mouse(WM_MOUSEMOVE, zoneX + (c.cx + 9) / 10, 50);  // a tenth of the width to the right
    EXPECT_EQ(gApp.splitter.percent, 35);
    EXPECT_EQ(listWidth(), 35 * c.cx / 100);
    mouse(WM_MOUSEMOVE, -2000, 50);
    EXPECT_EQ(gApp.splitter.percent, 10);
    EXPECT_EQ(listWidth(), 10 * c.cx / 100);
    mouse(WM_MOUSEMOVE, c.cx + 2000, 50);
    EXPECT_EQ(gApp.splitter.percent, 70);
    mouse(WM_LBUTTONUP, c.cx + 2000, 50);
    EXPECT_FALSE(splitter::isDragging());
    EXPECT_NE(GetCapture(), window);
    mouse(WM_MOUSEMOVE, 0, 50);  // no longer dragging
    EXPECT_EQ(gApp.splitter.percent, 70);
    expectLayout(c.cx, c.cy, 70);
}

TEST_F(MainFrameTest, OnlyAPressInsideTheGapStartsADrag) {
    const SIZE c = client();
    size(SIZE_RESTORED, c.cx, c.cy);
    const int w = listWidth();
    for (int x : {w + 5, w + 15, w + 30}) {
        mouse(WM_LBUTTONDOWN, x, 50);
        EXPECT_FALSE(splitter::isDragging()) << x;
    }
    mouse(WM_LBUTTONDOWN, w + 6, 0);  // the top edge is outside too
    EXPECT_FALSE(splitter::isDragging());
    mouse(WM_LBUTTONDOWN, w + 6, 50);
    EXPECT_TRUE(splitter::isDragging());
    mouse(WM_LBUTTONUP, w + 6, 50);
}

TEST_F(MainFrameTest, WidenedPageListDragsBetween27And87Percent) {
    const SIZE c = client();
    splitter::widen();
    EXPECT_EQ(gApp.splitter.percent, 42);
    size(SIZE_RESTORED, c.cx, c.cy);
    const int zoneX = listWidth() + 10;
    mouse(WM_LBUTTONDOWN, zoneX, 50);
    mouse(WM_MOUSEMOVE, -2000, 50);
    EXPECT_EQ(gApp.splitter.percent, 27);
    mouse(WM_MOUSEMOVE, c.cx + 2000, 50);
    EXPECT_EQ(gApp.splitter.percent, 87);
    mouse(WM_LBUTTONUP, 0, 50);
    EXPECT_EQ(splitter::restingPercent(), 70);
    splitter::narrow();
    EXPECT_EQ(gApp.splitter.percent, 70);
    EXPECT_EQ(gApp.splitter.min, 10);
    EXPECT_EQ(gApp.splitter.max, 70);
}

TEST_F(MainFrameTest, WithAutoViewThePageListIsWiderWhileItHasTheFocus) {
    const SIZE c = client();
    gApp.ini.window.AutoView = true;
    SetFocus(memo);
    EXPECT_EQ(gApp.splitter.percent, 25);
    SetFocus(list);
    EXPECT_EQ(gApp.splitter.percent, 42);
    EXPECT_EQ(listWidth(), 42 * c.cx / 100);  // laid out at once
    SetFocus(memo);
    EXPECT_EQ(gApp.splitter.percent, 25);
    EXPECT_EQ(listWidth(), 25 * c.cx / 100);

    gApp.ini.window.AutoView = false;
    SetFocus(list);
    EXPECT_EQ(gApp.splitter.percent, 25);
}

TEST_F(MainFrameTest, TitleEditKeepsThePageListWideAndCommitsTheTitle) {
    gApp.ini.window.AutoView = true;
    ItemHandle item = gControls.pageList.InsertItem("before", 0, 0, 1);
    gBook.pages.addPage(item, "", "before", false);  // a page of the book: the exit saves it
    SetFocus(memo);
    SetFocus(list);
    ASSERT_EQ(gApp.splitter.percent, 42);
    HWND edit = reinterpret_cast<HWND>(SendMessageA(list, TVM_EDITLABELA, 0, static_cast<LPARAM>(item)));
    ASSERT_NE(edit, nullptr);
    testapp::pumpMessages();
    EXPECT_EQ(gApp.splitter.percent, 42);  // the focus is in the title editor
    EXPECT_EQ(GetFocus(), edit);
    SetWindowTextA(edit, "after");
    SendMessageA(list, TVM_ENDEDITLABELNOW, FALSE, 0);
    testapp::pumpMessages();
    EXPECT_EQ(gControls.pageList.GetTitle(item), "after");
    EXPECT_EQ(gApp.splitter.percent, GetFocus() == list ? 42 : 25);
    SetFocus(memo);
    EXPECT_EQ(gApp.splitter.percent, 25);
}

TEST_F(MainFrameTest, ToolbarHasNineButtonsWithTheirIdsStatesAndTips) {
    HWND bar = gControls.toolbar;
    ASSERT_EQ(SendMessageA(bar, TB_BUTTONCOUNT, 0, 0), 9);
    const struct {
        int id, image;
        bool enabled, check;
        const char* tip;
    } expected[] = {
        {32790, 0, true, false, "新しいページを追加します"}, {32791, 1, true, false, "新しいフォルダを追加します"},
        {32789, 2, true, false, "タイトルを編集します"},     {32792, 3, true, false, "ページやフォルダを削除します"},
        {1011, I_IMAGENONE, false, false, nullptr},          {32835, 4, true, true, "常に前面に表示します"},
        {1011, I_IMAGENONE, false, false, nullptr},          {32839, 5, true, false, "文字色を変更します"},
        {32838, 6, true, false, "フォントを変更します"},
    };
    HWND tips = reinterpret_cast<HWND>(SendMessageA(bar, TB_GETTOOLTIPS, 0, 0));
    ASSERT_EQ(tips, gControls.tooltip);
    EXPECT_TRUE(GetWindowLongA(tips, GWL_STYLE) & TTS_ALWAYSTIP);
    EXPECT_EQ(SendMessageA(tips, TTM_GETTOOLCOUNT, 0, 0), 7);
    for (int i = 0; i < 9; ++i) {
        TBBUTTON b{};
        ASSERT_TRUE(SendMessageA(bar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&b)));
        EXPECT_EQ(b.idCommand, expected[i].id) << i;
        EXPECT_EQ(b.iBitmap, expected[i].image) << i;
        EXPECT_EQ((b.fsState & TBSTATE_ENABLED) != 0, expected[i].enabled) << i;
        EXPECT_EQ((b.fsState & TBSTATE_INDETERMINATE) != 0, !expected[i].enabled) << i;
        EXPECT_EQ((b.fsStyle & BTNS_CHECK) != 0, expected[i].check) << i;
        if (!expected[i].tip) continue;
        char text[128] = {};
        TTTOOLINFOA info{};
        info.cbSize = TTTOOLINFOA_V2_SIZE;
        info.hwnd = bar;
        info.uId = static_cast<UINT_PTR>(expected[i].id);
        info.lpszText = text;
        SendMessageA(tips, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&info));
        EXPECT_STREQ(text, expected[i].tip) << i;
    }
}

TEST_F(MainFrameTest, ToolbarImagesAreTheSevenOfBitmap134) {
    auto images = reinterpret_cast<HIMAGELIST>(SendMessageA(gControls.toolbar, TB_GETIMAGELIST, 0, 0));
    ASSERT_NE(images, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(images), 7);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(images, &cx, &cy);
    EXPECT_EQ(cx, 40);
    EXPECT_EQ(cy, 36);
}

}  // namespace
