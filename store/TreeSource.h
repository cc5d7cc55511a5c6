// The page list as the page store sees it: a tree of items it can walk
// (TreeSource) and build (TreeBuilder). The page list control implements
// both; MemoryTree is a plain in-memory tree for tools and tests.
#pragma once

#include <string>
#include <vector>

#include "store/PageImage.h"
#include "store/PageTable.h"

// What a walk needs to know of one item, in one question.
struct TreeItemFacts {
    ItemHandle firstChild = NO_ITEM;
    bool expanded = false;  // its children show (the first child is the next visible item)
    int image = 0;
};

class TreeSource {
public:
    virtual ~TreeSource() = default;
    // NO_ITEM when there is none.
    virtual ItemHandle firstRoot() const = 0;
    virtual ItemHandle nextSibling(ItemHandle item) const = 0;
    virtual TreeItemFacts facts(ItemHandle item) const = 0;
};

class TreeBuilder {
public:
    virtual ~TreeBuilder() = default;
    // Inserts an item as the last child of parent (NO_ITEM: the top level),
    // already expanded when asked (only an item that gets children is);
    // returns its handle, NO_ITEM on failure.
    virtual ItemHandle insertLast(ItemHandle parent, const std::string& title, int image, int selectedImage,
                                  bool expanded = false) = 0;
    // Inserts an item without children under parent (NO_ITEM: the top level), right
    // after its sibling `after` (NO_ITEM: as the first child).
    virtual ItemHandle insertAfter(ItemHandle parent, ItemHandle after, const std::string& title, int image,
                                   int selectedImage) = 0;
    // A fill of `items` items runs between these: the page list draws nothing
    // meanwhile and makes room for them at once.
    virtual void beginFill(int items) { (void)items; }
    virtual void endFill() {}
};

// Numbers the tree in pre-order into the records (`order`, `parentOrder`,
// `isExpanded`) and returns the bookmark position: the order of the last item
// whose image is 4 or 6, 0 when there is none. Every item must have a record:
// `whole`, when given, tells whether the list and the table still hold the same
// pages (an operation half done, such as a delete that has taken items out of
// the list but not yet their records, parts them; such a book must not be written).
int refreshFromTree(PageTable& table, const TreeSource& tree, bool* whole = nullptr);

// A bookmark position that names no record means the first one.
int bookmarkIndex(int bookmarkPosition, int recordCount);

// Inserts one item per record under the item of the record at `parentOrder`
// (the top level when it names no earlier record), in the records' order among
// siblings, expanded when `isExpanded` says so and it has children, and stores
// the new handles in `item`. Returns false when an insertion fails.
bool rebuildTree(PageTable& table, TreeBuilder& tree, int bookmarkPosition);
