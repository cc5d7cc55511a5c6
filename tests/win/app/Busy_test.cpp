// One rule on the real main window: inside an operation (a command's dialog, a
// password prompt) nothing else starts, and a session end or a close waits.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/AppMessages.h"
#include "app/BookLoad.h"
#include "app/Lifecycle.h"
#include "app/PageDisplay.h"
#include "backup/BackupMessages.h"
#include "backup/RestoreDialog.h"
#include "res/resource.h"
#include "search/SearchMessages.h"
#include "search/SearchWindow.h"
#include "support/DialogAnswerer.h"
#include "tests/common/FileBytes.h"
#include "tests/win/app/AppTestSupport.h"
#include "tests/win/pagelist/DragMessages.h"

namespace {

using namespace apptest;
using testcommon::readFile;

const char REGISTER[] = "パスワード登録";
const char CHECK[] = "認証";

class BusyTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        CreateDirectoryA(gApp.paths.backupFolder.c_str(), nullptr);
        gApp.ini.setting.BackupFileSize = 10;
        gApp.ini.setting.TimeBackup = 1;
        gApp.ini.window.BgSaveInterval = 0;  // every tick saves
    }
    std::string dataFile() const { return gApp.paths.dataFilePath; }
    std::string slot(int n) const { return gApp.paths.backupSlotPaths[static_cast<size_t>(n)]; }
    // The selected page becomes secure under a password registered now.
    void makeSecure() {
        testsupport::DialogAnswerer answer(IDC_PASSWORD_OK, REGISTER);
        answer.setInspector([](HWND dialog) {
            testsupport::setControlText(dialog, IDC_PASSWORD, "pass-word");
            testsupport::setControlText(dialog, IDC_PASSWORD_AGAIN, "pass-word");
        });
        command(IDM_MAKE_SECURE);
        ASSERT_EQ(1, answer.answered());
    }
    std::string pressSearch() {
        SendMessageA(gApp.searchWindow, WM_COMMAND, MAKEWPARAM(IDC_SEARCH_NEXT, BN_CLICKED), 0);
        char status[128] = {};
        GetDlgItemTextA(gApp.searchWindow, IDC_SEARCH_STATUS, status, sizeof status);
        return status;
    }
    // What would start now: another command, a search step, both ticks, a session end.
    struct Tried {
        ItemHandle selected;
        bool written;
        LRESULT sessionMayEnd;
    };
    Tried tryEverything() {
        const std::string data = readFile(dataFile());
        SendMessageA(window, WM_COMMAND, IDM_NEXT_PAGE, 0);
        pressSearch();
        lifecycle::backgroundSaveTick(window, WM_TIMER, lifecycle::BG_SAVE_TIMER, 0);
        lifecycle::backupTick(window, WM_TIMER, lifecycle::BACKUP_TIMER, 0);
        const bool written =
            readFile(dataFile()) != data || GetFileAttributesA(slot(0).c_str()) != INVALID_FILE_ATTRIBUTES;
        return {list().GetSelection(), written, SendMessageA(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF)};
    }
};

