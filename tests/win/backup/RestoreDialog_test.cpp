// The restore dialog on the real main window: its list, the swap, a failed load.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <memory>

#include "app/BookLoad.h"
#include "app/Lifecycle.h"
#include "app/PageDisplay.h"
#include "backup/AutoRestore.h"
#include "backup/BackupMessages.h"
#include "backup/RestoreDialog.h"
#include "io/IoMessages.h"
#include "res/resource.h"
#include "store/DataFile.h"
#include "support/DialogAnswerer.h"
#include "tests/common/FileBytes.h"
#include "tests/win/app/AppTestSupport.h"

namespace {

using namespace apptest;
using testcommon::readFile;
namespace msg = backup::messages;

// A slot file whose version block says `kind` and `book`, last written at the given local time.
void writeSlot(const std::string& path, int kind, int book, WORD year, WORD month, WORD day, WORD hour, WORD minute,
               size_t size = 64) {
    unsigned char block[VERSION_BLOCK_SIZE];
    encodeVersionBlock(makeVersionBlock(static_cast<SaveKind>(kind), book), block);
    std::string bytes(reinterpret_cast<char*>(block), sizeof block);
    bytes.resize(size, 'x');
    std::ofstream(path, std::ios::binary) << bytes;
    SYSTEMTIME local = {year, month, 0, day, hour, minute, 30, 0};
    FILETIME localTime, utc;
    SystemTimeToFileTime(&local, &localTime);
    LocalFileTimeToFileTime(&localTime, &utc);
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFileTime(file, nullptr, nullptr, &utc);
    CloseHandle(file);
}

// The list box lines as shown, each with the slot its item data names.
std::vector<std::pair<std::string, int>> listLines(HWND dialog) {
    std::vector<std::pair<std::string, int>> lines;
    const int count = static_cast<int>(SendDlgItemMessageA(dialog, IDC_RESTORE_LIST, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[256] = {};
        SendDlgItemMessageA(dialog, IDC_RESTORE_LIST, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        lines.emplace_back(text, static_cast<int>(SendDlgItemMessageA(dialog, IDC_RESTORE_LIST, LB_GETITEMDATA, i, 0)));
    }
    return lines;
}

class RestoreDialogTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        CreateDirectoryA(gApp.paths.backupFolder.c_str(), nullptr);
        gApp.ini.setting.BackupFileSize = 10;
    }
    std::string slot(int n) const { return gApp.paths.backupSlotPaths[static_cast<size_t>(n)]; }
    std::string dataFile() const { return gApp.paths.dataFilePath; }
    int kindOf(const std::string& path) {
        unsigned char block[VERSION_BLOCK_SIZE];
        EXPECT_TRUE(readFirst32(path, block));
        return decodeVersionBlock(block).saveKind;
    }
    // Opens the dialog, selects the line of `slot` and restores it, confirming.
    // `listed` runs once the dialog shows its list.
    void restoreSlot(
        int slotNumber, const std::function<void()>& listed = [] {}) {
        testsupport::DialogAnswerer restore(IDOK, msg::RESTORE_CAPTION);
        restore.setInspector([&](HWND dialog) {
            const auto lines = listLines(dialog);
            for (size_t i = 0; i < lines.size(); ++i)
                if (lines[i].second == slotNumber) SendDlgItemMessageA(dialog, IDC_RESTORE_LIST, LB_SETCURSEL, i, 0);
            if (GetDlgItem(dialog, IDC_RESTORE_LIST)) listed();  // the dialog, not its confirmation
        });
        testsupport::DialogAnswerer done(IDOK, msg::RESTORED_CAPTION);
        command(IDM_RESTORE);
        EXPECT_EQ(2, restore.answered()) << "the dialog and its confirmation";
        EXPECT_EQ(1, done.answered());
    }
};

TEST_F(RestoreDialogTest, OneSortedLinePerReadableSlotInUse) {
    const int book = gBook.bookNumber;
    writeSlot(slot(3), 1, book, 2026, 1, 2, 3, 4);
    writeSlot(slot(0), 3, book + 1, 2026, 1, 2, 3, 4);  // same minute, another book
    writeSlot(slot(1), 2, book, 2025, 12, 31, 23, 59);
    writeSlot(slot(2), 0, book, 2026, 5, 5, 5, 5, 20);  // too short to list
    writeSlot(slot(4), 7, book, 2026, 2, 1, 0, 0);      // a kind without a label
    writeSlot(slot(10), 0, book, 2026, 3, 1, 0, 0);     // beyond the slots in use
    std::vector<std::pair<std::string, int>> lines;
    testsupport::DialogAnswerer cancel(IDCANCEL, msg::RESTORE_CAPTION);
    cancel.setInspector([&](HWND dialog) { lines = listLines(dialog); });
    command(IDM_RESTORE);
    ASSERT_EQ(1, cancel.answered());
    const std::vector<std::pair<std::string, int>> expected = {
        {"2025/12/31　23:59　backup01.qpd　復元前のデータ", 1},
        {"2026/01/02　03:04　backup00.qpd　削除前のデータ　[※別のブック]", 0},
        {"2026/01/02　03:04　backup03.qpd　定期データ", 3},
        {"2026/02/01　00:00　backup04.qpd　", 4},
    };
    EXPECT_EQ(expected, lines);
    for (const auto& line : lines) EXPECT_EQ(line.second, (line.first[25] - '0') * 10 + (line.first[26] - '0'));
}

TEST_F(RestoreDialogTest, ARestoreSwapsTheBookWithTheSlotAndASecondSwapsBack) {
    select(itemAt(0));
    typeText("state A ");
    pagedisplay::storeShownPage();
    ASSERT_TRUE(bookload::saveFromUi(slot(7), SaveKind::Periodic));
    typeText("state B ");

    const std::string restoredBook = readFile(slot(7));
    restoreSlot(7);
    EXPECT_NE(editorText().find("state A"), std::string::npos);
    EXPECT_EQ(editorText().find("state B"), std::string::npos);
    EXPECT_EQ(static_cast<int>(SaveKind::ExitData), kindOf(dataFile())) << "the restored book is on disk at once";
    EXPECT_EQ(static_cast<int>(SaveKind::BeforeRestore), kindOf(slot(7))) << "the slot holds the book from before";
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(backup::bookFromBeforePath(slot(7)).c_str()));
    const std::string bookFromBefore = readFile(slot(7)), restored = readFile(dataFile());

