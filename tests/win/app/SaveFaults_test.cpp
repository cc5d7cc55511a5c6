// The program's own saves (the book from the window, the settings at exit) failed at
// each of their file operations in turn: the file keeps its old bytes, the caller
// hears of the failure, no temporary file stays, and the next save goes through.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/BookLoad.h"
#include "app/PageDisplay.h"
#include "app/SettingsIo.h"
#include "store/AtomicFile.h"
#include "tests/common/FileBytes.h"
#include "tests/win/app/AppTestSupport.h"

namespace {

using namespace apptest;

struct FaultOff {
    ~FaultOff() { atomicfaults::failOperation(0); }
};

bool temporaryLeft(const std::string& target) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((target + "~*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    return true;
}

struct SaveCase {
    const char* name;
    std::function<std::string()> target;
    std::function<bool(HWND)> save;
    std::function<void(int)> change;  // makes the next save write other bytes
};

using SaveFaultsTest = MainWindowTest;

TEST_F(SaveFaultsTest, EveryFailedOperationKeepsTheOldFileAndTheNextSaveWorks) {
    const SaveCase cases[] = {
        {"book", [] { return gApp.paths.dataFilePath; },
         [](HWND) { return bookload::saveFromUi(gApp.paths.dataFilePath, SaveKind::ExitData); },
         [](int round) {
             select(itemAt(round % 3));
             typeText(std::string(2000, static_cast<char>('a' + round)).c_str());
             pagedisplay::storeShownPage();
         }},
        {"settings", [] { return gApp.paths.iniPath; }, settingsio::collectAndSaveSettings,
         [](int round) { gApp.ini.setting.BackupFileSize = 10 + round; }},
    };
    FaultOff off;
    for (const SaveCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string target = c.target();
        c.change(0);
        ASSERT_TRUE(c.save(window));
        std::string oldBytes = testcommon::readFile(target);

        // a clean save counts the operations; the next saves would write other bytes again
        // (the program holds its data file: no other writer puts the old bytes back)
        c.change(1);
        atomicfaults::failOperation(0);
        ASSERT_TRUE(c.save(window));
        const long operations = atomicfaults::operationsCounted();
        ASSERT_NE(testcommon::readFile(target), oldBytes);
        oldBytes = testcommon::readFile(target);
        ASSERT_GE(operations, 4) << "create, write, flush, close, replace";
        c.change(2);
        RecordProperty(std::string(c.name) + "Operations", static_cast<int>(operations));

        for (long k = 1; k <= operations; ++k) {
            atomicfaults::failOperation(k);
            EXPECT_FALSE(c.save(window)) << "operation " << k << " of " << operations;
            atomicfaults::failOperation(0);
            EXPECT_EQ(testcommon::readFile(target), oldBytes) << "operation " << k;
            EXPECT_FALSE(temporaryLeft(target)) << "operation " << k;
        }
        ASSERT_TRUE(c.save(window));
        EXPECT_NE(testcommon::readFile(target), oldBytes);
    }
}

}  // namespace
