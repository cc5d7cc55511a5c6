#include <windows.h>
#include <commctrl.h>
#include <windowsx.h>

#include "app/PageDrop.h"

#include "app/Book.h"
#include "app/MainControls.h"
#include "app/PageDisplay.h"

namespace pagedrop {

namespace {
ItemHandle gOldParent = NO_ITEM;  // the dragged item's parent when the drag began
}

void begin(HWND window, const NMTREEVIEWA& info) {
    PageListControl& list = gControls.pageList;
    list.BeginDrag(info, window);
    if (list.IsDragging()) gOldParent = list.Parent(reinterpret_cast<ItemHandle>(info.itemNew.hItem));
}

void track(HWND, LPARAM point) {
    if (gControls.pageList.IsDragging()) gControls.pageList.DragMove({GET_X_LPARAM(point), GET_Y_LPARAM(point)});
}

void end(HWND) {
    PageListControl& list = gControls.pageList;
    if (!list.IsDragging()) return;
    for (const ItemMove& move : list.EndDrag()) {
        const int index = gBook.pages.indexOfItem(move.item);
        if (index >= 0) gBook.pages.setItem(index, move.moved);
        if (gOldParent == move.item) gOldParent = move.moved;
        // the editor's page keeps its identity, or its text would be stored nowhere
        if (gBook.shownItem == move.item) gBook.shownItem = move.moved;
    }
    if (gOldParent != NO_ITEM && list.FirstChild(gOldParent) == NO_ITEM) {
        pagedisplay::addPageIfEmpty(gOldParent);
        if (list.FirstChild(gOldParent) != NO_ITEM)
            TreeView_Expand(list.window(), reinterpret_cast<HTREEITEM>(gOldParent), TVE_EXPAND);
    }
    gOldParent = NO_ITEM;
    if (gBook.shownItem != NO_ITEM) list.Select(gBook.shownItem);
}

}  // namespace pagedrop
