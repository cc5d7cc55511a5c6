#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include "search/SearchWindow.h"

#include <unordered_set>
#include <vector>

#include "pagelist/PageListTree.h"
#include "res/resource.h"
#include "search/MemoText.h"
#include "search/SearchMessages.h"
#include "search/TitleMatch.h"
#include "store/TreeSource.h"
#include "ui/Busy.h"
#include "ui/Dialog.h"

namespace search {

namespace {

// The search in progress, kept from press to press.
struct SearchState {
    std::string lastText;
    int lastTargetId = 0;
    bool lastDown = true;
    bool lastMatchCase = false;
    ItemHandle lastPage = NO_ITEM;
    ItemHandle startPage = NO_ITEM;
    bool wrapped = false;
    bool titlePending = false;
    LONG rangeStart = 0;
    LONG rangeEnd = 0;
    int pagesVisited = 0;  // -1: this page's memo only
};

struct SearchData {
    SearchHost host;
    SearchState state;
    HWND window = nullptr;
};

SearchData gSearch;
bool gRuleOut = true;

// What one press asks for.
struct Press {
    std::string text;
    bool matchCase = false;
    bool down = true;
    int targetId = IDC_SEARCH_ALL;
    bool titles = true;
    bool memos = true;
};

HWND editor() { return gSearch.host.memo->window(); }
PageListControl& list() { return *gSearch.host.list; }

LONG textLength() {
    GETTEXTLENGTHEX how = {GTL_NUMCHARS | GTL_PRECISE, 1200};
    return static_cast<LONG>(SendMessageA(editor(), EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0));
}

void resetRange(SearchState& s, bool down) {
    s.rangeStart = down ? 0 : textLength();
    s.rangeEnd = down ? textLength() : 0;
}

Press readPress(HWND dialog) {
    Press p;
    p.text = ui::itemText(dialog, IDC_SEARCH_TEXT);
    p.matchCase = ui::isChecked(dialog, IDC_SEARCH_MATCH_CASE);
    p.down = !ui::isChecked(dialog, IDC_SEARCH_UP);
    for (int id = IDC_SEARCH_ALL; id <= IDC_SEARCH_THIS_MEMO; ++id) {
        if (!ui::isChecked(dialog, id)) continue;
        p.targetId = id;
        break;
    }
    p.titles = p.targetId == IDC_SEARCH_ALL || p.targetId == IDC_SEARCH_TITLES;
    p.memos = p.targetId != IDC_SEARCH_TITLES;
    return p;
}

void beginIfChanged(SearchState& s, const Press& p, ItemHandle selected) {
    if (p.text == s.lastText && p.targetId == s.lastTargetId && p.down == s.lastDown &&
        p.matchCase == s.lastMatchCase && selected == s.lastPage)
        return;
    s.lastText = p.text;
    s.lastTargetId = p.targetId;
    s.lastDown = p.down;
    s.lastMatchCase = p.matchCase;
    s.lastPage = s.startPage = selected;
    s.wrapped = false;
    s.titlePending = true;
    resetRange(s, p.down);
    s.pagesVisited = p.targetId == IDC_SEARCH_THIS_MEMO ? -1 : 0;
}

// Folders not showing their children now; a search closes again those it only passed through.
std::vector<ItemHandle> closedFolders() {
    std::vector<ItemHandle> closed;
    for (const ItemLink& link : list().CollectSubtreeLinks(PageListControl::root())) {
        if (link.item != PageListControl::root() && link.firstChild && !list().IsExpanded(link.item))
            closed.push_back(link.item);
    }
    return closed;
}

void closeFoldersPassed(const std::vector<ItemHandle>& closed) {
    std::unordered_set<ItemHandle> path;
    for (ItemHandle p = list().Parent(list().GetSelection()); p; p = list().Parent(p)) path.insert(p);
    for (ItemHandle folder : closed) {
        // only those the search opened: asking a closed folder to close costs the control as much
        if (!path.count(folder) && list().IsExpanded(folder))
            TreeView_Expand(list().window(), reinterpret_cast<HTREEITEM>(folder), TVE_COLLAPSE);
    }
}

// Whether the editor has to show the page to search it: always for a secure
// page (it asks for the password), otherwise when its stored text may hold the text.
bool mustShow(ItemHandle item, const Press& p) {
    if (!gRuleOut) return true;
    const int index = gSearch.host.pages->indexOfItem(item);
    if (index < 0) return true;
    const PageRecord& record = gSearch.host.pages->recordAt(index);
    if (record.isSecure) return true;
    return p.memos && memoMayContain(record.text, p.text, p.matchCase);
}

// Selecting the page shows it in the editor; the range is its whole memo.
void show(SearchState& s, ItemHandle item, bool down) {
    if (list().GetSelection() != item) list().Select(item);
    resetRange(s, down);
}

// The editor's own find over the range; true when it found and selected a match.
// A locked secure page holds only the placeholder: nothing of it is searched.
bool findInMemo(SearchState& s, const Press& p) {
    if (gSearch.host.memo->locked) return false;
    FINDTEXTEXA find = {};
    find.chrg.cpMin = s.rangeStart;
    find.chrg.cpMax = s.rangeEnd;
    find.lpstrText = p.text.c_str();
    const WPARAM flags = (p.down ? FR_DOWN : 0) | (p.matchCase ? FR_MATCHCASE : 0);
    if (SendMessageA(editor(), EM_FINDTEXTEX, flags, reinterpret_cast<LPARAM>(&find)) < 0) return false;
    if (!p.memos) return false;  // a match where memos are not searched counts for nothing
    s.rangeStart = p.down ? find.chrgText.cpMin + 1 : find.chrgText.cpMax - 1;
    SendMessageA(editor(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&find.chrgText));
    SendMessageA(editor(), EM_SCROLLCARET, 0, 0);
    return true;
}

bool titleMatches(ItemHandle item, const Press& p) {
    const std::string title = list().GetTitle(item);
    return matchTitle(p.text, title.c_str(), title.size(), p.matchCase, p.down);
}

ItemHandle lastInOrder() {
    ItemHandle last = NO_ITEM;
    for (ItemHandle top = list().FirstChild(PageListControl::root()); top; top = list().NextSibling(top)) last = top;
    while (last && list().FirstChild(last)) {
        ItemHandle child = list().FirstChild(last);
        while (list().NextSibling(child)) child = list().NextSibling(child);
        last = child;
    }
    return last;
}

// One press, from the page the search stands on to the next stop; returns the status text.
// A page the search passes is shown only when it has to be (see mustShow); where it
// stops it is always shown, so the window ends as if every page had been.
const char* searchOn(SearchState& s, const Press& p) {
    ItemHandle current = list().GetSelection();
    bool shown = true;
    for (;;) {
        if (s.titlePending && p.titles) {
            s.titlePending = false;
            if (titleMatches(current, p)) {
                if (!shown) show(s, current, p.down);
                return FOUND_IN_TITLE;
            }
        }
        if (!shown && mustShow(current, p)) {
            show(s, current, p.down);
            shown = true;
        }
        if (shown && findInMemo(s, p)) return FOUND_IN_MEMO;
        if (s.pagesVisited == -1) {
            s.rangeStart = p.down ? 0 : textLength();
            return SEARCHED_TO_END;
        }
        ++s.pagesVisited;
        s.titlePending = true;
        ItemHandle next = p.down ? list().NextInOrder(current) : list().PreviousInOrder(current);
        if (!next) {
            s.wrapped = true;
            next = p.down ? list().FirstChild(PageListControl::root()) : lastInOrder();
        }
        current = next;
        s.lastPage = current;
        shown = current == list().GetSelection();  // the editor's page: its stored text may be old
        if (shown) resetRange(s, p.down);
        if ((current == s.startPage && s.wrapped) || s.pagesVisited >= gSearch.host.pages->count()) {
            show(s, current, p.down);
            s.pagesVisited = 0;
            s.wrapped = false;
            return BACK_AT_START_PAGE;
        }
    }
}

// A press inside another operation (the window stays usable while a dialog of the
// main window is up) is refused: it would change the page that operation works on.
void findNext(HWND dialog) {
    if (busy::inProgress()) {
        MessageBeep(MB_OK);
        return;
    }
    const busy::Operation operation;
    SearchState& s = gSearch.state;
    const Press p = readPress(dialog);
    beginIfChanged(s, p, list().GetSelection());
    PageListTree tree(list());
    refreshFromTree(*gSearch.host.pages, tree);
    const std::vector<ItemHandle> closed = closedFolders();
    const char* status = searchOn(s, p);
    s.lastPage = list().GetSelection();
    ui::setItemText(dialog, IDC_SEARCH_STATUS, status);
    closeFoldersPassed(closed);
}

void hide(HWND dialog) { ShowWindow(dialog, SW_HIDE); }

INT_PTR onInit(HWND dialog) {
    const IniSettings::SearchWindow& o = *gSearch.host.options;
    const int target = o.Target >= 0 && o.Target <= 3 ? o.Target : 0;
    ui::setChecked(dialog, IDC_SEARCH_ALL + target, true);
    ui::setChecked(dialog, IDC_SEARCH_MATCH_CASE, o.MatchCase);
    ui::setChecked(dialog, IDC_SEARCH_UP, !o.Down);
    return TRUE;
}

INT_PTR onCommand(HWND dialog, int id) {
    IniSettings::SearchWindow& o = *gSearch.host.options;
    switch (id) {
        case IDC_SEARCH_NEXT:
            findNext(dialog);
            return TRUE;
        case IDCANCEL:
            hide(dialog);
            return TRUE;
        case IDC_SEARCH_MATCH_CASE:
            o.MatchCase = ui::isChecked(dialog, id);
            return TRUE;
        case IDC_SEARCH_UP:
            o.Down = !ui::isChecked(dialog, id);
            return TRUE;
        case IDC_SEARCH_ALL:
        case IDC_SEARCH_TITLES:
        case IDC_SEARCH_MEMOS:
        case IDC_SEARCH_THIS_MEMO:
            o.Target = id - IDC_SEARCH_ALL;
            return TRUE;
        default:
            return FALSE;
    }
}

INT_PTR CALLBACK searchProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    SearchData* data = ui::dialogData<SearchData>(dialog, message, lParam);
    if (!data) return FALSE;
    switch (message) {
        case WM_INITDIALOG:
            return onInit(dialog);
        case WM_COMMAND:
            return onCommand(dialog, LOWORD(wParam));
        case WM_CLOSE:
            hide(dialog);
            return TRUE;  // never destroyed before the exit
        default:
            return FALSE;
    }
}

}  // namespace

HWND createSearchWindow(const SearchHost& host) {
    gSearch = SearchData();
    gSearch.host = host;
    HWND window = ui::createModeless(nullptr, IDD_SEARCH, searchProc, &gSearch);
    if (!window) return nullptr;
    gSearch.window = window;
    SetWindowPos(window, nullptr, host.options->PosX, host.options->PosY, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return window;
}

void showSearchWindow(const std::string& text) {
    HWND window = gSearch.window;
    if (!window || !IsWindow(window)) return;
    ShowWindow(window, SW_SHOW);
    ui::setItemText(window, IDC_SEARCH_TEXT, text);
    SendDlgItemMessageA(window, IDC_SEARCH_TEXT, EM_SETSEL, 0, -1);
    SetFocus(GetDlgItem(window, IDC_SEARCH_TEXT));
}

void setRuleOut(bool on) { gRuleOut = on; }

}  // namespace search
