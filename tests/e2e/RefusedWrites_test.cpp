// Writes the system refuses: a data file and settings file that cannot be
// replaced, a backup slot another process holds open. The program keeps going,
// tells the user at exit, and no existing file changes; a backup finds another slot.
// (Wine replaces a file marked read-only where Windows refuses; a file another
// process holds open without sharing its deletion is refused on both.)
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "E2eSupport.h"
#include "app/AppMessages.h"
#include "res/resource.h"
#include "settings/IniSettings.h"

namespace {

struct Book {
    explicit Book(bool exitBackup) {
        CreateDirectoryA(program.path("data").c_str(), nullptr);
        CreateDirectoryA(program.path("data\\backup").c_str(), nullptr);
        IniSettings settings = ini::defaultSettings(1280, 800);
        settings.setting.ExitBackup = exitBackup;
        settings.setting.TimeBackup = false;
        settings.setting.BackupFileSize = 3;
        settings.howToWindow.Visible = false;
        ok = e2e::writeBook(data, 3, 500) && ini::writeIni(ini, settings);
    }
    // Starts the program, adds a page, holds the files open and asks the program to close.
    bool addPageAndClose(const std::vector<std::string>& heldFiles = {}) {
        if (!program.start()) return false;
        HWND window = program.waitForMainWindow(30000);
        if (!window) return false;
        SendMessageA(window, WM_COMMAND, IDM_ADD_PAGE, 0);
        for (const std::string& path : heldFiles) {
            // read by another program that lets nobody replace it (the program itself holds its book open for reading)
            held.push_back(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
            if (held.back() == INVALID_HANDLE_VALUE) return false;
        }
        return PostMessageA(window, WM_CLOSE, 0, 0) != 0;
    }
    void release() {
        for (HANDLE file : held) CloseHandle(file);
        held.clear();
    }
    ~Book() { release(); }
    e2e::ProgramCopy program;
    const std::string data = program.path("data\\quiltpad.qpd");
    const std::string ini = program.path("data\\quiltpad.ini");
    bool ok = false;
    std::vector<HANDLE> held;
};

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(RefusedWrites, ABookAndSettingsFileThatCannotBeReplacedStayAsTheyWereAndTheUserIsTold) {
    Book book(true);
    ASSERT_TRUE(book.ok);
    const std::string oldBook = e2e::readFile(book.data), oldIni = e2e::readFile(book.ini);
    ASSERT_TRUE(book.addPageAndClose({book.data, book.ini}));

    // told at exit, and again after a retry that cannot work; Cancel ends the program
    const DWORD pid = book.program.processId();
    for (int button : {IDRETRY, IDCANCEL}) {
        const std::string text = e2e::answerBox(pid, button);
        EXPECT_EQ(text.find(appmessages::SAVE_FAILED_TEXT), 0u) << text;
        EXPECT_TRUE(endsWith(text, appmessages::SAVE_FAILED_HINT)) << text;
    }
    EXPECT_EQ(book.program.waitForExit(30000), 0);
    book.release();
    EXPECT_EQ(e2e::readFile(book.data), oldBook);
    EXPECT_EQ(e2e::readFile(book.ini), oldIni);
    EXPECT_FALSE(e2e::anyFile(book.program.path("data\\*~*"))) << "no temporary file is left behind";
    EXPECT_EQ(e2e::pagesIn(book.program.path("data\\backup\\backup00.qpd")), 4) << "the exit backup kept the new page";
}

TEST(RefusedWrites, ABackupSlotHeldOpenElsewhereIsUntouchedAndTheBackupGoesToTheNextOldest) {
    Book book(true);
    ASSERT_TRUE(book.ok);
    // slot 01 is the oldest but held; of the others 02 is older than 00
    const WORD years[] = {2024, 2020, 2022};
    std::vector<std::string> slots, before;
    for (int i = 0; i < 3; ++i) {
        slots.push_back(book.program.path("data\\backup\\backup0" + std::to_string(i) + ".qpd"));
        ASSERT_TRUE(e2e::writeBook(slots[i], 1 + i, 100));
        e2e::setWriteTime(slots[i], years[i]);
        before.push_back(e2e::readFile(slots[i]));
    }

    ASSERT_TRUE(book.addPageAndClose({slots[1]}));
    EXPECT_EQ(book.program.waitForExit(30000), 0) << "no question: the book itself was saved";
    book.release();
    EXPECT_EQ(e2e::pagesIn(book.data), 4);
    EXPECT_EQ(e2e::readFile(slots[0]), before[0]);
    EXPECT_EQ(e2e::readFile(slots[1]), before[1]) << "the held slot";
    EXPECT_EQ(e2e::pagesIn(slots[2]), 4) << "the next oldest slot took the exit backup";
    EXPECT_FALSE(e2e::anyFile(book.program.path("data\\backup\\*~*"))) << "no temporary file is left behind";
}

}  // namespace
