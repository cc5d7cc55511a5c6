#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pagelist/PageListControl.h"
#include "pagelist/PageListRules.h"
#include "support/TestParent.h"

namespace {

using pagelist::pageImage;

class PageListTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(list.Create(parent.window()), nullptr);
        list.Resize(200, 250);
    }
    ItemHandle page(const std::string& title, ItemHandle under = 0) {
        return list.InsertItem(title, pageImage(false, false, false), under, 1);
    }
    ItemHandle folder(const std::string& title, ItemHandle under = 0) {
        return list.InsertItem(title, pageImage(true, false, false), under, 3);
    }
    // The control shows its scroll bars (and their style bits) only when it needs them.
    DWORD styleWithoutScrollBars() {
        return static_cast<DWORD>(GetWindowLongA(list.window(), GWL_STYLE)) &
               ~static_cast<DWORD>(WS_HSCROLL | WS_VSCROLL);
    }
    void collapse(ItemHandle item) { SendMessageA(list.window(), TVM_EXPAND, TVE_COLLAPSE, static_cast<LPARAM>(item)); }
    void expand(ItemHandle item) { SendMessageA(list.window(), TVM_EXPAND, TVE_EXPAND, static_cast<LPARAM>(item)); }

    testsupport::TestParent parent;
    PageListControl list;
};

TEST_F(PageListTest, CreatedWithItsStylesIdAndSixteenImages) {
    char cls[64] = {};
    GetClassNameA(list.window(), cls, sizeof cls);
    EXPECT_STREQ(cls, "SysTreeView32");
    EXPECT_EQ(styleWithoutScrollBars(), 0x50B0102Fu & ~static_cast<DWORD>(WS_HSCROLL | WS_VSCROLL));
    EXPECT_EQ(GetDlgCtrlID(list.window()), 1004);
    auto images = reinterpret_cast<HIMAGELIST>(SendMessageA(list.window(), TVM_GETIMAGELIST, TVSIL_NORMAL, 0));
    ASSERT_NE(images, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(images), 16);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(images, &cx, &cy);
    EXPECT_EQ(cx, 16);
    EXPECT_EQ(cy, 16);
}

TEST(PageListImages, IndexFollowsFolderBookmarkAndSecureBits) {
    EXPECT_EQ(pageImage(false, false, false), 0);
    EXPECT_EQ(pageImage(true, false, false), 2);
    EXPECT_EQ(pageImage(false, true, false), 4);
    EXPECT_EQ(pageImage(true, true, false), 6);
    EXPECT_EQ(pageImage(false, false, true), 8);
    EXPECT_EQ(pageImage(true, false, true), 10);
    EXPECT_EQ(pageImage(false, true, true), 12);
    EXPECT_EQ(pageImage(true, true, true), 14);
    for (int image = 0; image < 16; image += 2) {
        EXPECT_EQ(pagelist::selectedImage(image), image + 1);
        EXPECT_EQ(
            pageImage(pagelist::imageIsFolder(image), pagelist::imageIsBookmark(image), pagelist::imageIsSecure(image)),
            image);
    }
    // bookmarked items show the same icon selected or not; the others a selected variant
    for (int image = 0; image < 16; image += 2) {
        const bool same = pagelist::IMAGE_ICONS[image] == pagelist::IMAGE_ICONS[image + 1];
        EXPECT_EQ(same, pagelist::imageIsBookmark(image)) << image;
    }
    EXPECT_EQ(pagelist::IMAGE_ICONS[0], 130);
    EXPECT_EQ(pagelist::IMAGE_ICONS[6], 136);
    EXPECT_EQ(pagelist::IMAGE_ICONS[12], 148);
    EXPECT_EQ(pagelist::IMAGE_ICONS[15], 151);
}

TEST_F(PageListTest, ImagesAreWrittenAndReadBackAndMinusOneLeavesThemUnset) {
    ItemHandle secureFolder = list.InsertItem("s", pageImage(true, false, true), 0, 11);
    EXPECT_EQ(list.GetImages(secureFolder).image, 10);
    EXPECT_EQ(list.GetImages(secureFolder).selected, 11);
    list.SetImages(secureFolder, 14, 15);
    EXPECT_EQ(list.GetImages(secureFolder).image, 14);
    EXPECT_EQ(list.GetImages(secureFolder).selected, 15);
    ItemHandle plain = list.InsertItem("p", -1, 0, -1);
    EXPECT_EQ(list.GetImages(plain).image, 0);
    EXPECT_EQ(list.GetImages(plain).selected, 0);
}

