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

TEST(Book, AnUnusableDataFileIsKeptAndNothingIsWritten) {
    e2e::ProgramCopy program;
    CreateDirectoryA(program.path("data").c_str(), nullptr);
    const std::string garbage(100, 'x');
    ASSERT_TRUE(e2e::writeFile(program.path("data\\quiltpad.qpd"), garbage));
    ASSERT_TRUE(program.start());

    // the program says so in a message box, then ends by itself
    HWND box = nullptr;
    for (int i = 0; i < 200 && !box; ++i, Sleep(50)) box = FindWindowA("#32770", "データを読み込むことが出来ませんでした");
    ASSERT_NE(box, nullptr);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(program.waitForExit(), 0);
    EXPECT_EQ(e2e::readFile(program.path("data\\quiltpad.qpd")), garbage);
    EXPECT_FALSE(e2e::fileExists(program.path("data\\quiltpad.ini")));
}

}  // namespace
