// The automatic restore at start-up, with real files: an unreadable data file,
// backups of which the newer is damaged, and the question when nothing loads.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "E2eSupport.h"
#include "app/AppMessages.h"
#include "backup/BackupMessages.h"
#include "store/DataFile.h"
#include "store/FileFaultText.h"
#include "tests/common/OnePageBook.h"

namespace {

namespace msg = backup::messages;

const std::string GARBAGE(100, 'x');

// Waits for a message box with this caption; its text, or "" when none came.
HWND waitForBox(const char* caption) {
    HWND box = nullptr;
    for (int i = 0; i < 400 && !box; ++i, Sleep(50)) box = FindWindowA("#32770", caption);
    return box;
}

std::string boxText(HWND box) {
    char text[2048] = {};
    GetWindowTextA(GetDlgItem(box, 0xFFFF), text, sizeof text);
    return text;
}

// The names in the data folder that start with "quiltpad.qpd.".
std::vector<std::string> stampedFiles(const e2e::ProgramCopy& program) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(program.path("data\\quiltpad.qpd.*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        // the pattern also matches the data file itself
        if (std::string(found.cFileName).rfind("quiltpad.qpd.", 0) == 0) names.push_back(found.cFileName);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return names;
}

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

bool isStampedName(const std::string& name) {
    const std::string prefix = "quiltpad.qpd.";
    if (name.size() != prefix.size() + 14 || name.compare(0, prefix.size(), prefix) != 0) return false;
    return name.find_first_not_of("0123456789", prefix.size()) == std::string::npos;
}

std::string bookWithPage(const std::string& title) { return testcommon::onePageBook(title, 9, SaveKind::Periodic); }

TEST(AutoRestore, TheNewestBackupThatLoadsReplacesAnUnreadableDataFile) {
    e2e::ProgramCopy program;
    CreateDirectoryA(program.path("data").c_str(), nullptr);
    CreateDirectoryA(program.path("data\\backup").c_str(), nullptr);
    ASSERT_TRUE(e2e::writeFile(program.path("data\\quiltpad.qpd"), GARBAGE));
    const std::string older = bookWithPage("older backup");
    const std::string newer = bookWithPage("newer backup");
    ASSERT_TRUE(e2e::writeFile(program.path("data\\backup\\backup04.qpd"), older));
    ASSERT_TRUE(e2e::writeFile(program.path("data\\backup\\backup01.qpd"), newer.substr(0, newer.size() - 5)));
    e2e::setWriteTime(program.path("data\\backup\\backup04.qpd"), 2020);
    e2e::setWriteTime(program.path("data\\backup\\backup01.qpd"), 2024);

    ASSERT_TRUE(program.start());
    HWND box = waitForBox(msg::AUTO_RESTORED_CAPTION);
    ASSERT_NE(box, nullptr);
    const std::string text = boxText(box);
    const std::string named = std::string(msg::AUTO_RESTORED_TEXT) + msg::AUTO_RESTORED_FILE;
    EXPECT_EQ(text.compare(0, named.size(), named), 0) << text;
    EXPECT_TRUE(endsWith(text, "\\data\\quiltpad.qpd")) << "the message names the data file";
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    HWND main = program.waitForMainWindow();
    ASSERT_NE(main, nullptr);
    const std::vector<std::string> stamped = stampedFiles(program);
    ASSERT_EQ(stamped.size(), 1u);
    EXPECT_TRUE(isStampedName(stamped[0])) << stamped[0];
    EXPECT_EQ(e2e::readFile(program.path("data\\" + stamped[0])), GARBAGE);
    EXPECT_EQ(program.close(), 0);

    PageTable table;
    DataFileHeader header;
    VersionBlock version;
    ASSERT_TRUE(readDataFile(program.path("data\\quiltpad.qpd"), table, header, version));
    ASSERT_EQ(table.count(), 1);
    EXPECT_EQ(table.recordAt(0).title, "older backup");
}

TEST(AutoRestore, CancelAtTheQuestionTouchesNothingAndTheNextStartAsksAgain) {
    e2e::ProgramCopy program;
    CreateDirectoryA(program.path("data").c_str(), nullptr);
    // a damaged book (cut short) takes the same way as an unusable file
    const std::string book = bookWithPage("cut");
    const std::string damaged = book.substr(0, book.size() - 3);
    ASSERT_TRUE(e2e::writeFile(program.path("data\\quiltpad.qpd"), damaged));
    ASSERT_TRUE(program.start());
    HWND box = waitForBox(msg::START_EMPTY_CAPTION);
    ASSERT_NE(box, nullptr);
    const std::string text = boxText(box);
    EXPECT_TRUE(endsWith(text, std::string("\\data\\quiltpad.qpd") + msg::START_EMPTY_QUESTION)) << text;
    PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(program.waitForExit(), 0);
    EXPECT_EQ(e2e::readFile(program.path("data\\quiltpad.qpd")), damaged);
    EXPECT_FALSE(e2e::fileExists(program.path("data\\quiltpad.ini")));
    EXPECT_TRUE(stampedFiles(program).empty());
    EXPECT_FALSE(e2e::fileExists(program.path("data\\backup"))) << "no exit backup";

    // asked again; OK now moves the file aside and starts a new book
    ASSERT_TRUE(program.start());
    box = waitForBox(msg::START_EMPTY_CAPTION);
    ASSERT_NE(box, nullptr);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_NE(program.waitForMainWindow(), nullptr);
    const std::vector<std::string> stamped = stampedFiles(program);
    ASSERT_EQ(stamped.size(), 1u);
    EXPECT_EQ(e2e::readFile(program.path("data\\" + stamped[0])), damaged) << "renamed, never deleted";
    EXPECT_EQ(program.close(), 0);
    PageTable table;
    DataFileHeader header;
    VersionBlock version;
    ASSERT_TRUE(readDataFile(program.path("data\\quiltpad.qpd"), table, header, version));
    EXPECT_EQ(table.count(), 3) << "a new book";
}

TEST(AutoRestore, ADataFileAnotherProgramHoldsIsNeverReplacedByABackup) {
    e2e::ProgramCopy program;
    CreateDirectoryA(program.path("data").c_str(), nullptr);
    CreateDirectoryA(program.path("data\\backup").c_str(), nullptr);
    const std::string data = program.path("data\\quiltpad.qpd");
    ASSERT_TRUE(e2e::writeBook(data, 3, 100));
    ASSERT_TRUE(e2e::writeFile(program.path("data\\backup\\backup00.qpd"), bookWithPage("older backup")));
    const std::string before = e2e::readFile(data);
    HANDLE held = CreateFileA(data.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    // held without sharing is out of reach, not unusable: no backup is even tried
    ASSERT_TRUE(program.start());
    HWND box = waitForBox(appmessages::UNREACHABLE_CAPTION);
    ASSERT_NE(box, nullptr);
    const std::string text = boxText(box);
    EXPECT_EQ(text, appmessages::UNREACHABLE_TEXT + data + appmessages::UNREACHABLE_REASON +
                        fileFaultText(FileFault::InUse) + appmessages::UNREACHABLE_HINT);
    PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(program.waitForExit(), 0);
    CloseHandle(held);
    EXPECT_EQ(e2e::readFile(data), before) << "the book the backup would have replaced";
    EXPECT_TRUE(stampedFiles(program).empty());
    EXPECT_FALSE(e2e::fileExists(program.path("data\\quiltpad.ini"))) << "nothing written at exit";
}

}  // namespace
