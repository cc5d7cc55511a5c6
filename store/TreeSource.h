// The page list as the page store sees it: a tree of items it can walk
// (TreeSource) and build (TreeBuilder). The page list control implements
// both; MemoryTree is a plain in-memory tree for tools and tests.
#pragma once

#include <string>

#include "store/PageImage.h"
#include "store/PageTable.h"

class TreeSource {
public:
    virtual ~TreeSource() = default;
    // NO_ITEM when there is none.
    virtual ItemHandle firstRoot() const = 0;
    virtual ItemHandle firstChild(ItemHandle item) const = 0;
    virtual ItemHandle nextSibling(ItemHandle item) const = 0;
    virtual ItemHandle parent(ItemHandle item) const = 0;   // NO_ITEM at the top level
    virtual ItemHandle nextVisible(ItemHandle item) const = 0;
    virtual int image(ItemHandle item) const = 0;
};

class TreeBuilder {
public:
    virtual ~TreeBuilder() = default;
    // Inserts an item as the last child of parent (NO_ITEM: the top level);
    // returns its handle, NO_ITEM on failure.
    virtual ItemHandle insertLast(ItemHandle parent, const std::string& title, int image, int selectedImage) = 0;
    virtual void setExpanded(ItemHandle item, bool expanded) = 0;
};

// Numbers the tree in pre-order into the records (`order`, `parentOrder`,
// `isExpanded`) and returns the bookmark position: the order of the last item
// whose image is 4 or 6, 0 when there is none. Every item must have a record.
int refreshFromTree(PageTable& table, const TreeSource& tree);

// A bookmark position that names no record means the first one.
int bookmarkIndex(int bookmarkPosition, int recordCount);

// Inserts one item per record, in index order, under the item of the record
// at `parentOrder` (the top level when it names no earlier record), stores
// the new handles in `item`, then expands or collapses each item by
// `isExpanded`. Returns false when an insertion fails.
bool rebuildTree(PageTable& table, TreeBuilder& tree, int bookmarkPosition);
