#include <windows.h>
#include <commctrl.h>

#include "pagelist/PageListTree.h"

ItemHandle PageListTree::firstRoot() const {
    if (shadow_) return list_.shadow().firstRoot();
    return reinterpret_cast<ItemHandle>(TreeView_GetRoot(list_.window()));
}

ItemHandle PageListTree::nextSibling(ItemHandle item) const {
    return shadow_ ? list_.shadow().nextSibling(item) : list_.NextSibling(item);
}

TreeItemFacts PageListTree::facts(ItemHandle item) const {
    TreeItemFacts facts;
    if (shadow_) {
        facts.firstChild = list_.shadow().firstChild(item);
        facts.image = list_.shadow().image(item);
        facts.expanded = facts.firstChild && list_.GetState(item).expanded;
        return facts;
    }
    facts.firstChild = list_.FirstChild(item);
    const ItemState state = list_.GetState(item);
    facts.expanded = state.expanded;
    facts.image = state.image;
    return facts;
}

ItemHandle PageListTree::insertLast(ItemHandle parent, const std::string& title, int image, int selectedImage,
                                    bool expanded) {
    return list_.InsertItem(title, image, parent, selectedImage, expanded);
}

ItemHandle PageListTree::insertAfter(ItemHandle parent, ItemHandle after, const std::string& title, int image,
                                     int selectedImage) {
    return list_.InsertItemAfter(title, image, parent, after, selectedImage);
}

void PageListTree::beginFill(int items) {
    SendMessageW(list_.window(), WM_SETREDRAW, FALSE, 0);
    list_.ReserveShadow(items);
}

void PageListTree::endFill() {
    HWND tree = list_.window();
    SendMessageW(tree, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(tree, nullptr, TRUE);
}
