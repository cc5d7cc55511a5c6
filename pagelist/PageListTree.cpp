#include <windows.h>
#include <commctrl.h>

#include "pagelist/PageListTree.h"

ItemHandle PageListTree::firstRoot() const {
    return reinterpret_cast<ItemHandle>(TreeView_GetRoot(list_.window()));
}

ItemHandle PageListTree::nextVisible(ItemHandle item) const {
    return reinterpret_cast<ItemHandle>(TreeView_GetNextVisible(list_.window(), reinterpret_cast<HTREEITEM>(item)));
}

ItemHandle PageListTree::insertLast(ItemHandle parent, const std::string& title, int image, int selectedImage) {
    return list_.InsertItem(title, image, parent, selectedImage);
}

void PageListTree::setExpanded(ItemHandle item, bool expanded) {
    TreeView_Expand(list_.window(), reinterpret_cast<HTREEITEM>(item), expanded ? TVE_EXPAND : TVE_COLLAPSE);
}
