// The settings file through the real program: read at start, rewritten whole at exit.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "E2eSupport.h"

namespace {

std::string iniPathOf(const e2e::ProgramCopy& program) { return program.path("data\\quiltpad.ini"); }

void writeSettings(const e2e::ProgramCopy& program, const std::string& text) {
    CreateDirectoryA(program.path("data").c_str(), nullptr);
    ASSERT_TRUE(e2e::writeFile(iniPathOf(program), text));
}

// One "[name]" block of the file, up to the next section line.
std::string section(const std::string& file, const std::string& name) {
    const size_t begin = file.find("[" + name + "]\r\n");
    if (begin == std::string::npos) return "(no section " + name + ")";
    const size_t end = file.find("\r\n[", begin);
    return file.substr(begin, end == std::string::npos ? std::string::npos : end + 2 - begin);
}

// The section names of the file, in order.
std::string sectionNames(const std::string& file) {
    std::string names;
    for (size_t at = 0; (at = file.find('[', at)) != std::string::npos; ++at) {
        if (at != 0 && (at < 2 || file.compare(at - 2, 2, "\r\n") != 0)) continue;
        names += file.substr(at, file.find(']', at) + 1 - at);
    }
    return names;
}

::testing::AssertionResult startsWith(const std::string& text, const std::string& prefix) {
    if (text.compare(0, prefix.size(), prefix) == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\"" << text << "\" does not start with \"" << prefix << "\"";
}

RECT windowRect(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return r;
}

// Runs the program once, hands its main window to `during`, closes it and returns the exit code.
template <typename F>
long runOnce(e2e::ProgramCopy& program, F during, int showCommand = SW_SHOWNORMAL) {
    if (!program.start(showCommand)) return -2;
    HWND window = program.waitForMainWindow();
    if (window == nullptr) return -3;
    // the window exists before start-up shows it; its first show state is what is tested
    for (int i = 0; i < 400 && !IsWindowVisible(window); ++i) Sleep(50);
    during(window);
    return program.close();
}

const char HAND_WRITTEN[] =
    "; settings edited by hand\r\n"
    "[WINDOW]\r\n"
    "PosX=100\r\n"
    "PosY = 60\r\n"
    "Width=800\r\n"
    "  Height =  500  \r\n"
    "; the window was not maximised\r\n"
    "Maximize=2\r\n"
    "AutoView=1\r\n"
    "DateString=7\r\n"
    "FontColor03=255\r\n"
    "BgSaveInterval=-1\r\n"
    "Colour=red\r\n"
    "[PLUGINS]\r\n"
    "Enabled=1\r\n"
    "[setting]\r\n"
    "BackupFileSize=3\r\n"
    "TimeBackup=yes\r\n"
    "[SEARCHWINDOW]\r\n"
    "Visible=1\r\n"
    "Target=2\r\n";

TEST(SettingsFile, AHandWrittenFileIsAppliedAndRewrittenInTheProgramsOwnForm) {
    e2e::ProgramCopy program;
    writeSettings(program, HAND_WRITTEN);
    RECT opened = {};
    bool zoomed = true;
    EXPECT_EQ(runOnce(program,
                      [&](HWND window) {
                          opened = windowRect(window);
                          zoomed = IsZoomed(window) != FALSE;
                      }),
              0);
    EXPECT_EQ(opened.left, 100);
    EXPECT_EQ(opened.top, 60);
    EXPECT_EQ(opened.right - opened.left, 800);
    EXPECT_EQ(opened.bottom - opened.top, 500);
    EXPECT_FALSE(zoomed) << "Maximize=2 is not on";

    const std::string file = e2e::readFile(iniPathOf(program));
    EXPECT_EQ(sectionNames(file), "[SOFTWARE][WINDOW][SETTING][HOWTOWINDOW][SEARCHWINDOW][IME]");
    EXPECT_EQ(section(file, "SOFTWARE"), "[SOFTWARE]\r\nSoftID = qpad300\r\n");
    EXPECT_EQ(section(file, "WINDOW"),
              "[WINDOW]\r\nPosX = 100\r\nPosY = 60\r\nWidth = 800\r\nHeight = 500\r\nTvWidthPer = 25\r\n"
              "Maximize = 0\r\nAutoView = 0\r\nAutoEdit = 0\r\nAutoDate = 0\r\nDateString = 7\r\n"
              "DeleteDialog = 1\r\nAutoBookmark = 0\r\nExitBookmark = 0\r\nExitScroll = 0\r\nParentSec = 0\r\n"
              "FontColor00 = 0\r\nFontColor01 = 0\r\nFontColor02 = 0\r\nFontColor03 = 255\r\n"
              "FontColor04 = 0\r\nFontColor05 = 0\r\nFontColor06 = 0\r\nFontColor07 = 0\r\n"
              "FontColor08 = 0\r\nFontColor09 = 0\r\nFontColor10 = 0\r\nFontColor11 = 0\r\n"
              "FontColor12 = 0\r\nFontColor13 = 0\r\nFontColor14 = 0\r\nFontColor15 = 0\r\n"
              "BgSaveInterval = -1\r\n");
    EXPECT_EQ(section(file, "SETTING"),
              "[SETTING]\r\nBackupFileSize = 3\r\nBackupInterval = 10\r\nTimeBackup = 0\r\nExitBackup = 1\r\n"
              "DeleteBackup = 0\r\n");
    EXPECT_TRUE(startsWith(section(file, "SEARCHWINDOW"), "[SEARCHWINDOW]\r\nVisible = 0\r\nPosX = "));
    EXPECT_NE(section(file, "SEARCHWINDOW").find("\r\nTarget = 2\r\nMatchCase = 1\r\nDown = 1\r\n"), std::string::npos);
    EXPECT_EQ(section(file, "HOWTOWINDOW"), "[HOWTOWINDOW]\r\nVisible = 1\r\nPosX = 0\r\nPosY = 0\r\n");
    EXPECT_TRUE(startsWith(section(file, "IME"), "[IME]\r\nOnOff = "));
    EXPECT_EQ(file.find(';'), std::string::npos);
    EXPECT_EQ(file.find("Colour"), std::string::npos);
    EXPECT_EQ(file.find("Enabled"), std::string::npos);
}

TEST(SettingsFile, NoFileOpensTheDefaultWindowCentredAndWritesTheDefaults) {
    e2e::ProgramCopy program;
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    RECT opened = {};
    EXPECT_EQ(runOnce(program, [&](HWND window) { opened = windowRect(window); }), 0);
    EXPECT_EQ(opened.left, (desktop.right - desktop.left) / 2 - 320);
    EXPECT_EQ(opened.top, (desktop.bottom - desktop.top) / 2 - 240);
    EXPECT_EQ(opened.right - opened.left, 640);
    EXPECT_EQ(opened.bottom - opened.top, 480);

    const std::string window = section(e2e::readFile(iniPathOf(program)), "WINDOW");
    EXPECT_NE(window.find("\r\nWidth = 640\r\nHeight = 480\r\nTvWidthPer = 25\r\nMaximize = 0\r\n"), std::string::npos)
        << window;
}

TEST(SettingsFile, AMaximisedWindowSavesMaximizeWithItsRestoredRectangle) {
    e2e::ProgramCopy program;
    writeSettings(program, "[WINDOW]\r\nPosX=40\r\nPosY=30\r\nWidth=700\r\nHeight=520\r\n");
    EXPECT_EQ(runOnce(program,
                      [](HWND window) {
                          ShowWindow(window, SW_MAXIMIZE);
                          EXPECT_TRUE(IsZoomed(window));
                      }),
              0);
    std::string window = section(e2e::readFile(iniPathOf(program)), "WINDOW");
    EXPECT_TRUE(startsWith(window,
                           "[WINDOW]\r\nPosX = 40\r\nPosY = 30\r\nWidth = 700\r\nHeight = 520\r\nTvWidthPer = 25\r\n"
                           "Maximize = 1"));

    // the next start shows it maximised, and a restore brings back the saved rectangle
    RECT restored = {};
    bool zoomed = false;
    EXPECT_EQ(runOnce(program,
                      [&](HWND w) {
                          zoomed = IsZoomed(w) != FALSE;
                          ShowWindow(w, SW_RESTORE);
                          restored = windowRect(w);
                      }),
              0);
    EXPECT_TRUE(zoomed);
    EXPECT_EQ(restored.left, 40);
    EXPECT_EQ(restored.right - restored.left, 700);
    window = section(e2e::readFile(iniPathOf(program)), "WINDOW");
    EXPECT_NE(window.find("\r\nMaximize = 0\r\n"), std::string::npos) << window;
}

TEST(SettingsFile, AWindowSavedOffEveryMonitorOpensOnThePrimaryOneWithItsSize) {
    e2e::ProgramCopy program;
    writeSettings(program, "[WINDOW]\r\nPosX=-9000\r\nPosY=7000\r\nWidth=720\r\nHeight=410\r\n");
    RECT opened = {};
    EXPECT_EQ(runOnce(program, [&](HWND window) { opened = windowRect(window); }), 0);
    RECT primary = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT shown = {};
    EXPECT_TRUE(IntersectRect(&shown, &opened, &primary));
    EXPECT_EQ(opened.right - opened.left, 720);
    EXPECT_EQ(opened.bottom - opened.top, 410);
}

TEST(SettingsFile, ASecondInstanceWritesNothing) {
    e2e::ProgramCopy program;
    ASSERT_TRUE(program.start());
    HWND first = program.waitForMainWindow();
    ASSERT_NE(first, nullptr);
    const DWORD firstPid = program.processId();

    // the first instance has read its settings; whatever is in the file now stays until it exits
    const std::string marker = "; left alone by the second start\r\n[WINDOW]\r\nWidth=900\r\n";
    writeSettings(program, marker);
    ASSERT_TRUE(program.start());
    EXPECT_EQ(program.waitForExit(10000), 0);
    EXPECT_EQ(e2e::readFile(iniPathOf(program)), marker);

    HANDLE firstProcess = OpenProcess(SYNCHRONIZE, FALSE, firstPid);
    PostMessageA(first, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(firstProcess, 20000), static_cast<DWORD>(WAIT_OBJECT_0));
    CloseHandle(firstProcess);
    EXPECT_TRUE(startsWith(e2e::readFile(iniPathOf(program)), "[SOFTWARE]\r\nSoftID = qpad300\r\n["));
}

}  // namespace
