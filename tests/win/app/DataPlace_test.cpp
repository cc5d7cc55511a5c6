// Where the book lives: a data file whose place cannot be reached stops the start before
// anything is written; folders are one folder by what the file system says, whatever the
// spelling; the automatic restore takes only the damaged book's own backups.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "app/AppMessages.h"
#include "backup/BackupMessages.h"
#include "res/dialogs/SettingsDialog.h"
#include "store/DataFile.h"
#include "store/FileFaultText.h"
#include "store/FolderIdentity.h"
#include "tests/common/FileBytes.h"
#include "tests/common/OnePageBook.h"
#include "tests/win/app/AppTestSupport.h"

namespace {

using testsupport::DialogAnswerer;

std::string bookBytes(const std::string& title, std::int32_t bookNumber) {
    return testcommon::onePageBook(title, bookNumber, SaveKind::ExitData);
}

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
    return text;
}

// Every name in a folder (files and folders), sorted.
std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

// A drive letter this machine does not have.
std::string absentDrive() {
    for (char letter = 'Q'; letter <= 'Y'; ++letter) {
        const std::string root = std::string(1, letter) + ":\\";
        if (GetDriveTypeA(root.c_str()) == DRIVE_NO_ROOT_DIR) return root.substr(0, 2);
    }
    return std::string();
}

// A program folder whose settings put the data file in `books`, which holds a book.
class DataPlaceTest : public testing::Test {
protected:
    void SetUp() override {
        CreateDirectoryA(program.file("data").c_str(), nullptr);
        CreateDirectoryA(books().c_str(), nullptr);
        ASSERT_TRUE(testcommon::writeFile(books() + "\\quiltpad.qpd", book));
    }
    void TearDown() override { filefaults::failOpens("", 0); }

    std::string books() const { return program.file("books"); }
    void settingsNameDataFolder(const std::string& folder) {
        ASSERT_TRUE(testcommon::writeFile(program.file("data\\quiltpad.ini"), settings(folder)));
    }
    static std::string settings(const std::string& folder) { return "[SETTING]\r\nQpdDirPath = " + folder + "\r\n"; }

    testapp::TempFolder program;
    const std::string book = bookBytes("five pages", 4242);
};

// How a row puts the data file out of reach.
enum class Make { Inject, NoFolder, NoDrive, Held };

struct UnreachableRow {
    const char* name;
    Make make;
    unsigned long error;  // for Inject: what the platform answers
    FileFault fault;
};

const UnreachableRow UNREACHABLE[] = {
    {"a drive that is gone", Make::Inject, ERROR_INVALID_DRIVE, FileFault::NoDrive},
    {"a share offline", Make::Inject, ERROR_BAD_NETPATH, FileFault::Offline},
    {"a share that went away", Make::Inject, ERROR_NETNAME_DELETED, FileFault::Offline},
    {"a device not ready", Make::Inject, ERROR_NOT_READY, FileFault::NotReady},
    {"no medium", Make::Inject, ERROR_NO_MEDIA_IN_DRIVE, FileFault::NotReady},
    {"access denied", Make::Inject, ERROR_ACCESS_DENIED, FileFault::Denied},
    {"a held file", Make::Inject, ERROR_SHARING_VIOLATION, FileFault::InUse},
    {"an unknown failure", Make::Inject, ERROR_IO_DEVICE, FileFault::ReadError},
    {"a missing folder", Make::NoFolder, 0, FileFault::NoFolder},
    {"a missing drive letter", Make::NoDrive, 0, FileFault::NoDrive},
    {"a file another program holds", Make::Held, 0, FileFault::InUse},
};

TEST_F(DataPlaceTest, AnUnreachableDataFileStopsTheStartAndCancelWritesNothing) {
    for (const UnreachableRow& row : UNREACHABLE) {
        SCOPED_TRACE(row.name);
        std::string folder = books();
        if (row.make == Make::NoFolder) folder = program.file("gone");
        if (row.make == Make::NoDrive) folder = absentDrive() + "\\books";
        settingsNameDataFolder(folder);
        if (row.make == Make::Inject) filefaults::failOpens(folder, row.error);
        HANDLE held = row.make == Make::Held ? CreateFileA((folder + "\\quiltpad.qpd").c_str(), GENERIC_READ, 0,
                                                           nullptr, OPEN_EXISTING, 0, nullptr)
                                             : INVALID_HANDLE_VALUE;

        DialogAnswerer cancel(IDCANCEL, appmessages::UNREACHABLE_CAPTION);
        HWND window = testapp::createMainWindowIn(program.path());
        testapp::pumpMessages();
        filefaults::failOpens("", 0);
        if (held != INVALID_HANDLE_VALUE) CloseHandle(held);

        ASSERT_EQ(cancel.answered(), 1);
        EXPECT_EQ(cancel.texts()[0], appmessages::UNREACHABLE_TEXT + folder + "\\quiltpad.qpd" +
                                         appmessages::UNREACHABLE_REASON + fileFaultText(row.fault) +
                                         appmessages::UNREACHABLE_HINT);
        EXPECT_FALSE(IsWindow(window)) << "the start ends";
        testapp::destroyMainWindow(window);
        EXPECT_EQ(testcommon::readFile(books() + "\\quiltpad.qpd"), book);
        EXPECT_EQ(namesIn(books()), std::vector<std::string>{"quiltpad.qpd"});
        EXPECT_EQ(namesIn(program.file("data")), std::vector<std::string>{"quiltpad.ini"}) << "no backup";
        EXPECT_EQ(testcommon::readFile(program.file("data\\quiltpad.ini")), settings(folder)) << "settings kept";
    }
}

