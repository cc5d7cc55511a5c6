#include <windows.h>

#include <gtest/gtest.h>

#include "E2eSupport.h"
#include "store/DataFile.h"

namespace {

HWND editorOf(HWND main) { return GetDlgItem(main, 1000); }

std::string windowText(HWND window) {
    char buffer[4096] = {};
    SendMessageA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

TEST(Book, FirstStartThenTypingSurvivesExitAndRestart) {
    e2e::ProgramCopy program;
    ASSERT_TRUE(program.start());
    HWND main = program.waitForMainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_FALSE(e2e::fileExists(program.path("data\\quiltpad.qpd"))) << "nothing is written before the exit";

    HWND editor = editorOf(main);
    ASSERT_NE(editor, nullptr);
    SendMessageA(editor, EM_SETSEL, 0, -1);
    SendMessageA(editor, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("今日のメモ: e2e"));
    EXPECT_EQ(program.close(), 0);

    PageTable table;
    DataFileHeader header;
    VersionBlock version;
    ASSERT_TRUE(readDataFile(program.path("data\\quiltpad.qpd"), table, header, version));
    EXPECT_EQ(magicOf(version), "qpad300");
    EXPECT_EQ(version.saveKind, 0);
    ASSERT_EQ(table.count(), 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(table.recordAt(i).title, "ページ");
    EXPECT_NE(table.recordAt(0).text.find("e2e"), std::string::npos);
    EXPECT_TRUE(e2e::fileExists(program.path("data\\quiltpad.ini")));

    ASSERT_TRUE(program.start());
    main = program.waitForMainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(windowText(editorOf(main)), "今日のメモ: e2e");
    EXPECT_EQ(program.close(), 0);
}

}  // namespace
