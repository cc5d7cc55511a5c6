// Menu 109 and accelerator table 109 as the program loads them, the grey and
// check rules of an opening menu, and the two context menus.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <tuple>

#include "app/PageDisplay.h"
#include "res/resource.h"
#include "support/DialogAnswerer.h"
#include "tests/win/app/AppTestSupport.h"

namespace {

using namespace apptest;

std::string itemLabel(HMENU menu, UINT item, UINT by) {
    char label[256] = {};
    GetMenuStringA(menu, item, label, sizeof label, by);
    return label;
}

// Every command of the menu bar and its submenus with its label; a command in two
// popups is listed twice.
void collectCommands(HMENU menu, std::multimap<int, std::string>& out) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        if (HMENU sub = GetSubMenu(menu, i)) {
            collectCommands(sub, out);
            continue;
        }
        const UINT id = GetMenuItemID(menu, i);
        if (id != 0) out.emplace(static_cast<int>(id), itemLabel(menu, i, MF_BYPOSITION));
    }
}

class MenuStateTest : public MainWindowTest {
protected:
    HMENU bar() { return GetMenu(window); }
    // Opens (as far as the rules go) the page popup and reads one item's state.
    UINT state(int id) {
        SendMessageA(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(GetSubMenu(bar(), 1)), MAKELPARAM(1, FALSE));
        return GetMenuState(bar(), id, MF_BYCOMMAND);
    }
    bool grey(int id) { return (state(id) & MF_GRAYED) != 0; }
    bool checked(int id) { return (state(id) & MF_CHECKED) != 0; }
};

TEST_F(MenuStateTest, MenuBarHasSixPopupsEveryCommandAndTheFontSubmenu) {
    const char* popups[] = {"ファイル(&F)", "ページ(&P)", "編集(&E)", "表示(&V)", "ツール(&T)", "ヘルプ(&H)"};
    ASSERT_EQ(GetMenuItemCount(bar()), 6);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(itemLabel(bar(), i, MF_BYPOSITION), popups[i]) << i;

    std::multimap<int, std::string> commands;
    collectCommands(bar(), commands);
    const int ids[] = {32852, 32846, 32969, 32850, 105,   32789, 32831, 32994, 32790, 32791, 32962, 32963, 32792, 32901,
                       32974, 32976, 32981, 32983, 32992, 32778, 32779, 32780, 32781, 32782, 32783, 32784, 32917, 32918,
                       32919, 32920, 32924, 32923, 32839, 32838, 32945, 32946, 32905, 32827, 32828, 32799, 32800, 32823,
                       32835, 32877, 32882, 32887, 32899, 32842, 32958, 32868, 32869, 32856, 32844, 32859, 32861, 104};
    for (int id : ids) EXPECT_EQ(commands.count(id), id == IDM_SEARCH ? 2u : 1u) << id;
    EXPECT_EQ(commands.size(), std::size(ids) + 1);

    // labels keep their key names after the tab
    EXPECT_EQ(commands.find(105)->second, "アプリケーションの終了(&X)\tCtrl+W");
    EXPECT_EQ(commands.find(32994)->second, "しおりを開く(&O)\tCtrl+O");
    EXPECT_EQ(commands.find(32981)->second, "次のページ(&N)\tCtrl+→or↓");
    EXPECT_EQ(commands.find(32924)->second, "打ち消し線(&S)\tCtrl+F5/Ctrl+D");

    // the context menus are popups 1 and 2; the search is in both
    EXPECT_NE(GetMenuState(GetSubMenu(bar(), 1), IDM_SEARCH, MF_BYCOMMAND), static_cast<UINT>(-1));
    EXPECT_NE(GetMenuState(GetSubMenu(bar(), 1), IDM_DELETE_PAGE, MF_BYCOMMAND), static_cast<UINT>(-1));
    HMENU edit = GetSubMenu(bar(), 2);
    EXPECT_NE(GetMenuState(edit, IDM_SEARCH, MF_BYCOMMAND), static_cast<UINT>(-1));
    HMENU fonts = nullptr;
    for (int i = 0; i < GetMenuItemCount(edit); ++i)
        if (GetSubMenu(edit, i)) {
            fonts = GetSubMenu(edit, i);
            EXPECT_EQ(itemLabel(edit, i, MF_BYPOSITION), "フォントの個別指定(&O)");
        }
    ASSERT_NE(fonts, nullptr);
    std::vector<UINT> inside;
    for (int i = 0; i < GetMenuItemCount(fonts); ++i) inside.push_back(GetMenuItemID(fonts, i));
    EXPECT_EQ(inside, (std::vector<UINT>{32917, 32918, 32919, 32920, 32924, 32923}));
}

