// The two timers (driven by calling their procedures, one call per minute) and
// the shutdown of the real main window.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "app/Lifecycle.h"
#include "res/resource.h"
#include "store/DataFile.h"
#include "support/DialogAnswerer.h"
#include "tests/win/app/AppTestSupport.h"

namespace {

using namespace apptest;

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class LifecycleTest : public MainWindowTest {
protected:
    std::string dataFile() const { return folder.file("data\\quiltpad.qpd"); }
    std::string iniFile() const { return folder.file("data\\quiltpad.ini"); }

    void minute() { lifecycle::backgroundSaveTick(window, WM_TIMER, 2, GetTickCount()); }
    // Takes the data file away: renamed aside, as the program holds it open (a delete waits for it).
    void removeDataFile() {
        static int taken = 0;
        MoveFileA(dataFile().c_str(), (dataFile() + ".taken" + std::to_string(++taken)).c_str());
    }

    // The record texts of the data file as written, in file order.
    std::vector<std::string> savedTexts(SaveKind* kind = nullptr) {
        PageTable table;
        DataFileHeader header;
        VersionBlock version;
        EXPECT_TRUE(readDataFile(dataFile(), table, header, version));
        EXPECT_EQ(magicOf(version), "qpad300");
        if (kind) *kind = static_cast<SaveKind>(version.saveKind);
        std::vector<std::string> texts;
        for (int i = 0; i < table.count(); ++i) texts.push_back(table.recordAt(i).text);
        return texts;
    }
};

TEST_F(LifecycleTest, BackgroundSaveComesEveryIntervalMinutesWithTheShownPagesText) {
    gApp.ini.window.BgSaveInterval = 3;
    removeDataFile();
    select(itemAt(1));
    typeText("typed before the save");
    minute();
    minute();
    EXPECT_FALSE(exists(dataFile()));
    EXPECT_EQ(lifecycle::backgroundSaveCounter(), 2);
    minute();
    ASSERT_TRUE(exists(dataFile()));
    EXPECT_EQ(lifecycle::backgroundSaveCounter(), 0);
    SaveKind kind = SaveKind::Periodic;
    const std::vector<std::string> texts = savedTexts(&kind);
    EXPECT_EQ(kind, SaveKind::ExitData);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_NE(texts[1].find("typed before the save"), std::string::npos);

    removeDataFile();
    minute();
    minute();
    EXPECT_FALSE(exists(dataFile()));
    minute();
    EXPECT_TRUE(exists(dataFile()));
}

TEST_F(LifecycleTest, IntervalZeroSavesEveryMinuteAndMinusOneNever) {
    gApp.ini.window.BgSaveInterval = 0;
    for (int i = 0; i < 2; ++i) {
        removeDataFile();
        minute();
        EXPECT_TRUE(exists(dataFile()));
    }
    removeDataFile();
    gApp.ini.window.BgSaveInterval = -1;
    for (int i = 0; i < 10; ++i) minute();
    EXPECT_FALSE(exists(dataFile()));
    EXPECT_EQ(lifecycle::backgroundSaveCounter(), 10);  // the minutes are counted all the same
}

TEST_F(LifecycleTest, BackupTickStoresTheShownPageOnlyWithTimeBackup) {
    select(itemAt(1));
    typeText("not stored yet");
    const std::string slot0 = gApp.paths.backupSlotPaths[0];
    gApp.ini.setting.TimeBackup = false;
    lifecycle::backupTick(window, WM_TIMER, 1, GetTickCount());
    EXPECT_EQ(gBook.pages.recordAt(1).text.find("not stored yet"), std::string::npos);
    EXPECT_FALSE(exists(slot0));
    gApp.ini.setting.TimeBackup = true;
    lifecycle::backupTick(window, WM_TIMER, 1, GetTickCount());
    EXPECT_NE(gBook.pages.recordAt(1).text.find("not stored yet"), std::string::npos);
    unsigned char version[VERSION_BLOCK_SIZE];
    ASSERT_TRUE(readFirst32(slot0, version)) << "the first backup goes to slot 00";
    EXPECT_EQ(static_cast<int>(SaveKind::Periodic), decodeVersionBlock(version).saveKind);
}

TEST_F(LifecycleTest, ExitWritesTheBookAndTheSettingsAndBookmarksTheShownPage) {
    gApp.ini.window.ExitBookmark = true;
    select(itemAt(2));
    typeText("last words");
    testapp::destroyMainWindow(window);
    ASSERT_TRUE(exists(iniFile()));
    ASSERT_TRUE(exists(dataFile()));
    EXPECT_NE(savedTexts()[2].find("last words"), std::string::npos);

    window = testapp::createMainWindowIn(folder.path());
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(gApp.ini.window.ExitBookmark);  // read back from the settings file
    EXPECT_EQ(list().GetSelection(), itemAt(2));
    EXPECT_EQ(imageOf(itemAt(2)), 4);
    EXPECT_EQ(editorText(), "last words");
}

TEST_F(LifecycleTest, ATitleStillBeingEditedAtExitIsKept) {
    for (const bool sessionEnds : {true, false}) {
        select(itemAt(1));
        SendMessageA(window, WM_COMMAND, IDM_EDIT_TITLE, 0);
        HWND edit = TreeView_GetEditControl(list().window());
        ASSERT_NE(edit, nullptr);
        const std::string title = sessionEnds ? "typed as Windows ends" : "typed, then Ctrl+W";
        SetWindowTextA(edit, title.c_str());
        if (sessionEnds) SendMessageA(window, WM_ENDSESSION, TRUE, 0);  // the window stays, its focus too
        testapp::destroyMainWindow(window);

        window = testapp::createMainWindowIn(folder.path());
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(gBook.pages.recordAt(1).title, title);
        EXPECT_EQ(list().GetTitle(itemAt(1)), title);
    }
}

TEST_F(LifecycleTest, NothingIsWrittenWhenSaveAtExitIsOff) {
    DeleteFileA(iniFile().c_str());
    lifecycle::setSaveAtExit(false);
    gApp.ini.setting.ExitBackup = true;
    testapp::destroyMainWindow(window);
    EXPECT_FALSE(exists(dataFile()));
    EXPECT_FALSE(exists(iniFile()));
}

TEST_F(LifecycleTest, SessionEndSavesLikeTheExitAndOnlyOnce) {
    SendMessageA(window, WM_ENDSESSION, FALSE, 0);  // the session goes on: nothing happens
    EXPECT_FALSE(exists(dataFile()));
    EXPECT_FALSE(exists(iniFile()));
    EXPECT_EQ(gApp.mainWindow, window);

    select(itemAt(1));
    typeText("saved as Windows ends");
    SendMessageA(window, WM_ENDSESSION, TRUE, 0);
    ASSERT_TRUE(exists(dataFile()));
    EXPECT_TRUE(exists(iniFile()));
    EXPECT_NE(savedTexts()[1].find("saved as Windows ends"), std::string::npos);
    MSG quit;
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 0u);

