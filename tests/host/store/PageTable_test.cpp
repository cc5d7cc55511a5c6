#include "store/MemoryTree.h"
#include "store/PageTable.h"
#include "store/TreeSource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

PageTable tableWithItems(std::initializer_list<ItemHandle> items) {
    PageTable table;
    for (ItemHandle item : items) table.addPage(item, EMPTY_PAGE_RTF, "p" + std::to_string(item), false);
    return table;
}

TEST(PageTable, EmptyPageRtfIsTheFourLinesOf222Bytes) {
    const std::string lines[] = {
        "{\\rtf1\\ansi\\ansicpg932\\deff0\\deflang1033\\deflangfe1041{\\fonttbl{\\f0\\fnil\\fcharset128 "
        "\\'82\\'6c\\'82\\'72 \\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}}",
        "{\\colortbl ;\\red0\\green0\\blue0;}",
        "\\viewkind4\\uc1\\pard\\cf1\\lang1041\\f0\\fs23\\par",
        "}",
    };
    std::string expected;
    for (const std::string& line : lines) expected += line + "\r\n";
    EXPECT_EQ(expected, std::string(EMPTY_PAGE_RTF));
    EXPECT_EQ(222u, std::string(EMPTY_PAGE_RTF).size());
}

TEST(PageTable, LookupFindsTheFirstMatchAndMissesGiveMinusOne) {
    PageTable table = tableWithItems({10, 20, 30});
    table.addEmptyRecord(20);  // a duplicate handle: the first record wins
    EXPECT_EQ(1, table.indexOfItem(20));
    EXPECT_EQ(-1, table.indexOfItem(99));
    EXPECT_EQ(-1, table.indexOfItem(NO_ITEM));
    EXPECT_EQ("p30", table.recordOfItem(30).title);

    table.removeAt(1);
    EXPECT_EQ(2, table.indexOfItem(20)) << "the later duplicate is found once the first is gone";
    EXPECT_EQ(1, table.indexOfItem(30));
}

TEST(PageTable, LookupFollowsHandlesWrittenIntoRecords) {
    PageTable table = tableWithItems({1, 2, 3});
    ASSERT_EQ(2, table.indexOfItem(3));
    table.recordAt(2).item = 77;  // the rebuild writes new handles like this
    EXPECT_EQ(-1, table.indexOfItem(3));
    EXPECT_EQ(2, table.indexOfItem(77));
    table.setItem(0, 55);
    EXPECT_EQ(0, table.indexOfItem(55));
    EXPECT_EQ(-1, table.indexOfItem(1));
}

TEST(PageTable, RemoveAtKeepsOrderAndLookupsStayRight) {
    PageTable table = tableWithItems({1, 2, 3, 4, 5});
    table.removeAt(0);
    table.removeAt(2);  // was item 4
    ASSERT_EQ(3, table.count());
    EXPECT_EQ(2u, table.recordAt(0).item);
    EXPECT_EQ(3u, table.recordAt(1).item);
    EXPECT_EQ(5u, table.recordAt(2).item);
    EXPECT_EQ(2, table.indexOfItem(5));
    EXPECT_EQ(-1, table.indexOfItem(4));
    table.clear();
    EXPECT_EQ(0, table.count());
    EXPECT_EQ(-1, table.indexOfItem(2));
}

TEST(PageTable, NewRecordsStartAsDescribed) {
    PageTable table;
    table.addPage(7, "rtf", "title", true);
    table.addEmptyRecord(8);
    const PageRecord& page = table.recordAt(0);
    EXPECT_EQ(1, page.isFolder);
    EXPECT_EQ(1, page.isExpanded);
    EXPECT_EQ("rtf", page.text);
    const PageRecord& empty = table.recordAt(1);
    EXPECT_EQ(0, empty.isFolder);
    EXPECT_TRUE(empty.title.empty() && empty.text.empty() && empty.cipher.empty());
    EXPECT_EQ(0, empty.selStart + empty.selEnd + empty.scrollH + empty.scrollV + empty.isSecure);
}

