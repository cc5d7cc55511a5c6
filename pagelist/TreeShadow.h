// The page list's shape kept beside the control: which item is under which, in
// what order, with what image. Asking the control costs each question a search
// through all its items (on some platforms), so a walk over a large book asks
// here instead; the control is still asked for what only it knows (expansion).
// Kept by PageListControl on every insertion, deletion and image change.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "store/HandleIndex.h"

class TreeShadow {
public:
    using Item = std::uintptr_t;  // 0: none (and the top level as a parent)

    TreeShadow() : nodes_(1) {}

    void insertLast(Item parent, Item item, int image);
    // Right after the sibling `after` (0: as the first child).
    void insertAfter(Item parent, Item after, Item item, int image);
    // Removes the item with everything below it.
    void remove(Item item);
    void clear();
    void setImage(Item item, int image);
    // Room for `items` without growing (a fill of a whole book).
    void reserve(std::size_t items);

    std::size_t size() const { return index_.size(); }
    bool contains(Item item) const { return linkOf(item) != 0; }
    Item firstRoot() const { return nodes_[firstRoot_].item; }
    Item firstChild(Item item) const { return nodes_[nodes_[linkOf(item)].firstChild].item; }
    Item nextSibling(Item item) const { return nodes_[nodes_[linkOf(item)].next].item; }
    Item previousSibling(Item item) const { return nodes_[nodes_[linkOf(item)].previous].item; }
    Item parent(Item item) const { return nodes_[nodes_[linkOf(item)].parent].item; }
    Item lastChild(Item item) const;  // of 0: the last item of the top level
    int image(Item item) const { return nodes_[linkOf(item)].image; }

private:
    // A node's place in nodes_; 0 is none (nodes_[0] stays empty, so following
    // a link of none reads nothing).
    using Link = std::uint32_t;
    struct Node {
        Item item = 0;
        Link parent = 0, firstChild = 0, lastChild = 0, previous = 0, next = 0;  // next: the free list when unused
        std::int32_t image = 0;
    };
    struct ItemOf {
        const std::vector<Node>* nodes;
        Item operator()(std::uint32_t link) const { return (*nodes)[link].item; }
    };
    ItemOf itemOf() const { return ItemOf{&nodes_}; }
    Link linkOf(Item item) const;
    Link add(Item item, Link parent, int image);
    void unlink(Link link);

    std::vector<Node> nodes_;
    HandleIndex index_;  // each item's link
    Link free_ = 0;      // the first unused node
    Link firstRoot_ = 0, lastRoot_ = 0;
};
