// Measures, on the real main window under the platform's controls, two things
// that must not grow out of hand with a large book:
//   search BOOK   a search for a word that only the last page holds, first with
//                 pages ruled out from their stored text, then with every page
//                 shown and searched by the editor (the steps taken literally)
//   parts BOOK    the first half of "search", with the time of each part of it
//   drop BOOK     dragging the last top-level item onto the first item, which
//                 re-creates every item of the tree
// Prints one line per figure. scripts/bench-ui.sh makes the books and runs it.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <cstdio>
#include <string>

#include "app/Lifecycle.h"
#include "app/AppState.h"
#include "app/Book.h"
#include "app/MainControls.h"
#include "res/resource.h"
#include "pagelist/DragMessages.h"
#include "pagelist/PageListTree.h"
#include "search/MemoText.h"
#include "search/SearchWindow.h"
#include "store/TreeSource.h"
#include "support/TestApp.h"
#include "ui/Dialog.h"
#include "store/Wide932.h"
#include "ui/WideText.h"

namespace {

const char ONLY_ON_LAST_PAGE[] = "zqxjvw";

double seconds() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

PageListControl& list() { return gControls.pageList; }

void select(ItemHandle item) {
    list().Select(item);
    testapp::pumpMessages();
}

ItemHandle lastInOrder() {
    ItemHandle last = list().FirstChild(PageListControl::root());
    for (ItemHandle i = last; i; i = list().NextInOrder(i)) last = i;
    return last;
}

int itemCount() {
    int n = 0;
    for (ItemHandle i = list().FirstChild(PageListControl::root()); i; i = list().NextInOrder(i)) ++n;
    return n;
}

// One search from the first page to the word on the last one; seconds taken.
double timeSearch(bool ruleOut, ItemHandle first, ItemHandle last) {
    search::setRuleOut(ruleOut);
    select(first);
    HWND window = gApp.searchWindow;
    const double start = seconds();
    SendMessageW(window, WM_COMMAND, IDC_SEARCH_NEXT, 0);
    const double took = seconds() - start;
    const bool found =
        list().GetSelection() == last && ui::itemText(window, IDC_SEARCH_STATUS) == "メモに見つかりました。";
    std::printf("search %-22s %8.3f s%s\n", ruleOut ? "(pages ruled out)" : "(every page shown)", took,
                found ? "" : "  NOT FOUND");
    return took;
}

// Where a ruled-out search spends its time, part by part.
void probeParts() {
    double start = seconds();
    PageListTree tree(list());
    refreshFromTree(gBook.pages, tree);
    std::printf("  refresh from tree %8.3f s\n", seconds() - start);
    start = seconds();
    int may = 0;
    for (int i = 0; i < gBook.pages.count(); ++i)
        may += search::memoMayContain(gBook.pages.recordAt(i).text, ONLY_ON_LAST_PAGE, false) ? 1 : 0;
    std::printf("  rule-out of every page %8.3f s (%d may match)\n", seconds() - start, may);
    start = seconds();
    for (ItemHandle i = list().FirstChild(PageListControl::root()); i; i = list().NextInOrder(i)) {
        const std::string title = list().GetTitle(i);
        may += gBook.pages.indexOfItem(i) < 0;
    }
    std::printf("  walk, titles, records %8.3f s\n", seconds() - start);
    start = seconds();
    int closed = 0;
    for (ItemHandle i = list().FirstChild(PageListControl::root()); i; i = list().NextInOrder(i))
        closed += list().FirstChild(i) && !list().IsExpanded(i);
    std::printf("  find the %d closed folders %8.3f s\n", closed, seconds() - start);
}

int benchSearch(bool baseline) {
    const ItemHandle first = list().FirstChild(PageListControl::root());
    const ItemHandle last = lastInOrder();
    select(last);
    SendMessageW(gControls.memo.window(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide::from932(ONLY_ON_LAST_PAGE).c_str()));
    select(first);  // stores the last page with the word in it
    HWND window = gApp.searchWindow;
    ui::setItemText(window, IDC_SEARCH_TEXT, ONLY_ON_LAST_PAGE);
    ui::setChecked(window, IDC_SEARCH_ALL, true);
    ui::setChecked(window, IDC_SEARCH_MATCH_CASE, false);
    ui::setChecked(window, IDC_SEARCH_UP, false);
    std::printf("book: %d items\n", itemCount());
    probeParts();
    const double fast = timeSearch(true, first, last);
    if (!baseline) return 0;
    const double slow = timeSearch(false, first, last);
    std::printf("search speed-up %.1fx\n", fast > 0 ? slow / fast : 0.0);
    return 0;
}

int benchDrop(HWND window) {
    const int items = itemCount();
    const ItemHandle first = list().FirstChild(PageListControl::root());
    ItemHandle lastTop = first;
    while (list().NextSibling(lastTop)) lastTop = list().NextSibling(lastTop);

    const double start = seconds();
    dragmessages::begin(window, lastTop);
    TreeView_Select(list().window(), reinterpret_cast<HTREEITEM>(first), TVGN_FIRSTVISIBLE);
    dragmessages::moveTo(window, dragmessages::labelPoint(first));
    dragmessages::release(window);
    testapp::pumpMessages();
    const double took = seconds() - start;
    const bool moved = list().FirstChild(PageListControl::root()) != first;
    std::printf("drop onto the first of %d items %8.3f s  %.1f us/item%s\n", items, took, took * 1e6 / items,
                moved ? "" : "  NOT MOVED");
    return moved ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: uibench search|parts|drop BOOK\n");
        return 2;
    }
    testapp::TempFolder folder;
    CreateDirectoryW(wide::from932(folder.file("data")).c_str(), nullptr);
    if (!CopyFileA(argv[2], (folder.file("data") + "\\quiltpad.qpd").c_str(), FALSE)) {
        std::fprintf(stderr, "uibench: cannot copy %s\n", argv[2]);
        return 2;
    }
    const double start = seconds();
    HWND window = testapp::createMainWindowIn(folder.path());
    if (!window) return 2;
    std::printf("load %.3f s\n", seconds() - start);
    const std::string mode = argv[1];
    const int result = mode == "drop" ? benchDrop(window) : benchSearch(mode == "search");
    lifecycle::setSaveAtExit(false);
    testapp::destroyMainWindow(window);
    return result;
}