TEST(PageTable, CopyFieldsKeepsTheItemUnlessAsked) {
    PageRecord source;
    source.item = 5;
    source.title = "t";
    source.text = "x";
    source.textHash[3] = 9;
    source.isFolder = 1;
    source.order = 4;
    source.parentOrder = 2;
    source.selStart = 1;
    source.scrollV = 8;
    source.isSecure = 1;
    PageRecord destination;
    destination.item = 6;
    destination.cipher = "old";
    copyFields(source, destination, 0);
    EXPECT_EQ(6u, destination.item);
    EXPECT_TRUE(destination.cipher.empty()) << "an empty source cipher empties the destination's";
    EXPECT_EQ("t", destination.title);
    EXPECT_EQ(9, destination.textHash[3]);
    EXPECT_EQ(8, destination.scrollV);
    EXPECT_EQ(1, destination.isSecure);
    copyFields(source, destination, 1);
    EXPECT_EQ(5u, destination.item);

    unsigned char bytes[] = {0, 1, 2, 0xFF};
    setCipher(destination, bytes, sizeof bytes);
    unsigned char back[4] = {};
    ASSERT_EQ(4u, readCipher(destination, back));
    EXPECT_EQ(0xFF, back[3]);
}

// Folder A (expanded) holding p1 and folder B (collapsed, holding p2); then
// an empty folder C marked expanded, then page p3.
struct SampleTree {
    MemoryTree tree;
    PageTable table;
    ItemHandle a, p1, b, p2, c, p3;
    SampleTree() {
        a = add(NO_ITEM, "A", 2);
        p1 = add(a, "p1", 0);
        b = add(a, "B", 2);
        p2 = add(b, "p2", 0);
        c = add(NO_ITEM, "C", 2);
        p3 = add(NO_ITEM, "p3", 0);
        tree.setExpanded(a, true);
        tree.setExpanded(c, true);
    }
    ItemHandle add(ItemHandle parent, const std::string& title, int image) {
        ItemHandle item = tree.insertLast(parent, title, image, image + 1);
        // Records in an order unlike the tree's, as commands append them.
        table.addPage(item, "", title, image == 2);
        return item;
    }
};

TEST(TreeRefresh, NumbersThePreOrderWalk) {
    SampleTree s;
    EXPECT_EQ(0, refreshFromTree(s.table, s.tree));
    struct {
        ItemHandle item;
        int order, parent, expanded;
    } want[] = {
        {s.a, 0, -1, 1}, {s.p1, 1, 0, 0}, {s.b, 2, 0, 0}, {s.p2, 3, 2, 0}, {s.c, 4, -1, 0}, {s.p3, 5, -1, 0},
    };
    for (const auto& w : want) {
        const PageRecord& r = s.table.recordOfItem(w.item);
        EXPECT_EQ(w.order, r.order) << r.title;
        EXPECT_EQ(w.parent, r.parentOrder) << r.title;
        EXPECT_EQ(w.expanded, r.isExpanded) << r.title;
    }
}

TEST(TreeRefresh, BookmarkIsTheLastPlainBookmarkedItem) {
    SampleTree s;
    s.tree.setImage(s.p1, 4);
    s.tree.setImage(s.b, 6);
    EXPECT_EQ(2, refreshFromTree(s.table, s.tree));
    s.tree.setImage(s.b, 2);
    s.tree.setImage(s.p3, 12);  // bookmarked secure page: not recognised
    EXPECT_EQ(1, refreshFromTree(s.table, s.tree));
    s.tree.setImage(s.p1, 0);
    EXPECT_EQ(0, refreshFromTree(s.table, s.tree));
}

// A list and a table that part (an item without a record, a record without an item) are told,
// so that such a book is never written.
TEST(TreeRefresh, TellsWhenTheListAndTheTablePart) {
    for (int parted = 0; parted < 3; ++parted) {
        SampleTree s;
        if (parted == 1) s.tree.insertLast(s.b, "no record", 0, 1);
        if (parted == 2) s.table.addPage(9999, "", "no item", false);
        bool whole = parted != 0;
        refreshFromTree(s.table, s.tree, &whole);
        EXPECT_EQ(parted == 0, whole) << parted;
    }
}

