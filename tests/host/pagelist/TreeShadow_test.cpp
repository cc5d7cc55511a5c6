#include "pagelist/TreeShadow.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The shape as "title(children)" in tree order, images after a colon when not 0.
std::string describe(const TreeShadow& tree, TreeShadow::Item first) {
    std::string out;
    for (TreeShadow::Item item = first; item; item = tree.nextSibling(item)) {
        out += std::to_string(item);
        if (tree.image(item)) out += ":" + std::to_string(tree.image(item));
        if (tree.firstChild(item)) out += "(" + describe(tree, tree.firstChild(item)) + ")";
        out += " ";
    }
    return out;
}

TEST(TreeShadow, FollowsInsertionsDeletionsAndImages) {
    TreeShadow tree;
    const struct {
        TreeShadow::Item parent, item;
        int image;
    } inserted[] = {
        {0, 1, 2}, {1, 2, 0}, {1, 3, 2}, {3, 4, 0}, {1, 5, 0}, {0, 6, 0}, {99, 7, 0}, {0, 1, 0},
    };
    for (const auto& i : inserted) tree.insertLast(i.parent, i.item, i.image);
    EXPECT_EQ(describe(tree, tree.firstRoot()), "1:2(2 3:2(4 ) 5 ) 6 7 ");  // an unknown parent: the top level
    EXPECT_EQ(tree.size(), 7u);

    const struct {
        TreeShadow::Item removed;
        const char* left;
        std::size_t size;
    } steps[] = {
        {3, "1:2(2 5 ) 6 7 ", 5},  // a middle child with its subtree
        {2, "1:2(5 ) 6 7 ", 4},    // a first child
        {7, "1:2(5 ) 6 ", 3},      // the last top-level item
        {42, "1:2(5 ) 6 ", 3},     // an unknown item
        {1, "6 ", 1},              // the first top-level item with everything in it
    };
    for (const auto& step : steps) {
        tree.remove(step.removed);
        EXPECT_EQ(describe(tree, tree.firstRoot()), step.left) << step.removed;
        EXPECT_EQ(tree.size(), step.size) << step.removed;
    }
    tree.setImage(6, 4);
    tree.insertLast(6, 8, 0);
    EXPECT_EQ(describe(tree, tree.firstRoot()), "6:4(8 ) ");
    tree.clear();
    EXPECT_EQ(tree.size(), 0u);
    EXPECT_EQ(tree.firstRoot(), 0u);
}

// Items put after a sibling or first keep every link right: later insertions and
// removals see the same order.
TEST(TreeShadow, InsertsAfterASiblingOrFirst) {
    TreeShadow tree;
    tree.insertLast(0, 1, 2);
    const struct {
        TreeShadow::Item parent, after, item;
        const char* shape;
    } steps[] = {
        {1, 0, 2, "1:2(2 ) "},           // first child of an empty folder
        {1, 0, 3, "1:2(3 2 ) "},         // before it
        {1, 3, 4, "1:2(3 4 2 ) "},       // between the two
        {1, 2, 5, "1:2(3 4 2 5 ) "},     // after the last
        {0, 0, 6, "6 1:2(3 4 2 5 ) "},   // first at the top level
        {0, 1, 7, "6 1:2(3 4 2 5 ) 7 "},
        {1, 6, 8, "6 1:2(3 4 2 5 ) 7 "},  // an anchor under another parent: refused
    };
    for (const auto& step : steps) {
        tree.insertAfter(step.parent, step.after, step.item, 0);
        EXPECT_EQ(describe(tree, tree.firstRoot()), step.shape) << step.item;
    }
    tree.insertLast(1, 9, 0);
    tree.remove(4);
    tree.remove(6);
    EXPECT_EQ(describe(tree, tree.firstRoot()), "1:2(3 2 5 9 ) 7 ");
}

}  // namespace
