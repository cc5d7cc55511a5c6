#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "pagelist/TreeMove.h"
#include "store/MemoryTree.h"
#include "tests/common/TreeShape.h"

namespace {

void build(MemoryTree& tree, const std::string& shape) {
    std::vector<ItemHandle> items;
    testcommon::forEachShapeItem(shape, [&](const std::string& name, int parent) {
        items.push_back(tree.insertLast(parent < 0 ? NO_ITEM : items[parent], name, 0, 1));
    });
}

ItemHandle find(const MemoryTree& tree, ItemHandle from, const std::string& title) {
    for (ItemHandle i = from; i; i = tree.nextSibling(i)) {
        if (tree.title(i) == title) return i;
        if (ItemHandle inside = find(tree, tree.firstChild(i), title)) return inside;
    }
    return NO_ITEM;
}

void preorder(const MemoryTree& tree, ItemHandle from, std::vector<ItemHandle>& out) {
    for (ItemHandle i = from; i; i = tree.nextSibling(i)) {
        out.push_back(i);
        preorder(tree, tree.firstChild(i), out);
    }
}

// The tree as described above, leaving out deleted items and what is below them.
std::string describe(const MemoryTree& tree, ItemHandle from, const std::set<ItemHandle>& deleted) {
    std::string out;
    for (ItemHandle i = from; i; i = tree.nextSibling(i)) {
        if (deleted.count(i)) continue;
        if (!out.empty()) out += ' ';
        out += tree.title(i);
        if (tree.firstChild(i)) out += '(' + describe(tree, tree.firstChild(i), deleted) + ')';
    }
    return out;
}

struct DropCase {
    const char* shape;
    const char* dragged;
    const char* target;
    const char* after;   // empty: the drop is refused
    std::size_t listed;  // elements of the order list
};

// What the control does around the list arithmetic: collect, refuse, rebuild, delete.
std::string drop(const DropCase& c, std::size_t& listed) {
    MemoryTree tree;
    build(tree, c.shape);
    const ItemHandle dragged = find(tree, tree.firstRoot(), c.dragged);
    const ItemHandle target = find(tree, tree.firstRoot(), c.target);
    std::vector<ItemHandle> subtree{dragged};
    preorder(tree, tree.firstChild(dragged), subtree);
    if (!treemove::acceptsDrop(subtree, target) || target == dragged) return "";

    std::vector<ItemHandle> all;
    preorder(tree, tree.firstRoot(), all);
    std::vector<treemove::DropItem> items;
    for (ItemHandle i : all) {
        if (items.empty() && i != dragged && i != target) continue;
        treemove::DropItem d;
        d.item = i;
        d.parent = tree.parent(i);
        d.title = tree.title(i);
        items.push_back(d);
    }
    listed = items.size();
    const std::vector<ItemHandle> roots = treemove::deletionRoots(items);
    const auto insert = [&](const treemove::DropItem& d, ItemHandle parent) {
        return tree.insertLast(parent, d.title, d.image, d.selected);
    };
    if (!treemove::rebuild(items, dragged, target, subtree.size(), insert)) return "failed";
    std::set<ItemHandle> deleted(roots.begin(), roots.end());
    for (const treemove::DropItem& d : items) EXPECT_NE(d.moved, NO_ITEM);
    return describe(tree, tree.firstRoot(), deleted);
}

TEST(TreeMove, DropPlacesTheSubtreeBeforeTheTargetAsItsSibling) {
    const DropCase cases[] = {
        // onto the next sibling: nothing visible changes, yet everything from the page on is re-created
        {"a b c", "a", "b", "a b c", 3},
        {"a F(x y) z", "y", "z", "a F(x) y z", 2},            // the last page of a folder leaves it
        {"a F(x y) z", "y", "F", "a y F(x) z", 4},            // onto its own parent: out, in front of it
        {"F(x G(y z)) a b", "F", "b", "a F(x G(y z)) b", 7},  // a folder downwards, whole
        {"a b F(x G(y)) c", "G", "a", "G(y) a b F(x) c", 7},  // a nested folder to the top level
        {"a F(x) G(y z)", "a", "z", "F(x) G(y a z)", 6},      // into another folder, before its last page
        {"F(x G(y z)) a", "F", "z", "", 0},                   // onto its own descendant: refused
        {"a b", "a", "a", "", 0},                             // onto itself: refused
    };
    for (const DropCase& c : cases) {
        std::size_t listed = 0;
        EXPECT_EQ(drop(c, listed), c.after) << c.shape << " / " << c.dragged << " on " << c.target;
        EXPECT_EQ(listed, c.listed) << c.shape << " / " << c.dragged << " on " << c.target;
    }
}

TEST(TreeMove, BlockMoveKeepsTheOtherElementsInOrder) {
    struct Case {
        std::size_t from, count;
        long shift;
        const char* after;
    } cases[] = {
        {0, 2, 3, "cdeab"}, {3, 2, -3, "deabc"}, {1, 1, 0, "abcde"}, {0, 1, 4, "bcdea"}, {4, 1, -4, "eabcd"},
    };
    for (const Case& c : cases) {
        std::vector<treemove::DropItem> items;
        for (char ch : std::string("abcde")) {
            treemove::DropItem d;
            d.title = std::string(1, ch);
            items.push_back(d);
        }
        treemove::moveBlock(items, c.from, c.count, c.shift);
        std::string order;
        for (const auto& d : items) order += d.title;
        EXPECT_EQ(order, c.after) << c.from << "+" << c.count << " by " << c.shift;
    }
    EXPECT_EQ(treemove::dropShift(0, 3, 2), 1);  // downwards the block's own length counts
    EXPECT_EQ(treemove::dropShift(4, 1, 1), -3);
}

}  // namespace
