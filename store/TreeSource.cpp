#include "store/TreeSource.h"

int refreshFromTree(PageTable& table, const TreeSource& tree) {
    int bookmark = 0;
    int order = 0;
    // Walked with a loop, not recursion: the depth of the tree is the user's.
    // The open ancestors ride on stacks, so a parent is never asked for.
    std::vector<ItemHandle> ancestors;
    std::vector<std::int32_t> ancestorOrders;
    ItemHandle item = tree.firstRoot();
    while (item != NO_ITEM) {
        const TreeItemFacts facts = tree.facts(item);
        PageRecord& record = table.recordOfItem(item);
        record.order = order;
        record.parentOrder = ancestorOrders.empty() ? -1 : ancestorOrders.back();
        record.isExpanded = (facts.firstChild != NO_ITEM && facts.expanded) ? 1 : 0;
        if (isSavedBookmark(facts.image)) bookmark = order;
        if (facts.firstChild != NO_ITEM) {
            ancestors.push_back(item);
            ancestorOrders.push_back(order++);
            item = facts.firstChild;
            continue;
        }
        ++order;
        item = tree.nextSibling(item);
        while (item == NO_ITEM && !ancestors.empty()) {
            item = tree.nextSibling(ancestors.back());
            ancestors.pop_back();
            ancestorOrders.pop_back();
        }
    }
    return bookmark;
}

int bookmarkIndex(int bookmarkPosition, int recordCount) {
    return (bookmarkPosition >= 0 && bookmarkPosition < recordCount) ? bookmarkPosition : 0;
}

bool rebuildTree(PageTable& table, TreeBuilder& tree, int bookmarkPosition) {
    const int n = table.count();
    const int bookmark = bookmarkIndex(bookmarkPosition, n);
    auto parentIndex = [&](int i) {
        const int p = table.recordAt(i).parentOrder;
        return (p >= 0 && p < i) ? p : -1;
    };
    // Inserted already open: expanding afterwards would lay the list out again per folder.
    std::vector<bool> hasChildren(static_cast<std::size_t>(n), false);
    for (int i = 0; i < n; ++i)
        if (parentIndex(i) >= 0) hasChildren[static_cast<std::size_t>(parentIndex(i))] = true;
    tree.beginFill();
    bool ok = true;
    for (int i = 0; i < n && ok; ++i) {
        PageRecord& record = table.recordAt(i);
        const int p = parentIndex(i);
        ItemHandle parent = p >= 0 ? table.recordAt(p).item : NO_ITEM;
        int image = pageImage(record.isFolder != 0, i == bookmark, record.isSecure != 0);
        const bool expanded = record.isExpanded != 0 && hasChildren[static_cast<std::size_t>(i)];
        ItemHandle item = tree.insertLast(parent, record.title, image, selectedImage(image), expanded);
        ok = item != NO_ITEM;
        if (ok) table.setItem(i, item);
    }
    tree.endFill();
    return ok;
}
