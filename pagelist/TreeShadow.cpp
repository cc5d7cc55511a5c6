#include "pagelist/TreeShadow.h"

TreeShadow::Link TreeShadow::linkOf(Item item) const {
    if (!item) return 0;
    const std::uint32_t link = index_.find(item, itemOf());
    return link == HandleIndex::NONE ? 0 : link;
}

// A node for the item, from the free list or new; linked to nothing yet.
TreeShadow::Link TreeShadow::add(Item item, Link parent, int image) {
    Link link = free_;
    if (link) {
        free_ = nodes_[link].next;
    } else {
        link = static_cast<Link>(nodes_.size());
        nodes_.emplace_back();
    }
    Node& node = nodes_[link];
    node = Node();
    node.item = item;
    node.parent = parent;
    node.image = image;
    index_.insert(link, itemOf());
    return link;
}

void TreeShadow::insertLast(Item parent, Item item, int image) {
    if (!item || contains(item)) return;
    const Link owner = linkOf(parent);  // an unknown parent: the top level
    const Link link = add(item, owner, image);
    Link& first = owner ? nodes_[owner].firstChild : firstRoot_;
    Link& last = owner ? nodes_[owner].lastChild : lastRoot_;
    nodes_[link].previous = last;
    if (last)
        nodes_[last].next = link;
    else
        first = link;
    last = link;
}

void TreeShadow::insertAfter(Item parent, Item after, Item item, int image) {
    if (!item || contains(item)) return;
    const Link owner = linkOf(parent);
    if (!after) {
        // under a parent it does not know: as the last of the top level, as insertLast
        const Link first = owner ? nodes_[owner].firstChild : parent ? 0 : firstRoot_;
        if (!first) return insertLast(parent, item, image);
        const Link link = add(item, owner, image);
        nodes_[link].next = first;
        nodes_[first].previous = link;
        (owner ? nodes_[owner].firstChild : firstRoot_) = link;
        return;
    }
    const Link anchor = linkOf(after);
    if (!anchor || (parent && !owner) || nodes_[anchor].parent != owner) return;
    if (!nodes_[anchor].next) return insertLast(parent, item, image);
    const Link link = add(item, owner, image);
    Node& added = nodes_[link];
    added.previous = anchor;
    added.next = nodes_[anchor].next;
    nodes_[added.next].previous = link;
    nodes_[anchor].next = link;
}

void TreeShadow::unlink(Link link) {
    const Node& node = nodes_[link];
    Link& first = node.parent ? nodes_[node.parent].firstChild : firstRoot_;
    Link& last = node.parent ? nodes_[node.parent].lastChild : lastRoot_;
    if (node.previous)
        nodes_[node.previous].next = node.next;
    else if (first == link)
        first = node.next;
    if (node.next)
        nodes_[node.next].previous = node.previous;
    else if (last == link)
        last = node.previous;
}

void TreeShadow::remove(Item item) {
    const Link top = linkOf(item);
    if (!top) return;
    unlink(top);
    // the subtree, without recursion: the depth is the user's
    std::vector<Link> pending{top};
    while (!pending.empty()) {
        const Link link = pending.back();
        pending.pop_back();
        for (Link child = nodes_[link].firstChild; child; child = nodes_[child].next) pending.push_back(child);
        index_.erase(nodes_[link].item, itemOf());
        nodes_[link] = Node();
        nodes_[link].next = free_;
        free_ = link;
    }
}

void TreeShadow::clear() {
    std::vector<Node>(1).swap(nodes_);
    index_.clear();
    free_ = firstRoot_ = lastRoot_ = 0;
}

void TreeShadow::setImage(Item item, int image) {
    if (const Link link = linkOf(item)) nodes_[link].image = image;
}

void TreeShadow::reserve(std::size_t items) {
    nodes_.reserve(items + 1);
    index_.reserve(items, itemOf());
}

TreeShadow::Item TreeShadow::lastChild(Item item) const {
    if (!item) return nodes_[lastRoot_].item;
    return nodes_[nodes_[linkOf(item)].lastChild].item;
}
