// Nothing written to the wrong place: the editor is stored only into the page it holds,
// nothing is written before the book was read, every change of a page is kept, and a book
// found in a newly chosen data folder is never replaced without a word.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "app/AppMessages.h"
#include "app/BookLoad.h"
#include "app/Lifecycle.h"
#include "app/PageDisplay.h"
#include "backup/BackupMessages.h"
#include "res/dialogs/SettingsDialog.h"
#include "res/resource.h"
#include "secure/SecureMessages.h"
#include "settings/IniSettings.h"
#include "settings/SettingsMessages.h"
#include "secure/SecurePages.h"
#include "store/AtomicFile.h"
#include "store/DataFile.h"
#include "support/DialogAnswerer.h"
#include "tests/common/FileBytes.h"
#include "tests/win/app/AppTestSupport.h"
#include "tests/win/pagelist/DragMessages.h"

namespace {

using namespace apptest;
using testsupport::DialogAnswerer;

const char PASSWORD[] = "pass-word";

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Both timers fire at once, each set to write now.
void tickNow(HWND window) {
    gApp.ini.window.BgSaveInterval = 0;
    gApp.ini.setting.TimeBackup = 1;
    lifecycle::backgroundSaveTick(window, WM_TIMER, lifecycle::BG_SAVE_TIMER, GetTickCount());
    lifecycle::backupTick(window, WM_TIMER, lifecycle::BACKUP_TIMER, GetTickCount());
}

// The titles and plain texts of the data file, in tree order.
std::vector<std::string> savedTexts(const std::string& path) {
    PageTable table;
    DataFileHeader header;
    VersionBlock version;
    EXPECT_TRUE(readDataFile(path, table, header, version));
    std::vector<std::string> texts;
    for (int i = 0; i < table.count(); ++i) texts.push_back(table.recordAt(i).text);
    return texts;
}

bool holds(const std::string& rtf, const std::string& text) { return rtf.find(text) != std::string::npos; }

// A small picture, and nothing else, on the clipboard.
void putBitmapOnClipboard() {
    const RECT frame = {0, 0, 200, 200};  // 0.01 mm
    HDC dc = CreateEnhMetaFileA(nullptr, nullptr, &frame, nullptr);
    Rectangle(dc, 0, 0, 8, 8);
    HENHMETAFILE picture = CloseEnhMetaFile(dc);
    if (!OpenClipboard(nullptr)) return;
    EmptyClipboard();
    SetClipboardData(CF_ENHMETAFILE, picture);
    CloseClipboard();
}

class BookSafetyTest : public MainWindowTest {
protected:
    std::string dataFile() const { return gApp.paths.dataFilePath; }
    std::string slot0() const { return gApp.paths.backupSlotPaths[0]; }