// A  F1[B F2[C D]]  E  F3[G], with F1 and F2 closed.
class PageListOrderTest : public PageListTest {
protected:
    void SetUp() override {
        PageListTest::SetUp();
        a = page("A");
        f1 = folder("F1");
        b = page("B", f1);
        f2 = folder("F2", f1);
        c = page("C", f2);
        d = page("D", f2);
        e = page("E");
        f3 = folder("F3");
        g = page("G", f3);
        expand(f3);
        collapse(f2);
        collapse(f1);
    }
    ItemHandle a, f1, b, f2, c, d, e, f3, g;
};

TEST_F(PageListOrderTest, NextAndPreviousWalkThePreOrderThroughClosedFolders) {
    const std::vector<ItemHandle> order = {a, f1, b, f2, c, d, e, f3, g};
    for (size_t i = 0; i + 1 < order.size(); ++i) EXPECT_EQ(list.NextInOrder(order[i]), order[i + 1]) << i;
    EXPECT_EQ(list.NextInOrder(g), 0u);
    for (size_t i = order.size() - 1; i > 0; --i) EXPECT_EQ(list.PreviousInOrder(order[i]), order[i - 1]) << i;
    EXPECT_EQ(list.PreviousInOrder(a), 0u);
    EXPECT_EQ(list.NextInOrder(0), 0u);
    EXPECT_EQ(list.PreviousInOrder(0), 0u);
}

TEST_F(PageListOrderTest, SelectingAHiddenItemOpensItsFolders) {
    EXPECT_FALSE(list.IsExpanded(f1));
    ItemHandle previous = list.PreviousInOrder(e);  // F1's deepest last descendant
    ASSERT_EQ(previous, d);
    list.Select(previous);
    EXPECT_EQ(list.GetSelection(), d);
    EXPECT_TRUE(list.IsExpanded(f1));
    EXPECT_TRUE(list.IsExpanded(f2));
    list.Select(0);
    EXPECT_EQ(list.GetSelection(), 0u);
}

TEST_F(PageListOrderTest, ExpandedStateIncludesOpenFoldersInsideClosedOnes) {
    EXPECT_TRUE(list.IsExpanded(f3));
    EXPECT_FALSE(list.IsExpanded(a));  // no children
    expand(f2);                        // open, but inside the closed F1
    EXPECT_FALSE(list.IsExpanded(f1));
    EXPECT_TRUE(list.IsExpanded(f2));
}

TEST_F(PageListOrderTest, DepthCountsAncestorsPlusOneWhileButtonsShow) {
    EXPECT_TRUE(list.HasLines());
    EXPECT_EQ(list.Depth(a), 1);
    EXPECT_EQ(list.Depth(b), 2);
    EXPECT_EQ(list.Depth(c), 3);
    list.SetLines(false);
    const DWORD off = static_cast<DWORD>(GetWindowLongA(list.window(), GWL_STYLE));
    EXPECT_EQ(off & 0xF, static_cast<DWORD>(TVS_EDITLABELS));
    EXPECT_FALSE(list.HasLines());
    EXPECT_EQ(list.Depth(a), 0);
    EXPECT_EQ(list.Depth(c), 2);
    list.SetLines(true);
    EXPECT_EQ(styleWithoutScrollBars(), PageListControl::STYLE & ~static_cast<DWORD>(WS_HSCROLL | WS_VSCROLL));
    EXPECT_EQ(list.Depth(a), 1);
}

TEST_F(PageListOrderTest, SubtreeWalksListTheItemFirstWithParentsAndFirstChildren) {
    std::vector<ItemLink> links = list.CollectSubtreeLinks(PageListControl::root());
    ASSERT_EQ(links.size(), 10u);
    EXPECT_EQ(links[0].item, PageListControl::root());
    EXPECT_EQ(links[0].parent, 0u);
    EXPECT_EQ(links[0].firstChild, a);
    EXPECT_EQ(links[1].item, a);
    EXPECT_EQ(links[1].parent, 0u);
    EXPECT_EQ(links[4].item, f2);
    EXPECT_EQ(links[4].parent, f1);
    EXPECT_EQ(links[4].firstChild, c);
    EXPECT_EQ(links[9].item, g);
    for (const ItemLink& link : links) EXPECT_EQ(link.spare, 0);

    std::vector<ItemMove> sub = list.CollectSubtree(f1);
    ASSERT_EQ(sub.size(), 5u);
    const ItemHandle expected[] = {f1, b, f2, c, d};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(sub[i].item, expected[i]);
        EXPECT_EQ(sub[i].moved, 0u);
    }
}