    // Killed between two steps, the restore leaves these files (data file, slot, the
    // book from before beside the slot); the next start shows both books.
    const struct {
        const char* cut;
        const std::string &data, &slot, waiting, &dataAfter, &slotAfter;
    } cuts[] = {
        {"book from before in the data file", bookFromBefore, restoredBook, "", bookFromBefore, restoredBook},
        {"and beside the slot", bookFromBefore, restoredBook, bookFromBefore, bookFromBefore, restoredBook},
        {"restored book in the data file", restored, restoredBook, bookFromBefore, restored, bookFromBefore},
        {"slot replaced", restored, bookFromBefore, "", restored, bookFromBefore},
    };
    // (the running program holds its own data file: the cut one is a copy beside it)
    const std::string waiting = backup::bookFromBeforePath(slot(7)), cutData = dataFile() + ".cut";
    for (const auto& c : cuts) {
        SCOPED_TRACE(c.cut);
        ASSERT_TRUE(testcommon::writeFile(cutData, c.data) && testcommon::writeFile(slot(7), c.slot));
        DeleteFileA(waiting.c_str());
        if (!c.waiting.empty()) {
            ASSERT_TRUE(testcommon::writeFile(waiting, c.waiting));
        }
        backup::finishCutRestores(gApp.paths.backupSlotPaths, cutData);
        EXPECT_TRUE(readFile(cutData) == c.dataAfter && readFile(slot(7)) == c.slotAfter);
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(waiting.c_str()));
    }

    restoreSlot(7);
    EXPECT_NE(editorText().find("state B"), std::string::npos) << "restoring the same slot brings it back";
}

TEST_F(RestoreDialogTest, ASlotThatCannotTakeTheBookFromBeforeLeavesAStampedCopyOfIt) {
    select(itemAt(0));
    typeText("state A ");
    pagedisplay::storeShownPage();
    ASSERT_TRUE(bookload::saveFromUi(slot(7), SaveKind::Periodic));
    typeText("state B ");
    // Once listed, the slot is held open for reading only: the restore can load it but cannot write over it.
    HANDLE held = INVALID_HANDLE_VALUE;
    restoreSlot(7, [&] {
        held = CreateFileA(slot(7).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    });
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    CloseHandle(held);

    EXPECT_NE(editorText().find("state A"), std::string::npos);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dataFile() + ".??????????????").c_str(), &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, search) << "no stamped copy beside the data file";
    FindClose(search);
    const std::string kept = dataFile().substr(0, dataFile().find_last_of('\\') + 1) + found.cFileName;
    EXPECT_NE(readFile(kept).find("state B"), std::string::npos) << "the book from before, kept";
    EXPECT_EQ(static_cast<int>(SaveKind::BeforeRestore), kindOf(kept));
}

