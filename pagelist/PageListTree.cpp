#include <windows.h>
#include <commctrl.h>

#include "pagelist/PageListTree.h"

ItemHandle PageListTree::firstRoot() const {
    return reinterpret_cast<ItemHandle>(TreeView_GetRoot(list_.window()));
}

// By the expanded state rather than the control's own "next visible", which has
// no answer inside a closed folder: an open folder there stays open in the book.
ItemHandle PageListTree::nextVisible(ItemHandle item) const {
    if (list_.IsExpanded(item)) return list_.FirstChild(item);
    for (ItemHandle cur = item; cur; cur = list_.Parent(cur)) {
        if (ItemHandle next = list_.NextSibling(cur)) return next;
    }
    return NO_ITEM;
}

ItemHandle PageListTree::insertLast(ItemHandle parent, const std::string& title, int image, int selectedImage) {
    return list_.InsertItem(title, image, parent, selectedImage);
}

void PageListTree::setExpanded(ItemHandle item, bool expanded) {
    TreeView_Expand(list_.window(), reinterpret_cast<HTREEITEM>(item), expanded ? TVE_EXPAND : TVE_COLLAPSE);
}
