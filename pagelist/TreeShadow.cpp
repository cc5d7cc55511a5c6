#include "pagelist/TreeShadow.h"

#include <vector>

const TreeShadow::Node* TreeShadow::find(Item item) const {
    auto found = nodes_.find(item);
    return found == nodes_.end() ? nullptr : &found->second;
}

void TreeShadow::insertLast(Item parent, Item item, int image) {
    if (!item || contains(item)) return;
    Node added;
    added.image = image;
    auto owner = parent ? nodes_.find(parent) : nodes_.end();
    if (owner == nodes_.end()) parent = 0;
    added.parent = parent;
    Item& first = parent ? owner->second.firstChild : firstRoot_;
    Item& last = parent ? owner->second.lastChild : lastRoot_;
    added.previous = last;
    if (last)
        nodes_[last].next = item;
    else
        first = item;
    last = item;
    nodes_.emplace(item, added);
}

void TreeShadow::insertAfter(Item parent, Item after, Item item, int image) {
    if (!after) {
        const Item first = parent ? firstChild(parent) : firstRoot_;
        if (!first) return insertLast(parent, item, image);
        if (!item || contains(item)) return;
        auto owner = parent ? nodes_.find(parent) : nodes_.end();
        if (parent && owner == nodes_.end()) return;
        Node added;
        added.image = image;
        added.parent = parent;
        added.next = first;
        nodes_[first].previous = item;
        (parent ? owner->second.firstChild : firstRoot_) = item;
        nodes_.emplace(item, added);
        return;
    }
    auto anchor = nodes_.find(after);
    if (!item || contains(item) || anchor == nodes_.end() || anchor->second.parent != parent) return;
    if (!anchor->second.next) return insertLast(parent, item, image);
    Node added;
    added.image = image;
    added.parent = parent;
    added.previous = after;
    added.next = anchor->second.next;
    nodes_[added.next].previous = item;
    anchor->second.next = item;
    nodes_.emplace(item, added);
}

void TreeShadow::unlink(Node& node, Item item) {
    Node* parent = node.parent ? &nodes_[node.parent] : nullptr;
    Item& first = parent ? parent->firstChild : firstRoot_;
    Item& last = parent ? parent->lastChild : lastRoot_;
    if (node.previous)
        nodes_[node.previous].next = node.next;
    else if (first == item)
        first = node.next;
    if (node.next)
        nodes_[node.next].previous = node.previous;
    else if (last == item)
        last = node.previous;
}

void TreeShadow::remove(Item item) {
    auto found = nodes_.find(item);
    if (found == nodes_.end()) return;
    unlink(found->second, item);
    // the subtree, without recursion: the depth is the user's
    std::vector<Item> pending{item};
    while (!pending.empty()) {
        const Item current = pending.back();
        pending.pop_back();
        auto node = nodes_.find(current);
        if (node == nodes_.end()) continue;
        for (Item child = node->second.firstChild; child; child = nodes_[child].next) pending.push_back(child);
        nodes_.erase(node);
    }
}

void TreeShadow::clear() {
    nodes_.clear();
    firstRoot_ = lastRoot_ = 0;
}

void TreeShadow::setImage(Item item, int image) {
    auto found = nodes_.find(item);
    if (found != nodes_.end()) found->second.image = image;
}

TreeShadow::Item TreeShadow::firstChild(Item item) const {
    const Node* node = find(item);
    return node ? node->firstChild : 0;
}

TreeShadow::Item TreeShadow::nextSibling(Item item) const {
    const Node* node = find(item);
    return node ? node->next : 0;
}

TreeShadow::Item TreeShadow::previousSibling(Item item) const {
    const Node* node = find(item);
    return node ? node->previous : 0;
}

TreeShadow::Item TreeShadow::parent(Item item) const {
    const Node* node = find(item);
    return node ? node->parent : 0;
}

TreeShadow::Item TreeShadow::lastChild(Item item) const {
    if (!item) return lastRoot_;
    const Node* node = find(item);
    return node ? node->lastChild : 0;
}

int TreeShadow::image(Item item) const {
    const Node* node = find(item);
    return node ? node->image : 0;
}
