#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <functional>

#include "app/AppState.h"
#include "app/Book.h"
#include "app/MainControls.h"
#include "support/TestApp.h"

namespace {

// RTF as no rich edit writes it: streaming it out again would change its bytes.
const char STORED_RTF[] = "{\\rtf1\\ansi\\ansicpg932 {\\fonttbl{\\f0 Arial;}}\\f0  first line\\par second line\\par}";

HWND editor() { return gControls.memo.window(); }

void select(ItemHandle item) {
    gControls.pageList.Select(item);
    testapp::pumpMessages();
}

class PageSwitchTest : public testing::Test {
protected:
    void SetUp() override {
        CreateDirectoryA(folder.file("data").c_str(), nullptr);
        window = testapp::createMainWindowIn(folder.path());
        ASSERT_NE(window, nullptr);
        ASSERT_GE(gBook.pages.count(), 2);
    }
    void TearDown() override { testapp::destroyMainWindow(window); }

    testapp::TempFolder folder;
    HWND window = nullptr;
};

// A page left as it was shown keeps its stored RTF byte for byte (its selection is
// still stored); typing or formatting stores it.
TEST_F(PageSwitchTest, OnlyAChangedPageIsStreamedBackIntoItsRecord) {
    struct Case {
        const char* name;
        std::function<void()> act;
        bool stored;
    } cases[] = {
        {"looked at, caret moved", [] {}, false},
        {"typed", [] { SendMessageA(editor(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("typed ")); }, true},
        {"made bold", [] { gControls.memo.ToggleBold(); }, true},
    };
    const ItemHandle page = gBook.pages.recordAt(1).item, other = gBook.pages.recordAt(0).item;
    for (const Case& c : cases) {
        select(other);
        gBook.pages.recordAt(1).text = STORED_RTF;
        select(page);
        CHARRANGE range = {2, 6};
        SendMessageA(editor(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        c.act();
        select(other);
        const PageRecord& record = gBook.pages.recordAt(1);
        EXPECT_EQ(record.text != STORED_RTF, c.stored) << c.name << ": " << record.text;
        EXPECT_NE(record.text.find("second line"), std::string::npos) << c.name;
        EXPECT_EQ(record.selStart, c.stored && c.name[0] == 't' ? 8 : 2) << c.name;
    }
}

}  // namespace
