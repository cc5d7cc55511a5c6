#include <windows.h>

#include <gtest/gtest.h>

#include "E2eSupport.h"

namespace {

TEST(StartAndExit, ClosingTheWindowEndsWithExitCodeZero) {
    e2e::ProgramCopy program;
    ASSERT_TRUE(program.start());
    HWND window = program.waitForMainWindow();
    ASSERT_NE(window, nullptr);
    char title[128] = {};
    GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ(title, "キルト帳　　version 3.21");
    EXPECT_EQ(program.close(), 0);
    EXPECT_EQ(e2e::findMainWindow(program.processId()), nullptr);
}

TEST(SingleInstance, SecondStartRaisesTheFirstAndEndsWithZero) {
    e2e::ProgramCopy program;
    ASSERT_TRUE(program.start());
    HWND first = program.waitForMainWindow();
    ASSERT_NE(first, nullptr);
    const DWORD firstPid = program.processId();
    ShowWindow(first, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(first));

    // the second process finds the first through its window property and ends by itself
    HANDLE firstProcess = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, firstPid);
    ASSERT_TRUE(program.start());
    EXPECT_EQ(program.waitForExit(10000), 0);
    EXPECT_EQ(WaitForSingleObject(firstProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the first instance ended";
    EXPECT_TRUE(IsWindow(first));
    EXPECT_FALSE(IsIconic(first)) << "the first window was not restored";

    PostMessageA(first, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(firstProcess, 20000), static_cast<DWORD>(WAIT_OBJECT_0));
    DWORD code = 1;
    GetExitCodeProcess(firstProcess, &code);
    EXPECT_EQ(code, 0u);
    CloseHandle(firstProcess);
}

TEST(SingleInstance, CopiesInTwoFoldersRunSideBySide) {
    e2e::ProgramCopy one;
    e2e::ProgramCopy two;
    ASSERT_TRUE(one.start());
    ASSERT_NE(one.waitForMainWindow(), nullptr);
    ASSERT_TRUE(two.start());
    ASSERT_NE(two.waitForMainWindow(), nullptr);
    EXPECT_NE(one.processId(), two.processId());
    EXPECT_EQ(one.close(), 0);
    EXPECT_EQ(two.close(), 0);
}

// One window per book: another spelling of the program's path, or a second program folder whose
// settings name the same data folder, raises the window that has the book and touches nothing.
TEST(SingleInstance, AnotherWayToTheSameBookRaisesTheWindowThatHasIt) {
    for (const char* way : {"upper-case spelling", "second program folder"}) {
        e2e::ProgramCopy first;
        e2e::ProgramCopy other;
        ASSERT_TRUE(first.start());
        HWND window = first.waitForMainWindow();
        ASSERT_NE(window, nullptr) << way;
        ShowWindow(window, SW_MINIMIZE);
        HANDLE firstProcess = OpenProcess(SYNCHRONIZE, FALSE, first.processId());
        e2e::ProgramCopy* second = &other;
        if (way[0] == 'u') {
            std::wstring upper = first.wideFolder();
            CharUpperBuffW(&upper[0], static_cast<DWORD>(upper.size()));
            first.runFrom(upper);
            second = &first;
        } else {
            CreateDirectoryA(other.path("data").c_str(), nullptr);
            ASSERT_TRUE(testcommon::writeFile(other.path("data\\quiltpad.ini"),
                                              "[SETTING]\r\nQpdDirPath=" + first.path("data") + "\r\n"));
        }
        ASSERT_TRUE(second->start());
        EXPECT_EQ(0, second->waitForExit(15000)) << way;
        EXPECT_FALSE(IsIconic(window)) << way << ": the first window was not raised";
        EXPECT_FALSE(e2e::fileExists(other.path("data\\quiltpad.qpd"))) << way;
        PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), WaitForSingleObject(firstProcess, 20000)) << way;
        CloseHandle(firstProcess);
    }
}

// Across PCs: another PC's marker beside the book warns at the start; opening is the default,
// after which the marker is this run's and goes at the exit; "no" ends the start touching nothing.
TEST(SingleInstance, ABookOpenOnAnotherPcWarnsAndOpensByDefault) {
    const std::string otherPc = "machine=OTHER-PC\r\nuser=hanako\r\nsince=2026/12/10 09:30\r\nprocess=42\r\n";
    for (const int answer : {IDNO, IDYES}) {
        e2e::ProgramCopy program;
        CreateDirectoryA(program.path("data").c_str(), nullptr);
        ASSERT_TRUE(e2e::writeBook(program.path("data\\quiltpad.qpd"), 3, 10));
        const std::string book = e2e::readFile(program.path("data\\quiltpad.qpd"));
        const std::string marker = program.path("data\\inuse.txt");
        HANDLE file = CreateFileA(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, otherPc.data(), static_cast<DWORD>(otherPc.size()), &written, nullptr);
        CloseHandle(file);
        ASSERT_TRUE(program.start());
        const std::string told = e2e::answerBox(program.processId(), answer);
        EXPECT_NE(std::string::npos, told.find("OTHER-PC")) << told;
        EXPECT_NE(std::string::npos, told.find("hanako")) << told;
        if (answer == IDNO) {
            EXPECT_EQ(0, program.waitForExit());
            EXPECT_EQ(otherPc, e2e::readFile(marker)) << "another PC's marker stays";
            EXPECT_EQ(book, e2e::readFile(program.path("data\\quiltpad.qpd")));
            continue;
        }
        ASSERT_NE(nullptr, program.waitForMainWindow());
        const std::string mine = e2e::readFile(marker);
        EXPECT_EQ(std::string::npos, mine.find("OTHER-PC")) << mine;
        EXPECT_NE(std::string::npos, mine.find("machine=")) << mine;
        EXPECT_EQ(0, program.close());
        EXPECT_FALSE(e2e::fileExists(marker)) << "this run's marker goes at the exit";
    }
}

}  // namespace
