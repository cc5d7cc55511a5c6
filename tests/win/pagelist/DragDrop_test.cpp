#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/PageDisplay.h"
#include "app/AppTestSupport.h"
#include "pagelist/DragMessages.h"
#include "pagelist/ShapedBook.h"
#include "res/resource.h"

namespace {

using apptest::list;

using dragmessages::labelPoint;

// A point on the item's icon.
POINT iconPoint(ItemHandle item) {
    POINT p = labelPoint(item);
    RECT r = {};
    TreeView_GetItemRect(list().window(), reinterpret_cast<HTREEITEM>(item), &r, TRUE);
    for (p.x = r.left - 1; p.x > r.left - 40; --p.x) {
        TVHITTESTINFO hit = {};
        hit.pt = p;
        TreeView_HitTest(list().window(), &hit);
        if (hit.flags & TVHT_ONITEMICON) break;
    }
    return p;
}

class DragDropTest : public apptest::MainWindowTest {
protected:
    void loadBook(const char* shape) { ASSERT_TRUE(shapedbook::load(window, folder.file("book.qpd"), shape)); }

    void begin(const char* title) {
        dragmessages::begin(window, shapedbook::item(title));
        testapp::pumpMessages();
    }
    void moveTo(POINT inList) { dragmessages::moveTo(window, inList); }
    void release() {
        dragmessages::release(window);
        testapp::pumpMessages();
    }
    void drop(const char* dragged, const char* target) {
        begin(dragged);
        moveTo(labelPoint(shapedbook::item(target)));
        release();
    }

    // Every item has a record of its own title, every record an item.
    void expectRecordsFollowTheItems() {
        const std::vector<ItemHandle> items = apptest::allItems();
        EXPECT_EQ(static_cast<int>(items.size()), gBook.pages.count());
        for (ItemHandle item : items) {
            const int index = gBook.pages.indexOfItem(item);
            ASSERT_GE(index, 0) << list().GetTitle(item);
            const PageRecord& record = gBook.pages.recordAt(index);
            EXPECT_EQ(record.title, list().GetTitle(item));
            // the book's first page carries the bookmark (4) before and after
            EXPECT_EQ(apptest::imageOf(item), (record.isFolder ? 2 : 0) + (record.title == "a" ? 4 : 0))
                << record.title;
            EXPECT_EQ(apptest::selectedImageOf(item), apptest::imageOf(item) + 1) << record.title;
            if (record.text != std::string(EMPTY_PAGE_RTF, EMPTY_PAGE_RTF_LENGTH))
                EXPECT_NE(record.text.find(record.title), std::string::npos) << record.title;
        }
    }
};

TEST_F(DragDropTest, DropPutsTheSubtreeBeforeTheTargetAndKeepsTitlesImagesTextsAndExpansion) {
    struct Case {
        const char* book;
        const char* dragged;
        const char* target;
        const char* after;
    } cases[] = {
        {"a F+(b G(c) d) e", "a", "e", "F+(b G(c) d) a e"},
        {"a F+(b G+(c) d) e", "G", "a", "G+(c) a F+(b d) e"},
        {"a b c", "a", "b", "a b c"},                    // onto the next sibling: as before
        {"a F+(b c) d", "c", "F", "a c F+(b) d"},        // onto its own parent: out, in front of it
        {"a F(G+(c) d) e", "a", "e", "F(G+(c) d) a e"},  // an open folder inside a closed one stays open
    };
    for (const Case& c : cases) {
        loadBook(c.book);
        drop(c.dragged, c.target);
        EXPECT_EQ(shapedbook::shape(), c.after) << c.book;
        expectRecordsFollowTheItems();
        // the dragged page stays the shown and selected one
        EXPECT_EQ(list().GetSelection(), shapedbook::item(c.dragged)) << c.book;
        EXPECT_EQ(pagedisplay::shownItem(), shapedbook::item(c.dragged)) << c.book;
    }
}

TEST_F(DragDropTest, TheEmptiedFolderGetsAnAutomaticPage) {
    loadBook("a F+(x) y");
    drop("x", "y");
    EXPECT_EQ(shapedbook::shape(), "a F+(自動追加ページ) x y");
    expectRecordsFollowTheItems();
    // the moved page keeps what was typed into it before the move
    apptest::typeText("typed ");
    apptest::select(shapedbook::item("a"));
    EXPECT_NE(gBook.pages.recordOfItem(shapedbook::item("x")).text.find("typed"), std::string::npos);
}

TEST_F(DragDropTest, ASearchAfterAMoveFindsTheMovedPage) {
    loadBook("a F+(b) e");
    drop("e", "b");
    HWND search = gApp.searchWindow;
    SetDlgItemTextA(search, IDC_SEARCH_TEXT, "e");
    for (int id : {IDC_SEARCH_ALL, IDC_SEARCH_MATCH_CASE}) CheckDlgButton(search, id, BST_CHECKED);
    SendMessageA(search, WM_COMMAND, IDC_SEARCH_NEXT, 0);
    testapp::pumpMessages();
    EXPECT_EQ(list().GetSelection(), shapedbook::item("e"));
    EXPECT_EQ(list().Parent(list().GetSelection()), shapedbook::item("F"));
}

TEST_F(DragDropTest, RefusedDropsChangeNothing) {
    const char* const book = "a F+(b G+(c)) d";
    struct Case {
        const char* dragged;
        const char* target;  // null: no item hovered
    } cases[] = {{"F", "c"}, {"F", "F"}, {"a", nullptr}};
    for (const Case& c : cases) {
        loadBook(book);
        const std::vector<ItemHandle> before = apptest::allItems();
        begin(c.dragged);
        if (c.target) moveTo(labelPoint(shapedbook::item(c.target)));
        release();
        EXPECT_EQ(apptest::allItems(), before) << c.dragged;
        EXPECT_EQ(shapedbook::shape(), book);
    }
}

TEST_F(DragDropTest, ReleaseOverEmptySpaceDropsOnTheLastItemHovered) {
    loadBook("a b c");
    begin("c");
    moveTo(labelPoint(shapedbook::item("a")));
    RECT client;
    GetClientRect(list().window(), &client);
    moveTo({client.right / 2, client.bottom - 30});
    release();
    EXPECT_EQ(shapedbook::shape(), "c a b");
}

TEST_F(DragDropTest, HoveringOverAClosedFoldersIconOpensIt) {
    loadBook("a F(b) c");
    begin("c");
    moveTo(iconPoint(shapedbook::item("F")));
    EXPECT_TRUE(list().IsExpanded(shapedbook::item("F")));
    release();
    EXPECT_EQ(shapedbook::shape(), "a c F+(b)");
}

}  // namespace
