// The program killed at any moment of its exit save (data file, settings, exit
// backup) leaves every book file whole: the data file and each backup read
// completely and hold either the book before the session or the book after it.
//   QP_KILLS        how many kills (default 3; scripts/kill-campaign.sh runs 50)
//   QP_KILL_PAGES   pages of the book (default 2,000; the campaign uses 20,000)
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "E2eSupport.h"
#include "res/resource.h"
#include "settings/IniSettings.h"
#include "store/DataFile.h"

namespace {

int fromEnvironment(const char* name, int fallback) {
    const char* value = std::getenv(name);
    const int parsed = value ? std::atoi(value) : 0;
    return parsed > 0 ? parsed : fallback;
}

// About 2 KB of rich text a page, in folders of sixteen pages.
PageTable bookOf(int pages) {
    PageTable table;
    const std::string body(1800, 'x');
    ItemHandle item = 1;
    int folderOrder = -1;
    for (int i = 0; i < pages; ++i, ++item) {
        const bool folder = i % 17 == 0;
        table.addPage(item, "{\\rtf1\\ansi " + body + " " + std::to_string(i) + "\\par}", "page " + std::to_string(i),
                      folder);
        PageRecord& record = table.recordAt(table.count() - 1);
        record.order = i;
        record.parentOrder = folder ? -1 : folderOrder;
        if (folder) folderOrder = i;
    }
    return table;
}

TEST(KillMidSave, EveryBookFileReadsWholeAfterAKillDuringTheExitSave) {
    const int kills = fromEnvironment("QP_KILLS", 3);
    const int pages = fromEnvironment("QP_KILL_PAGES", 2000);
    e2e::ProgramCopy program;
    const std::string data = program.path("data");
    const std::string book = program.path("data\\quiltpad.qpd");
    CreateDirectoryA(data.c_str(), nullptr);
    ASSERT_TRUE(writeDataFile(book, makeVersionBlock(SaveKind::ExitData, 1), true, bookOf(pages), newFileHeader()));
    IniSettings settings = ini::defaultSettings(1280, 800);
    settings.setting.ExitBackup = true;
    settings.setting.TimeBackup = false;
    settings.howToWindow.Visible = false;
    ASSERT_TRUE(ini::writeIni(program.path("data\\quiltpad.ini"), settings));

    // One whole session first: how long the exit takes on this book.
    ASSERT_TRUE(program.start());
    ASSERT_NE(program.waitForMainWindow(60000), nullptr);
    const DWORD before = GetTickCount();
    ASSERT_EQ(program.close(120000), 0);
    const DWORD exitMs = GetTickCount() - before + 50;

    std::mt19937 random(20261207u);
    int keptOld = 0, tookNew = 0;
    int expected = e2e::pagesIn(book);
    ASSERT_EQ(expected, pages);
    for (int k = 0; k < kills; ++k) {
        ASSERT_TRUE(program.start());
        HWND window = program.waitForMainWindow(60000);
        ASSERT_NE(window, nullptr);
        // one more page, so the new book can be told from the old one
        SendMessageA(window, WM_COMMAND, IDM_ADD_PAGE, 0);
        const DWORD delay = std::uniform_int_distribution<DWORD>(0, exitMs)(random);
        PostMessageA(window, WM_CLOSE, 0, 0);
        Sleep(delay);
        program.kill();

        const int now = e2e::pagesIn(book);
        EXPECT_TRUE(now == expected || now == expected + 1) << "kill " << k << " after " << delay << " ms: " << now;
        (now == expected ? keptOld : tookNew) += 1;
        if (now > 0) expected = now;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA(program.path("data\\backup\\backup*.qpd").c_str(), &found);
        for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
            const std::string slot = program.path("data\\backup\\") + found.cFileName;
            EXPECT_GT(e2e::pagesIn(slot), 0) << "kill " << k << ": " << slot << " does not read whole";
        }
        if (search != INVALID_HANDLE_VALUE) FindClose(search);
    }

    int leftovers = 0;
    WIN32_FIND_DATAA left;
    HANDLE scan = FindFirstFileA(program.path("data\\quiltpad.qpd~*").c_str(), &left);
    for (BOOL more = scan != INVALID_HANDLE_VALUE; more; more = FindNextFileA(scan, &left)) ++leftovers;
    if (scan != INVALID_HANDLE_VALUE) FindClose(scan);
    std::printf("%d kills on %d pages (exit %lu ms): %d kept the old book, %d the new; %d half-written files left\n",
                kills, pages, exitMs, keptOld, tookNew, leftovers);

    // The next start clears what the killed saves left half-written, and saves again.
    ASSERT_TRUE(program.start());
    ASSERT_NE(program.waitForMainWindow(60000), nullptr);
    ASSERT_EQ(program.close(120000), 0);
    EXPECT_EQ(e2e::pagesIn(book), expected);
    WIN32_FIND_DATAA found;
    for (const char* pattern : {"data\\quiltpad.*~*", "data\\backup\\backup*.qpd~*"}) {
        HANDLE search = FindFirstFileA(program.path(pattern).c_str(), &found);
        EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "left behind: " << found.cFileName;
        if (search != INVALID_HANDLE_VALUE) FindClose(search);
    }
}

}  // namespace
