// The page list's shape kept beside the control: which item is under which, in
// what order, with what image. Asking the control costs each question a search
// through all its items (on some platforms), so a walk over a large book asks
// here instead; the control is still asked for what only it knows (expansion).
// Kept by PageListControl on every insertion, deletion and image change.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>

class TreeShadow {
public:
    using Item = std::uintptr_t;  // 0: none (and the top level as a parent)

    void insertLast(Item parent, Item item, int image);
    // Right after the sibling `after` (0: as the first child).
    void insertAfter(Item parent, Item after, Item item, int image);
    // Removes the item with everything below it.
    void remove(Item item);
    void clear();
    void setImage(Item item, int image);

    std::size_t size() const { return nodes_.size(); }
    bool contains(Item item) const { return nodes_.count(item) != 0; }
    Item firstRoot() const { return firstRoot_; }
    Item firstChild(Item item) const;
    Item nextSibling(Item item) const;
    Item previousSibling(Item item) const;
    Item parent(Item item) const;
    Item lastChild(Item item) const;  // of 0: the last item of the top level
    int image(Item item) const;

private:
    struct Node {
        Item parent = 0, firstChild = 0, lastChild = 0, previous = 0, next = 0;
        int image = 0;
    };
    const Node* find(Item item) const;
    void unlink(Node& node, Item item);

    std::unordered_map<Item, Node> nodes_;
    Item firstRoot_ = 0, lastRoot_ = 0;
};
