// A data folder on a disk that is full: the exit save fails without touching
// the old book, the user is told, and "再試行" after freeing space saves.
//   QP_SMALL_DISK   a folder on a small file system of its own (scripts/test-wine.sh
//                   mounts one where the machine allows it); without it the test is skipped
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "E2eSupport.h"
#include "res/resource.h"
#include "settings/IniSettings.h"

namespace {

const char SAVE_FAILED[] = "データファイルに書き込むことが出来ませんでした";

// Writes until the disk refuses more; the file is removed on destruction.
struct Filler {
    explicit Filler(const std::string& path) : path_(path) {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        const std::string chunk(16384, 'f');
        DWORD written = 0;
        while (WriteFile(file, chunk.data(), static_cast<DWORD>(chunk.size()), &written, nullptr) && written) {
        }
        CloseHandle(file);
    }
    ~Filler() { release(); }
    void release() { DeleteFileA(path_.c_str()); }
    std::string path_;
};

TEST(FullDisk, TheOldBookStaysAndRetryAfterFreeingSpaceSaves) {
    const char* disk = std::getenv("QP_SMALL_DISK");
    if (!disk || !*disk) GTEST_SKIP() << "no small disk here (QP_SMALL_DISK)";
    e2e::ProgramCopy program(disk);
    const std::string book = program.path("data\\quiltpad.qpd");
    CreateDirectoryA(program.path("data").c_str(), nullptr);
    ASSERT_TRUE(e2e::writeBook(book, 150, 2000));
    IniSettings settings = ini::defaultSettings(1280, 800);
    settings.setting.ExitBackup = false;
    settings.howToWindow.Visible = false;
    ASSERT_TRUE(ini::writeIni(program.path("data\\quiltpad.ini"), settings));
    const std::string oldBytes = e2e::readFile(book);

    ASSERT_TRUE(program.start());
    HWND window = program.waitForMainWindow(30000);
    ASSERT_NE(window, nullptr);
    SendMessageA(window, WM_COMMAND, IDM_ADD_PAGE, 0);
    Filler filler(program.path("filler"));
    PostMessageA(window, WM_CLOSE, 0, 0);

    // the disk is full: told, and again after a retry that cannot work either
    EXPECT_NE(e2e::answerBox(program.processId(), IDRETRY).find(SAVE_FAILED), std::string::npos);
    EXPECT_NE(e2e::answerBox(program.processId(), IDRETRY).find(SAVE_FAILED), std::string::npos);
    EXPECT_EQ(e2e::readFile(book), oldBytes) << "the old book is untouched while the disk is full";
    filler.release();
    EXPECT_NE(e2e::answerBox(program.processId(), IDRETRY).find(SAVE_FAILED), std::string::npos);
    EXPECT_EQ(program.waitForExit(30000), 0);
    EXPECT_EQ(e2e::pagesIn(book), 151) << "the retry after freeing space saved the new page";
    EXPECT_FALSE(e2e::anyFile(program.path("data\\*~*"))) << "no temporary file is left behind";
}

}  // namespace