TEST_F(MenuStateTest, AcceleratorTableHoldsEveryKeyOfTheCommandSet) {
    HACCEL table = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDA_MAIN));
    ASSERT_NE(table, nullptr);
    std::vector<ACCEL> keys(CopyAcceleratorTableA(table, nullptr, 0));
    CopyAcceleratorTableA(table, keys.data(), static_cast<int>(keys.size()));
    using Key = std::tuple<int, int, int>;  // flags, key, command
    std::vector<Key> got;
    for (const ACCEL& a : keys) got.emplace_back(a.fVirt & 0x7F, a.key, a.cmd);

    const int V = FVIRTKEY | FNOINVERT;
    const int C = V | FCONTROL;
    const int CS = C | FSHIFT;
    const int CA = C | FALT;
    std::vector<Key> expected = {
        {FALT, '/', 104},  {FALT, '?', 104},     {C, 'W', 105},       {C, 'M', 32869},     {C, 'N', 32868},
        {C, 'B', 32919},   {C, VK_F3, 32919},    {C, 'I', 32920},     {C, VK_F4, 32920},   {C, 'D', 32924},
        {C, VK_F5, 32924}, {C, 'U', 32923},      {C, VK_F6, 32923},   {C, VK_F1, 32917},   {C, VK_F2, 32918},
        {V, VK_F1, 32861}, {V, VK_F2, 32789},    {V, VK_F3, 32945},   {V, VK_F4, 32946},   {V, VK_F5, 32905},
        {C, 'F', 32901},   {C, 'O', 32994},      {CS, 'A', 32790},    {CS, 'F', 32791},    {CS, 'C', 32962},
        {CS, 'V', 32963},  {C, VK_RIGHT, 32981}, {C, VK_DOWN, 32981}, {C, VK_LEFT, 32983}, {C, VK_UP, 32983},
        {CA, 'A', 32877},  {CA, 'X', 32882},     {CA, 'Z', 32887},
    };
    std::sort(got.begin(), got.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(got, expected);
    DestroyAcceleratorTable(table);
}

TEST_F(MenuStateTest, PastePagesIsGreyUntilSomethingIsCopied) {
    EXPECT_TRUE(grey(IDM_PASTE_PAGE));
    command(IDM_COPY_PAGE);
    EXPECT_FALSE(grey(IDM_PASTE_PAGE));
}

TEST_F(MenuStateTest, EditItemsFollowTheEditorsSelectionHistoryAndClipboard) {
    select(itemAt(1));
    typeText("some words");
    setEditorSelection(4, 4);
    for (int id : {IDM_CUT, IDM_COPY, IDM_CLEAR}) EXPECT_TRUE(grey(id)) << id;
    setEditorSelection(0, 4);
    for (int id : {IDM_CUT, IDM_COPY, IDM_CLEAR}) EXPECT_FALSE(grey(id)) << id;

    select(itemAt(0));  // a page just shown (with text: an empty one takes the standard font) has nothing to undo
    EXPECT_TRUE(grey(IDM_UNDO));
    EXPECT_TRUE(grey(IDM_REDO));
    typeText("x");
    EXPECT_FALSE(grey(IDM_UNDO));
    command(IDM_UNDO);
    EXPECT_FALSE(grey(IDM_REDO));

    ASSERT_TRUE(OpenClipboard(window));
    EmptyClipboard();
    CloseClipboard();
    EXPECT_TRUE(grey(IDM_PASTE));
    setEditorSelection(0, 0);
    typeText("clip");
    setEditorSelection(0, 4);
    command(IDM_COPY);
    EXPECT_FALSE(grey(IDM_PASTE));
}

