// The colour scheme dialog through the real main window.
#include <windows.h>
#include <colordlg.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "res/resource.h"
#include "support/DialogAnswerer.h"
#include "tests/win/app/AppTestSupport.h"

namespace {

using namespace apptest;
using testsupport::DialogAnswerer;

const int FUJI_POSITION = 5;
const int CUSTOM_POSITION = 17;

COLORREF windowBackground(HWND window) {
    LOGBRUSH brush{};
    GetObjectA(reinterpret_cast<HBRUSH>(GetClassLongPtrA(window, GCLP_HBRBACKGROUND)), sizeof brush, &brush);
    return brush.lbColor;
}

struct ControlColours {
    COLORREF listText, listBack, memoBack;
    bool operator==(const ControlColours& o) const {
        return listText == o.listText && listBack == o.listBack && memoBack == o.memoBack;
    }
};

ControlColours controlColours() {
    HWND tree = list().window();
    // the editor tells its background only when given a new one
    const COLORREF memoBack = static_cast<COLORREF>(SendMessageA(editor(), EM_SETBKGNDCOLOR, 0, 0));
    SendMessageA(editor(), EM_SETBKGNDCOLOR, 0, memoBack);
    return {TreeView_GetTextColor(tree), TreeView_GetBkColor(tree), memoBack};
}

// Picks a line of the background list as a click would.
void chooseLine(HWND dialog, int position) {
    HWND lines = GetDlgItem(dialog, IDC_SCHEME_WINDOW_COLOURS);
    SendMessageA(lines, LB_SETCURSEL, position, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_SCHEME_WINDOW_COLOURS, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(lines));
}

std::string lineText(HWND dialog, int position) {
    char text[64] = {};
    SendDlgItemMessageA(dialog, IDC_SCHEME_WINDOW_COLOURS, LB_GETTEXT, position, reinterpret_cast<LPARAM>(text));
    return text;
}

using ColourSchemeTest = MainWindowTest;

TEST_F(ColourSchemeTest, ChoosingFujiRepaintsTheWindowAndLeavesTheListAndEditor) {
    const ControlColours before = controlColours();
    std::string first, last;
    int selected = -1, lines = 0;
    {
        DialogAnswerer close(IDOK, "配色の設定");
        close.setInspector([&](HWND dialog) {
            lines = static_cast<int>(SendDlgItemMessageA(dialog, IDC_SCHEME_WINDOW_COLOURS, LB_GETCOUNT, 0, 0));
            selected = static_cast<int>(SendDlgItemMessageA(dialog, IDC_SCHEME_WINDOW_COLOURS, LB_GETCURSEL, 0, 0));
            first = lineText(dialog, 0);
            last = lineText(dialog, CUSTOM_POSITION);
            chooseLine(dialog, FUJI_POSITION);
        });
        command(IDM_COLOUR_SCHEME);
        ASSERT_EQ(close.answered(), 1);
    }
    EXPECT_EQ(lines, 18);
    EXPECT_EQ(first, "瑠璃唐草");
    EXPECT_EQ(last, "カスタム");
    EXPECT_EQ(selected, 1) << "a new book's background is 空, the second line";
    EXPECT_EQ(gBook.header.windowColourIndex, 3);
    EXPECT_EQ(windowBackground(window), RGB(162, 148, 200));
    EXPECT_TRUE(controlColours() == before);
}

// The custom line asks for its colour. Confirmed, the window shows it and the next start
// shows it again; cancelled, the line and the book go back to the background still shown.
TEST_F(ColourSchemeTest, TheCustomColourTravelsInTheDataFileAndACancelPutsTheOldLineBack) {
    const COLORREF chosen = RGB(10, 20, 30);
    const COLORREF before = windowBackground(window);
    const int beforeIndex = gBook.header.windowColourIndex;
    const struct {
        int button;
        COLORREF shown, custom;
        int index, line;
    } cases[] = {{IDCANCEL, before, RGB(192, 192, 192), beforeIndex, 1}, {IDOK, chosen, chosen, 10, CUSTOM_POSITION}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        int lineAfter = -1;
        {
            // one answerer for both: the scheme dialog and, inside it, the colour chooser
            DialogAnswerer answer(c.button);
            answer.setInspector([&](HWND dialog) {
                if (GetDlgItem(dialog, IDC_SCHEME_WINDOW_COLOURS)) {
                    chooseLine(dialog, CUSTOM_POSITION);
                    lineAfter =
                        static_cast<int>(SendDlgItemMessageA(dialog, IDC_SCHEME_WINDOW_COLOURS, LB_GETCURSEL, 0, 0));
                    return;
                }
                const int channels[] = {COLOR_RED, COLOR_GREEN, COLOR_BLUE};
                const char* values[] = {"10", "20", "30"};
                for (int i = 0; i < 3; ++i) testsupport::setControlText(dialog, channels[i], values[i]);
            });
            command(IDM_COLOUR_SCHEME);
            ASSERT_EQ(answer.answered(), 2);
        }
        EXPECT_EQ(lineAfter, c.line);
        EXPECT_EQ(gBook.header.windowColourIndex, c.index);
        EXPECT_EQ(gBook.header.customWindowColour, c.custom);
        EXPECT_EQ(windowBackground(window), c.shown);

        testapp::destroyMainWindow(window);
        window = testapp::createMainWindowIn(folder.path());
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(windowBackground(window), c.shown);
    }
}

TEST_F(ColourSchemeTest, DefaultsMakeTheListBlackOnWhiteAndTheEditorWhiteButKeepTheBackground) {
    const COLORREF background = windowBackground(window);
    list().SetTextColour(RGB(1, 2, 3));
    list().SetBackColour(RGB(4, 5, 6));
    gControls.memo.SetBackColour(RGB(7, 8, 9));
    DataFileHeader& h = gBook.header;
    h.listTextColour = RGB(1, 2, 3);
    h.listBackColour = RGB(4, 5, 6);
    h.memoBackColour = RGB(7, 8, 9);
    {
        DialogAnswerer close(IDOK, "配色の設定");
        close.setInspector([](HWND dialog) { testsupport::clickControl(dialog, IDC_SCHEME_DEFAULTS); });
        command(IDM_COLOUR_SCHEME);
        ASSERT_EQ(close.answered(), 1);
    }
    const ControlColours blackOnWhite{RGB(0, 0, 0), RGB(255, 255, 255), RGB(255, 255, 255)};
    EXPECT_TRUE(controlColours() == blackOnWhite);
    EXPECT_TRUE((ControlColours{h.listTextColour, h.listBackColour, h.memoBackColour}) == blackOnWhite);
    EXPECT_EQ(windowBackground(window), background);
}

}  // namespace