    // the window going away afterwards writes nothing more
    removeDataFile();
    DeleteFileA(iniFile().c_str());
    testapp::destroyMainWindow(window);
    EXPECT_FALSE(exists(dataFile()));
    EXPECT_FALSE(exists(iniFile()));
}

TEST_F(LifecycleTest, SettingsAtExitHoldTheRestoredRectangleOfAMinimisedWindow) {
    SetWindowPos(window, nullptr, 30, 40, 610, 450, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageA(window, WM_COMMAND, IDM_MINIMIZE, 0);
    ASSERT_TRUE(IsIconic(window));
    testapp::destroyMainWindow(window);
    const std::string ini = [this] {
        char text[4096] = {};
        HANDLE f = CreateFileA(iniFile().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        DWORD read = 0;
        if (f != INVALID_HANDLE_VALUE) {
            ReadFile(f, text, sizeof text - 1, &read, nullptr);
            CloseHandle(f);
        }
        return std::string(text, read);
    }();
    EXPECT_NE(ini.find("[WINDOW]\r\nPosX = 30\r\nPosY = 40\r\nWidth = 610\r\nHeight = 450\r\nTvWidthPer = 25\r\n"
                       "Maximize = 0\r\n"),
              std::string::npos)
        << ini;
}

// A file where the data folder should be: no save can succeed until it goes.
class BlockedSaveTest : public LifecycleTest {
protected:
    void SetUp() override {
        LifecycleTest::SetUp();
        blocker = folder.file("blocked");
        HANDLE f = CreateFileA(blocker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(f, INVALID_HANDLE_VALUE);
        CloseHandle(f);
        gApp.paths.dataFilePath = blocker + "\\quiltpad.qpd";
    }
    // the exit of a test that left the window open must not stop at the retry question
    void TearDown() override {
        if (IsWindow(window)) gApp.paths.dataFilePath = dataFile();
        LifecycleTest::TearDown();
    }
    std::string blocker;
};

TEST_F(BlockedSaveTest, ABackgroundSaveThatFailsSaysNothing) {
    gApp.ini.window.BgSaveInterval = 0;
    testsupport::DialogAnswerer any(IDCANCEL);
    minute();
    testapp::pumpMessages();
    EXPECT_EQ(any.answered(), 0);
    EXPECT_EQ(lifecycle::backgroundSaveCounter(), 0);
}

TEST_F(BlockedSaveTest, AFailedSaveAtExitOffersRetryAndTheExitGoesOnAfterCancel) {
    {
        testsupport::DialogAnswerer cancel(IDCANCEL, gApp.title);
        testapp::destroyMainWindow(window);
        ASSERT_EQ(cancel.answered(), 1);
        const std::string& text = cancel.texts()[0];
        EXPECT_NE(text.find(gApp.paths.dataFilePath), std::string::npos) << text;
        // what Cancel costs is said before anyone presses it
        const std::string last = "\nキャンセルを押すと、変更は保存されずに終了します。";
        ASSERT_GE(text.size(), last.size());
        EXPECT_EQ(text.substr(text.size() - last.size()), last) << text;
    }
    EXPECT_TRUE(exists(iniFile()));  // the settings are written all the same
}

TEST_F(BlockedSaveTest, RetryAfterTheCauseIsGoneSavesTheBook) {
    select(itemAt(1));
    typeText("kept by the retry");
    testsupport::DialogAnswerer retry(IDRETRY, gApp.title);
    retry.setInspector([this](HWND) {
        DeleteFileA(blocker.c_str());  // the user makes room, then presses Retry
    });
    testapp::destroyMainWindow(window);
    EXPECT_EQ(retry.answered(), 1);
    ASSERT_TRUE(exists(blocker + "\\quiltpad.qpd"));
    PageTable table;
    DataFileHeader header;
    VersionBlock version;
    ASSERT_TRUE(readDataFile(blocker + "\\quiltpad.qpd", table, header, version));
    ASSERT_EQ(table.count(), 3);
    EXPECT_NE(table.recordAt(1).text.find("kept by the retry"), std::string::npos);
}

// A log-off while the exit's Retry/Cancel box is up is refused with a reason; one forced anyway
// leaves this run's edits in a backup slot before the program goes.
TEST_F(BlockedSaveTest, ASessionEndInsideTheExitsRetryBoxIsRefusedThenRescuesTheBook) {
    select(itemAt(1));
    typeText("kept through the log-off");
    CreateDirectoryA(gApp.paths.backupFolder.c_str(), nullptr);
    LRESULT mayEnd = TRUE;
    testsupport::DialogAnswerer cancel(IDCANCEL, gApp.title);
    cancel.setInspector([&](HWND) {
        mayEnd = SendMessageW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
        SendMessageW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);  // forced all the same
    });
    testapp::destroyMainWindow(window);
    EXPECT_EQ(1, cancel.answered());
    EXPECT_FALSE(mayEnd);
    PageTable table;
    DataFileHeader header;
    VersionBlock version;
    ASSERT_TRUE(readDataFile(gApp.paths.backupSlotPaths[0], table, header, version));
    EXPECT_NE(table.recordAt(1).text.find("kept through the log-off"), std::string::npos);
}

}  // namespace