TEST_F(DataPlaceTest, RetryReadsTheBookOnceItsPlaceIsBack) {
    settingsNameDataFolder(books());
    filefaults::failOpens(books(), ERROR_NOT_READY);
    DialogAnswerer retry(IDRETRY, appmessages::UNREACHABLE_CAPTION);
    retry.setInspector([](HWND) { filefaults::failOpens("", 0); });  // the stick is back
    HWND window = testapp::createMainWindowIn(program.path());
    EXPECT_EQ(retry.answered(), 1);
    ASSERT_TRUE(IsWindow(window));
    ASSERT_EQ(gBook.pages.count(), 1);
    EXPECT_EQ(gBook.pages.recordAt(0).title, "five pages");
    EXPECT_EQ(gBook.bookNumber, 4242);
    testapp::destroyMainWindow(window);
}

TEST(FolderIdentity, OneFolderByAnySpellingAndNoOtherFolder) {
    testapp::TempFolder temp;
    const std::string folder = temp.file("A Long Folder Name");
    const std::string other = temp.file("another");
    CreateDirectoryA(folder.c_str(), nullptr);
    CreateDirectoryA(other.c_str(), nullptr);
    char shortName[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameA(folder.c_str(), shortName, MAX_PATH), 0u);
    ASSERT_NE(std::string(shortName), folder);
    const struct {
        std::string spelling;
        bool same;
    } rows[] = {{upper(folder), true}, {folder + "\\", true},
                {shortName, true},     {folder + "\\..\\" + "A LONG FOLDER NAME", true},
                {other, false},        {temp.file("missing"), false}};
    for (const auto& row : rows) {
        EXPECT_EQ(fileidentity::sameFolder(folder, row.spelling), row.same) << row.spelling;
        EXPECT_EQ(fileidentity::sameFile(folder + "\\quiltpad.qpd", row.spelling + "\\QUILTPAD.QPD"), row.same)
            << row.spelling;
    }
    fileidentity::FolderId id;
    EXPECT_EQ(fileidentity::identifyFolder(temp.file("missing"), id), FileFault::NoFolder);
}

// The running book's own folder chosen again in another spelling is not "another book".
TEST_F(DataPlaceTest, TheOwnDataFolderInAnotherSpellingKeepsItsBook) {
    settingsNameDataFolder(books());
    HWND window = testapp::createMainWindowIn(program.path());
    ASSERT_TRUE(IsWindow(window));
    char shortName[MAX_PATH] = {};
    GetShortPathNameA(books().c_str(), shortName, MAX_PATH);
    DialogAnswerer told(IDOK, appmessages::FOLDER_CHANGED_CAPTION);
    for (const std::string& spelling : {upper(books()), books() + "\\", std::string(shortName)}) {
        DialogAnswerer ok(IDOK, "設定");
        ok.setInspector([&](HWND dialog) {
            HWND tab = GetDlgItem(dialog, IDC_SETTINGS_TAB);
            for (HWND page = GetWindow(tab, GW_CHILD); page; page = GetWindow(page, GW_HWNDNEXT))
                if (GetDlgItem(page, IDC_SET_DATA_DIR)) testsupport::setControlText(page, IDC_SET_DATA_DIR, spelling);
        });
        SendMessageA(window, WM_COMMAND, IDM_SETTINGS, 0);
        EXPECT_EQ(ok.answered(), 1) << spelling;
    }
    EXPECT_EQ(told.answered(), 0) << (told.answered() ? told.texts()[0] : "");
    EXPECT_EQ(namesIn(books()), std::vector<std::string>{"quiltpad.qpd"});
    testapp::destroyMainWindow(window);
}

// A damaged data file that still shows its book number takes only that book's backups.
TEST_F(DataPlaceTest, TheAutomaticRestoreTakesOnlyTheDamagedBooksOwnBackups) {
    const struct {
        const char* name;
        std::string data;  // the damaged data file
        std::int32_t slotBook;
        bool restored;
    } rows[] = {
        {"its own backup", book.substr(0, book.size() - 3), 4242, true},
        {"another book's backup", book.substr(0, book.size() - 3), 77, false},
        {"no number to tell", std::string(100, 'x'), 77, true},
    };
    CreateDirectoryA(program.file("data\\backup").c_str(), nullptr);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        for (const std::string& name : namesIn(program.file("data\\backup")))  // the last row's exit backup
            DeleteFileA(program.file("data\\backup\\" + name).c_str());
        ASSERT_TRUE(testcommon::writeFile(program.file("data\\quiltpad.qpd"), row.data));
        ASSERT_TRUE(testcommon::writeFile(program.file("data\\backup\\backup00.qpd"), bookBytes("slot", row.slotBook)));
        DialogAnswerer restored(IDOK, backup::messages::AUTO_RESTORED_CAPTION);
        DialogAnswerer question(IDCANCEL, backup::messages::START_EMPTY_CAPTION);
        HWND window = testapp::createMainWindowIn(program.path());
        testapp::pumpMessages();
        EXPECT_EQ(restored.answered(), row.restored ? 1 : 0);
        EXPECT_EQ(question.answered(), row.restored ? 0 : 1);
        if (!row.restored && question.answered() == 1) {
            EXPECT_EQ(question.texts()[0],
                      program.file("data\\quiltpad.qpd") + backup::messages::NO_OWN_BACKUP_QUESTION);
        }
        if (row.restored) {
            EXPECT_EQ(gBook.pages.recordAt(0).title, "slot");
        }
        testapp::destroyMainWindow(window);
    }
}

}  // namespace
