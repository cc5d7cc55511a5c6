// A first start as a new user meets it: the shortcut question, then the usage
// window beside the first page; a later start asks nothing.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "E2eSupport.h"

namespace {

const char USAGE_CAPTION[] = "使い方";

TEST(FirstStart, AsksForTheShortcutThenShowsTheUsageWindowAtTheTopLeft) {
    e2e::ProgramCopy program;
    ASSERT_TRUE(program.start());
    ASSERT_NE(program.waitForMainWindow(), nullptr);
    EXPECT_EQ(program.shortcutQuestions(), 1);
    EXPECT_TRUE(program.askedBeforeShown());

    // shown right after the main window
    HWND usage = nullptr;
    for (int i = 0; i < 100 && !usage; ++i, Sleep(50)) usage = e2e::findDialog(program.processId(), USAGE_CAPTION);
    ASSERT_NE(usage, nullptr) << "the usage window is not shown";
    RECT r = {};
    GetWindowRect(usage, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(program.close(), 0);
    const std::string ini = e2e::readFile(program.path("data\\quiltpad.ini"));
    EXPECT_NE(ini.find("[HOWTOWINDOW]\r\nVisible = 1\r\n"), std::string::npos) << ini;

    ASSERT_TRUE(program.start());
    ASSERT_NE(program.waitForMainWindow(), nullptr);
    EXPECT_EQ(program.shortcutQuestions(), 1) << "a start with a book asked again";
    EXPECT_EQ(program.close(), 0);
}

}  // namespace
