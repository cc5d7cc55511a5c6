#include "store/TreeSource.h"

int refreshFromTree(PageTable& table, const TreeSource& tree, bool* whole) {
    int bookmark = 0;
    int order = 0, reached = 0;
    // Walked with a loop, not recursion: the depth of the tree is the user's.
    // The open ancestors ride on stacks, so a parent is never asked for.
    std::vector<ItemHandle> ancestors;
    std::vector<std::int32_t> ancestorOrders;
    ItemHandle item = tree.firstRoot();
    while (item != NO_ITEM) {
        const TreeItemFacts facts = tree.facts(item);
        const int index = table.indexOfItem(item);
        if (index >= 0) {
            ++reached;
            PageRecord& record = table.recordAt(index);
            record.order = order;
            record.parentOrder = ancestorOrders.empty() ? -1 : ancestorOrders.back();
            record.isExpanded = (facts.firstChild != NO_ITEM && facts.expanded) ? 1 : 0;
        }
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
    if (whole) *whole = reached == order && reached == table.count();
    return bookmark;
}

int bookmarkIndex(int bookmarkPosition, int recordCount) {
    return (bookmarkPosition >= 0 && bookmarkPosition < recordCount) ? bookmarkPosition : 0;
}

// The fill goes in two passes. Some tree controls find an item named in a
// message by searching all their items from the oldest, so every folder is
// inserted first (with the leading pages of the top level, which need no
// search): the later insertions then name only folders, found near the start.
// The remaining pages go in last to first, each right after the nearest folder
// before it among its siblings (or first), which puts every page back in its
// place. The control draws nothing until the end, so the order costs nothing else.
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
    auto image = [&](int i) {
        const PageRecord& record = table.recordAt(i);
        return pageImage(record.isFolder != 0, i == bookmark, record.isSecure != 0);
    };
    auto itemOf = [&](int i) { return i >= 0 ? table.recordAt(i).item : NO_ITEM; };

    // The folder before each later page among its siblings (-1: none); the last
    // slot stands for the top level.
    std::vector<int> lastFolderUnder(static_cast<std::size_t>(n) + 1, -1);
    std::vector<int> anchor(static_cast<std::size_t>(n), -1);
    std::vector<bool> firstPass(static_cast<std::size_t>(n), false);
    for (int i = 0; i < n; ++i) {
        const int p = parentIndex(i);
        int& last = lastFolderUnder[p >= 0 ? static_cast<std::size_t>(p) : static_cast<std::size_t>(n)];
        const bool folder = hasChildren[static_cast<std::size_t>(i)];
        firstPass[static_cast<std::size_t>(i)] = folder || (p < 0 && last < 0);
        anchor[static_cast<std::size_t>(i)] = last;
        if (folder) last = i;
    }

    tree.beginFill(n);
    bool ok = true;
    for (int i = 0; i < n && ok; ++i) {
        if (!firstPass[static_cast<std::size_t>(i)]) continue;
        const PageRecord& record = table.recordAt(i);
        const bool expanded = record.isExpanded != 0 && hasChildren[static_cast<std::size_t>(i)];
        const int img = image(i);
        const ItemHandle item =
            tree.insertLast(itemOf(parentIndex(i)), record.title, img, selectedImage(img), expanded);
        ok = item != NO_ITEM;
        if (ok) table.setItem(i, item);
    }
    for (int i = n - 1; i >= 0 && ok; --i) {
        if (firstPass[static_cast<std::size_t>(i)]) continue;
        const int img = image(i);
        const ItemHandle item = tree.insertAfter(itemOf(parentIndex(i)), itemOf(anchor[static_cast<std::size_t>(i)]),
                                                 table.recordAt(i).title, img, selectedImage(img));
        ok = item != NO_ITEM;
        if (ok) table.setItem(i, item);
    }
    tree.endFill();
    return ok;
}
