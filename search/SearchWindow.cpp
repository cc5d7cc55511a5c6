#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include "search/SearchWindow.h"

#include <unordered_set>
#include <vector>

#include "pagelist/PageListRules.h"
#include "pagelist/PageListTree.h"
#include "res/resource.h"
#include "search/MemoText.h"
#include "search/SearchMessages.h"
#include "search/TitleMatch.h"
#include "settings/Monitors.h"
#include "store/TreeSource.h"
#include "ui/Busy.h"
#include "ui/Dialog.h"
#include "ui/WideText.h"

namespace search {

namespace {

// The search in progress, kept from press to press.
struct SearchState {
    std::wstring lastText;
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
PlaceWindow gWindow;  // reads the texts a press passes; let go when the press ends

// What one press asks for.
struct Press {
    std::wstring text;    // any character a page can hold
    std::string titleText;  // the same in code page 932, as titles are kept
    bool titleable = true;  // false: the text has a character no title can hold
    bool matchCase = false;
    bool down = true;
    int targetId = IDC_SEARCH_ALL;
    bool titles = true;
    bool memos = true;
};

HWND editor() { return gSearch.host.memo->window(); }
PageListControl& list() { return *gSearch.host.list; }

// The order a search walks the pages in. Right after refreshFromTree every record's `order`
// is its place in the tree's pre-order, so the walk steps through the records by order and
// asks neither the control nor a lookup per page; the control is asked only about a page that
// must be shown. Without that numbering it follows the page list's shadow when that agrees
// with the control (under some platforms every question to the control that names an item
// searches all its items), else the control.
class Walk {
public:
    explicit Walk(const PageTable& pages)
        : pages_(pages), shadow_(list().shadow()), useShadow_(list().ShadowMatches()) {
        const int n = pages.count();
        sequence_.assign(static_cast<std::size_t>(n), -1);
        for (int i = 0; i < n; ++i) {
            const int order = pages.recordAt(i).order;
            if (order < 0 || order >= n || sequence_[static_cast<std::size_t>(order)] != -1) {
                sequence_.clear();  // not numbered in tree order
                break;
            }
            sequence_[static_cast<std::size_t>(order)] = i;
        }
    }
    bool numbered() const { return !sequence_.empty(); }
    // The record of an item the walk stands on, or null.
    const PageRecord* record(ItemHandle item) const {
        const int at = position(item);
        if (at >= 0) return &pages_.recordAt(sequence_[static_cast<std::size_t>(at)]);
        const int index = pages_.indexOfItem(item);
        return index < 0 ? nullptr : &pages_.recordAt(index);
    }
    ItemHandle first() const {
        if (!sequence_.empty()) return itemAt(0);
        return useShadow_ ? shadow_.firstRoot() : list().FirstChild(PageListControl::root());
    }
    ItemHandle firstChild(ItemHandle item) const {
        return useShadow_ ? shadow_.firstChild(item) : list().FirstChild(item);
    }
    ItemHandle next(ItemHandle item) const {
        const int at = position(item);
        if (at >= 0) return at + 1 < static_cast<int>(sequence_.size()) ? itemAt(at + 1) : NO_ITEM;
        if (!useShadow_) return list().NextInOrder(item);
        if (ItemHandle child = shadow_.firstChild(item)) return child;
        for (; item; item = shadow_.parent(item))
            if (ItemHandle sibling = shadow_.nextSibling(item)) return sibling;
        return NO_ITEM;
    }
    ItemHandle previous(ItemHandle item) const {
        const int at = position(item);
        if (at >= 0) return at > 0 ? itemAt(at - 1) : NO_ITEM;
        if (!useShadow_) return list().PreviousInOrder(item);
        const ItemHandle sibling = shadow_.previousSibling(item);
        return sibling ? deepestLast(sibling) : shadow_.parent(item);
    }
    ItemHandle last() const {
        if (!sequence_.empty()) return itemAt(static_cast<int>(sequence_.size()) - 1);
        if (useShadow_) return deepestLast(shadow_.lastChild(0));
        ItemHandle top = list().FirstChild(PageListControl::root());
        for (ItemHandle sibling = top; sibling; sibling = list().NextSibling(sibling)) top = sibling;
        for (ItemHandle item = top; item;) {
            ItemHandle child = list().FirstChild(item);
            if (!child) return item;
            while (list().NextSibling(child)) child = list().NextSibling(child);
            item = child;
        }
        return top;
    }

private:
    ItemHandle itemAt(int at) const {
        cursor_ = at;
        return pages_.recordAt(sequence_[static_cast<std::size_t>(at)]).item;
    }
    // The item's place in the order: the last one handed out, else looked up; -1 without one.
    int position(ItemHandle item) const {
        if (sequence_.empty() || !item) return -1;
        if (cursor_ >= 0 && pages_.recordAt(sequence_[static_cast<std::size_t>(cursor_)]).item == item) return cursor_;
        const int index = pages_.indexOfItem(item);
        if (index < 0) return -1;
        cursor_ = pages_.recordAt(index).order;
        return cursor_;
    }
    ItemHandle deepestLast(ItemHandle item) const {
        for (ItemHandle child = shadow_.lastChild(item); item && child; child = shadow_.lastChild(item)) item = child;
        return item;
    }
    const PageTable& pages_;
    const TreeShadow& shadow_;
    bool useShadow_;
    std::vector<int> sequence_;  // record index at each place in the tree's pre-order
    mutable int cursor_ = -1;
};

LONG textLength() {
    GETTEXTLENGTHEX how = {GTL_NUMCHARS | GTL_PRECISE, 1200};
    return static_cast<LONG>(SendMessageW(editor(), EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0));
}

void resetRange(SearchState& s, bool down) {
    s.rangeStart = down ? 0 : textLength();
    s.rangeEnd = down ? textLength() : 0;
}

Press readPress(HWND dialog) {
    Press p;
    p.text = ui::itemTextWide(dialog, IDC_SEARCH_TEXT);
    p.titleable = wide::to932(p.text, p.titleText);
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
std::vector<ItemHandle> closedFolders(const Walk& walk, const PageTable& pages) {
    std::vector<ItemHandle> closed;
    if (walk.numbered()) {  // the numbering holds which folders have children and are open
        const int n = pages.count();
        std::vector<char> hasChild(static_cast<std::size_t>(n), 0);
        for (int i = 0; i < n; ++i) {
            const int parent = pages.recordAt(i).parentOrder;
            if (parent >= 0 && parent < n) hasChild[static_cast<std::size_t>(parent)] = 1;
        }
        for (int i = 0; i < n; ++i) {
            const PageRecord& r = pages.recordAt(i);
            if (hasChild[static_cast<std::size_t>(r.order)] && !r.isExpanded) closed.push_back(r.item);
        }
        return closed;
    }
    for (ItemHandle item = walk.first(); item; item = walk.next(item)) {
        if (walk.firstChild(item) && !list().IsExpanded(item)) closed.push_back(item);
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
bool mustShow(ItemHandle item, const Press& p, const Walk& walk) {
    if (!gRuleOut) return true;
    const PageRecord* found = walk.record(item);
    if (!found) return true;
    const PageRecord& record = *found;
    if (record.isSecure) return true;
    if (!p.memos) return false;
    // a text at its place in the data file is read through one window for the whole walk;
    // one that cannot be read is shown, and showing it says so
    std::string_view text;
    if (!viewText(record, text, gWindow)) return true;
    if (p.titleable) return memoMayContain(text, p.titleText, p.matchCase);
    return memoMayContain(text, std::u16string(p.text.begin(), p.text.end()), p.matchCase);
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
    FINDTEXTEXW find = {};
    find.chrg.cpMin = s.rangeStart;
    find.chrg.cpMax = s.rangeEnd;
    find.lpstrText = p.text.c_str();
    const WPARAM flags = (p.down ? FR_DOWN : 0) | (p.matchCase ? FR_MATCHCASE : 0);
    if (SendMessageW(editor(), EM_FINDTEXTEX, flags, reinterpret_cast<LPARAM>(&find)) < 0) return false;
    if (!p.memos) return false;  // a match where memos are not searched counts for nothing
    s.rangeStart = p.down ? find.chrgText.cpMin + 1 : find.chrgText.cpMax - 1;
    SendMessageW(editor(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&find.chrgText));
    SendMessageW(editor(), EM_SCROLLCARET, 0, 0);
    return true;
}

// The title as the list shows it: the record's, cut as the list cuts its labels.
bool titleMatches(ItemHandle item, const Press& p, const Walk& walk) {
    const PageRecord* record = walk.record(item);
    const std::string title = record ? pagelist::cutTitle(record->title) : list().GetTitle(item);
    if (!p.titleable) return false;
    return matchTitle(p.titleText, title.c_str(), title.size(), p.matchCase, p.down);
}

// One press, from the page the search stands on to the next stop; returns the status text.
// A page the search passes is shown only when it has to be (see mustShow); where it
// stops it is always shown, so the window ends as if every page had been.
const char* searchOn(SearchState& s, const Press& p, const Walk& walk) {
    ItemHandle current = list().GetSelection();
    const ItemHandle selected = current;  // the walk selects nothing until it shows a page
    bool shown = true, shownAny = false;
    for (;;) {
        if (s.titlePending && p.titles) {
            s.titlePending = false;
            if (titleMatches(current, p, walk)) {
                if (!shown) show(s, current, p.down);
                return FOUND_IN_TITLE;
            }
        }
        if (!shown && mustShow(current, p, walk)) {
            show(s, current, p.down);
            shown = shownAny = true;
        }
        if (shown && findInMemo(s, p)) return FOUND_IN_MEMO;
        if (s.pagesVisited == -1) {
            s.rangeStart = p.down ? 0 : textLength();
            return SEARCHED_TO_END;
        }
        ++s.pagesVisited;
        s.titlePending = true;
        ItemHandle next = p.down ? walk.next(current) : walk.previous(current);
        if (!next) {
            s.wrapped = true;
            next = p.down ? walk.first() : walk.last();
        }
        current = next;
        s.lastPage = current;
        // the editor's page: its stored text may be old (a page shown on the way is selected)
        shown = current == (shownAny ? list().GetSelection() : selected);
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
    const Walk walk(*gSearch.host.pages);
    const std::vector<ItemHandle> closed = closedFolders(walk, *gSearch.host.pages);
    const char* status = searchOn(s, p, walk);
    gWindow.release();
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
    monitors::placeToolWindow(window, host.options->PosX, host.options->PosY);
    return window;
}

void showSearchWindow(const std::wstring& text) {
    HWND window = gSearch.window;
    if (!window || !IsWindow(window)) return;
    ShowWindow(window, SW_SHOW);
    SetDlgItemTextW(window, IDC_SEARCH_TEXT, text.c_str());
    SendDlgItemMessageW(window, IDC_SEARCH_TEXT, EM_SETSEL, 0, -1);
    SetFocus(GetDlgItem(window, IDC_SEARCH_TEXT));
}

void setRuleOut(bool on) { gRuleOut = on; }

}  // namespace search
