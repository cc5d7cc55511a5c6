// Characters outside code page 932 in the real main window: a page keeps them through
// everything it goes through, and the names a file keeps in code page 932 refuse them.
// Run under a Japanese and an English system code page alike.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/AppMessages.h"
#include "app/BookLoad.h"
#include "backup/BackupMessages.h"
#include "editor/Clipboard.h"
#include "io/TextFiles.h"
#include "res/dialogs/PasswordDialogs.h"
#include "res/dialogs/RestoreDialog.h"
#include "res/dialogs/SearchWindow.h"
#include "res/resource.h"
#include "search/SearchWindow.h"
#include "tests/common/FileBytes.h"
#include "tests/win/app/AppTestSupport.h"

using namespace apptest;
using testsupport::DialogAnswerer;

namespace {

const wchar_t WORLD[] = L"caf\u00e9 Stra\u00dfe \U0001F363 \U00020BB7\u91ce\u5bb6 \ud55c\uad6d\uc5b4 \u7b80\u4f53\u5b57";
const char PASSWORD[] = "pass-word";

class UnicodeRoundTrip : public MainWindowTest {
protected:
    std::wstring shown() { return rtfstream::EditorTextUnicode(editor()); }
    void clearPage() {
        SetWindowTextW(editor(), L"");
        gControls.memo.pasteAsText = false;
    }
    void paste(bool asText) {
        gControls.memo.pasteAsText = asText;
        SendMessageW(editor(), WM_PASTE, 0, 0);
        testapp::pumpMessages();
    }
    // Another page and back: the page is stored and shown again.
    void switchAway(ItemHandle page) {
        select(itemAt(0));
        select(page);
    }
    void restart(ItemHandle& page) {
        const int index = gBook.pages.indexOfItem(page);
        ASSERT_TRUE(bookload::saveFromUi(gApp.paths.dataFilePath, SaveKind::ExitData));
        testapp::destroyMainWindow(window);
        window = testapp::createMainWindowIn(folder.path());
        ASSERT_NE(window, nullptr);
        page = itemAt(index);
        select(page);
    }
    void answerPassword(DialogAnswerer& answerer) {
        answerer.setInspector([](HWND dialog) {
            testsupport::setControlText(dialog, IDC_PASSWORD, PASSWORD);
            if (GetDlgItem(dialog, IDC_PASSWORD_AGAIN)) testsupport::setControlText(dialog, IDC_PASSWORD_AGAIN, PASSWORD);
        });
    }
};

TEST_F(UnicodeRoundTrip, APageKeepsEveryCharacterThroughEverythingItGoesThrough) {
    ItemHandle page = itemAt(1);
    select(page);
    const std::string slot = gApp.paths.backupSlotPaths[0];
    const std::string exported = folder.file("page.txt");
    struct Step {
        const char* name;
        std::function<void()> run;
    };
    const Step steps[] = {
        {"typed, an input method's characters among them",
         [&] {
             clearPage();
             for (const wchar_t* c = WORLD; *c; ++c) SendMessageW(editor(), WM_CHAR, *c, 1);
         }},
        {"pasted as text from another program",
         [&] {
             clearPage();
             clipboard::WriteClipboardUnicode(WORLD, true);
             paste(true);
         }},
        {"pasted from another program",
         [&] {
             clearPage();
             clipboard::WriteClipboardUnicode(WORLD, true);
             paste(false);
         }},
        {"copied as RTF and pasted back, both ways",
         [&] {
             SendMessageW(editor(), EM_SETSEL, 0, -1);
             SendMessageW(editor(), WM_COPY, 0, 0);
             clearPage();
             paste(false);
             SendMessageW(editor(), EM_SETSEL, 0, -1);
             paste(true);
         }},
        {"another page and back", [&] { switchAway(page); }},
        {"saved and the program started again", [&] { restart(page); }},
        {"kept in a backup and restored",
         [&] {
             ASSERT_TRUE(bookload::saveFromUi(slot, SaveKind::Periodic));
             SetWindowTextW(editor(), L"changed");
             DialogAnswerer restore(IDOK, backup::messages::RESTORE_CAPTION);
             restore.setInspector([](HWND dialog) { SendDlgItemMessageW(dialog, IDC_RESTORE_LIST, LB_SETCURSEL, 0, 0); });
             DialogAnswerer done(IDOK, backup::messages::RESTORED_CAPTION);
             command(IDM_RESTORE);
             page = itemAt(1);
             select(page);
         }},
        {"made secure, the program started again and the page opened",
         [&] {
             DialogAnswerer registration(IDC_PASSWORD_OK, "パスワード登録");
             answerPassword(registration);
             command(IDM_MAKE_SECURE);
             ASSERT_TRUE(recordOf(page).isSecure);
             select(itemAt(0));
             DialogAnswerer check(IDC_PASSWORD_OK, "認証");
             answerPassword(check);
             restart(page);
             EXPECT_EQ(1, check.answered());
         }},
        {"saved as a text file and read back",
         [&] {
             bool utf8 = false;
             ASSERT_TRUE(textfiles::SavePageAs(editor(), exported.c_str(), 1, &utf8));
             EXPECT_TRUE(utf8);
             EXPECT_EQ(0u, testcommon::readFile(exported).rfind("\xEF\xBB\xBF", 0)) << "UTF-8 with its byte-order mark";
             clearPage();
             ASSERT_TRUE(textfiles::LoadTextFile(editor(), exported.c_str()));
         }},
    };
    for (const Step& step : steps) {
        step.run();
        EXPECT_NE(std::wstring::npos, shown().find(WORLD)) << step.name << ": " << wide::to932(shown());
    }
}

TEST_F(UnicodeRoundTrip, TheSearchFindsWhatCodePage932Lacks) {
    const ItemHandle page = itemAt(2);
    select(page);
    SendMessageW(editor(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(WORLD));
    select(itemAt(0));
    search::showSearchWindow(L"\U00020BB7\u91ce\u5bb6");
    SendMessageW(gApp.searchWindow, WM_COMMAND, MAKEWPARAM(IDC_SEARCH_NEXT, BN_CLICKED), 0);
    testapp::pumpMessages();
    EXPECT_EQ(page, list().GetSelection());
    CHARRANGE found = {};
    SendMessageW(editor(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&found));
    EXPECT_EQ(std::wstring(L"\U00020BB7\u91ce\u5bb6"), shown().substr(found.cpMin, found.cpMax - found.cpMin));
}

// A title is kept in code page 932: a character it lacks is named and the old title stays.
TEST_F(UnicodeRoundTrip, ATitleEditWithACharacterOutsideCodePage932IsRefusedByName) {
    const ItemHandle page = itemAt(1);
    const std::string before = list().GetTitle(page);
    DialogAnswerer refused(IDOK, appmessages::TITLE_CHARACTER_CAPTION);
    std::wstring text = L"sushi \U0001F363";
    NMTVDISPINFOW info = {};
    info.hdr.hwndFrom = list().window();
    info.hdr.idFrom = PageListControl::CONTROL_ID;
    info.hdr.code = TVN_ENDLABELEDITW;
    info.item.mask = TVIF_TEXT;
    info.item.hItem = reinterpret_cast<HTREEITEM>(page);
    info.item.pszText = &text[0];
    SendMessageW(window, WM_NOTIFY, PageListControl::CONTROL_ID, reinterpret_cast<LPARAM>(&info));
    testapp::pumpMessages();
    ASSERT_EQ(1, refused.answered());
    EXPECT_NE(std::string::npos, refused.texts()[0].find("U+1F363"));
    EXPECT_EQ(before, list().GetTitle(page));
    EXPECT_EQ(before, recordOf(page).title);
}

}  // namespace
