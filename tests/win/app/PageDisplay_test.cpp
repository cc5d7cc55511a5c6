#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/AppState.h"
#include "app/Book.h"
#include "app/BookLoad.h"
#include "app/MainControls.h"
#include "app/PageDisplay.h"
#include "editor/RtfStream.h"
#include "support/DialogAnswerer.h"
#include "support/TestApp.h"
#include "tests/common/FileBytes.h"

namespace {

using testcommon::readFile;
using testcommon::writeFile;

HWND editor() { return gControls.memo.window(); }
std::string editorText() { return rtfstream::EditorText(editor()); }
void typeText(const char* text) { SendMessageA(editor(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text)); }

ItemHandle itemAt(int index) { return gBook.pages.recordAt(index).item; }

void selectItem(ItemHandle item) {
    gControls.pageList.Select(item);
    testapp::pumpMessages();
}

class PageDisplayTest : public testing::Test {
protected:
    void SetUp() override {
        CreateDirectoryA(folder.file("data").c_str(), nullptr);
        window = testapp::createMainWindowIn(folder.path());
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override { testapp::destroyMainWindow(window); }

    testapp::TempFolder folder;
    HWND window = nullptr;
};

TEST_F(PageDisplayTest, FirstStartShowsThreeDefaultPagesWithTheWelcomeText) {
    ASSERT_EQ(gBook.pages.count(), 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(gBook.pages.recordAt(i).title, "ページ");
    EXPECT_EQ(gControls.pageList.GetSelection(), itemAt(0));
    EXPECT_EQ(pagedisplay::shownItem(), itemAt(0));
    const std::string text = editorText();
    // the empty page's own first paragraph comes first
    EXPECT_EQ(text.find("\r\nキルト帳をご利用いただき、ありがとうございます。"), 0u) << text;
    EXPECT_NE(text.find("file://./help/help00.html"), std::string::npos);
}

TEST_F(PageDisplayTest, WelcomeTextIsTheEmptyPageHeadAndEscapedLines) {
    const std::string rtf = bookload::welcomeRtf();
    const std::string head =
        "{\\rtf1\\ansi\\ansicpg932\\deff0\\deflang1033\\deflangfe1041{\\fonttbl{\\f0\\fnil\\fcharset128 "
        "\\'82\\'6c\\'82\\'72 \\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}}\r\n{\\colortbl ;\\red0\\green0\\blue0;}\r\n"
        "\\viewkind4\\uc1\\pard\\cf1\\lang1041\\f0\\fs23\\par\r\n";
    ASSERT_EQ(rtf.compare(0, head.size(), head), 0);
    // キルト帳 = 83 4c 83 8b 83 67 92 a0
    EXPECT_EQ(rtf.substr(head.size(), 32), "\\'83\\'4c\\'83\\'8b\\'83\\'67\\'92\\'a0");
    EXPECT_NE(rtf.find("\\par\r\n\\par\r\n\\'81\\'9a"), std::string::npos);  // empty line, then ★
    EXPECT_NE(rtf.find("\\'81\\'40file://./help/help00.html\\par\r\n\\par\r\n}\r\n"), std::string::npos);
    EXPECT_EQ(rtf.substr(rtf.size() - 3), "}\r\n");
}

TEST_F(PageDisplayTest, SwitchingAwayAndBackRestoresTextAndSelection) {
    selectItem(itemAt(1));
    typeText("line one\r\nline two");
    CHARRANGE range = {2, 6};
    SendMessageA(editor(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    selectItem(itemAt(2));
    EXPECT_EQ(editorText(), "");
    selectItem(itemAt(1));
    EXPECT_EQ(editorText(), "line one\r\nline two");
    CHARRANGE back = {};
    SendMessageA(editor(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&back));
    EXPECT_EQ(back.cpMin, 2);
    EXPECT_EQ(back.cpMax, 6);
    EXPECT_EQ(gBook.pages.recordAt(1).selStart, 2);
}

// Leaving a page of thousands of lines puts a fresh editor in place: same
// place, options and look, still subclassed, and the page left keeps its bytes.
TEST_F(PageDisplayTest, LeavingAVeryLongPageKeepsTheEditorAsItWas) {
    std::string big(EMPTY_PAGE_RTF, EMPTY_PAGE_RTF_HEAD_LENGTH);
    for (int n = 0; n < 3000; ++n) big += " line " + std::to_string(n) + "\\par\r\n";
    big += "\\par\r\n}\r\n";
    gBook.pages.recordAt(1).text = big;
    gControls.memo.SetBackColour(RGB(1, 2, 3));
    gControls.memo.SetNoWrap(true);
    selectItem(itemAt(1));
    ASSERT_GT(SendMessageA(editor(), EM_GETLINECOUNT, 0, 0), 3000);
    HWND old = editor();
    RECT oldPlace{};
    GetWindowRect(old, &oldPlace);
    const LONG_PTR bars = WS_HSCROLL | WS_VSCROLL;  // shown as the text needs them
    const LONG_PTR style = GetWindowLongPtrA(old, GWL_STYLE) & ~bars;
    const LRESULT events = SendMessageA(old, EM_GETEVENTMASK, 0, 0);
    CHARFORMATA oldFont{};
    oldFont.cbSize = sizeof oldFont;
    SendMessageA(old, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&oldFont));

    selectItem(itemAt(2));
    ASSERT_NE(editor(), old);
    EXPECT_FALSE(IsWindow(old));
    EXPECT_EQ(gBook.pages.recordAt(1).text, big) << "a page left as shown keeps its bytes";
    EXPECT_EQ(editorText(), "");
    RECT place{};
    GetWindowRect(editor(), &place);
    EXPECT_TRUE(EqualRect(&place, &oldPlace));
    EXPECT_EQ(GetDlgCtrlID(editor()), MemoEditor::CONTROL_ID);
    EXPECT_EQ(GetParent(editor()), window);
    EXPECT_EQ(GetWindowLongPtrA(editor(), GWL_STYLE) & ~bars, style);
    EXPECT_EQ(SendMessageA(editor(), EM_GETEVENTMASK, 0, 0), events);
    EXPECT_EQ(static_cast<COLORREF>(SendMessageA(editor(), EM_SETBKGNDCOLOR, 0, RGB(1, 2, 3))), RGB(1, 2, 3));
    CHARFORMATA font{};
    font.cbSize = sizeof font;
    SendMessageA(editor(), EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&font));
    EXPECT_STREQ(font.szFaceName, oldFont.szFaceName);
    EXPECT_EQ(font.yHeight, oldFont.yHeight);

    // Typing goes through the subclass (the page counts as changed) and Enter in
    // the page list still reaches the editor.
    SendMessageA(editor(), WM_CHAR, 'x', 0);
    selectItem(itemAt(1));
    EXPECT_EQ(gBook.pages.recordAt(2).text.find("x\\par") != std::string::npos, true);
    SetFocus(gControls.pageList.window());
    SendMessageA(gControls.pageList.window(), WM_CHAR, VK_RETURN, 0);
    EXPECT_EQ(GetFocus(), editor());
}

TEST_F(PageDisplayTest, AnEmptyPageTypesInTheStandardFont) {
    setFontFace(gBook.header, "Courier New");
    gBook.header.standardFontColour = RGB(200, 0, 0);
    selectItem(itemAt(2));
    typeText("x");
    CHARFORMATA cf = {};
    cf.cbSize = sizeof cf;
    SendMessageA(editor(), EM_SETSEL, 0, 1);
    SendMessageA(editor(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    EXPECT_STREQ(cf.szFaceName, "Courier New");
    EXPECT_EQ(cf.crTextColor, RGB(200, 0, 0));
}

TEST_F(PageDisplayTest, AShownPageStartsWithNothingToUndo) {
    selectItem(itemAt(1));
    typeText("typed on page two");
    selectItem(itemAt(2));  // an empty page: the standard font is applied
    EXPECT_EQ(SendMessageA(editor(), EM_CANUNDO, 0, 0), 0);
    selectItem(itemAt(1));
    EXPECT_EQ(SendMessageA(editor(), EM_CANUNDO, 0, 0), 0);
    EXPECT_EQ(editorText(), "typed on page two");
}

TEST_F(PageDisplayTest, JapaneseTextAndBoldSurviveSaveAndRestart) {
    selectItem(itemAt(1));
    typeText("日本語のメモ表示ソ");
    SendMessageA(editor(), EM_SETSEL, 0, 3);
    gControls.memo.ToggleBold();
    testapp::destroyMainWindow(window);  // the exit writes the book
    const std::string bytes = readFile(gApp.paths.dataFilePath);
    ASSERT_GT(bytes.size(), 32u);
    EXPECT_EQ(bytes.compare(0, 8, std::string("qpad300\0", 8)), 0);

    window = testapp::createMainWindowIn(folder.path());
    ASSERT_EQ(gBook.pages.count(), 3);
    selectItem(itemAt(1));
    EXPECT_EQ(editorText(), "日本語のメモ表示ソ");
    CHARFORMATA cf = {};
    cf.cbSize = sizeof cf;
    SendMessageA(editor(), EM_SETSEL, 0, 3);
    SendMessageA(editor(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    EXPECT_TRUE(cf.dwEffects & CFE_BOLD);
    SendMessageA(editor(), EM_SETSEL, 4, 6);
    SendMessageA(editor(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    EXPECT_FALSE(cf.dwEffects & CFE_BOLD);
}

TEST_F(PageDisplayTest, OlderGenerationLoadsInFileOrderAndIsWrittenAsCurrent) {
    testapp::destroyMainWindow(window);
    // first generation: magic, page count, 84 spare bytes, then per page length, 64-byte title, text
    std::string file("quiltpad090", 11);
    file.append(1, '\0');
    const char* titles[] = {"一", "二"};
    // a plain text that happens to begin like RTF stays plain text
    const char* texts[] = {"最初のページ", "{\\rtf1 second page}\r\n二行目"};
    const int count = 2;
    file.append(reinterpret_cast<const char*>(&count), 4);
    file.append(84, '\0');
    for (int i = 0; i < 2; ++i) {
        const std::string text = std::string(texts[i]) + '\0';
        const int length = static_cast<int>(text.size());
        file.append(reinterpret_cast<const char*>(&length), 4);
        std::string title(titles[i]);
        title.resize(64, '\0');
        file += title + text;
    }
    writeFile(folder.file("data\\quiltpad.qpd"), file);

    window = testapp::createMainWindowIn(folder.path());
    ASSERT_EQ(gBook.pages.count(), 2);
    EXPECT_EQ(gBook.pages.recordAt(0).title, "一");
    EXPECT_EQ(gBook.pages.recordAt(1).title, "二");
    EXPECT_EQ(gBook.pages.recordAt(0).text.compare(0, 5, "{\\rtf"), 0);
    EXPECT_EQ(editorText(), "最初のページ");
    selectItem(itemAt(1));
    EXPECT_EQ(editorText(), "{\\rtf1 second page}\r\n二行目");

    ASSERT_TRUE(bookload::saveFromUi(gApp.paths.dataFilePath, SaveKind::ExitData));
    EXPECT_EQ(readFile(gApp.paths.dataFilePath).compare(0, 8, std::string("qpad300\0", 8)), 0);
}

TEST_F(PageDisplayTest, DamagedBookIsLeftAloneAndNothingIsWritten) {
    testapp::destroyMainWindow(window);
    const std::string garbage = "not a book at all, but long enough to have a magic field";
    writeFile(folder.file("data\\quiltpad.qpd"), garbage);
    DeleteFileA(folder.file("data\\quiltpad.ini").c_str());
    testapp::removeTree(folder.file("data\\backup"));  // no backup to fall back on
    {
        // declining a new book ends the program without writing
        testsupport::DialogAnswerer answer(IDCANCEL, "データを読み込むことが出来ませんでした");
        window = testapp::createMainWindowIn(folder.path());
        testapp::pumpMessages();
        EXPECT_EQ(answer.answered(), 1);
    }
    testapp::destroyMainWindow(window);
    EXPECT_EQ(readFile(folder.file("data\\quiltpad.qpd")), garbage);
    EXPECT_EQ(GetFileAttributesA(folder.file("data\\quiltpad.ini").c_str()), INVALID_FILE_ATTRIBUTES);
}

std::string gOpenedVerb;
std::string gOpenedTarget;
void recordOpen(HWND, const char* verb, const std::string& target) {
    gOpenedVerb = verb ? verb : "";
    gOpenedTarget = target;
}

TEST_F(PageDisplayTest, RelativeFileLinkOpensBelowTheCurrentFolder) {
    pagedisplay::setShellOpen(recordOpen);
    SetWindowTextA(editor(), "see file://./x.html here");
    ENLINK link = {};
    link.nmhdr.hwndFrom = editor();
    link.nmhdr.idFrom = IDC_MEMO_EDITOR;
    link.nmhdr.code = EN_LINK;
    link.msg = WM_LBUTTONUP;
    link.chrg = {4, 19};
    gOpenedTarget.clear();
    pagedisplay::openLink(link);
    char cwd[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, cwd);
    EXPECT_EQ(gOpenedVerb, "open");
    EXPECT_EQ(gOpenedTarget, std::string("file://") + cwd + "\\x.html");

    link.msg = WM_LBUTTONDOWN;  // only the release opens
    gOpenedTarget.clear();
    pagedisplay::openLink(link);
    EXPECT_EQ(gOpenedTarget, "");
    pagedisplay::setShellOpen(nullptr);
}

TEST_F(PageDisplayTest, SecurePageWithoutAuthenticationShowsTheReadOnlyPlaceholder) {
    PageRecord& secret = gBook.pages.recordAt(2);
    secret.isSecure = 1;
    secret.text.clear();  // a secure page keeps only its cipher
    secret.cipher = std::string(32, '\x5a');
    testsupport::DialogAnswerer refuse(IDCANCEL, "認証");
    selectItem(itemAt(2));
    EXPECT_EQ(refuse.answered(), 1);
    EXPECT_EQ(editorText(), "未認証のため表示できません。");
    EXPECT_TRUE(GetWindowLongA(editor(), GWL_STYLE) & ES_READONLY);
    selectItem(itemAt(1));
    EXPECT_FALSE(GetWindowLongA(editor(), GWL_STYLE) & ES_READONLY);
    EXPECT_EQ(gBook.pages.recordAt(2).text, "");  // the placeholder was not stored into it
    EXPECT_EQ(gBook.pages.recordAt(2).cipher, std::string(32, '\x5a'));
}

}  // namespace