TEST(TreeRefresh, DeepNestingNeedsNoRecursion) {
    MemoryTree tree;
    PageTable table;
    ItemHandle parent = NO_ITEM;
    for (int i = 0; i < 200000; ++i) {
        parent = tree.insertLast(parent, "f", 2, 3);
        tree.setExpanded(parent, true);
        table.addPage(parent, "", "f", true);
    }
    refreshFromTree(table, tree);
    EXPECT_EQ(199999, table.recordOfItem(parent).order);
    EXPECT_EQ(199998, table.recordOfItem(parent).parentOrder);
}

TEST(TreeRebuild, PlacesRecordsByParentOrderWithTheirImages) {
    PageTable table;
    auto add = [&](const char* title, int parentOrder, int folder, int secure, int expanded) {
        PageRecord r;
        r.title = title;
        r.parentOrder = parentOrder;
        r.isFolder = static_cast<std::uint8_t>(folder);
        r.isSecure = secure;
        r.isExpanded = static_cast<std::uint8_t>(expanded);
        table.appendRecord(r);
    };
    add("F", -1, 1, 0, 1);
    add("in F", 0, 0, 1, 0);
    add("forward", 5, 0, 0, 0);  // names no earlier record: top level
    add("self", 3, 0, 0, 0);
    MemoryTree tree;
    ASSERT_TRUE(rebuildTree(table, tree, 1));
    const PageRecord& f = table.recordAt(0);
    const PageRecord& inF = table.recordAt(1);
    EXPECT_EQ(f.item, tree.parent(inF.item));
    EXPECT_EQ(NO_ITEM, tree.parent(table.recordAt(2).item));
    EXPECT_EQ(NO_ITEM, tree.parent(table.recordAt(3).item));
    EXPECT_EQ(2, tree.image(f.item));
    EXPECT_EQ(8 + 4, tree.image(inF.item));
    EXPECT_TRUE(tree.isExpanded(f.item));
    EXPECT_EQ(3, table.indexOfItem(table.recordAt(3).item));

    MemoryTree again;
    ASSERT_TRUE(rebuildTree(table, again, 40));  // outside the table: the first record
    EXPECT_EQ(2 + 4, again.image(table.recordAt(0).item));
    EXPECT_EQ(8, again.image(table.recordAt(1).item));
}

// Whatever the mix of pages and folders among siblings, the list built from a
// numbered book numbers it back the same way.
TEST(TreeRebuild, BuiltTreeNumbersBackToTheSameBook) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        PageTable table;
        unsigned state = seed;
        auto next = [&](unsigned range) {
            state = state * 1103515245u + 12345u;
            return (state >> 16) % range;
        };
        std::vector<int> open;  // the folders the next record may go into
        for (int i = 0; i < 300; ++i) {
            PageRecord r;
            r.title = "r" + std::to_string(i);
            while (!open.empty() && next(4) == 0) open.pop_back();  // leave a folder
            r.parentOrder = open.empty() ? -1 : open.back();
            r.isFolder = next(3) == 0 ? 1 : 0;
            r.isExpanded = static_cast<std::uint8_t>(next(2));
            r.order = i;
            if (r.isFolder) open.push_back(i);
            table.appendRecord(r);
        }
        PageTable before = table;
        MemoryTree tree;
        ASSERT_TRUE(rebuildTree(table, tree, 0));
        refreshFromTree(table, tree);
        for (int i = 0; i < table.count(); ++i) {
            const PageRecord &got = table.recordAt(i), &want = before.recordAt(i);
            ASSERT_EQ(i, got.order) << "seed " << seed;
            ASSERT_EQ(want.parentOrder, got.parentOrder) << "seed " << seed << " record " << i;
            const bool hasChildren = i + 1 < table.count() && before.recordAt(i + 1).parentOrder == i;
            ASSERT_EQ(want.isExpanded && hasChildren, got.isExpanded != 0) << "seed " << seed << " record " << i;
        }
    }
}

}  // namespace
