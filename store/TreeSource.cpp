#include "store/TreeSource.h"

int refreshFromTree(PageTable& table, const TreeSource& tree)
{
    int bookmark = 0;
    int order = 0;
    // Walked with a loop, not recursion: the depth of the tree is the user's.
    ItemHandle item = tree.firstRoot();
    while (item != NO_ITEM) {
        PageRecord& record = table.recordOfItem(item);
        record.order = order;
        record.parentOrder = -1;
        ItemHandle parent = tree.parent(item);
        if (parent != NO_ITEM)
            record.parentOrder = table.recordOfItem(parent).order;
        ItemHandle child = tree.firstChild(item);
        record.isExpanded = (child != NO_ITEM && tree.nextVisible(item) == child) ? 1 : 0;
        int image = tree.image(item);
        if (isSavedBookmark(image))
            bookmark = order;
        ++order;

        if (child != NO_ITEM) {
            item = child;
            continue;
        }
        while (item != NO_ITEM && tree.nextSibling(item) == NO_ITEM)
            item = tree.parent(item);
        if (item != NO_ITEM)
            item = tree.nextSibling(item);
    }
    return bookmark;
}

int bookmarkIndex(int bookmarkPosition, int recordCount)
{
    return (bookmarkPosition >= 0 && bookmarkPosition < recordCount) ? bookmarkPosition : 0;
}

bool rebuildTree(PageTable& table, TreeBuilder& tree, int bookmarkPosition)
{
    const int n = table.count();
    const int bookmark = bookmarkIndex(bookmarkPosition, n);
    for (int i = 0; i < n; ++i) {
        PageRecord& record = table.recordAt(i);
        ItemHandle parent = NO_ITEM;
        if (record.parentOrder >= 0 && record.parentOrder < i)
            parent = table.recordAt(record.parentOrder).item;
        int image = pageImage(record.isFolder != 0, i == bookmark, record.isSecure != 0);
        ItemHandle item = tree.insertLast(parent, record.title, image, selectedImage(image));
        if (item == NO_ITEM)
            return false;
        table.setItem(i, item);
    }
    for (int i = 0; i < n; ++i) {
        const PageRecord& record = table.recordAt(i);
        tree.setExpanded(record.item, record.isExpanded != 0);
    }
    return true;
}
