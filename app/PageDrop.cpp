#include <windows.h>
#include <commctrl.h>
#include <windowsx.h>

#include "app/PageDrop.h"

#include <vector>

#include "app/Book.h"
#include "app/MainControls.h"
#include "app/PageDisplay.h"

namespace pagedrop {

namespace {
ItemHandle gOldParent = NO_ITEM;  // the dragged item's parent when the drag began
}

void begin(HWND window, const NMTREEVIEWW& info) {
    PageListControl& list = gControls.pageList;
    list.BeginDrag(info, window);
    if (list.IsDragging()) gOldParent = list.Parent(reinterpret_cast<ItemHandle>(info.itemNew.hItem));
}

void track(HWND, LPARAM point) {
    if (gControls.pageList.IsDragging()) gControls.pageList.DragMove({GET_X_LPARAM(point), GET_Y_LPARAM(point)});
}

void cancel(HWND) {
    if (!gControls.pageList.CancelDrag()) return;
    gOldParent = NO_ITEM;
    // the list shows the editor's page again, as before the drag
    if (pagedisplay::shownItem() != NO_ITEM) gControls.pageList.Select(pagedisplay::shownItem());
}

void end(HWND) {
    PageListControl& list = gControls.pageList;
    if (!list.IsDragging()) return;
    const std::vector<ItemMove> moves = list.EndDrag();
    // every record is found before any is changed: a changed handle makes the
    // table's lookup rebuild itself at the next lookup
    std::vector<int> records;
    records.reserve(moves.size());
    for (const ItemMove& move : moves) records.push_back(gBook.pages.indexOfItem(move.item));
    for (size_t i = 0; i < moves.size(); ++i) {
        if (records[i] >= 0) gBook.pages.setItem(records[i], moves[i].moved);
        if (gOldParent == moves[i].item) gOldParent = moves[i].moved;
        // the editor's page keeps its identity, or its text would be stored nowhere
        pagedisplay::shownItemMoved(moves[i].item, moves[i].moved);
    }
    if (gOldParent != NO_ITEM && list.FirstChild(gOldParent) == NO_ITEM) {
        pagedisplay::addPageIfEmpty(gOldParent);
        if (list.FirstChild(gOldParent) != NO_ITEM)
            TreeView_Expand(list.window(), reinterpret_cast<HTREEITEM>(gOldParent), TVE_EXPAND);
    }
    gOldParent = NO_ITEM;
    if (pagedisplay::shownItem() != NO_ITEM) list.Select(pagedisplay::shownItem());
}

}  // namespace pagedrop
