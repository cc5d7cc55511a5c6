// A page tree kept in plain memory, for qpdtool and the tests: it behaves
// like the page list's tree for the walk, the build and the expanded state.
#pragma once

#include <vector>

#include "store/TreeSource.h"

class MemoryTree : public TreeSource, public TreeBuilder {
public:
    ItemHandle firstRoot() const override { return firstRoot_; }
    ItemHandle nextSibling(ItemHandle item) const override { return node(item).nextSibling; }
    TreeItemFacts facts(ItemHandle item) const override;

    ItemHandle insertLast(ItemHandle parent, const std::string& title, int image, int selectedImage,
                          bool expanded = false) override;
    ItemHandle insertAfter(ItemHandle parent, ItemHandle after, const std::string& title, int image,
                           int selectedImage) override;

    ItemHandle firstChild(ItemHandle item) const { return node(item).firstChild; }
    ItemHandle parent(ItemHandle item) const { return node(item).parent; }
    int image(ItemHandle item) const { return node(item).image; }
    void setExpanded(ItemHandle item, bool expanded);

    bool isExpanded(ItemHandle item) const { return node(item).expanded; }
    const std::string& title(ItemHandle item) const { return node(item).title; }
    void setImage(ItemHandle item, int image);
    int itemCount() const { return static_cast<int>(nodes_.size()); }

private:
    struct Node {
        std::string title;
        int image = 0;
        bool expanded = false;
        ItemHandle parent = NO_ITEM;
        ItemHandle firstChild = NO_ITEM;
        ItemHandle lastChild = NO_ITEM;
        ItemHandle nextSibling = NO_ITEM;
    };
    const Node& node(ItemHandle item) const;
    Node& node(ItemHandle item);

    // Handles are 1-based positions in nodes_; 0 stays "no item".
    std::vector<Node> nodes_;
    ItemHandle firstRoot_ = NO_ITEM;
    ItemHandle lastRoot_ = NO_ITEM;
    Node none_;
};