// The placeholder of a secure page that was not unlocked is read-only: no command writes into it.
TEST_F(MenuStateTest, TheLockedPlaceholderTakesNoCommandsChangesAndTheirItemsAreGrey) {
    select(itemAt(1));
    typeText("clip");
    setEditorSelection(0, 4);
    command(IDM_COPY);
    PageRecord& secret = gBook.pages.recordAt(2);
    secret.isSecure = 1;
    secret.text.clear();
    secret.cipher = std::string(32, '\x5a');
    {
        testsupport::DialogAnswerer refuse(IDCANCEL);  // the password, where one is asked for
        select(itemAt(2));
    }
    ASSERT_TRUE(gControls.memo.IsReadOnly());
    const std::string placeholder = editorText();
    setEditorSelection(0, 4);
    const int changes[] = {IDM_INSERT_DATE, IDM_PASTE, IDM_CLEAR, IDM_CUT, IDM_BOLD};
    for (bool asText : {false, true}) {
        gControls.memo.pasteAsText = asText;
        for (int id : changes) {
            command(id);
            EXPECT_EQ(editorText(), placeholder) << id;
            EXPECT_TRUE(grey(id)) << id;
        }
        SendMessageA(editor(), WM_PASTE, 0, 0);  // the editor's own paste, as Ctrl+V gives it
        EXPECT_EQ(editorText(), placeholder);
    }
    CHARFORMAT2A format{};
    format.cbSize = sizeof format;
    SendMessageA(editor(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    EXPECT_FALSE(format.dwEffects & CFE_BOLD);
    EXPECT_FALSE(grey(IDM_COPY));  // reading is still allowed

    select(itemAt(1));  // an ordinary page takes them again
    setEditorSelection(4, 4);
    command(IDM_INSERT_DATE);
    EXPECT_GT(editorText().size(), 4u);
    EXPECT_EQ(editorText().compare(0, 4, "clip"), 0);
    EXPECT_FALSE(grey(IDM_INSERT_DATE));
}

TEST_F(MenuStateTest, SecureItemsFollowTheSelectedPage) {
    EXPECT_FALSE(grey(IDM_MAKE_SECURE));
    EXPECT_TRUE(grey(IDM_MAKE_ORDINARY));
    PageRecord& shown = gBook.pages.recordOfItem(list().GetSelection());
    shown.isSecure = 1;
    EXPECT_TRUE(grey(IDM_MAKE_SECURE));
    EXPECT_FALSE(grey(IDM_MAKE_ORDINARY));
    shown.isSecure = 0;  // its text is plain: nothing could encrypt it at exit
}

TEST_F(MenuStateTest, CheckMarksFollowTheFlagsTheirCommandsFlip) {
    MemoEditor& memo = gControls.memo;
    const bool copyAsText = memo.copyAsText;
    command(IDM_COPY_AS_TEXT);
    EXPECT_NE(memo.copyAsText, copyAsText);
    EXPECT_EQ(checked(IDM_COPY_AS_TEXT), memo.copyAsText);
    command(IDM_COPY_AS_TEXT);
    EXPECT_EQ(checked(IDM_COPY_AS_TEXT), copyAsText);

    const bool pasteAsText = memo.pasteAsText;
    command(IDM_PASTE_AS_TEXT);
    EXPECT_NE(memo.pasteAsText, pasteAsText);
    EXPECT_EQ(checked(IDM_PASTE_AS_TEXT), memo.pasteAsText);

    // the check shows wrapping, the flag says "no wrap"
    const bool noWrap = memo.noWrap;
    command(IDM_WORD_WRAP);
    EXPECT_NE(memo.noWrap, noWrap);
    EXPECT_EQ(checked(IDM_WORD_WRAP), !memo.noWrap);
    command(IDM_WORD_WRAP);
    EXPECT_EQ(checked(IDM_WORD_WRAP), !noWrap);

    EXPECT_FALSE(checked(IDM_ALWAYS_ON_TOP));
    command(IDM_ALWAYS_ON_TOP);
    EXPECT_TRUE(checked(IDM_ALWAYS_ON_TOP));
    command(IDM_ALWAYS_ON_TOP);
    EXPECT_FALSE(checked(IDM_ALWAYS_ON_TOP));
}

TEST_F(MenuStateTest, PageListLinesKeepTitleEditingEitherWay) {
    HWND tree = list().window();
    const DWORD lines = TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT;
    for (int round = 0; round < 2; ++round) {
        const bool wasOn = checked(IDM_LIST_LINES);
        command(IDM_LIST_LINES);
        const DWORD style = static_cast<DWORD>(GetWindowLongA(tree, GWL_STYLE));
        EXPECT_EQ(checked(IDM_LIST_LINES), !wasOn);
        EXPECT_EQ(style & lines, wasOn ? 0u : lines);
        EXPECT_TRUE(style & TVS_EDITLABELS);
    }
}

TEST_F(MenuStateTest, LinkDisplayFlipsAndSaysWhenItTakesEffect) {
    const bool before = gControls.memo.urlDetection;
    {
        testsupport::DialogAnswerer ok(IDOK, "URLのリンク表示");
        command(IDM_LINK_DISPLAY);
        ASSERT_EQ(ok.answered(), 1);
        EXPECT_EQ(ok.captions()[0], "URLのリンク表示");
        EXPECT_EQ(ok.texts()[0], "URLのリンク表示を変更しました。\r\n次回のページ表示から有効になります。");
    }
    EXPECT_NE(gControls.memo.urlDetection, before);
    EXPECT_EQ(checked(IDM_LINK_DISPLAY), gControls.memo.urlDetection);
}

// ---- context menus

// Closes each popup menu of this thread as soon as it shows and notes which menu it was.
class MenuCloser {
public:
    MenuCloser() {
        current() = this;
        timer_ = SetTimer(nullptr, 0, 30, onTimer);
    }
    ~MenuCloser() {
        KillTimer(nullptr, timer_);
        current() = nullptr;
    }
    std::vector<HMENU> opened;

private:
    static MenuCloser*& current() {
        static MenuCloser* closer = nullptr;
        return closer;
    }
    static void CALLBACK onTimer(HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), visit, 0); }
    static BOOL CALLBACK visit(HWND window, LPARAM) {
        char cls[16] = {};
        GetClassNameA(window, cls, sizeof cls);
        MenuCloser* self = current();
        if (!self || std::string(cls) != "#32768" || !IsWindowVisible(window) || window == self->last_) return TRUE;
        self->last_ = window;
        self->opened.push_back(reinterpret_cast<HMENU>(SendMessageA(window, MN_GETHMENU, 0, 0)));
        EndMenu();
        return FALSE;
    }
    UINT_PTR timer_ = 0;
    HWND last_ = nullptr;
};

