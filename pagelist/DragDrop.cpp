#include <windows.h>
#include <commctrl.h>

#include "pagelist/PageListControl.h"
#include "pagelist/TreeMove.h"
#include "ui/Busy.h"

namespace {

HTREEITEM handle(ItemHandle item) { return reinterpret_cast<HTREEITEM>(item); }
ItemHandle toItem(HTREEITEM item) { return reinterpret_cast<ItemHandle>(item); }

// Reads what the rebuild needs of each item of the tree from the first of the
// two items on, before anything changes.
std::vector<treemove::DropItem> readOrderList(const PageListControl& list, ItemHandle dragged, ItemHandle target) {
    std::vector<treemove::DropItem> items;
    for (const ItemLink& link : list.CollectSubtreeLinks(PageListControl::root())) {
        if (items.empty() && link.item != dragged && link.item != target) continue;
        treemove::DropItem d;
        d.item = link.item;
        d.parent = link.parent;
        const ItemImages images = list.GetImages(link.item);
        d.image = images.image;
        d.selected = images.selected;
        d.title = list.GetTitle(link.item);
        d.expanded = list.IsExpanded(link.item);
        items.push_back(std::move(d));
    }
    return items;
}

}  // namespace

namespace {

// The drag button as the thread has seen it so far (the left one, or the right one when
// the buttons are swapped).
bool dragButtonDown() {
    const int button = GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
    return (GetKeyState(button) & 0x8000) != 0;
}

}  // namespace

void PageListControl::BeginDrag(const NMTREEVIEWW& info, HWND captureWindow) {
    const ItemHandle item = toItem(info.itemNew.hItem);
    if (!item || drag_.dragging || busy::inProgress()) return;  // nothing starts inside an operation
    Select(item);                                               // shows the page, which may ask for its password first
    // released meanwhile (inside the password dialog): no drag, or the next click would drop
    if (!dragButtonDown()) return;
    drag_.image = TreeView_CreateDragImage(window_, handle(item));
    RECT row = {};
    TreeView_GetItemRect(window_, handle(item), &row, FALSE);
    const int indent = static_cast<int>(TreeView_GetIndent(window_));
    const int hotX = info.ptDrag.x - indent * Depth(item) - row.left;
    const int hotY = info.ptDrag.y - row.top;
    if (drag_.image) {
        ImageList_BeginDrag(drag_.image, 0, hotX, hotY);
        ImageList_DragEnter(window_, info.ptDrag.x, info.ptDrag.y);
    }
    drag_.captureWindow = captureWindow;
    SetCapture(captureWindow);
    drag_.dragging = true;
    drag_.item = item;
    drag_.target = 0;
}

void PageListControl::DragMove(POINT position) {
    if (!drag_.dragging) return;
    POINT pt = position;
    MapWindowPoints(drag_.captureWindow, window_, &pt, 1);
    ImageList_DragMove(pt.x, pt.y);
    ImageList_DragShowNolock(FALSE);
    TVHITTESTINFO hit = {};
    hit.pt = pt;
    const ItemHandle item = toItem(TreeView_HitTest(window_, &hit));
    if (item) {
        ImageList_DragLeave(window_);
        TreeView_SelectDropTarget(window_, handle(item));
        Reveal(item);
        drag_.target = item;
        // every third move near the top or bottom edge scrolls one item
        RECT client;
        GetClientRect(window_, &client);
        const int height = static_cast<int>(TreeView_GetItemHeight(window_));
        const bool top = pt.y >= 0 && pt.y <= height;
        const bool bottom = pt.y >= client.bottom - height && pt.y <= client.bottom;
        if ((top || bottom) && ++drag_.scrollCounter > 2) {
            drag_.scrollCounter = 0;
            const HTREEITEM next =
                top ? TreeView_GetPrevVisible(window_, handle(item)) : TreeView_GetNextVisible(window_, handle(item));
            Reveal(toItem(next));
        }
        if (hit.flags & TVHT_ONITEMICON) TreeView_Expand(window_, handle(item), TVE_EXPAND);
        ImageList_DragEnter(window_, pt.x, pt.y);
    }
    ImageList_DragShowNolock(TRUE);
}

void PageListControl::releaseDrag() {
    ImageList_DragLeave(window_);
    ImageList_EndDrag();
    if (drag_.image) ImageList_Destroy(drag_.image);
    drag_.image = nullptr;
    TreeView_SelectDropTarget(window_, nullptr);
    drag_.ending = true;
    ReleaseCapture();
    drag_.ending = false;
}

std::vector<ItemMove> PageListControl::EndDrag() {
    if (!drag_.dragging) return {};
    releaseDrag();
    std::vector<ItemMove> moves = dropOnTarget();
    drag_.dragging = false;  // last: the selection changes of the rebuild are not page changes
    return moves;
}

bool PageListControl::CancelDrag() {
    if (!drag_.dragging || drag_.ending) return false;  // ending: the drop lets the capture go itself
    releaseDrag();
    drag_.dragging = false;
    return true;
}

std::vector<ItemMove> PageListControl::dropOnTarget() {
    const ItemHandle dragged = drag_.item;
    const ItemHandle target = drag_.target;
    if (!target || target == dragged) return {};
    std::vector<ItemHandle> subtree;
    for (const ItemMove& m : CollectSubtree(dragged)) subtree.push_back(m.item);
    if (!treemove::acceptsDrop(subtree, target)) return {};

    const ItemHandle firstVisible = toItem(TreeView_GetFirstVisible(window_));
    std::vector<treemove::DropItem> items = readOrderList(*this, dragged, target);
    const std::vector<ItemHandle> roots = treemove::deletionRoots(items);

    SendMessageW(window_, WM_SETREDRAW, FALSE, 0);
    // made open where they were open: children then join a shown list at its end,
    // which costs the control far less than opening each folder afterwards
    const auto insert = [this](const treemove::DropItem& d, ItemHandle parent) {
        return InsertItem(d.title, d.image, parent, d.selected, d.expanded);
    };
    const bool rebuilt = treemove::rebuild(items, dragged, target, subtree.size(), insert);
    if (!rebuilt) {
        // the control refused an item: take back what was made, the tree stays as it was
        for (auto d = items.rbegin(); d != items.rend(); ++d)
            if (d->moved) deleteOne(d->moved);
    } else {
        for (ItemHandle old : roots) deleteOne(old);  // children go with them
    }
    SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
    if (!rebuilt) return {};

    std::vector<ItemMove> moves;
    moves.reserve(items.size());
    ItemHandle shownFirst = firstVisible;
    for (const treemove::DropItem& d : items) {
        moves.push_back({d.item, d.moved});
        if (d.item == dragged) drag_.item = d.moved;
        if (d.item == target) drag_.target = d.moved;
        if (d.item == firstVisible) shownFirst = 0;
    }
    for (const treemove::DropItem& d : items)
        if (d.expanded && !IsExpanded(d.moved)) TreeView_Expand(window_, handle(d.moved), TVE_EXPAND);
    if (!shownFirst) shownFirst = drag_.item;
    Select(drag_.item);
    Reveal(shownFirst);
    return moves;
}