    // Page 2 becomes a secure page; the password is then forgotten, so showing it asks again.
    void makeLockedSecurePage() {
        select(itemAt(2));
        typeText("secret text");
        DialogAnswerer answer(IDC_PASSWORD_OK, "パスワード登録");
        answer.setInspector([](HWND dialog) {
            testsupport::setControlText(dialog, IDC_PASSWORD, PASSWORD);
            testsupport::setControlText(dialog, IDC_PASSWORD_AGAIN, PASSWORD);
        });
        command(IDM_MAKE_SECURE);
        ASSERT_EQ(answer.answered(), 1);
        ASSERT_TRUE(recordOf(itemAt(2)).isSecure);
        select(itemAt(0));
        secure::clearAuthentication();
    }
};

// A tick while the editor holds one page and the list shows another (a password dialog,
// a drag that lost the mouse) stores the editor into its own page, never the selection;
// inside the dialog it waits for the next tick.
TEST_F(BookSafetyTest, ATickStoresTheEditorOnlyIntoThePageItHolds) {
    makeLockedSecurePage();
    std::string cipher, after;  // held, or at its place in the data file
    ASSERT_TRUE(loadCipher(recordOf(itemAt(2)), cipher));
    DialogAnswerer complaint(IDOK, securemsg::SECURE_PAGE_CAPTION);

    // the password dialog of a selected secure page, cancelled
    select(itemAt(0));
    typeText("typed on the first page");
    const std::string before = testcommon::readFile(dataFile());
    std::string inside;
    DialogAnswerer cancel(IDCANCEL, "認証");
    cancel.setInspector([&](HWND) {
        tickNow(window);
        inside = testcommon::readFile(dataFile());
    });
    select(itemAt(2));
    ASSERT_EQ(cancel.answered(), 1);
    EXPECT_EQ(before, inside) << "a tick inside the dialog wrote";
    tickNow(window);
    EXPECT_EQ(complaint.answered(), 0) << complaint.texts()[0];
    EXPECT_TRUE(loadCipher(recordOf(itemAt(2)), after));
    EXPECT_EQ(after, cipher);
    EXPECT_TRUE(holds(savedTexts(dataFile())[0], "typed on the first page"));

    // a page drag that lost the capture (Alt+Tab, a menu): the drag ends without a move
    select(itemAt(1));
    dragmessages::begin(window, itemAt(1));
    ASSERT_TRUE(list().IsDragging());
    SendMessageA(window, WM_CANCELMODE, 0, 0);
    EXPECT_FALSE(list().IsDragging());
    dragmessages::setButtonDown(false);
    select(itemAt(0));
    typeText(" and more");
    tickNow(window);
    const std::vector<std::string> texts = savedTexts(dataFile());
    EXPECT_TRUE(holds(texts[0], "and more"));
    EXPECT_FALSE(holds(texts[1], "typed on the first page")) << "the second page got the first one's text";
    EXPECT_EQ(complaint.answered(), 0);
}

// The button released inside the password dialog: no drag begins, so the next click drops nothing.
TEST_F(BookSafetyTest, ADragWhoseButtonWasReleasedInThePasswordDialogNeverBegins) {
    makeLockedSecurePage();
    const std::vector<ItemHandle> before = allItems();
    DialogAnswerer cancel(IDCANCEL, "認証");
    cancel.setInspector([](HWND) { dragmessages::setButtonDown(false); });
    dragmessages::begin(window, itemAt(2));
    ASSERT_EQ(cancel.answered(), 1);
    EXPECT_FALSE(list().IsDragging());
    dragmessages::moveTo(window, dragmessages::labelPoint(itemAt(0)));
    dragmessages::release(window);
    EXPECT_EQ(allItems(), before) << "nothing moved";
}

// Each change is kept across a switch, even where the control does not call it a change.
TEST_F(BookSafetyTest, EveryChangeOfAPageIsStored) {
    struct Case {
        const char* name;
        std::function<void()> change;  // on a page holding "abcdef", stored by a tick just before
        const char* expected;          // the text shown after a switch away and back
        const char* stored;            // or a part of the page's stored RTF
    };
    auto selectRange = [](LONG from, LONG to) { setEditorSelection(from, to); };
    const Case cases[] = {
        {"cut",
         [&] {
             selectRange(1, 3);
             command(IDM_CUT);
         },
         "adef", nullptr},
        {"clear",
         [&] {
             selectRange(0, 2);
             command(IDM_CLEAR);
         },
         "cdef", nullptr},
        {"undo",
         [&] {
             selectRange(6, 6);
             typeText("xyz");
             tickNow(window);
             command(IDM_UNDO);
         },
         "abcdef", nullptr},
        {"redo",
         [&] {
             selectRange(6, 6);
             typeText("xyz");
             command(IDM_UNDO);
             tickNow(window);
             command(IDM_REDO);
         },
         "abcdefxyz", nullptr},
        {"date stamp",
         [&] {
             selectRange(0, 6);
             command(IDM_INSERT_DATE);
         },
         nullptr, nullptr},
        {"a picture pasted alone",
         [&] {
             selectRange(6, 6);
             putBitmapOnClipboard();
             command(IDM_PASTE);
         },
         nullptr, "\\pict"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        select(itemAt(1));
        SetWindowTextA(editor(), "");
        typeText("abcdef");
        tickNow(window);
        c.change();
        select(itemAt(0));
        select(itemAt(1));
        const std::string shown = editorText();
        if (c.expected) {
            EXPECT_EQ(shown, c.expected);
        } else if (!c.stored) {
            EXPECT_NE(shown, "abcdef");
        }
        if (c.stored) {
            EXPECT_TRUE(holds(recordOf(itemAt(1)).text, c.stored)) << recordOf(itemAt(1)).text;
        }
    }
    // and across an exit and a reload
    select(itemAt(1));
    SetWindowTextA(editor(), "");
    typeText("abcdef");
    tickNow(window);
    setEditorSelection(0, 1);
    command(IDM_CUT);
    testapp::destroyMainWindow(window);
    window = testapp::createMainWindowIn(folder.path());
    ASSERT_NE(window, nullptr);
    select(itemAt(1));
    EXPECT_EQ(editorText(), "bcdef");
}

// While the start-up question or the bytes-after-the-end message is open, the ticks and a
// session end write nothing: the file stays as it was for its rescue.
TEST_F(BookSafetyTest, NothingIsWrittenBeforeTheBookWasRead) {
    struct Case {
        const char* name;
        const char* caption;
        int button;
        std::function<void(std::string&)> damage;
        bool sessionEnds;  // Windows logs the user off while the message is open
    };
    auto cutShort = [](std::string& bytes) { bytes.resize(bytes.size() - 7); };
    const Case cases[] = {
        {"cut short", backup::messages::START_EMPTY_CAPTION, IDCANCEL, cutShort, false},
        {"bytes after the end", backup::messages::EXTRA_BYTES_CAPTION, IDOK,
         [](std::string& bytes) { bytes += "stray"; }, false},
        {"log-off", backup::messages::START_EMPTY_CAPTION, IDCANCEL, cutShort, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(bookload::saveFromUi(dataFile(), SaveKind::ExitData));
        lifecycle::setSaveAtExit(false);
        testapp::destroyMainWindow(window);
        std::string bytes = testcommon::readFile(dataFile());
        c.damage(bytes);
        std::ofstream(dataFile(), std::ios::binary | std::ios::trunc) << bytes;
        for (int i = 0; i < 3; ++i) DeleteFileA(slot0().c_str());

        DialogAnswerer answer(c.button, c.caption);
        int checked = 0;
        answer.setInspector([&](HWND) {
            tickNow(gApp.mainWindow);
            if (c.sessionEnds) SendMessageA(gApp.mainWindow, WM_ENDSESSION, TRUE, 0);
            EXPECT_EQ(testcommon::readFile(dataFile()), bytes);
            EXPECT_FALSE(exists(slot0()));
            ++checked;
        });
        window = testapp::createMainWindowIn(folder.path(), answer);
        EXPECT_EQ(checked, 1);
        if (!IsWindow(window)) {  // refused: nothing at all is written at the close
            EXPECT_EQ(testcommon::readFile(dataFile()), bytes);
            DeleteFileA(dataFile().c_str());
            window = testapp::createMainWindowIn(folder.path());  // a first start for the next case
        }
    }
}

// The data folder moved to one that already holds another book: that book is renamed aside
// and named to the user, and this book is written there from then on.
TEST_F(BookSafetyTest, ABookInTheNewDataFolderIsKeptAsideAndNamed) {
    testapp::TempFolder other;
    const std::string theirs = other.file("quiltpad.qpd");
    const std::string theirBytes = "another book's bytes";
    std::ofstream(theirs, std::ios::binary) << theirBytes;

    bool useOther = true;
    std::string backupFolder;  // empty: the backups stay where they are
    DialogAnswerer settings(IDOK, "設定");
    settings.setInspector([&](HWND dialog) { testsupport::chooseFolders(dialog, useOther ? other.path() : "", backupFolder); });
    DialogAnswerer told(IDOK, appmessages::FOLDER_CHANGED_CAPTION);
    command(IDM_SETTINGS);
    ASSERT_EQ(settings.answered(), 1);
    ASSERT_EQ(told.answered(), 1);
    const std::string intro = appmessages::OTHER_BOOK_KEPT_TEXT;
    const std::string kept = told.texts()[0].substr(intro.size());
    EXPECT_EQ(kept.compare(0, theirs.size() + 1, theirs + "."), 0) << kept;
    EXPECT_EQ(testcommon::readFile(kept), theirBytes);

    select(itemAt(1));
    typeText("my book");
    tickNow(window);
    EXPECT_TRUE(holds(savedTexts(theirs)[1], "my book"));
    // back and there again: this run's own file there is not set aside
    useOther = false;
    command(IDM_SETTINGS);
    useOther = true;
    command(IDM_SETTINGS);
    EXPECT_EQ(told.answered(), 1);
    EXPECT_TRUE(holds(savedTexts(theirs)[1], "my book"));

    // a backup folder holding this book's backups is taken without a word
    testapp::TempFolder otherBackups, ownBackups;
    const std::int32_t mine = gBook.bookNumber;
    gBook.bookNumber = mine + 1;
    ASSERT_TRUE(bookload::saveFromUi(otherBackups.file("backup03.qpd"), SaveKind::Periodic));
    gBook.bookNumber = mine;
    ASSERT_TRUE(bookload::saveFromUi(ownBackups.file("backup03.qpd"), SaveKind::Periodic));
    backupFolder = ownBackups.path();
    command(IDM_SETTINGS);
    EXPECT_EQ(told.answered(), 1);
    // another book's backups: OK is refused with a word, and the dialog cancelled here keeps the old folder
    told.setInspector([](HWND box) { PostMessageA(GetWindow(box, GW_OWNER), WM_COMMAND, IDCANCEL, 0); });
    backupFolder = otherBackups.path();
    command(IDM_SETTINGS);
    ASSERT_EQ(told.answered(), 2);
    EXPECT_EQ(told.texts()[1], settingsmessages::OTHER_BOOK_BACKUPS_TEXT + otherBackups.path() +
                                   settingsmessages::OTHER_BOOK_BACKUPS_HINT);
    EXPECT_EQ(gApp.paths.backupFolder, ownBackups.path());
    useOther = false;  // the exit writes into the test's own folder, not into folders already gone
    backupFolder.clear();
    command(IDM_SETTINGS);
}

// The new data folder holds this very book (its book number): a copy made of the data file is
// replaced without a word; another version of it is kept beside it first and named.
TEST_F(BookSafetyTest, ThisBookInTheNewDataFolderIsReplacedAndAnotherVersionOfItKept) {
    for (const bool otherVersion : {false, true}) {
        SCOPED_TRACE(otherVersion ? "another version" : "a copy");
        testapp::TempFolder other;
        const std::string theirs = other.file("quiltpad.qpd");
        select(itemAt(1));
        typeText(otherVersion ? "the other version" : "as copied");
        pagedisplay::storeShownPage();
        ASSERT_TRUE(lifecycle::saveBook(window, false));
        ASSERT_TRUE(CopyFileA(dataFile().c_str(), theirs.c_str(), FALSE));
        if (otherVersion) {
            typeText(" and then here");
            pagedisplay::storeShownPage();
            ASSERT_TRUE(lifecycle::saveBook(window, false));
        }
        const std::string theirBytes = testcommon::readFile(theirs);
        DialogAnswerer settings(IDOK, "設定");
        settings.setInspector([&](HWND dialog) { testsupport::chooseFolders(dialog, other.path(), ""); });
        DialogAnswerer told(IDOK, appmessages::FOLDER_CHANGED_CAPTION);
        command(IDM_SETTINGS);
        ASSERT_EQ(told.answered(), otherVersion ? 1 : 0);
        EXPECT_EQ(testcommon::readFile(theirs), testcommon::readFile(dataFile())) << "the window's book is there";
        if (otherVersion) {
            const std::string intro = appmessages::OTHER_VERSION_MOVED_TEXT;
            EXPECT_EQ(testcommon::readFile(told.texts()[0].substr(intro.size())), theirBytes);
        }
        settings.setInspector([&](HWND dialog) { testsupport::chooseFolders(dialog, "", ""); });
        command(IDM_SETTINGS);  // back to the test's own folder before this one goes
    }
}

// From the moment OK moved the data folder, the settings file names it and the book of that
// moment is there and in the old folder: a start after a kill finds it. A folder that refuses
// the book is not taken, and the user is told.
TEST_F(BookSafetyTest, AMovedDataFolderHoldsTheBookAndIsNamedAtOnce) {
    testapp::TempFolder other, refusing;
    const std::string old = dataFile();
    std::string chosen = other.path();
    DialogAnswerer settings(IDOK, "設定"), told(IDOK, appmessages::FOLDER_CHANGED_CAPTION);
    settings.setInspector([&](HWND dialog) { testsupport::chooseFolders(dialog, chosen, ""); });
    auto namedFolder = [&] { return ini::readIni(gApp.paths.iniPath, ini::defaultSettings(640, 480)).setting.QpdDirPath; };
    select(itemAt(1));
    typeText("before the move");
    command(IDM_SETTINGS);
    EXPECT_EQ(namedFolder(), other.path());
    for (const std::string& file : {old, other.file("quiltpad.qpd")}) EXPECT_TRUE(holds(savedTexts(file)[1], "before the move")) << file;

    atomicfaults::failOperation(0);
    ASSERT_TRUE(lifecycle::saveBook(window, false));
    atomicfaults::failOperation(atomicfaults::operationsCounted() + 1);  // the first of the second save
    chosen = refusing.path();
    command(IDM_SETTINGS);
    atomicfaults::failOperation(0);
    ASSERT_EQ(told.answered(), 1);
    EXPECT_EQ(told.texts()[0], appmessages::FOLDER_UNWRITABLE_TEXT + refusing.file("quiltpad.qpd"));
    EXPECT_EQ(gApp.paths.dataFilePath, other.file("quiltpad.qpd"));
    EXPECT_EQ(namedFolder(), other.path());
    chosen.clear();  // the exit writes into the test's own folder
    command(IDM_SETTINGS);
}

}  // namespace
