#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "pagelist/PageListControl.h"
#include "pagelist/PageListTree.h"
#include "store/PageTable.h"
#include "store/TreeSource.h"
#include "support/TestParent.h"

namespace {

struct Row {
    const char* title;
    int parentOrder, folder, secure, expanded;
};

// Open and closed folders, an open folder inside a closed one, an open folder
// with nothing in it, a page marked open, a secure page; pages before, between
// and after folders among their siblings.
const Row BOOK[] = {
    {"p0", -1, 0, 0, 0}, {"F1", -1, 1, 0, 1}, {"p1", 1, 0, 1, 0},  {"F2", 1, 1, 0, 0}, {"F3", 3, 1, 0, 1},
    {"p2", 4, 0, 0, 0},  {"F4", -1, 1, 0, 1}, {"p3", -1, 0, 0, 1}, {"p4", 1, 0, 0, 0},
};
const int BOOKMARK = 5;  // p2: fifth in tree order too

PageTable bookTable() {
    PageTable table;
    for (const Row& row : BOOK) {
        PageRecord r;
        r.title = row.title;
        r.parentOrder = row.parentOrder;
        r.isFolder = static_cast<std::uint8_t>(row.folder);
        r.isSecure = row.secure;
        r.isExpanded = static_cast<std::uint8_t>(row.expanded);
        table.appendRecord(r);
    }
    return table;
}

// The fill as it was: every item inserted closed and drawn, then each expanded or collapsed.
void fillItemByItem(PageListControl& list, PageTable& table) {
    for (int i = 0; i < table.count(); ++i) {
        const PageRecord& r = table.recordAt(i);
        const ItemHandle parent = r.parentOrder >= 0 ? table.recordAt(r.parentOrder).item : 0;
        const int image = 8 * r.isSecure + (i == BOOKMARK ? 4 : 0) + 2 * r.isFolder;
        table.setItem(i, list.InsertItem(r.title, image, parent, image + 1));
    }
    for (int i = 0; i < table.count(); ++i) {
        const PageRecord& r = table.recordAt(i);
        TreeView_Expand(list.window(), reinterpret_cast<HTREEITEM>(r.item), r.isExpanded ? TVE_EXPAND : TVE_COLLAPSE);
    }
}

struct Seen {
    std::string title;
    int image, selected, parentIndex;
    bool expanded;
};

Seen look(const PageListControl& list, const PageTable& table, int index) {
    const ItemHandle item = table.recordAt(index).item;
    const ItemImages images = list.GetImages(item);
    const UINT state = TreeView_GetItemState(list.window(), reinterpret_cast<HTREEITEM>(item), TVIS_EXPANDED);
    return {list.GetTitle(item), images.image, images.selected, table.indexOfItem(list.Parent(item)),
            (state & TVIS_EXPANDED) != 0};
}

TEST(PageListFill, DrawingSuspendedGivesTheSameListAsItemByItem) {
    testsupport::TestParent beforeParent, afterParent;
    PageListControl before, after;
    ASSERT_NE(before.Create(beforeParent.window()), nullptr);
    ASSERT_NE(after.Create(afterParent.window()), nullptr);
    MoveWindow(before.window(), 0, 0, 200, 200, TRUE);
    MoveWindow(after.window(), 0, 0, 200, 200, TRUE);
    PageTable oldTable = bookTable(), newTable = bookTable();
    fillItemByItem(before, oldTable);
    PageListTree tree(after);
    ASSERT_TRUE(rebuildTree(newTable, tree, BOOKMARK));
    EXPECT_TRUE(after.ShadowMatches());

    for (int i = 0; i < newTable.count(); ++i) {
        const Seen want = look(before, oldTable, i), got = look(after, newTable, i);
        EXPECT_EQ(got.title, want.title);
        EXPECT_EQ(got.image, want.image) << want.title;
        EXPECT_EQ(got.selected, want.selected) << want.title;
        EXPECT_EQ(got.parentIndex, want.parentIndex) << want.title;
        EXPECT_EQ(got.expanded, want.expanded) << want.title;
    }
    // Selecting the bookmark opens its folders and lays the list out the same way.
    before.Select(oldTable.recordAt(BOOKMARK).item);
    after.Select(newTable.recordAt(BOOKMARK).item);
    EXPECT_EQ(newTable.indexOfItem(after.GetSelection()), BOOKMARK);
    RECT wantRect{}, gotRect{};
    ASSERT_TRUE(TreeView_GetItemRect(before.window(), reinterpret_cast<HTREEITEM>(oldTable.recordAt(BOOKMARK).item),
                                     &wantRect, TRUE));
    ASSERT_TRUE(TreeView_GetItemRect(after.window(), reinterpret_cast<HTREEITEM>(newTable.recordAt(BOOKMARK).item),
                                     &gotRect, TRUE));
    EXPECT_TRUE(EqualRect(&wantRect, &gotRect));
    // And the book read back from both lists is the same.
    EXPECT_EQ(refreshFromTree(newTable, tree), BOOKMARK);
    PageListTree oldTree(before);
    refreshFromTree(oldTable, oldTree);
    for (int i = 0; i < newTable.count(); ++i) {
        EXPECT_EQ(newTable.recordAt(i).order, oldTable.recordAt(i).order);
        EXPECT_EQ(newTable.recordAt(i).parentOrder, oldTable.recordAt(i).parentOrder);
        EXPECT_EQ(newTable.recordAt(i).isExpanded, oldTable.recordAt(i).isExpanded) << BOOK[i].title;
    }
}

// The save's walk reads the list's own shadow of the tree; after insertions,
// deletions and images it numbers the book as a walk through the control does,
// and a change made behind the list's back makes it ask the control.
TEST(PageListFill, ShadowWalkNumbersTheBookAsTheControlDoes) {
    testsupport::TestParent parent;
    PageListControl list;
    ASSERT_NE(list.Create(parent.window()), nullptr);
    PageTable table = bookTable();
    PageListTree tree(list);
    ASSERT_TRUE(rebuildTree(table, tree, BOOKMARK));
    auto removeRecords = [&](const std::vector<ItemMove>& gone) {
        for (const ItemMove& m : gone) table.removeAt(table.indexOfItem(m.item));
    };
    const std::function<void()> edits[] = {
        [] {},                                                             // as filled
        [&] { removeRecords(list.DeleteItem(table.recordAt(3).item)); },  // F2 with F3 and p2
        [&] { list.SetImages(table.recordAt(2).item, 4 + 8, 5 + 8); },
        [&] { table.addPage(list.InsertItem("new", 4, table.recordAt(1).item, 5), "", "new", false); },
        [&] { list.SetImages(table.recordAt(2).item, 8, 9); },
        [&] {  // behind the list's back
            const ItemHandle last = table.recordAt(table.count() - 1).item;
            TreeView_DeleteItem(list.window(), reinterpret_cast<HTREEITEM>(last));
            table.removeAt(table.count() - 1);
        },
    };
    for (std::size_t step = 0; step < sizeof edits / sizeof edits[0]; ++step) {
        edits[step]();
        PageTable byControl = table;
        PageListTree controlTree(list, false);
        EXPECT_EQ(refreshFromTree(table, PageListTree(list)), refreshFromTree(byControl, controlTree)) << step;
        for (int i = 0; i < table.count(); ++i) {
            EXPECT_EQ(table.recordAt(i).order, byControl.recordAt(i).order) << step << " " << i;
            EXPECT_EQ(table.recordAt(i).parentOrder, byControl.recordAt(i).parentOrder) << step << " " << i;
            EXPECT_EQ(table.recordAt(i).isExpanded, byControl.recordAt(i).isExpanded) << step << " " << i;
        }
    }
    EXPECT_FALSE(list.ShadowMatches());
}

}  // namespace
