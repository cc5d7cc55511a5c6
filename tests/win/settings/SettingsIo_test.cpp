#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "app/AppState.h"
#include "app/SettingsIo.h"
#include "support/TestApp.h"

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

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
    gApp.saveAtExit = false;
    testapp::destroyMainWindow(window);
    EXPECT_FALSE(exists(iniPath()));
    EXPECT_FALSE(exists(folder.file("data")));
}

TEST_F(SettingsIoTest, ExitCreatesTheDataFolderAndSavesTheLiveShareAndColours) {
    ASSERT_NE(window, nullptr);
    ASSERT_FALSE(exists(folder.file("data")));
    gApp.splitterPercent = 40;
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
    std::ofstream(iniPath(), std::ios::binary)
        << "[WINDOW]\r\nTvWidthPer=33\r\nAutoView=1\r\nFontColor01=77\r\n"
           "[SETTING]\r\nQpdDirPath=" + folder.file("books") + "\r\n";
    settingsio::readStartupSettings(folder.path());
    EXPECT_EQ(gApp.splitterPercent, 33);
    EXPECT_EQ(gApp.customColours[1], 77u);
    EXPECT_EQ(gApp.customColours[0], 0u);
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    const bool newerSystem = !GetVersionExA(&version) || version.dwMajorVersion >= 6;
    EXPECT_EQ(gApp.ini.window.AutoView, !newerSystem);
    EXPECT_EQ(gApp.paths.dataFilePath, folder.file("books\\quiltpad.qpd"));
    EXPECT_EQ(gApp.paths.iniPath, iniPath());
    EXPECT_EQ(gApp.paths.backupSlotPaths[3], folder.file("data\\backup\\backup03.qpd"));
    gApp.saveAtExit = false;  // the book must not go to the made-up X:\Books at tear-down
}

}  // namespace
