// The standard font imposed on every page through the real main window.
#include <windows.h>
#include <dlgs.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "app/Lifecycle.h"
#include "app/PageDisplay.h"
#include "res/resource.h"
#include "support/DialogAnswerer.h"
#include "tests/win/app/AppTestSupport.h"

namespace {

using namespace apptest;
using testsupport::DialogAnswerer;

const char CAPTION[] = "標準フォントの適応";
const int STANDARD_PIXELS = 20;
const COLORREF STANDARD_COLOUR = RGB(0, 0, 255);

struct Format {
    std::string face;
    LONG height;
    COLORREF colour;
};

// The format of the whole text of the page shown in the editor.
Format wholeTextFormat() {
    setEditorSelection(0, -1);
    CHARFORMATA cf = {};
    cf.cbSize = sizeof cf;
    SendMessageA(editor(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    return {(cf.dwMask & CFM_FACE) ? cf.szFaceName : "(mixed)", (cf.dwMask & CFM_SIZE) ? cf.yHeight : -1,
            (cf.dwMask & CFM_COLOR) ? cf.crTextColor : CLR_INVALID};
}

class StandardFontTest : public MainWindowTest {
protected:
    // Each page gets its own face, size and colour; the book gets the standard font.
    void SetUp() override {
        MainWindowTest::SetUp();
        for (int i = 0; i < 3; ++i) {
            select(itemAt(i));
            typeText("標準フォントの対象");
        }
        formatPages();
        DataFileHeader& h = gBook.header;
        std::memset(h.standardFontFace, 0, sizeof h.standardFontFace);
        std::strcpy(h.standardFontFace, "Tahoma");
        h.standardFontHeight = STANDARD_PIXELS;
        h.standardFontColour = STANDARD_COLOUR;
    }

    void formatPages() {
        // sizes in whole half-points: the RTF of a stored page keeps no finer size
        const Format own[] = {{"Courier New", 240, RGB(255, 0, 0)},
                              {"Arial", 360, RGB(0, 128, 0)},
                              {"Times New Roman", 180, RGB(10, 20, 30)}};
        for (int i = 0; i < 3; ++i) {
            select(itemAt(i));
            setEditorSelection(0, -1);
            gControls.memo.SetSelectionFont(own[i].face, own[i].height * 96 / 1440);
            gControls.memo.SetSelectionColour(own[i].colour);
            before[i] = wholeTextFormat();
            textBefore[i] = editorText();
        }
        select(itemAt(1));
    }

    // Opens the dialog, clicks `button` in it and answers its confirmation with `answer`.
    int clickAndAnswer(int button, int answer) {
        DialogAnswerer answerer(answer, CAPTION);
        answerer.setInspector([button](HWND dialog) {
            if (GetDlgItem(dialog, IDC_STDFONT_APPLY_FONT)) testsupport::clickControl(dialog, button);
        });
        command(IDM_STANDARD_FONT);
        texts = answerer.texts();
        return answerer.answered();
    }

    Format before[3];
    std::string textBefore[3];
    std::vector<std::string> texts;
};

TEST_F(StandardFontTest, EachApplyButtonImposesItsPartOnEveryPageAndShowsTheSelectedPageAgain) {
    const struct {
        int button;
        bool font, colour;
    } cases[] = {{IDC_STDFONT_APPLY_FONT, true, false},
                 {IDC_STDFONT_APPLY_COLOUR, false, true},
                 {IDC_STDFONT_APPLY_BOTH, true, true}};
    const LONG standardTwips = STANDARD_PIXELS * 1440 / gControls.memo.pixelsPerInch();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        formatPages();
        EXPECT_EQ(clickAndAnswer(c.button, IDOK), 2);
        EXPECT_EQ(pagedisplay::shownItem(), itemAt(1));
        EXPECT_EQ(list().GetSelection(), itemAt(1));
        for (int i = 0; i < 3; ++i) {
            select(itemAt(i));
            const Format now = wholeTextFormat();
            EXPECT_EQ(now.face, c.font ? "Tahoma" : before[i].face) << i;
            EXPECT_EQ(now.height, c.font ? standardTwips : before[i].height) << i;
            EXPECT_EQ(now.colour, c.colour ? STANDARD_COLOUR : before[i].colour) << i;
            EXPECT_EQ(editorText(), textBefore[i]);
        }
    }
}

TEST_F(StandardFontTest, RefusedConfirmationKeepsTheDialogOpenAndThePagesAsTheyWere) {
    EXPECT_EQ(clickAndAnswer(IDC_STDFONT_APPLY_BOTH, IDCANCEL), 2);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[1], "全てのページに適応します。本当によろしいですか？");
    for (int i = 0; i < 3; ++i) {
        select(itemAt(i));
        const Format now = wholeTextFormat();
        EXPECT_EQ(now.face, before[i].face);
        EXPECT_EQ(now.colour, before[i].colour);
    }
}

TEST_F(StandardFontTest, LockedSecurePageKeepsItsText) {
    select(itemAt(0));
    PageRecord& secure = gBook.pages.recordOfItem(itemAt(2));
    secure.isSecure = true;
    const std::string text = secure.text;
    DialogAnswerer refuse(IDCANCEL, "認証");  // the walk asks for the password, which is refused
    // a background save inside the prompt: the editor then holds the walk's last page, not the selected one
    refuse.setInspector([this](HWND) {
        gApp.ini.window.BgSaveInterval = 0;
        lifecycle::backgroundSaveTick(window, WM_TIMER, lifecycle::BG_SAVE_TIMER, GetTickCount());
    });
    EXPECT_EQ(clickAndAnswer(IDC_STDFONT_APPLY_BOTH, IDOK), 2);
    EXPECT_EQ(refuse.answered(), 1);
    EXPECT_EQ(gBook.pages.recordOfItem(itemAt(2)).text, text);
    EXPECT_EQ(pagedisplay::shownItem(), itemAt(0));
    std::string first;  // held, or at its place in the data file after the save
    EXPECT_TRUE(loadText(gBook.pages.recordOfItem(itemAt(0)), first));
    EXPECT_NE(first.find("help00.html"), std::string::npos) << "the selected page keeps its own text";
}

// A face chosen at 12 points is kept as a positive pixel height, even when the dialog
// is then closed without applying it.
TEST_F(StandardFontTest, ChosenSizeIsKeptAsAPositiveHeightAfterCancel) {
    DialogAnswerer answer(IDCANCEL);
    answer.setInspector([](HWND dialog) {
        if (testsupport::windowText(dialog) == CAPTION)
            return testsupport::clickControl(dialog, IDC_STDFONT_CHOOSE_FONT);
        // the font chooser: 12 in its size list, then OK ahead of the answerer's Cancel
        HWND sizes = GetDlgItem(dialog, cmb3);
        const LRESULT twelve = SendMessageA(sizes, CB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>("12"));
        SendMessageA(sizes, CB_SETCURSEL, twelve, 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(cmb3, CBN_SELCHANGE), reinterpret_cast<LPARAM>(sizes));
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    command(IDM_STANDARD_FONT);
    EXPECT_EQ(answer.answered(), 2);
    EXPECT_EQ(gBook.header.standardFontHeight, MulDiv(12, gControls.memo.pixelsPerInch(), 72));
}

}  // namespace