TEST_F(RestoreDialogTest, AFailedLoadLeavesTheDialogOpenTheTimersStoppedAndTheBookAsItWas) {
    writeSlot(slot(2), 1, gBook.bookNumber, 2026, 1, 1, 0, 0);
    std::string junk = readFile(slot(2));
    junk.replace(0, 7, "nothing");  // no known version magic: it cannot be loaded
    std::ofstream(slot(2), std::ios::binary) << junk;
    select(itemAt(1));
    typeText("kept");
    const int pages = gBook.pages.count();

    // "restore" presses OK in the dialog and its confirmation; after the error, "closer" cancels the dialog.
    auto restore = std::make_unique<testsupport::DialogAnswerer>(IDOK, msg::RESTORE_CAPTION);
    restore->setInspector([](HWND dialog) { SendDlgItemMessageA(dialog, IDC_RESTORE_LIST, LB_SETCURSEL, 0, 0); });
    std::unique_ptr<testsupport::DialogAnswerer> closer;
    bool timerRunning = true, dialogOpen = false;
    testsupport::DialogAnswerer failed(IDOK, msg::LOAD_FAILED_CAPTION);
    failed.setInspector([&](HWND) {
        timerRunning = KillTimer(window, lifecycle::BACKUP_TIMER) || KillTimer(window, lifecycle::BG_SAVE_TIMER);
        dialogOpen = FindWindowA("#32770", msg::RESTORE_CAPTION) != nullptr;
        restore.reset();
        closer = std::make_unique<testsupport::DialogAnswerer>(IDCANCEL, msg::RESTORE_CAPTION);
    });
    command(IDM_RESTORE);
    ASSERT_EQ(1, failed.answered());
    EXPECT_EQ(failed.texts()[0], msg::LOAD_FAILED_TEXT);
    EXPECT_FALSE(timerRunning) << "periodic backups stay stopped while the dialog is open";
    EXPECT_TRUE(dialogOpen);
    ASSERT_TRUE(closer);
    EXPECT_EQ(1, closer->answered());
    EXPECT_TRUE(KillTimer(window, lifecycle::BACKUP_TIMER)) << "closing starts the timers again";
    EXPECT_TRUE(KillTimer(window, lifecycle::BG_SAVE_TIMER));
    lifecycle::startTimers(window);
    EXPECT_EQ(pages, gBook.pages.count());
    EXPECT_NE(editorText().find("kept"), std::string::npos);
    EXPECT_EQ(static_cast<int>(SaveKind::BeforeRestore), kindOf(dataFile()));
}

