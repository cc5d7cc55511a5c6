#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "app/Lifecycle.h"
#include "app/AppState.h"
#include "app/SettingsIo.h"
#include "app/AppMessages.h"
#include "support/DialogAnswerer.h"
#include "support/TestApp.h"
#include "tests/common/FileBytes.h"

namespace {

using testcommon::readFile;

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class SettingsIoTest : public testing::Test {
protected:
    void SetUp() override { window = testapp::createMainWindowIn(folder.path()); }
    void TearDown() override { testapp::destroyMainWindow(window); }
    std::string iniPath() const { return folder.file("data\\quiltpad.ini"); }
    testapp::TempFolder folder;
    HWND window = nullptr;
};

TEST_F(SettingsIoTest, ExitWithSavingOffWritesNoSettingsFile) {
    ASSERT_NE(window, nullptr);
    lifecycle::setSaveAtExit(false);
    testapp::destroyMainWindow(window);
    EXPECT_FALSE(exists(iniPath()));
    EXPECT_FALSE(exists(folder.file("data")));
}

TEST_F(SettingsIoTest, ExitCreatesTheDataFolderAndSavesTheLiveShareAndColours) {
    ASSERT_NE(window, nullptr);
    ASSERT_FALSE(exists(folder.file("data")));
    gApp.splitter.percent = 40;
    gApp.customColours[0] = 0x00123456;
    gApp.customColours[15] = 0x000000FF;
    testapp::destroyMainWindow(window);
    const std::string file = readFile(iniPath());
    EXPECT_NE(file.find("\r\nTvWidthPer = 40\r\n"), std::string::npos) << file;
    EXPECT_NE(file.find("\r\nFontColor00 = 1193046\r\n"), std::string::npos);
    EXPECT_NE(file.find("\r\nFontColor15 = 255\r\n"), std::string::npos);
}

TEST_F(SettingsIoTest, AFailedWriteIsReportedAndLeavesNothingBehind) {
    ASSERT_NE(window, nullptr);
    const paths::AppPaths saved = gApp.paths;
    gApp.paths = paths::derivePaths(folder.file("missing\\deeper"), "", "");
    EXPECT_FALSE(settingsio::collectAndSaveSettings(window));
    EXPECT_FALSE(exists(folder.file("missing")));
    gApp.paths = saved;
}

TEST_F(SettingsIoTest, StartUpAppliesTheFileToTheProcessState) {
    CreateDirectoryA(folder.file("data").c_str(), nullptr);
    // a writable folder: the shutdown at the end of the test saves the book there
    std::ofstream(iniPath(), std::ios::binary) << "[WINDOW]\r\nTvWidthPer=33\r\nAutoView=1\r\nFontColor01=77\r\n"
                                                  "[SETTING]\r\nQpdDirPath=" +
                                                      folder.file("books") + "\r\n";
    settingsio::readStartupSettings(folder.path());
    EXPECT_EQ(gApp.splitter.percent, 33);
    EXPECT_EQ(gApp.customColours[1], 77u);
    EXPECT_EQ(gApp.customColours[0], 0u);
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    const bool newerSystem = !GetVersionExA(&version) || version.dwMajorVersion >= 6;
    EXPECT_EQ(gApp.ini.window.AutoView, !newerSystem);
    EXPECT_EQ(gApp.paths.dataFilePath, folder.file("books\\quiltpad.qpd"));
    EXPECT_EQ(gApp.paths.iniPath, iniPath());
    EXPECT_EQ(gApp.paths.backupSlotPaths[3], folder.file("data\\backup\\backup03.qpd"));
    lifecycle::setSaveAtExit(false);  // the book must not go to the made-up X:\Books at tear-down
}

// A settings file another program holds is never read as the defaults (whose data folder may
// hold an older copy of the book): Retry reads it once it is let go, Cancel ends the start.
TEST(SettingsIoHeld, AHeldSettingsFileIsAskedAgainOrEndsTheStart) {
    for (const int answer : {IDRETRY, IDCANCEL}) {
        testapp::TempFolder folder;
        CreateDirectoryA(folder.file("data").c_str(), nullptr);
        const std::string ini = folder.file("data\\quiltpad.ini");
        ASSERT_TRUE(testcommon::writeFile(ini, "[SETTING]\r\nQpdDirPath=" + folder.file("books") + "\r\n"));
        HANDLE held = CreateFileA(ini.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        testsupport::DialogAnswerer box(answer, appmessages::SETTINGS_UNREADABLE_CAPTION);
        box.setInspector([&held](HWND) {
            CloseHandle(held);  // the other program lets go while the box is up
            held = nullptr;
        });
        gApp = AppState();
        const bool started = settingsio::readStartupSettings(folder.path());
        if (held) CloseHandle(held);
        EXPECT_EQ(1, box.answered()) << answer;
        EXPECT_EQ(answer == IDRETRY, started);
        if (started) {
            EXPECT_EQ(folder.file("books\\quiltpad.qpd"), gApp.paths.dataFilePath);
        }
    }
}

// A hand-edited settings file: the window still opens wholly on the monitor and is saved back so.
TEST(SettingsIoScreen, AHugeNegativeOrGarbledSavedWindowOpensWhollyOnTheMonitor) {
    testapp::TempFolder folder;
    CreateDirectoryA(folder.file("data").c_str(), nullptr);
    const std::string ini = folder.file("data\\quiltpad.ini");
    ASSERT_TRUE(testcommon::writeFile(ini, "[WINDOW]\r\nPosX=abc\r\nPosY=30\r\nWidth=99999\r\nHeight=-5\r\n"));
    HWND window = testapp::createMainWindowIn(folder.path());
    ASSERT_NE(window, nullptr);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    ASSERT_TRUE(GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor));
    const RECT& work = monitor.rcWork;
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_GE(r.left, work.left);
    EXPECT_GE(r.top, work.top);
    EXPECT_LE(r.right, work.right);
    EXPECT_LE(r.bottom, work.bottom);
    EXPECT_EQ(r.right - r.left, work.right - work.left);  // as wide as it may be
    EXPECT_GT(r.bottom - r.top, 0);
    testapp::destroyMainWindow(window);

    const std::string saved = readFile(ini);
    EXPECT_NE(saved.find("\r\nWidth = " + std::to_string(work.right - work.left) + "\r\n"), std::string::npos) << saved;
    EXPECT_EQ(saved.find("Height = -"), std::string::npos) << saved;
}

}  // namespace