LPARAM screenPoint(HWND window, int x, int y) {
    POINT pt = {x, y};
    ClientToScreen(window, &pt);
    return MAKELPARAM(pt.x, pt.y);
}

TEST_F(MenuStateTest, ContextMenusOpenThePagePopupOverAnItemAndTheEditPopupOverTheEditor) {
    HWND tree = list().window();
    const ItemHandle target = itemAt(2);
    RECT r = {};
    ASSERT_TRUE(TreeView_GetItemRect(tree, reinterpret_cast<HTREEITEM>(target), &r, TRUE));
    {
        MenuCloser closer;
        SendMessageA(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(tree),
                     screenPoint(tree, (r.left + r.right) / 2, (r.top + r.bottom) / 2));
        testapp::pumpMessages();
        ASSERT_EQ(closer.opened.size(), 1u);
        EXPECT_EQ(closer.opened[0], GetSubMenu(bar(), 1));
    }
    EXPECT_EQ(list().GetSelection(), target);
    EXPECT_EQ(pagedisplay::shownItem(), target);

    // below the last item: no menu, the selection stays
    RECT client = {};
    GetClientRect(tree, &client);
    ASSERT_GT(client.bottom - 4, r.bottom);
    select(itemAt(0));
    {
        MenuCloser closer;
        SendMessageA(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(tree), screenPoint(tree, 5, client.bottom - 4));
        testapp::pumpMessages();
        EXPECT_TRUE(closer.opened.empty());
    }
    EXPECT_EQ(list().GetSelection(), itemAt(0));

    {
        MenuCloser closer;
        SendMessageA(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(editor()), screenPoint(editor(), 20, 20));
        testapp::pumpMessages();
        ASSERT_EQ(closer.opened.size(), 1u);
        EXPECT_EQ(closer.opened[0], GetSubMenu(bar(), 2));
    }
    {
        MenuCloser closer;
        SendMessageA(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(gControls.toolbar),
                     screenPoint(gControls.toolbar, 5, 5));
        testapp::pumpMessages();
        EXPECT_TRUE(closer.opened.empty());
    }
}

}  // namespace
