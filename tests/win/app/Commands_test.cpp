// The page commands through the real main window: add, delete, copy and paste,
// the bookmark, walking and collapsing.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <set>

#include "app/PageDisplay.h"
#include "app/Commands.h"
#include "editor/DateStamp.h"
#include "res/resource.h"
#include "store/PageImage.h"
#include "support/DialogAnswerer.h"
#include "tests/win/app/AppTestSupport.h"

namespace {

using namespace apptest;

const std::string EMPTY_PAGE(EMPTY_PAGE_RTF, EMPTY_PAGE_RTF_LENGTH);
const char AUTO_PAGE[] = "自動追加ページ";

int bookmarkCount() {
    int count = 0;
    for (ItemHandle item : allItems()) count += imageIsBookmark(imageOf(item)) ? 1 : 0;
    return count;
}

// The stamp of now in format 0; a test that straddles midnight may see either day.
bool isTodaysStamp(const std::string& title, const std::string& before) {
    return title == before || title == datestamp::CurrentDateStamp(0);
}

class CommandsTest : public MainWindowTest {
protected:
    // The list and the table agree, something is selected and shown.
    void expectConsistent() {
        EXPECT_EQ(static_cast<int>(allItems().size()), gBook.pages.count());
        for (ItemHandle item : allItems()) EXPECT_GE(gBook.pages.indexOfItem(item), 0);
        const ItemHandle selected = list().GetSelection();
        EXPECT_NE(selected, NO_ITEM);
        EXPECT_EQ(pagedisplay::shownItem(), selected);
    }

