// Shared by the command and lifecycle tests: the real main window on a first
// start (three pages titled "ページ") and small readers of the page list.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/AppState.h"
#include "app/Book.h"
#include "app/MainControls.h"
#include "editor/RtfStream.h"
#include "store/Wide932.h"
#include "support/TestApp.h"

namespace apptest {

inline PageListControl& list() { return gControls.pageList; }
inline HWND editor() { return gControls.memo.window(); }
inline std::string editorText() { return rtfstream::EditorText(editor()); }

inline void typeText(const char* text) {
    SendMessageW(editor(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(wide::from932(text).c_str()));
}

inline void setEditorSelection(LONG from, LONG to) {
    CHARRANGE range = {from, to};
    SendMessageA(editor(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

inline void select(ItemHandle item) {
    list().Select(item);
    testapp::pumpMessages();
}

inline std::vector<ItemHandle> childrenOf(ItemHandle parent) {
    std::vector<ItemHandle> items;
    for (ItemHandle i = list().FirstChild(parent ? parent : PageListControl::root()); i; i = list().NextSibling(i))
        items.push_back(i);
    return items;
}

inline std::vector<std::string> titlesUnder(ItemHandle parent) {
    std::vector<std::string> titles;
    for (ItemHandle item : childrenOf(parent)) titles.push_back(list().GetTitle(item));
    return titles;
}

// Every item in tree order.
inline std::vector<ItemHandle> allItems() {
    std::vector<ItemHandle> items;
    for (ItemHandle i = list().FirstChild(PageListControl::root()); i; i = list().NextInOrder(i)) items.push_back(i);
    return items;
}

inline int imageOf(ItemHandle item) { return list().GetImages(item).image; }
inline int selectedImageOf(ItemHandle item) { return list().GetImages(item).selected; }
inline const PageRecord& recordOf(ItemHandle item) { return gBook.pages.recordOfItem(item); }
inline ItemHandle itemAt(int index) { return gBook.pages.recordAt(index).item; }

// The main window of a first start in a temporary program folder. The delete
// confirmation is off: a test that wants it switches it on and answers it.
class MainWindowTest : public testing::Test {
protected:
    void SetUp() override {
        CreateDirectoryA(folder.file("data").c_str(), nullptr);
        window = testapp::createMainWindowIn(folder.path());
        ASSERT_NE(window, nullptr);
        gApp.ini.window.DeleteDialog = false;
    }
    void TearDown() override { testapp::destroyMainWindow(window); }

    void command(int id) {
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
        testapp::pumpMessages();
    }

    testapp::TempFolder folder;
    HWND window = nullptr;
};

}  // namespace apptest