// A restore that cannot keep its promise says so, never shows success, and leaves
// the window with the book it had: a slot gone since the list was made, and a
// restored book that the data file could not take.
TEST_F(RestoreDialogTest, ARestoreThatCannotSwapSafelyIsReportedAndLeavesTheBook) {
    HANDLE held = INVALID_HANDLE_VALUE;
    // The dialog on hooks whose loads let another program hold the data file, without
    // sharing, from just after the slot came in until the file is read again.
    const auto runHeld = [&] {
        backup::BookHooks hooks;
        hooks.stopTimers = hooks.startTimers = [] {};
        hooks.storeShownPage = pagedisplay::storeShownPage;
        hooks.saveBook = bookload::saveFromUi;
        hooks.loadBook = [&](const std::string& path) {
            if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
            held = INVALID_HANDLE_VALUE;
            const bool loaded = bookload::loadIntoUi(window, path);
            if (path != dataFile())
                held = CreateFileA(dataFile().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            return loaded;
        };
        const backup::RestoreSetup setup{gApp.paths.backupSlotPaths, 10, dataFile(), gBook.bookNumber};
        backup::runRestoreDialog(window, setup, hooks);
    };
    const struct {
        const char* name;
        std::function<void()> listed;  // once the list is shown
        std::function<void()> run;
        const char* caption;
        std::string text;
        bool dataFileKept;
    } cases[] = {
        {"slot gone", [&] { DeleteFileA(slot(7).c_str()); }, [&] { command(IDM_RESTORE); }, msg::LOAD_FAILED_CAPTION,
         msg::SLOT_GONE_TEXT + slot(7), true},
        {"restored book not written", [] {}, runHeld, msg::RESTORE_STOPPED_CAPTION, msg::NOT_WRITTEN_UNDONE_TEXT,
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string before = std::string("in the slot: ") + c.name, after = std::string("after: ") + c.name;
        select(itemAt(0));
        typeText(before.c_str());
        pagedisplay::storeShownPage();
        ASSERT_TRUE(bookload::saveFromUi(slot(7), SaveKind::Periodic));
        const std::string slotBytes = readFile(slot(7));
        typeText(after.c_str());
        const std::string dataBytes = readFile(dataFile());

        // "restore" chooses slot 7 and confirms; after the error, "closer" cancels the dialog
        auto restore = std::make_unique<testsupport::DialogAnswerer>(IDOK, msg::RESTORE_CAPTION);
        restore->setInspector([&](HWND dialog) {
            if (!GetDlgItem(dialog, IDC_RESTORE_LIST)) return;
            const auto lines = listLines(dialog);
            for (size_t i = 0; i < lines.size(); ++i)
                if (lines[i].second == 7) SendDlgItemMessageA(dialog, IDC_RESTORE_LIST, LB_SETCURSEL, i, 0);
            c.listed();
        });
        std::unique_ptr<testsupport::DialogAnswerer> closer;
        testsupport::DialogAnswerer failed(IDOK, c.caption);
        failed.setInspector([&](HWND) {
            restore.reset();
            closer = std::make_unique<testsupport::DialogAnswerer>(IDCANCEL, msg::RESTORE_CAPTION);
        });
        testsupport::DialogAnswerer done(IDOK, msg::RESTORED_CAPTION);
        // a slot taken for a missing data file would start a new book and offer a shortcut
        testsupport::DialogAnswerer newBook(IDCANCEL, iomessages::SHORTCUT_CAPTION);
        c.run();
        if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
        held = INVALID_HANDLE_VALUE;
        EXPECT_EQ(1, failed.answered());
        if (failed.answered() > 0) {
            EXPECT_EQ(c.text, failed.texts()[0]);
        }
        EXPECT_EQ(0, done.answered()) << "success shown";
        EXPECT_EQ(0, newBook.answered()) << "a new book started";
        if (closer) {
            EXPECT_EQ(1, closer->answered());
        }
        select(itemAt(0));
        EXPECT_NE(editorText().find(after), std::string::npos) << "the book in the window";
        if (c.dataFileKept) {
            EXPECT_EQ(dataBytes, readFile(dataFile()));
        } else {
            EXPECT_EQ(slotBytes, readFile(slot(7)));
        }
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((dataFile() + ".2*").c_str(), &found);
        EXPECT_EQ(INVALID_HANDLE_VALUE, search) << "a stamped copy";
        if (search != INVALID_HANDLE_VALUE) FindClose(search);
    }
}

// "Initialise" after an unusable data file that another program holds without
// sharing: it cannot be moved aside, so the program says so and ends untouched.
TEST_F(RestoreDialogTest, StartingEmptyOverADataFileAnotherProgramHoldsIsRefusedWithAWord) {
    const std::string unusable = "not a book at all, and more than 32 bytes long.";
    ASSERT_TRUE(testcommon::writeFile(dataFile(), unusable));
    HANDLE held = CreateFileA(dataFile().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    const backup::AutoRestoreSetup setup{gApp.paths.backupSlotPaths, 10, dataFile()};
    testsupport::DialogAnswerer ok(IDOK, msg::START_EMPTY_CAPTION);
    const backup::AutoRestoreResult result =
        backup::autoRestore(window, setup, [&](const std::string& path) { return bookload::loadIntoUi(window, path); });
    CloseHandle(held);
    EXPECT_EQ(backup::AutoRestoreResult::Refused, result);
    const std::vector<std::string> expected = {dataFile() + msg::START_EMPTY_QUESTION,
                                               msg::DATA_FILE_BUSY_TEXT + dataFile()};
    EXPECT_EQ(expected, ok.texts());
    EXPECT_EQ(unusable, readFile(dataFile()));
}

}  // namespace