TEST_F(BusyTest, InsideEveryDialogOfACommandNothingElseStartsAndNothingIsWritten) {
    select(itemAt(2));
    typeText("needle");
    select(itemAt(0));
    search::showSearchWindow(L"needle");
    gApp.ini.window.DeleteDialog = true;
    const struct {
        int id;
        const char* caption;
    } cases[] = {
        {IDM_RESTORE, backup::messages::RESTORE_CAPTION},
        {IDM_SAVE_PAGE, "名前を付けて保存"},
        {IDM_READ_PAGE, "開く"},
        {IDM_DELETE_PAGE, appmessages::DELETE_CAPTION},
        {IDM_MAKE_SECURE, REGISTER},
        {IDM_STANDARD_FONT, "標準フォントの適応"},
        {IDM_SETTINGS, "設定"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        const ItemHandle shown = list().GetSelection();
        Tried inside{};
        testsupport::DialogAnswerer answer(IDCANCEL, c.caption);
        answer.setInspector([&](HWND) { inside = tryEverything(); });
        command(c.id);
        ASSERT_EQ(1, answer.answered());
        EXPECT_EQ(shown, inside.selected);
        EXPECT_FALSE(inside.written);
        EXPECT_EQ(FALSE, inside.sessionMayEnd);
    }
    // between operations every one of them starts again
    const Tried between = tryEverything();
    EXPECT_EQ(itemAt(2), between.selected) << "the next page, then the search";
    EXPECT_TRUE(between.written);
    EXPECT_EQ(TRUE, between.sessionMayEnd);

    // Delete during a page drag is refused: the dragged page stays, with the editor's text
    gApp.ini.window.DeleteDialog = false;
    const int pages = gBook.pages.count();
    dragmessages::begin(window, itemAt(1));
    ASSERT_TRUE(list().IsDragging());
    SendMessageA(window, WM_COMMAND, IDM_DELETE_PAGE, 0);
    EXPECT_EQ(pages, gBook.pages.count());
    SendMessageA(window, WM_CANCELMODE, 0, 0);
    dragmessages::setButtonDown(false);
}

// A log-off while the restored book's password is asked: refused, and when it is
// forced nothing replaces the book from before; an End Task waits for the end of
// the restore, which leaves both books on disk.
TEST_F(BusyTest, ASessionEndOrCloseInsideARestoreWaitsAndLosesNeitherBook) {
    select(itemAt(0));
    typeText("restored ");
    makeSecure();
    pagedisplay::storeShownPage();
    ASSERT_TRUE(bookload::saveFromUi(slot(7), SaveKind::Periodic));
    select(itemAt(1));
    typeText("from before ");
    const std::string restoredBook = readFile(slot(7));

    testsupport::DialogAnswerer restore(IDOK, backup::messages::RESTORE_CAPTION);
    restore.setInspector([](HWND dialog) { SendDlgItemMessageA(dialog, IDC_RESTORE_LIST, LB_SETCURSEL, 0, 0); });
    testsupport::DialogAnswerer done(IDOK, backup::messages::RESTORED_CAPTION);
    bool unchanged = false, alive = false;
    LRESULT mayEnd = TRUE;
    testsupport::DialogAnswerer prompt(IDC_PASSWORD_CANCEL, CHECK);
    prompt.setInspector([&](HWND) {
        const std::string data = readFile(dataFile());
        mayEnd = SendMessageA(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
        SendMessageA(window, WM_CLOSE, 0, 0);
        alive = IsWindow(window) != FALSE;
        SendMessageA(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
        unchanged = readFile(dataFile()) == data && readFile(slot(7)) == restoredBook &&
                    data.find("from before") != std::string::npos;
    });
    command(IDM_RESTORE);
    EXPECT_EQ(1, prompt.answered()) << "the restored book's first page asks for the password";
    EXPECT_EQ(FALSE, mayEnd);
    EXPECT_TRUE(alive) << "the close waits for the restore";
    EXPECT_TRUE(unchanged) << "the forced end wrote a book";
    EXPECT_FALSE(IsWindow(window)) << "the close followed the restore";
    // the restore stopped with the session: the next start finds both books where they were
    backup::finishCutRestores(gApp.paths.backupSlotPaths, dataFile());
    EXPECT_NE(readFile(dataFile()).find("from before"), std::string::npos);
    EXPECT_EQ(restoredBook, readFile(slot(7)));
}

// The placeholder of a locked page is never saved as its text nor searched.
TEST_F(BusyTest, ALockedPageIsNeitherSavedNorSearchedAsItsPlaceholder) {
    select(itemAt(1));
    typeText("secret");
    makeSecure();
    ASSERT_TRUE(bookload::saveFromUi(dataFile(), SaveKind::ExitData));
    ASSERT_TRUE(bookload::loadIntoUi(window, dataFile()));
    {
        testsupport::DialogAnswerer refuse(IDC_PASSWORD_CANCEL, CHECK);
        select(itemAt(1));
        ASSERT_EQ(1, refuse.answered());
    }
    testsupport::DialogAnswerer refuse(IDC_PASSWORD_CANCEL, CHECK);
    testsupport::DialogAnswerer save(IDCANCEL, "名前を付けて保存");
    command(IDM_SAVE_PAGE);
    EXPECT_EQ(1, refuse.answered()) << "the password asked again";
    EXPECT_EQ(0, save.answered()) << "a file offered for the placeholder";

    search::showSearchWindow(L"未認証");
    CheckRadioButton(gApp.searchWindow, IDC_SEARCH_ALL, IDC_SEARCH_THIS_MEMO, IDC_SEARCH_THIS_MEMO);
    SendMessageA(gApp.searchWindow, WM_COMMAND, MAKEWPARAM(IDC_SEARCH_THIS_MEMO, BN_CLICKED), 0);
    EXPECT_EQ(search::SEARCHED_TO_END, pressSearch());
}

}  // namespace