TEST_F(PageListOrderTest, DeleteReturnsTheSubtreeAndRootEmptiesTheList) {
    std::vector<ItemMove> gone = list.DeleteItem(f2);
    ASSERT_EQ(gone.size(), 3u);
    EXPECT_EQ(gone[0].item, f2);
    EXPECT_EQ(list.NextInOrder(b), e);
    EXPECT_TRUE(list.DeleteItem(0).empty());                             // 0 must not read as "everything"
    EXPECT_EQ(list.CollectSubtree(PageListControl::root()).size(), 7u);  // the root and six items
    gone = list.DeleteItem(PageListControl::root());
    EXPECT_EQ(gone.size(), 7u);
    EXPECT_EQ(list.CollectSubtree(PageListControl::root()).size(), 1u);
}

TEST_F(PageListTest, TitlesAreCutAt255BytesWithoutSplittingACharacter) {
    const std::string ascii(300, 'x');
    ItemHandle item = page(ascii);
    EXPECT_EQ(list.GetTitle(item), std::string(255, 'x'));
    list.SetTitle(item, std::string(255, 'y'));
    EXPECT_EQ(list.GetTitle(item), std::string(255, 'y'));

    std::string japanese;
    for (int i = 0; i < 200; ++i) japanese += "あ";  // two bytes each
    list.SetTitle(item, japanese);
    const std::string title = list.GetTitle(item);
    EXPECT_EQ(title.size(), 254u);
    EXPECT_EQ(title, japanese.substr(0, 254));

    std::string mixed = "ab" + japanese;  // the 255th byte is a lead byte
    ItemHandle other = page(mixed);
    EXPECT_EQ(list.GetTitle(other), mixed.substr(0, 254));
    EXPECT_EQ(list.GetTitle(0), "");
}

TEST_F(PageListTest, CommittedLabelEditSetsTheTitleAndACancelledOneKeepsIt) {
    ItemHandle item = page("old");
    TVITEMW edited{};
    edited.mask = TVIF_TEXT;
    edited.hItem = reinterpret_cast<HTREEITEM>(item);
    edited.pszText = nullptr;  // cancelled
    list.CommitLabelEdit(edited);
    EXPECT_EQ(list.GetTitle(item), "old");
    wchar_t text[] = L"新しいタイトル";
    edited.pszText = text;
    list.CommitLabelEdit(edited);
    EXPECT_EQ(list.GetTitle(item), "新しいタイトル");
}

TEST_F(PageListTest, DeleteKeyAsksTheParentToDeleteOncePerKeyDown) {
    page("A");
    SendMessageA(list.window(), WM_KEYDOWN, VK_DELETE, 0x00530001);
    SendMessageA(list.window(), WM_KEYDOWN, VK_DELETE, 0x40530001);  // auto-repeat
    ASSERT_EQ(parent.commands().size(), 2u);
    EXPECT_EQ(parent.commands()[0], 32792);
    EXPECT_EQ(parent.commands()[1], 32792);
    SendMessageA(list.window(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(parent.commands().size(), 2u);
}

TEST_F(PageListTest, EnterMovesTheFocusAndFocusChangesReachTheHook) {
    HWND editor = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 220, 0, 100, 100, parent.window(), nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    list.setEnterTarget(editor);
    static std::vector<bool> changes;
    changes.clear();
    list.setFocusHook([](bool gained) { changes.push_back(gained); });
    SetFocus(list.window());
    ASSERT_EQ(GetFocus(), list.window());
    SendMessageA(list.window(), WM_CHAR, VK_RETURN, 0);
    EXPECT_EQ(GetFocus(), editor);
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_TRUE(changes[0]);
    EXPECT_FALSE(changes[1]);
    list.setFocusHook(nullptr);
}

TEST_F(PageListTest, RevealScrollsToTheItemsIndent) {
    list.Resize(60, 250);
    ItemHandle parentItem = 0;
    for (int level = 0; level < 4; ++level) parentItem = folder("a rather long folder title", parentItem);
    ItemHandle deep = page("a rather long page title at the bottom", parentItem);
    list.Reveal(deep);
    const int indent = static_cast<int>(SendMessageA(list.window(), TVM_GETINDENT, 0, 0));
    EXPECT_TRUE(list.IsExpanded(list.Parent(deep)));
    EXPECT_EQ(GetScrollPos(list.window(), SB_HORZ), 4 * indent);
}

}  // namespace