    ItemHandle addFolder() {
        command(IDM_ADD_FOLDER);
        return list().Parent(list().GetSelection());
    }
};

TEST_F(CommandsTest, AddPageIsTitledFromTheRecordCountAndJoinsTheSelectionsParent) {
    command(IDM_ADD_PAGE);
    ASSERT_EQ(gBook.pages.count(), 4);
    const ItemHandle page = list().GetSelection();
    EXPECT_EQ(childrenOf(NO_ITEM).back(), page);
    EXPECT_EQ(list().GetTitle(page), "ページ (4)");
    const PageRecord& record = recordOf(page);
    EXPECT_EQ(record.title, "ページ (4)");
    EXPECT_EQ(record.text, EMPTY_PAGE);
    EXPECT_EQ(record.isFolder, 0);
    EXPECT_EQ(imageOf(page), 0);
    EXPECT_EQ(selectedImageOf(page), 1);
    EXPECT_EQ(pagedisplay::shownItem(), page);
    EXPECT_EQ(GetFocus(), editor());

    // five records: the next page is (6), a folder's page then (7), the count taken before both
    command(IDM_ADD_PAGE);
    command(IDM_ADD_PAGE);
    EXPECT_EQ(list().GetTitle(list().GetSelection()), "ページ (6)");
    const ItemHandle folder = addFolder();
    EXPECT_EQ(list().GetTitle(list().GetSelection()), "ページ (7)");
    EXPECT_EQ(gBook.pages.count(), 8);

    // a page added beside a page inside the folder goes into the folder, last
    command(IDM_ADD_PAGE);
    EXPECT_EQ(titlesUnder(folder), (std::vector<std::string>{"ページ (7)", "ページ (9)"}));
    EXPECT_EQ(list().Parent(list().GetSelection()), folder);
    expectConsistent();
}

TEST_F(CommandsTest, AddFolderMakesFolderWithOnePageSelectedAndNeverADateTitle) {
    gApp.ini.window.AutoDate = true;
    const ItemHandle folder = addFolder();
    ASSERT_NE(folder, NO_ITEM);
    EXPECT_EQ(list().GetTitle(folder), "Folder");
    EXPECT_EQ(imageOf(folder), 2);
    EXPECT_EQ(selectedImageOf(folder), 3);
    const PageRecord& f = recordOf(folder);
    EXPECT_EQ(f.isFolder, 1);
    EXPECT_EQ(f.title, "Folder");
    EXPECT_EQ(f.text, "");
    EXPECT_TRUE(list().IsExpanded(folder));

    ASSERT_EQ(childrenOf(folder).size(), 1u);
    const ItemHandle page = childrenOf(folder)[0];
    EXPECT_EQ(list().GetSelection(), page);
    EXPECT_EQ(list().GetTitle(page), "ページ (4)");
    EXPECT_EQ(imageOf(page), 0);
    EXPECT_EQ(recordOf(page).text, EMPTY_PAGE);
    EXPECT_EQ(GetFocus(), editor());
    expectConsistent();
}

TEST_F(CommandsTest, AddPageHonoursAutoDateAutoBookmarkAndAutoEdit) {
    gApp.ini.window.AutoDate = true;
    gApp.ini.window.DateString = 0;
    gApp.ini.window.AutoBookmark = true;
    gApp.ini.window.AutoEdit = true;
    const std::string before = datestamp::CurrentDateStamp(0);
    command(IDM_ADD_PAGE);
    const ItemHandle page = list().GetSelection();
    EXPECT_TRUE(isTodaysStamp(recordOf(page).title, before)) << recordOf(page).title;
    EXPECT_EQ(list().GetTitle(page), recordOf(page).title);
    EXPECT_EQ(imageOf(page), 4);
    EXPECT_EQ(selectedImageOf(page), 5);
    EXPECT_EQ(bookmarkCount(), 1);
    HWND titleEdit = TreeView_GetEditControl(list().window());
    ASSERT_NE(titleEdit, nullptr) << "the title is not being edited";
    TreeView_EndEditLabelNow(list().window(), TRUE);
    testapp::pumpMessages();

    // the folder's page takes the next bookmark but no date
    gApp.ini.window.AutoEdit = false;
    addFolder();
    const ItemHandle inside = list().GetSelection();
    EXPECT_EQ(list().GetTitle(inside), "ページ (5)");
    EXPECT_EQ(imageOf(inside), 4);
    EXPECT_EQ(imageOf(page), 0);
    EXPECT_EQ(bookmarkCount(), 1);
}

TEST_F(CommandsTest, DeletingTheLastPageOfAFolderGivesItTheAutomaticPage) {
    const ItemHandle folder = addFolder();
    command(IDM_DELETE_PAGE);
    ASSERT_EQ(titlesUnder(folder), std::vector<std::string>{AUTO_PAGE});
    const ItemHandle autoPage = childrenOf(folder)[0];
    EXPECT_EQ(recordOf(autoPage).text, EMPTY_PAGE);
    EXPECT_EQ(recordOf(autoPage).isFolder, 0);
    EXPECT_EQ(gBook.pages.count(), 5);
    expectConsistent();

    // the folder goes with everything inside it
    select(folder);
    command(IDM_DELETE_PAGE);
    EXPECT_EQ(gBook.pages.count(), 3);
    EXPECT_EQ(gBook.pages.indexOfItem(autoPage), -1);
    EXPECT_EQ(gBook.pages.indexOfItem(folder), -1);
    expectConsistent();
}

TEST_F(CommandsTest, DeletingEveryTopLevelPageLeavesTheAutomaticPageSelected) {
    for (int i = 0; i < 3; ++i) {
        command(IDM_DELETE_PAGE);
        expectConsistent();  // never without a selection while pages remain
    }
    ASSERT_EQ(titlesUnder(NO_ITEM), std::vector<std::string>{AUTO_PAGE});
    ASSERT_EQ(gBook.pages.count(), 1);
    EXPECT_EQ(list().GetSelection(), itemAt(0));
    EXPECT_EQ(pagedisplay::shownItem(), itemAt(0));
    EXPECT_EQ(editorText(), "");
    EXPECT_EQ(GetFocus(), editor());
}

TEST_F(CommandsTest, AHeldDeleteKeyDeletesOneItemPerKeyDown) {
    command(IDM_ADD_PAGE);
    command(IDM_ADD_PAGE);
    ASSERT_EQ(gBook.pages.count(), 5);
    // the first key-down, then two auto-repeats (bit 30: the key was already down)
    const LPARAM repeats[] = {0x00000001, 0x40000001, 0x40000001};
    int expected = 5;
    for (LPARAM flags : repeats) {
        SendMessageA(list().window(), WM_KEYDOWN, VK_DELETE, flags);
        testapp::pumpMessages();
        EXPECT_EQ(gBook.pages.count(), --expected);
        expectConsistent();
    }
}

TEST_F(CommandsTest, AfterADeleteTheEditorShowsThePageNowSelected) {
    const ItemHandle welcome = itemAt(0);
    const ItemHandle second = itemAt(1);
    const ItemHandle third = itemAt(2);
    select(third);
    typeText("third page");
    select(second);
    typeText("second page");
    command(IDM_DELETE_PAGE);
    const ItemHandle now = list().GetSelection();
    ASSERT_TRUE(now == welcome || now == third);
    if (now == third) {
        EXPECT_EQ(editorText(), "third page");
    } else {
        EXPECT_EQ(editorText().find("\r\nキルト帳"), 0u);
    }
    // the deleted page's text was stored nowhere
    for (int i = 0; i < gBook.pages.count(); ++i)
        EXPECT_EQ(gBook.pages.recordAt(i).text.find("second page"), std::string::npos);
    select(third);
    EXPECT_EQ(editorText(), "third page");
    expectConsistent();
}

TEST_F(CommandsTest, DeleteAsksFirstOnlyWhenDeleteDialogIsOn) {
    gApp.ini.window.DeleteDialog = true;
    {
        testsupport::DialogAnswerer cancel(IDCANCEL, "削除");
        command(IDM_DELETE_PAGE);
        ASSERT_EQ(cancel.answered(), 1);
        EXPECT_EQ(cancel.captions()[0], "削除");
        EXPECT_EQ(cancel.texts()[0], "このページを削除します、本当によろしいですか？");
    }
    EXPECT_EQ(gBook.pages.count(), 3);

    const ItemHandle folder = addFolder();
    select(folder);
    {
        testsupport::DialogAnswerer ok(IDOK, "削除");
        command(IDM_DELETE_PAGE);
        ASSERT_EQ(ok.answered(), 1);
        EXPECT_EQ(
            ok.texts()[0],
            "削除しようとしているのはフォルダです。\nフォルダを削除すると、フォルダ内のすべてのページも削除されます。"
            "\n\n本当によろしいですか？");
    }
    EXPECT_EQ(gBook.pages.count(), 3);

    gApp.ini.window.DeleteDialog = false;
    testsupport::DialogAnswerer any(IDOK);
    command(IDM_DELETE_PAGE);
    EXPECT_EQ(any.answered(), 0);
    EXPECT_EQ(gBook.pages.count(), 2);
}

TEST_F(CommandsTest, CopiedFolderPastedTwiceGivesTwoIndependentSubtrees) {
    const ItemHandle folder = addFolder();
    const ItemHandle first = list().GetSelection();
    typeText("first page");
    command(IDM_ADD_PAGE);
    const ItemHandle second = list().GetSelection();
    typeText("second page");
    select(first);
    PageRecord& stored = gBook.pages.recordOfItem(second);
    stored.isSecure = 1;
    stored.cipher = std::string("\x01\x00\xff\x7f", 4);
    stored.textHash[0] = 0xAB;
    stored.textHash[31] = 0xCD;
    const PageRecord secret = stored;  // the table grows below
    list().SetImages(second, 8, 9);
    const std::string folderTitle = "仕事";
    list().SetTitle(folder, folderTitle);
    setTitle(gBook.pages.recordOfItem(folder), folderTitle);

    select(folder);
    command(IDM_COPY_PAGE);
    ASSERT_EQ(gBook.clipboard.count(), 3);
    EXPECT_EQ(gBook.clipboard.recordAt(0).parentOrder, -1);
    EXPECT_EQ(gBook.clipboard.recordAt(1).parentOrder, 0);
    EXPECT_EQ(gBook.clipboard.recordAt(2).parentOrder, 0);
    EXPECT_EQ(gBook.clipboard.recordAt(0).isExpanded, 1);

    command(IDM_PASTE_PAGE);
    const ItemHandle copy1 = list().GetSelection();
    command(IDM_PASTE_PAGE);
    const ItemHandle copy2 = list().GetSelection();
    ASSERT_EQ(gBook.pages.count(), 3 + 3 * 3);
    EXPECT_EQ(childrenOf(NO_ITEM).size(), 6u);
    std::set<ItemHandle> handles;
    for (ItemHandle top : {folder, copy1, copy2}) {
        EXPECT_EQ(list().Parent(top), NO_ITEM);
        EXPECT_EQ(list().GetTitle(top), folderTitle);
        EXPECT_EQ(recordOf(top).isFolder, 1);
        EXPECT_EQ(imageOf(top), 2);
        EXPECT_TRUE(list().IsExpanded(top));
        const std::vector<ItemHandle> kids = childrenOf(top);
        ASSERT_EQ(kids.size(), 2u);
        EXPECT_EQ(titlesUnder(top), (std::vector<std::string>{"ページ (4)", "ページ (6)"}));
        EXPECT_EQ(recordOf(kids[0]).text, recordOf(first).text);
        const PageRecord& s = recordOf(kids[1]);
        EXPECT_EQ(s.text, secret.text);
        EXPECT_EQ(s.isSecure, 1);
        EXPECT_EQ(s.cipher, secret.cipher);
        EXPECT_EQ(s.textHash, secret.textHash);
        EXPECT_EQ(imageOf(kids[1]), 8);
        EXPECT_EQ(selectedImageOf(kids[1]), 9);
        handles.insert({top, kids[0], kids[1]});
    }
    EXPECT_EQ(handles.size(), 9u);
    EXPECT_NE(recordOf(childrenOf(copy1)[0]).text.find("first page"), std::string::npos);

    // a change to one copy stays in that copy
    setTitle(gBook.pages.recordOfItem(childrenOf(copy1)[0]), "changed");
    EXPECT_EQ(recordOf(childrenOf(copy2)[0]).title, "ページ (4)");
    select(copy1);
    command(IDM_DELETE_PAGE);
    EXPECT_EQ(gBook.pages.count(), 9);
    EXPECT_EQ(titlesUnder(copy2), (std::vector<std::string>{"ページ (4)", "ページ (6)"}));
    expectConsistent();
}

TEST_F(CommandsTest, PastedPageGoesBesideTheSelectionAndTakesTodayWithAutoDate) {
    select(itemAt(1));
    typeText("copied text");
    command(IDM_COPY_PAGE);
    ASSERT_EQ(gBook.clipboard.count(), 1);
    EXPECT_EQ(gBook.clipboard.recordAt(0).parentOrder, -1);

    const ItemHandle folder = addFolder();
    gApp.ini.window.AutoDate = true;
    const std::string before = datestamp::CurrentDateStamp(gApp.ini.window.DateString);
    command(IDM_PASTE_PAGE);
    const ItemHandle pasted = list().GetSelection();
    EXPECT_EQ(list().Parent(pasted), folder);
    EXPECT_TRUE(isTodaysStamp(list().GetTitle(pasted), before)) << list().GetTitle(pasted);
    EXPECT_EQ(recordOf(pasted).title, list().GetTitle(pasted));
    EXPECT_EQ(gBook.clipboard.recordAt(0).title, list().GetTitle(pasted));
    EXPECT_EQ(editorText(), "copied text");
    EXPECT_EQ(GetFocus(), editor());

    // a folder keeps its titles, date or not
    select(folder);
    command(IDM_COPY_PAGE);
    command(IDM_PASTE_PAGE);
    EXPECT_EQ(list().GetTitle(list().GetSelection()), "Folder");

    // a title longer than the list shows: only the label is cut, the pasted record keeps it whole
    gApp.ini.window.AutoDate = false;
    const std::string longTitle = std::string(254, 'a') + "表" + "tail";
    select(itemAt(0));
    setTitle(gBook.pages.recordOfItem(itemAt(0)), longTitle);
    command(IDM_COPY_PAGE);
    command(IDM_PASTE_PAGE);
    EXPECT_EQ(recordOf(list().GetSelection()).title, longTitle);
    EXPECT_EQ(list().GetTitle(list().GetSelection()), std::string(254, 'a'));
    expectConsistent();
}

TEST_F(CommandsTest, PageCommandsWithoutASelectionTouchNeitherTheBookNorThePageClipboard) {
    command(IDM_COPY_PAGE);
    ASSERT_EQ(gBook.clipboard.count(), 1);
    TreeView_SelectItem(list().window(), nullptr);
    testapp::pumpMessages();
    ASSERT_EQ(list().GetSelection(), NO_ITEM);
    typeText("typed while nothing is selected");
    std::vector<std::string> texts;
    std::vector<int> images;
    for (int i = 0; i < gBook.pages.count(); ++i) {
        texts.push_back(gBook.pages.recordAt(i).text);
        images.push_back(imageOf(itemAt(i)));
    }

    for (int id : {IDM_COPY_PAGE, IDM_MAKE_SECURE, IDM_MAKE_ORDINARY, IDM_SET_BOOKMARK, IDM_OPEN_BOOKMARK,
                   IDM_EDIT_TITLE, IDM_DELETE_PAGE}) {
        command(id);
        EXPECT_EQ(list().GetSelection(), NO_ITEM) << id;
    }
    EXPECT_EQ(TreeView_GetEditControl(list().window()), nullptr);
    ASSERT_EQ(gBook.pages.count(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(gBook.pages.recordAt(i).text, texts[i]);
        EXPECT_EQ(gBook.pages.recordAt(i).isSecure, 0);
        EXPECT_EQ(imageOf(itemAt(i)), images[i]);
    }
    ASSERT_EQ(gBook.clipboard.count(), 1);
    EXPECT_EQ(gBook.clipboard.recordAt(0).item, itemAt(0));
}

TEST_F(CommandsTest, TheBookmarkMovesAndOnlyOneItemCarriesIt) {
    // a new book starts with the bookmark on its first page
    EXPECT_EQ(imageOf(itemAt(0)), 4);
    EXPECT_EQ(selectedImageOf(itemAt(0)), 5);
    select(itemAt(1));
    command(IDM_SET_BOOKMARK);
    command(IDM_SET_BOOKMARK);  // again on the same item: still marked once
    EXPECT_EQ(imageOf(itemAt(0)), 0);
    EXPECT_EQ(selectedImageOf(itemAt(0)), 1);
    EXPECT_EQ(imageOf(itemAt(1)), 4);
    EXPECT_EQ(bookmarkCount(), 1);

    const ItemHandle folder = addFolder();
    select(folder);
    command(IDM_SET_BOOKMARK);
    command(IDM_SET_BOOKMARK);
    EXPECT_EQ(imageOf(folder), 6);
    EXPECT_EQ(selectedImageOf(folder), 7);
    EXPECT_EQ(imageOf(itemAt(1)), 0);

    // a secure page carries 8 and keeps it
    list().SetImages(itemAt(2), 8, 9);
    select(itemAt(2));
    command(IDM_SET_BOOKMARK);
    command(IDM_SET_BOOKMARK);
    EXPECT_EQ(imageOf(itemAt(2)), 12);
    EXPECT_EQ(selectedImageOf(itemAt(2)), 13);
    EXPECT_EQ(imageOf(folder), 2);
    EXPECT_EQ(bookmarkCount(), 1);

    select(itemAt(0));
    command(IDM_OPEN_BOOKMARK);
    EXPECT_EQ(list().GetSelection(), itemAt(2));
    EXPECT_EQ(pagedisplay::shownItem(), itemAt(2));

    // no bookmark: the selection stays
    list().SetImages(itemAt(2), 8, 9);
    select(itemAt(1));
    command(IDM_OPEN_BOOKMARK);
    EXPECT_EQ(list().GetSelection(), itemAt(1));
}

TEST_F(CommandsTest, NextAndPreviousWalkInTreeOrderAndStayPutAtTheEnds) {
    select(itemAt(2));
    const ItemHandle folder = addFolder();
    const ItemHandle inside = list().GetSelection();
    const std::vector<ItemHandle> order = {itemAt(0), itemAt(1), itemAt(2), folder, inside};
    ASSERT_EQ(allItems(), order);

    select(order[0]);
    command(IDM_PREVIOUS_PAGE);
    EXPECT_EQ(list().GetSelection(), order[0]);
    for (size_t i = 1; i < order.size(); ++i) {
        command(IDM_NEXT_PAGE);
        EXPECT_EQ(list().GetSelection(), order[i]);
        EXPECT_EQ(pagedisplay::shownItem(), order[i]);
    }
    command(IDM_NEXT_PAGE);
    EXPECT_EQ(list().GetSelection(), inside);
    EXPECT_EQ(pagedisplay::shownItem(), inside);

    // stepping into a closed folder opens it
    select(itemAt(2));
    TreeView_Expand(list().window(), reinterpret_cast<HTREEITEM>(folder), TVE_COLLAPSE);
    command(IDM_NEXT_PAGE);
    command(IDM_NEXT_PAGE);
    EXPECT_EQ(list().GetSelection(), inside);
    EXPECT_TRUE(list().IsExpanded(folder));
    command(IDM_PREVIOUS_PAGE);
    command(IDM_PREVIOUS_PAGE);
    EXPECT_EQ(list().GetSelection(), itemAt(2));
}

TEST_F(CommandsTest, CollapseFoldersKeepsTheFoldersAroundTheSelectionOpen) {
    const ItemHandle outer = addFolder();
    const ItemHandle inner = addFolder();  // beside the outer folder's page, so inside it
    const ItemHandle deep = list().GetSelection();
    ASSERT_EQ(list().Parent(inner), outer);
    select(itemAt(0));
    const ItemHandle other = addFolder();
    const ItemHandle otherPage = list().GetSelection();
    for (ItemHandle f : {outer, inner, other})
        TreeView_Expand(list().window(), reinterpret_cast<HTREEITEM>(f), TVE_EXPAND);

    select(deep);
    command(IDM_COLLAPSE_FOLDERS);
    EXPECT_TRUE(list().IsExpanded(outer));
    EXPECT_TRUE(list().IsExpanded(inner));
    EXPECT_FALSE(list().IsExpanded(other));
    EXPECT_EQ(list().GetSelection(), deep);

    select(otherPage);
    command(IDM_COLLAPSE_FOLDERS);
    EXPECT_FALSE(list().IsExpanded(outer));
    EXPECT_FALSE(list().IsExpanded(inner));
    EXPECT_TRUE(list().IsExpanded(other));
    EXPECT_EQ(list().GetSelection(), otherPage);
}

TEST_F(CommandsTest, IdsWithoutAHandlerGoOnToTheDefaultProcedure) {
    EXPECT_FALSE(commands::handleCommand(window, IDM_BLANK, 0));
    EXPECT_FALSE(commands::handleCommand(window, 0, 0));
    EXPECT_FALSE(commands::handleCommand(window, 40000, 0));
    // the other features' ids are known; cancelled, their questions and dialogs change nothing
    testsupport::DialogAnswerer cancelAny(IDCANCEL);
    const int before = gBook.pages.count();
    for (int id : {IDM_SHORTCUT, IDM_SEARCH, IDM_ABOUT}) EXPECT_TRUE(commands::handleCommand(window, id, 0)) << id;
    EXPECT_EQ(gBook.pages.count(), before);
}

// ---- the editor's commands and the window's

DWORD selectionEffects() {
    CHARFORMATA cf = {};
    cf.cbSize = sizeof cf;
    SendMessageA(editor(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    return cf.dwEffects & cf.dwMask;
}

TEST_F(CommandsTest, EditCommandsReachTheEditorAndCanBeUndone) {
    select(itemAt(1));
    typeText("abc def");
    setEditorSelection(0, 4);
    command(IDM_CUT);
    EXPECT_EQ(editorText(), "def");
    command(IDM_UNDO);
    EXPECT_EQ(editorText(), "abc def");
    command(IDM_REDO);
    EXPECT_EQ(editorText(), "def");

    command(IDM_SELECT_ALL);
    CHARRANGE all = {};
    SendMessageA(editor(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&all));
    EXPECT_EQ(all.cpMin, 0);
    EXPECT_GE(all.cpMax, 3);
    setEditorSelection(0, 3);
    command(IDM_COPY);
    setEditorSelection(3, 3);
    command(IDM_PASTE);
    EXPECT_EQ(editorText(), "defdef");

    setEditorSelection(0, 3);
    command(IDM_CLEAR);
    EXPECT_EQ(editorText(), "def");
    command(IDM_UNDO);
    EXPECT_EQ(editorText(), "defdef");
}

TEST_F(CommandsTest, InsertDateReplacesTheSelectionWithTodayUndoably) {
    gApp.ini.window.DateString = 0;
    select(itemAt(1));
    typeText("XY");
    setEditorSelection(0, 1);
    const std::string before = datestamp::CurrentDateStamp(0);
    command(IDM_INSERT_DATE);
    const std::string text = editorText();
    ASSERT_GT(text.size(), 1u);
    EXPECT_EQ(text.back(), 'Y');
    EXPECT_TRUE(isTodaysStamp(text.substr(0, text.size() - 1), before)) << text;
    command(IDM_UNDO);
    EXPECT_EQ(editorText(), "XY");
}

TEST_F(CommandsTest, FormattingCommandsSwitchTheirEffectOnTheSelection) {
    select(itemAt(1));
    typeText("format me");
    const struct {
        int id;
        DWORD effect;
    } toggles[] = {{IDM_BOLD, CFE_BOLD},
                   {IDM_ITALIC, CFE_ITALIC},
                   {IDM_UNDERLINE, CFE_UNDERLINE},
                   {IDM_STRIKE_OUT, CFE_STRIKEOUT}};
    for (const auto& t : toggles) {
        setEditorSelection(0, 6);
        command(t.id);
        EXPECT_TRUE(selectionEffects() & t.effect) << t.id;
        command(t.id);
        EXPECT_FALSE(selectionEffects() & t.effect) << t.id;
    }
}

TEST_F(CommandsTest, ResettingThePagesFormattingKeepsEveryCharacter) {
    const char caption[] = "このページのフォントを初期化";
    const std::string text = "{\\rtf1 not a format}\r\n太字の行";
    select(itemAt(1));
    typeText(text.c_str());
    ASSERT_EQ(editorText(), text);
    // pasted from elsewhere: characters code page 932 has not
    const std::wstring beyond = L"\U00020BB7\U0001F600";
    SETTEXTEX at{ST_SELECTION, 1200};
    SendMessageA(editor(), EM_SETTEXTEX, reinterpret_cast<WPARAM>(&at), reinterpret_cast<LPARAM>(beyond.c_str()));
    const std::wstring unicodeText = rtfstream::EditorTextUnicode(editor());
    ASSERT_NE(unicodeText.find(beyond), std::wstring::npos);
    setEditorSelection(0, 5);
    command(IDM_BOLD);
    {
        testsupport::DialogAnswerer cancel(IDCANCEL, caption);
        command(IDM_RESET_PAGE_FONT);
        ASSERT_EQ(cancel.answered(), 1);
        EXPECT_EQ(cancel.captions()[0], caption);
        EXPECT_EQ(cancel.texts()[0],
                  "このページに設定しているフォント情報を削除してフォントを初期化します。\r\n"
                  "（他のページには影響ありません。また、文字列は変わりません）\r\n本当によろしいですか？");
    }
    setEditorSelection(0, 5);
    EXPECT_TRUE(selectionEffects() & CFE_BOLD) << "cancel changed the page";

    {
        testsupport::DialogAnswerer ok(IDOK, caption);
        command(IDM_RESET_PAGE_FONT);
        ASSERT_EQ(ok.answered(), 1);
    }
    EXPECT_TRUE(rtfstream::EditorTextUnicode(editor()) == unicodeText);
    setEditorSelection(0, -1);
    EXPECT_FALSE(selectionEffects() & CFE_BOLD);
    // the page takes the plain text at the next store
    select(itemAt(2));
    select(itemAt(1));
    EXPECT_TRUE(rtfstream::EditorTextUnicode(editor()) == unicodeText);
    setEditorSelection(0, 5);
    EXPECT_FALSE(selectionEffects() & CFE_BOLD);
}

TEST_F(CommandsTest, WindowAndFocusCommands) {
    command(IDM_MAXIMIZE);
    EXPECT_TRUE(IsZoomed(window));
    command(IDM_RESTORE_WINDOW);
    EXPECT_FALSE(IsZoomed(window));
    command(IDM_MINIMIZE);
    EXPECT_TRUE(IsIconic(window));
    command(IDM_RESTORE_WINDOW);
    EXPECT_FALSE(IsIconic(window));
    EXPECT_FALSE(IsZoomed(window));
    command(IDM_FOCUS_LIST);
    EXPECT_EQ(GetFocus(), list().window());
    command(IDM_FOCUS_EDITOR);
    EXPECT_EQ(GetFocus(), editor());
}

// Where the window was last asked to go in the z-order, seen by a hook on this
// thread: Wine keeps no topmost style that could be read back.
HWND gWatched = nullptr;
HWND gInsertAfter = nullptr;

LRESULT CALLBACK watchPlacement(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->hwnd == gWatched && call->message == WM_WINDOWPOSCHANGING) {
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(call->lParam);
        if (!(pos->flags & SWP_NOZORDER)) gInsertAfter = pos->hwndInsertAfter;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(CommandsTest, AlwaysOnTopFollowsItsToolbarButtonAndIsOffAtEveryStart) {
    auto pressed = [] { return SendMessageA(gControls.toolbar, TB_ISBUTTONCHECKED, IDM_ALWAYS_ON_TOP, 0) != 0; };
    auto topmost = [this] {
        return gInsertAfter == HWND_TOPMOST || (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    };
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, watchPlacement, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    gWatched = window;
    gInsertAfter = nullptr;
    EXPECT_FALSE(pressed());
    EXPECT_FALSE(gApp.alwaysOnTop);

    // a click on the check button: the button flips itself, the command places the window
    RECT r = {};
    SendMessageA(gControls.toolbar, TB_GETRECT, IDM_ALWAYS_ON_TOP, reinterpret_cast<LPARAM>(&r));
    const LPARAM centre = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageA(gControls.toolbar, WM_LBUTTONDOWN, MK_LBUTTON, centre);
    SendMessageA(gControls.toolbar, WM_LBUTTONUP, 0, centre);
    testapp::pumpMessages();
    EXPECT_TRUE(gApp.alwaysOnTop);
    EXPECT_TRUE(topmost());
    EXPECT_TRUE(pressed());
    command(IDM_ALWAYS_ON_TOP);
    EXPECT_EQ(gInsertAfter, HWND_NOTOPMOST);
    EXPECT_FALSE(pressed());
    command(IDM_ALWAYS_ON_TOP);

    // a new start: off, whatever it was before
    testapp::destroyMainWindow(window);
    window = testapp::createMainWindowIn(folder.path());
    ASSERT_NE(window, nullptr);
    gWatched = window;
    gInsertAfter = nullptr;
    EXPECT_FALSE(gApp.alwaysOnTop);
    EXPECT_FALSE(pressed());
    EXPECT_FALSE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    command(IDM_ALWAYS_ON_TOP);
    EXPECT_TRUE(topmost());
    EXPECT_TRUE(pressed());
    UnhookWindowsHookEx(hook);
}

}  // namespace
