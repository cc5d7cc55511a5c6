#include <windows.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/MemoEditor.h"
#include "editor/Twips.h"
#include "store/Wide932.h"
#include "support/DialogAnswerer.h"
#include "support/TestParent.h"

namespace {

// Sees every message the rich-edit control itself receives: the class's window
// procedure is swapped for this spy while a MemoEditor creates its control, so
// the editor's subclass forwards to the spy.
struct ControlSpy {
    static WNDPROC original;
    static std::vector<WPARAM> keys;  // WM_KEYDOWN keys that reached the control
    static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_KEYDOWN) keys.push_back(wParam);
        return CallWindowProcW(original, hwnd, msg, wParam, lParam);
    }
};
WNDPROC ControlSpy::original = nullptr;
std::vector<WPARAM> ControlSpy::keys;

class MemoEditorTest : public testing::Test {
protected:
    void SetUp() override {
        HWND probe = CreateWindowExW(0, L"RichEdit20W", L"", WS_CHILD, 0, 0, 0, 0, parent.window(), nullptr,
                                     GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(probe, nullptr);
        ControlSpy::original = reinterpret_cast<WNDPROC>(
            SetClassLongPtrW(probe, GCLP_WNDPROC, reinterpret_cast<LONG_PTR>(ControlSpy::proc)));
        ASSERT_NE(memo.Create(parent.window()), nullptr);
        SetClassLongPtrW(probe, GCLP_WNDPROC, reinterpret_cast<LONG_PTR>(ControlSpy::original));
        DestroyWindow(probe);
        MoveWindow(memo.window(), 0, 0, 300, 200, TRUE);
        ControlSpy::keys.clear();
    }
    void TearDown() override { setShift(false); }

    void setText(const char* text) { SetWindowTextA(memo.window(), text); }
    void select(LONG start, LONG end) { SendMessageA(memo.window(), EM_SETSEL, start, end); }
    CHARRANGE selection() {
        CHARRANGE r{};
        SendMessageA(memo.window(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
        return r;
    }
    static void setShift(bool down) {
        BYTE state[256];
        GetKeyboardState(state);
        state[VK_SHIFT] = down ? 0x80 : 0;
        SetKeyboardState(state);
    }
    // True when the key went on to the control, false when the subclass kept it.
    bool reachesControl(WPARAM key) {
        ControlSpy::keys.clear();
        SendMessageA(memo.window(), WM_KEYDOWN, key, 1);
        return !ControlSpy::keys.empty();
    }
    CHARFORMATA formatAt(LONG start, LONG end) {
        select(start, end);
        CHARFORMATA cf{};
        cf.cbSize = sizeof cf;
        SendMessageA(memo.window(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
        return cf;
    }

    testsupport::TestParent parent{500, 400};
    MemoEditor memo;
};

TEST_F(MemoEditorTest, CreatedWithItsClassStyleIdPropertyAndDefaultFont) {
    char cls[64] = {};
    GetClassNameA(memo.window(), cls, sizeof cls);
    EXPECT_EQ(lstrcmpiA(cls, "RichEdit20W"), 0);  // a wide control: every character typed or pasted stays
    // the control shows its scroll bars (and their style bits) only when it needs them
    const DWORD scrollBars = WS_HSCROLL | WS_VSCROLL;
    const DWORD style = static_cast<DWORD>(GetWindowLongA(memo.window(), GWL_STYLE));
    EXPECT_EQ(style & ~scrollBars, MemoEditor::STYLE & ~scrollBars);
    EXPECT_EQ(GetDlgCtrlID(memo.window()), 1000);
    EXPECT_EQ(GetPropA(memo.window(), "MYRE_THIS"), static_cast<HANDLE>(&memo));

    CHARFORMAT2A cf{};
    cf.cbSize = sizeof cf;
    SendMessageA(memo.window(), EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
    EXPECT_STREQ(cf.szFaceName, "ＭＳ ゴシック");
    EXPECT_EQ(cf.bCharSet, 128);
    EXPECT_EQ(cf.yHeight, 21600 / memo.pixelsPerInch());
    EXPECT_EQ(cf.crTextColor, 0u);
}

TEST(Twips, ConvertWithIntegerDivisionBothWays) {
    EXPECT_EQ(twips::fromPixels(15, 96), 225);
    EXPECT_EQ(twips::toPixels(225, 96), 15);
    EXPECT_EQ(twips::fromPixels(15, 120), 180);
    EXPECT_EQ(twips::toPixels(190, 120), 15);  // 15.83 rounds down
    EXPECT_EQ(twips::fromPixels(7, 0), 105);   // no screen resolution: 96 dpi-like fallback
}

// "abc" on line 0, "def" on line 1 (positions 4 to 7).
TEST_F(MemoEditorTest, ArrowKeysAtTheEdgesOfTheTextAreKept) {
    setText("abc\r\ndef");
    select(0, 0);
    EXPECT_FALSE(reachesControl(VK_LEFT));
    EXPECT_FALSE(reachesControl(VK_UP));
    select(0, 0);
    EXPECT_TRUE(reachesControl(VK_RIGHT));
    select(0, 0);
    EXPECT_TRUE(reachesControl(VK_DOWN));
    select(2, 2);
    EXPECT_FALSE(reachesControl(VK_UP));  // first line, Shift up
    select(2, 2);
    EXPECT_TRUE(reachesControl(VK_LEFT));
    select(5, 5);
    EXPECT_FALSE(reachesControl(VK_DOWN));  // last line, Shift up
    select(5, 5);
    EXPECT_TRUE(reachesControl(VK_RIGHT));
    select(7, 7);
    EXPECT_FALSE(reachesControl(VK_RIGHT));
    EXPECT_FALSE(reachesControl(VK_DOWN));
    select(7, 7);
    EXPECT_TRUE(reachesControl(VK_UP));
}

TEST_F(MemoEditorTest, ShiftOnlyKeepsKeysThatCannotExtendTheSelection) {
    setText("abc\r\ndef");
    setShift(true);
    select(2, 2);
    EXPECT_TRUE(reachesControl(VK_UP));  // first line, but not at position 0
    select(0, 0);
    EXPECT_FALSE(reachesControl(VK_UP));
    select(5, 5);
    EXPECT_TRUE(reachesControl(VK_DOWN));  // last line, not at its end
    select(5, 7);
    EXPECT_FALSE(reachesControl(VK_DOWN));
    EXPECT_FALSE(reachesControl(VK_RIGHT));
    select(0, 2);
    EXPECT_FALSE(reachesControl(VK_LEFT));
}

TEST_F(MemoEditorTest, ASelectionWithoutShiftAlwaysGoesToTheControl) {
    setText("abc\r\ndef");
    for (WPARAM key : {VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN}) {
        select(0, 7);
        EXPECT_TRUE(reachesControl(key)) << key;
    }
    select(0, 0);
    EXPECT_TRUE(reachesControl(VK_HOME));  // other keys are never looked at
}

TEST_F(MemoEditorTest, ToggleOnAPartlyBoldSelectionFollowsTheReportedEffect) {
    setText("abcdef");
    select(0, 3);
    memo.ToggleBold();
    EXPECT_TRUE(formatAt(0, 3).dwEffects & CFE_BOLD);
    const CHARFORMATA mixed = formatAt(0, 6);
    EXPECT_FALSE(mixed.dwMask & CFM_BOLD);  // the control calls it mixed
    const bool reported = (mixed.dwEffects & CFE_BOLD) != 0;
    select(0, 6);
    memo.ToggleBold();
    const CHARFORMATA after = formatAt(0, 6);
    EXPECT_TRUE(after.dwMask & CFM_BOLD);  // now uniform
    EXPECT_EQ((after.dwEffects & CFE_BOLD) != 0, !reported);
}

TEST_F(MemoEditorTest, TogglesSwitchEachEffectOnAndOff) {
    setText("abcdef");
    struct Case {
        void (MemoEditor::*toggle)();
        DWORD effect;
    } cases[] = {{&MemoEditor::ToggleBold, CFE_BOLD},
                 {&MemoEditor::ToggleItalic, CFE_ITALIC},
                 {&MemoEditor::ToggleStrikeOut, CFE_STRIKEOUT},
                 {&MemoEditor::ToggleUnderline, CFE_UNDERLINE}};
    for (const Case& c : cases) {
        select(1, 4);
        (memo.*c.toggle)();
        EXPECT_TRUE(formatAt(1, 4).dwEffects & c.effect) << c.effect;
        EXPECT_FALSE(formatAt(4, 6).dwEffects & c.effect) << c.effect;
        select(1, 4);
        (memo.*c.toggle)();
        EXPECT_FALSE(formatAt(1, 4).dwEffects & c.effect) << c.effect;
    }
}

TEST_F(MemoEditorTest, SelectionFormatsUseTwipsOfThePixelSize) {
    setText("abcdef");
    const int ppi = memo.pixelsPerInch();
    select(0, 2);
    memo.SetSelectionSize(20);
    EXPECT_EQ(formatAt(0, 2).yHeight, 20 * 1440 / ppi);
    select(0, 2);
    memo.SetSelectionColour(RGB(200, 0, 0));
    CHARFORMATA cf = formatAt(0, 2);
    EXPECT_EQ(cf.crTextColor, RGB(200, 0, 0));
    EXPECT_FALSE(cf.dwEffects & CFE_AUTOCOLOR);
    select(2, 4);
    memo.SetSelectionFont("Arial", 30);
    cf = formatAt(2, 4);
    EXPECT_STREQ(cf.szFaceName, "Arial");
    EXPECT_EQ(cf.yHeight, 30 * 1440 / ppi);
    select(4, 6);
    memo.SetSelectionFace("Courier New");
    EXPECT_STREQ(formatAt(4, 6).szFaceName, "Courier New");
    EXPECT_EQ(formatAt(0, 2).yHeight, 20 * 1440 / ppi);  // untouched by the others
}

TEST_F(MemoEditorTest, DefaultFontTakesFaceSizeAndColour) {
    memo.SetDefaultFont("Arial", -18, RGB(0, 0, 255));
    CHARFORMAT2A cf{};
    cf.cbSize = sizeof cf;
    SendMessageA(memo.window(), EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
    EXPECT_STREQ(cf.szFaceName, "Arial");
    EXPECT_EQ(cf.yHeight, 18 * 1440 / memo.pixelsPerInch());
    EXPECT_EQ(cf.crTextColor, RGB(0, 0, 255));
}

TEST_F(MemoEditorTest, LastFontAndColourBeforeAnyChoice) {
    setText("abcdef");
    select(0, 6);
    const CHARFORMATA before = formatAt(0, 6);
    select(0, 6);
    memo.ApplyLastFont();  // nothing chosen yet: no change
    const CHARFORMATA after = formatAt(0, 6);
    EXPECT_EQ(after.yHeight, before.yHeight);
    EXPECT_STREQ(after.szFaceName, before.szFaceName);
    EXPECT_EQ(after.dwEffects, before.dwEffects);
    select(0, 3);
    memo.SetSelectionColour(RGB(0, 200, 0));
    select(0, 3);
    memo.ApplyLastColour();  // black until a colour is chosen
    EXPECT_EQ(formatAt(0, 3).crTextColor, RGB(0, 0, 0));
}

TEST_F(MemoEditorTest, CancelledChoosersLeaveTheSelectionAlone) {
    setText("abcdef");
    select(0, 3);
    memo.SetSelectionColour(RGB(10, 20, 30));
    const CHARFORMATA before = formatAt(0, 3);
    testsupport::DialogAnswerer cancel(IDCANCEL);
    select(0, 3);
    memo.ChooseSelectionColour();
    memo.ChooseSelectionFace();
    memo.ChooseSelectionSize();
    memo.ChooseSelectionFont();
    EXPECT_EQ(cancel.answered(), 4);
    const CHARFORMATA after = formatAt(0, 3);
    EXPECT_EQ(after.crTextColor, before.crTextColor);
    EXPECT_EQ(after.yHeight, before.yHeight);
    EXPECT_STREQ(after.szFaceName, before.szFaceName);
    EXPECT_EQ(after.dwEffects, before.dwEffects);
    EXPECT_EQ(memo.lastColour, 0u);
    EXPECT_EQ(memo.lastFont.cbSize, 0u);
}

TEST_F(MemoEditorTest, ConfirmedChoicesBecomeTheLastColourAndFont) {
    setText("abcdef");
    select(0, 3);
    memo.SetSelectionColour(RGB(10, 20, 30));
    select(0, 3);
    {
        testsupport::DialogAnswerer ok(IDOK);
        memo.ChooseSelectionColour();  // confirmed at the selection's own colour
        memo.ChooseSelectionFont();
        EXPECT_EQ(ok.answered(), 2);
    }
    EXPECT_EQ(memo.lastColour, RGB(10, 20, 30));
    EXPECT_EQ(memo.customColours()[0], RGB(10, 20, 30));
    ASSERT_EQ(memo.lastFont.cbSize, sizeof(CHARFORMATW));
    EXPECT_EQ(memo.lastFont.dwMask,
              static_cast<DWORD>(CFM_SIZE | CFM_FACE | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT));
    select(3, 6);
    memo.ApplyLastColour();
    memo.ApplyLastFont();
    const CHARFORMATA applied = formatAt(3, 6);
    EXPECT_EQ(applied.crTextColor, RGB(10, 20, 30));
    EXPECT_EQ(applied.yHeight, memo.lastFont.yHeight);
    EXPECT_EQ(applied.szFaceName, wide::to932(memo.lastFont.szFaceName));
}

TEST_F(MemoEditorTest, SelectedFirstLineStopsAtTheLineBreak) {
    setText("最初の行\r\n次の行");
    memo.SelectAll();
    EXPECT_EQ(memo.GetSelectedFirstLine(), L"最初の行");
    select(1, 3);
    EXPECT_EQ(memo.GetSelectedFirstLine(), L"初の");
    select(2, 2);
    EXPECT_EQ(memo.GetSelectedFirstLine(), L"");
}

TEST_F(MemoEditorTest, ScrollPositionIsSetAndReadBack) {
    std::string text;
    for (int i = 0; i < 200; ++i) text += "line " + std::to_string(i) + "\r\n";
    setText(text.c_str());
    memo.SetScrollPosition(0, 300);
    const POINT pos = memo.GetScrollPosition();
    EXPECT_EQ(pos.x, 0);
    EXPECT_EQ(pos.y, 300);
    memo.SetScrollPosition(0, 0);
    EXPECT_EQ(memo.GetScrollPosition().y, 0);
}

TEST_F(MemoEditorTest, OptionsReachTheControl) {
    setText("a long line of text that is much wider than the editor is on the screen, so it wraps");
    memo.SetNoWrap(false);
    EXPECT_FALSE(memo.noWrap);
    EXPECT_GT(SendMessageA(memo.window(), EM_GETLINECOUNT, 0, 0), 1);
    memo.SetNoWrap(true);
    EXPECT_TRUE(memo.noWrap);
    EXPECT_EQ(SendMessageA(memo.window(), EM_GETLINECOUNT, 0, 0), 1);

    memo.SetUrlDetection(true);
    EXPECT_TRUE(memo.urlDetection);
    EXPECT_TRUE(SendMessageA(memo.window(), EM_GETAUTOURLDETECT, 0, 0));
    memo.SetUrlDetection(false);
    EXPECT_FALSE(SendMessageA(memo.window(), EM_GETAUTOURLDETECT, 0, 0));

    memo.SetTextLimit(131072);
    EXPECT_EQ(SendMessageA(memo.window(), EM_GETLIMITTEXT, 0, 0), 131072);
}

// The clipboard steps: a step that acts replaces the control's own handling.
TEST_F(MemoEditorTest, ClipboardStepsRunOnCopyAndPaste) {
    static int copies = 0, pastes = 0;
    static bool pasteActs = true;
    copies = pastes = 0;
    memo.setClipboardSteps([](MemoEditor&) { return ++copies > 0; },
                           [](MemoEditor&) {
                               ++pastes;
                               return pasteActs;
                           });
    setText("abc");
    select(0, 3);
    SendMessageA(memo.window(), WM_COPY, 0, 0);
    EXPECT_EQ(copies, 1);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, 4);
    memcpy(GlobalLock(mem), "xyz", 4);
    GlobalUnlock(mem);
    SetClipboardData(CF_TEXT, mem);
    CloseClipboard();
    select(3, 3);
    SendMessageA(memo.window(), WM_PASTE, 0, 0);
    EXPECT_EQ(pastes, 1);
    char buf[32] = {};
    GetWindowTextA(memo.window(), buf, sizeof buf);
    EXPECT_STREQ(buf, "abc");  // the step acted: the control did not paste
    pasteActs = false;
    SendMessageA(memo.window(), WM_PASTE, 0, 0);
    GetWindowTextA(memo.window(), buf, sizeof buf);
    EXPECT_STREQ(buf, "abcxyz");
    memo.setClipboardSteps(nullptr, nullptr);
}

}  // namespace
