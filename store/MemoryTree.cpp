#include "store/MemoryTree.h"

const MemoryTree::Node& MemoryTree::node(ItemHandle item) const {
    if (item == NO_ITEM || item > nodes_.size()) return none_;
    return nodes_[item - 1];
}

MemoryTree::Node& MemoryTree::node(ItemHandle item) {
    if (item == NO_ITEM || item > nodes_.size()) {
        none_ = Node();
        return none_;
    }
    return nodes_[item - 1];
}

TreeItemFacts MemoryTree::facts(ItemHandle item) const {
    const Node& n = node(item);
    TreeItemFacts facts;
    facts.firstChild = n.firstChild;
    facts.expanded = n.expanded;
    facts.image = n.image;
    return facts;
}

ItemHandle MemoryTree::insertLast(ItemHandle parent, const std::string& title, int image, int /*selectedImage*/,
                                  bool expanded) {
    if (parent != NO_ITEM && parent > nodes_.size()) return NO_ITEM;
    Node added;
    added.title = title;
    added.image = image;
    added.parent = parent;
    added.expanded = expanded;
    nodes_.push_back(added);
    ItemHandle item = nodes_.size();
    ItemHandle& last = parent == NO_ITEM ? lastRoot_ : nodes_[parent - 1].lastChild;
    if (last != NO_ITEM)
        nodes_[last - 1].nextSibling = item;
    else if (parent == NO_ITEM)
        firstRoot_ = item;
    else
        nodes_[parent - 1].firstChild = item;
    last = item;
    return item;
}

ItemHandle MemoryTree::insertAfter(ItemHandle parent, ItemHandle after, const std::string& title, int image,
                                   int /*selectedImage*/) {
    if (parent != NO_ITEM && parent > nodes_.size()) return NO_ITEM;
    if (after != NO_ITEM && (after > nodes_.size() || nodes_[after - 1].parent != parent)) return NO_ITEM;
    Node added;
    added.title = title;
    added.image = image;
    added.parent = parent;
    added.nextSibling = after != NO_ITEM    ? nodes_[after - 1].nextSibling
                        : parent == NO_ITEM ? firstRoot_
                                            : nodes_[parent - 1].firstChild;
    nodes_.push_back(added);  // references into nodes_ are taken only after this
    const ItemHandle item = nodes_.size();
    ItemHandle& first = parent == NO_ITEM ? firstRoot_ : nodes_[parent - 1].firstChild;
    ItemHandle& last = parent == NO_ITEM ? lastRoot_ : nodes_[parent - 1].lastChild;
    if (after == NO_ITEM)
        first = item;
    else
        nodes_[after - 1].nextSibling = item;
    if (last == after) last = item;
    return item;
}

void MemoryTree::setExpanded(ItemHandle item, bool expanded) { node(item).expanded = expanded; }

void MemoryTree::setImage(ItemHandle item, int image) { node(item).image = image; }
