#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "pagelist/PageListControl.h"
#include "pagelist/PageListTree.h"
#include "store/PageTable.h"
#include "store/TreeSource.h"
#include "support/TestParent.h"

namespace {

// The book's expanded flags come from the page list as the user left it.
TEST(PageListTree, RefreshKeepsAnOpenFolderInsideAClosedOne) {
    testsupport::TestParent parent;
    PageListControl list;
    ASSERT_NE(list.Create(parent.window()), nullptr);
    ItemHandle outer = list.InsertItem("outer", 2, 0, 3);
    ItemHandle inner = list.InsertItem("inner", 2, outer, 3);
    ItemHandle page = list.InsertItem("page", 0, inner, 1);
    ItemHandle last = list.InsertItem("last", 0, 0, 1);
    SendMessageA(list.window(), TVM_EXPAND, TVE_EXPAND, static_cast<LPARAM>(outer));
    SendMessageA(list.window(), TVM_EXPAND, TVE_EXPAND, static_cast<LPARAM>(inner));
    SendMessageA(list.window(), TVM_EXPAND, TVE_COLLAPSE, static_cast<LPARAM>(outer));

    PageTable table;
    table.addPage(outer, "", "outer", true);
    table.addPage(inner, "", "inner", true);
    table.addPage(page, "", "page", false);
    table.addPage(last, "", "last", false);
    PageListTree tree(list);
    refreshFromTree(table, tree);
    EXPECT_EQ(table.recordOfItem(outer).isExpanded, 0);
    EXPECT_EQ(table.recordOfItem(inner).isExpanded, 1);
    EXPECT_EQ(table.recordOfItem(page).isExpanded, 0);
    EXPECT_EQ(table.recordOfItem(page).order, 2);
    EXPECT_EQ(table.recordOfItem(last).order, 3);
}

}  // namespace
