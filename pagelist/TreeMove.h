#pragma once
// The list arithmetic of a drop in the page list, without the control.
//
// A drop takes the tree in pre-order from the first of {dragged item, target}
// to the end, moves the dragged subtree (a block of the list) directly in front
// of the target, and re-creates every item of the list in that order as the
// last child of its parent. The list is a suffix of the pre-order, so for each
// parent it holds that parent's last children in order: appending them again
// and deleting the old items leaves every item where the moved list says.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "store/PageTable.h"

namespace treemove {

// One item of the drop's order list, read from the control before anything changes.
struct DropItem {
    ItemHandle item = NO_ITEM;    // the item as it is now
    ItemHandle moved = NO_ITEM;   // the re-created item
    ItemHandle parent = NO_ITEM;  // NO_ITEM at the top level
    int image = 0;
    int selected = 0;
    std::string title;
    bool expanded = false;
};

// A drop is taken only onto another item outside the dragged subtree
// (`subtree`: the dragged item and its descendants).
bool acceptsDrop(const std::vector<ItemHandle>& subtree, ItemHandle target);

// Places by which the block of `count` elements at `dragged` moves so that it
// stands directly in front of the element at `target`.
long dropShift(std::size_t dragged, std::size_t target, std::size_t count);

// Moves the block of `count` elements starting at `from` by `shift` places
// (negative: towards the front). The other elements keep their order.
void moveBlock(std::vector<DropItem>& items, std::size_t from, std::size_t count, long shift);

// Position of `item` in the list, or items.size().
std::size_t positionOf(const std::vector<DropItem>& items, ItemHandle item);

// The old items whose deletion removes every old item of the list: those whose
// parent is not an earlier element (the others go with their parent). Called
// on the list as read, before it is moved.
std::vector<ItemHandle> deletionRoots(const std::vector<DropItem>& items);

// Moves the dragged subtree (its first element `dragged`, `count` elements) in
// front of `target`, gives it the target's parent, and re-creates every element
// in list order through `insert`: a parent that is an earlier element becomes that
// element's new item. Fills `moved`; false (and nothing moved) when the dragged
// item or the target is not in the list, or an insertion fails (the caller
// removes the items made so far).
// `insert` appends one item as the last child of `parent` (NO_ITEM: the top
// level) and returns it, NO_ITEM on failure.
using InsertItem = std::function<ItemHandle(const DropItem& item, ItemHandle parent)>;
bool rebuild(std::vector<DropItem>& items, ItemHandle dragged, ItemHandle target, std::size_t count,
             const InsertItem& insert);

}  // namespace treemove
