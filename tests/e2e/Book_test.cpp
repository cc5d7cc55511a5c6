#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "E2eSupport.h"
#include "app/AppMessages.h"
#include "res/resource.h"
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

namespace {

// Another program puts a book where the data file is while the program runs (a sync client
// bringing the other PC's copy after a first start here): the program asks by itself, before
// any save, and whichever book is kept, the other is in a file the user was told of.
TEST(Book, ADataFileAnotherProgramBroughtIsKeptAsideAtOnce) {
    e2e::ProgramCopy program;
    CreateDirectoryA(program.path("data").c_str(), nullptr);  // a first start in a folder already there
    ASSERT_TRUE(program.start());
    ASSERT_NE(program.waitForMainWindow(), nullptr);
    const std::string data = program.path("data\\quiltpad.qpd");
    const std::string other = program.path("data\\incoming.tmp");
    ASSERT_TRUE(e2e::writeBook(other, 5, 10));
    const std::string otherBytes = e2e::readFile(other);
    ASSERT_TRUE(MoveFileExA(other.c_str(), data.c_str(), MOVEFILE_REPLACE_EXISTING));

    HWND box = nullptr;  // the question, not the usage window a first start shows
    for (int i = 0; i < 400 && !box; ++i, Sleep(50)) box = e2e::findDialog(program.processId(), appmessages::OTHER_VERSION_CAPTION);
    ASSERT_NE(nullptr, box);
    const std::string told = e2e::boxText(box);
    PostMessageA(box, WM_COMMAND, IDNO, 0);  // this window's book is kept, and written back at once
    for (int i = 0; i < 200 && e2e::pagesIn(data) != 3; ++i) Sleep(50);
    EXPECT_EQ(3, e2e::pagesIn(data)) << "this window's book, before the exit";
    PostMessageA(e2e::findMainWindow(program.processId()), WM_CLOSE, 0, 0);
    EXPECT_EQ(0, program.waitForExit());
    const std::string::size_type at = told.find("quiltpad.other.");
    ASSERT_NE(std::string::npos, at) << told;
    const std::string::size_type line = told.rfind('\n', at) + 1;
    const std::string kept = told.substr(line, told.find('\n', at) - line);  // the copy's path, on a line of its own
    EXPECT_EQ(otherBytes, e2e::readFile(kept)) << kept;
    EXPECT_EQ(3, e2e::pagesIn(data)) << "this window's book";
}

// The keys pressed inside a page title's edit are the edit's: F5 (the date stamp) and F3/F4 (the
// fonts) act on nothing behind it, and after Esc the page is as it was, byte for byte.
TEST(Book, KeysInsideATitleEditDoNotActOnThePage) {
    e2e::ProgramCopy program;
    CreateDirectoryA(program.path("data").c_str(), nullptr);
    const std::string data = program.path("data\\quiltpad.qpd");
    ASSERT_TRUE(e2e::writeBook(data, 3, 10));
    ASSERT_TRUE(program.start());
    HWND window = program.waitForMainWindow();
    ASSERT_NE(nullptr, window);
    HWND tree = GetDlgItem(window, IDC_PAGE_LIST);
    PostMessageA(window, WM_COMMAND, IDM_EDIT_TITLE, 0);
    HWND edit = nullptr;
    for (int i = 0; i < 100 && !edit; ++i, Sleep(50)) edit = reinterpret_cast<HWND>(SendMessageA(tree, TVM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(nullptr, edit);
    for (const WPARAM key : {VK_F5, VK_F3, VK_F4}) PostMessageA(edit, WM_KEYDOWN, key, 1);
    Sleep(500);
    PostMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 1);
    for (int i = 0; i < 100 && SendMessageA(tree, TVM_GETEDITCONTROL, 0, 0); ++i) Sleep(50);
    EXPECT_EQ(0, program.close());
    PageTable table;
    DataFileHeader header;
    VersionBlock version;
    ASSERT_TRUE(readDataFile(data, table, header, version));
    EXPECT_EQ("{\\rtf1 " + std::string(10, 'a') + "}", table.recordAt(0).text);
}

// One book on two PCs: a sync client leaves the other PC's copy beside the data file. The program
// offers to merge it by itself; a page changed on both sides is kept twice, the other side's
// changes and additions come in, the book from before is in a backup slot and the copy is kept aside.
TEST(Book, AConflictedCopyASyncClientLeftIsMergedPageByPage) {
    e2e::ProgramCopy program;
    CreateDirectoryA(program.path("data").c_str(), nullptr);
    const std::string data = program.path("data\\quiltpad.qpd");
    ASSERT_TRUE(e2e::writeBook(data, 3, 10));  // the book both PCs had: p0 p1 p2
    ASSERT_TRUE(program.start());
    HWND window = program.waitForMainWindow();
    ASSERT_NE(nullptr, window);
    PostMessageW(GetDlgItem(window, IDC_MEMO_EDITOR), WM_CHAR, L'Z', 1);  // this PC changes p0
    Sleep(500);
    // the other PC changed p0 and p1 and added p3
    PageTable table;
    for (int i = 0; i < 4; ++i)
        table.addPage(static_cast<ItemHandle>(i + 1), i == 2 ? "{\\rtf1 " + std::string(10, 'a') + "}" : "{\\rtf1 laptop " + std::to_string(i) + "}",
                      "p" + std::to_string(i), false);
    for (int i = 0; i < table.count(); ++i) table.recordAt(i).order = i, table.recordAt(i).parentOrder = -1;
    const std::string incoming = program.path("data\\incoming.tmp");
    ASSERT_TRUE(writeDataFile(incoming, makeVersionBlock(SaveKind::ExitData, 1), true, table, newFileHeader()));
    const std::string copy = program.path("data\\quiltpad.sync-conflict-20261210-101500-LAPTOP.qpd");
    ASSERT_TRUE(MoveFileA(incoming.c_str(), copy.c_str()));

    HWND box = nullptr;
    for (int i = 0; i < 400 && !box; ++i, Sleep(50)) box = e2e::findDialog(program.processId(), appmessages::MERGE_CAPTION);
    ASSERT_NE(nullptr, box);
    PostMessageA(box, WM_COMMAND, IDYES, 0);
    for (int i = 0; i < 100 && IsWindow(box); ++i) Sleep(50);
    HWND done = nullptr;  // what was merged: not the usage window
    for (int i = 0; i < 400 && !done; ++i, Sleep(50)) done = e2e::findDialog(program.processId(), appmessages::MERGE_CAPTION);
    ASSERT_NE(nullptr, done);
    char text[2048] = {};
    GetWindowTextA(GetDlgItem(done, 0xFFFF), text, sizeof text);
    const std::string told = text;
    PostMessageA(done, WM_COMMAND, IDOK, 0);
    EXPECT_NE(std::string::npos, told.find("quiltpad.merged.")) << told;
    EXPECT_FALSE(e2e::fileExists(copy)) << "renamed aside, never deleted";
    EXPECT_TRUE(e2e::anyFile(program.path("data\\quiltpad.merged.*.qpd")));
    EXPECT_EQ(0, program.close());
    PageTable merged;
    DataFileHeader header;
    VersionBlock version;
    ASSERT_TRUE(readDataFile(data, merged, header, version));
    std::string titles;
    for (int i = 0; i < merged.count(); ++i) titles += merged.recordAt(i).title + (merged.recordAt(i).text.find("laptop") != std::string::npos ? "*" : "") + " ";
    EXPECT_EQ("p0 p0 (LAPTOP)* p1* p2 p3* ", titles);
    EXPECT_NE(std::string::npos, merged.recordAt(0).text.find('Z'));
    EXPECT_EQ(3, e2e::pagesIn(program.path("data\\backup\\backup00.qpd"))) << "the book from before the merge";
}

}  // namespace
