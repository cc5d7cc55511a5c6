// The clipboard over byte strings, and the copy-as-text and paste steps.
#include "editor/Clipboard.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "editor/MemoEditor.h"
#include "editor/RichEditTestSupport.h"
#include "editor/RtfStream.h"
#include "support/DialogAnswerer.h"
#include "support/TestParent.h"
#include "ui/Busy.h"

using editortest::RichEdit;

namespace {

const char BOLD_LINE_RTF[] = "{\\rtf1\\ansi\\ansicpg932{\\b bold \\'93\\'fa}\\par\r\n}\r\n";
const char BOLD_LINE_TEXT[] = "bold 日\r\n";

void emptyClipboard() {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
}

bool clipboardHasRtf() { return IsClipboardFormatAvailable(clipboard::RtfFormat()) != FALSE; }

std::string clipboardText() {
    std::string text;
    clipboard::ReadClipboardText(text);
    return text;
}

std::string clipboardRtf() {
    std::string rtf;
    clipboard::ReadClipboardFormat(clipboard::RtfFormat(), rtf);
    return rtf;
}

// RTF and its text side by side, as a rich-text program leaves them.
void putRtfAndText(const std::string& rtf, const std::string& text) {
    ASSERT_TRUE(clipboard::WriteClipboardFormat(rtf, clipboard::RtfFormat()));
    ASSERT_TRUE(clipboard::WriteClipboardText(text, false));
}

class ClipboardTest : public ::testing::Test {
protected:
    void SetUp() override { emptyClipboard(); }
    void TearDown() override { emptyClipboard(); }
    RichEdit edit;
    HWND hwnd() const { return edit.hwnd(); }
    std::string text() const { return rtfstream::EditorText(edit.hwnd()); }
};

TEST_F(ClipboardTest, TextAndFormatsAreZeroTerminatedByteStrings) {
    EXPECT_FALSE(clipboard::WriteClipboardText("", true));
    std::string text = "stale";
    EXPECT_FALSE(clipboard::ReadClipboardText(text));
    EXPECT_EQ("", text);
    EXPECT_EQ(0u, clipboard::ClipboardTextLength());

    ASSERT_TRUE(clipboard::WriteClipboardText("表示ソフト abc", true));
    EXPECT_EQ("表示ソフト abc", clipboardText());
    EXPECT_EQ(14u, clipboard::ClipboardTextLength());

    putRtfAndText(BOLD_LINE_RTF, BOLD_LINE_TEXT);
    EXPECT_EQ(BOLD_LINE_RTF, clipboardRtf());
    EXPECT_EQ(BOLD_LINE_TEXT, clipboardText());
    EXPECT_EQ(std::strlen(BOLD_LINE_RTF), clipboard::ClipboardFormatLength(clipboard::RtfFormat()));

    // text written with emptying first stands alone
    ASSERT_TRUE(clipboard::WriteClipboardText("alone", true));
    EXPECT_FALSE(clipboardHasRtf());
    EXPECT_EQ(0u, clipboard::ClipboardFormatLength(clipboard::RtfFormat()));
}

TEST_F(ClipboardTest, CopyAsTextLeavesOnlyPlainTextOfTheCopiedSelection) {
    rtfstream::StreamInRtf(hwnd(), BOLD_LINE_RTF);
    edit.select(0, 6);
    SendMessageA(hwnd(), WM_COPY, 0, 0);
    ASSERT_EQ("bold 日", clipboardText());

    EXPECT_TRUE(clipboard::CopyAsTextStep(true));
    EXPECT_FALSE(clipboardHasRtf());
    EXPECT_EQ("bold 日", clipboardText());
}

TEST_F(ClipboardTest, CopyAsTextOfNothingStillReducesTheClipboardToText) {
    putRtfAndText(BOLD_LINE_RTF, BOLD_LINE_TEXT);
    EXPECT_FALSE(clipboard::CopyAsTextStep(false));  // mode off: left alone
    EXPECT_EQ(BOLD_LINE_RTF, clipboardRtf());

    EXPECT_TRUE(clipboard::CopyAsTextStep(true));
    EXPECT_FALSE(clipboardHasRtf());
    EXPECT_EQ(BOLD_LINE_TEXT, clipboardText());

    emptyClipboard();
    EXPECT_TRUE(clipboard::CopyAsTextStep(true));  // acts whenever the mode is on
}

TEST_F(ClipboardTest, PasteAsTextOfRtfInsertsPlainTextAndRestoresTheClipboard) {
    putRtfAndText(BOLD_LINE_RTF, BOLD_LINE_TEXT);
    EXPECT_TRUE(clipboard::PasteStep(hwnd(), nullptr, true));

    // the plain text, then what the control makes of "\r\n\r\n"
    RichEdit expected;
    editortest::replaceSelection(expected.hwnd(), FALSE, BOLD_LINE_TEXT);
    editortest::replaceSelection(expected.hwnd(), FALSE, "\r\n\r\n");
    EXPECT_EQ(rtfstream::EditorText(expected.hwnd()), text());
    EXPECT_EQ(0, text().compare(0, 7, "bold 日"));
    EXPECT_FALSE(edit.isBold(0, 4));

    EXPECT_EQ(BOLD_LINE_RTF, clipboardRtf());
    EXPECT_EQ(BOLD_LINE_TEXT, clipboardText());
}

TEST_F(ClipboardTest, PasteAsTextOfRtfWithoutParagraphEndPastesOnce) {
    putRtfAndText("{\\rtf1\\ansi{\\b word}}", "word");
    EXPECT_TRUE(clipboard::PasteStep(hwnd(), nullptr, true));
    EXPECT_EQ("word", text());
    EXPECT_FALSE(edit.isBold(0, 4));
    EXPECT_EQ("{\\rtf1\\ansi{\\b word}}", clipboardRtf());
}

TEST_F(ClipboardTest, RtfWithPasteAsTextOffOrAnEmptyClipboardIsLeftToTheControl) {
    putRtfAndText(BOLD_LINE_RTF, BOLD_LINE_TEXT);
    EXPECT_FALSE(clipboard::PasteStep(hwnd(), nullptr, false));
    EXPECT_EQ("", text());
    EXPECT_EQ(BOLD_LINE_RTF, clipboardRtf());

    // the control's own paste then keeps the formatting
    SendMessageA(hwnd(), WM_PASTE, 0, 0);
    EXPECT_TRUE(edit.isBold(0, 4));

    emptyClipboard();
    EXPECT_FALSE(clipboard::PasteStep(hwnd(), nullptr, true));
}

TEST_F(ClipboardTest, PlainTextEndingWithALineBreakAlsoPastesTwoLineBreaks) {
    ASSERT_TRUE(clipboard::WriteClipboardText("line\r\n", true));
    EXPECT_TRUE(clipboard::PasteStep(hwnd(), nullptr, false));

    RichEdit expected;
    editortest::replaceSelection(expected.hwnd(), FALSE, "line\r\n");
    editortest::replaceSelection(expected.hwnd(), FALSE, "\r\n\r\n");
    EXPECT_EQ(rtfstream::EditorText(expected.hwnd()), text());
    EXPECT_EQ("line\r\n", clipboardText());
}

TEST_F(ClipboardTest, PlainTextWithoutALineBreakAtItsEndIsPastedOnce) {
    const char* texts[] = {"x", "\n", "a\r\nb", "日本"};
    for (const char* pasted : texts) {
        editortest::setText(hwnd(), "");
        ASSERT_TRUE(clipboard::WriteClipboardText(pasted, true));
        EXPECT_TRUE(clipboard::PasteStep(hwnd(), nullptr, true)) << pasted;

        RichEdit expected;
        editortest::replaceSelection(expected.hwnd(), FALSE, pasted);
        EXPECT_EQ(rtfstream::EditorText(expected.hwnd()), text()) << pasted;
        EXPECT_EQ(pasted, clipboardText());
    }
}

// The memo editor runs the steps from its subclass on every cut, copy and paste.
class MemoEditorClipboardTest : public ClipboardTest {
protected:
    void SetUp() override {
        ClipboardTest::SetUp();
        ASSERT_TRUE(memo.Create(parent.window()));
        MoveWindow(memo.window(), 0, 0, 400, 300, FALSE);
    }
    void TearDown() override {
        setCtrlDown(false);
        ClipboardTest::TearDown();
    }
    std::string memoText() const { return rtfstream::EditorText(memo.window()); }
    bool memoBold(long start, long end) const {
        SendMessageA(memo.window(), EM_SETSEL, start, end);
        CHARFORMAT2A cf{};
        cf.cbSize = sizeof cf;
        SendMessageA(memo.window(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
        return (cf.dwMask & CFM_BOLD) && (cf.dwEffects & CFE_BOLD);
    }
    static void setCtrlDown(bool down) {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_CONTROL] = down ? 0x80 : 0;
        SetKeyboardState(keys);
    }
    // Ctrl+V as the keyboard delivers it: the key-down, then the control character.
    void typeCtrlV() {
        setCtrlDown(true);
        SendMessageA(memo.window(), WM_KEYDOWN, 'V', 0x002F0001);
        SendMessageA(memo.window(), WM_CHAR, 0x16, 0x002F0001);
        SendMessageA(memo.window(), WM_KEYUP, 'V', 0xC02F0001);
        setCtrlDown(false);
    }

    testsupport::TestParent parent;
    MemoEditor memo;
};

TEST_F(MemoEditorClipboardTest, CopyFollowsTheCopyAsTextMode) {
    rtfstream::StreamInRtf(memo.window(), BOLD_LINE_RTF);
    SendMessageA(memo.window(), EM_SETSEL, 0, 4);
    SendMessageA(memo.window(), WM_COPY, 0, 0);
    EXPECT_TRUE(clipboardHasRtf());

    memo.copyAsText = true;
    SendMessageA(memo.window(), WM_COPY, 0, 0);
    EXPECT_FALSE(clipboardHasRtf());
    EXPECT_EQ("bold", clipboardText());

    SendMessageA(memo.window(), WM_CUT, 0, 0);
    EXPECT_FALSE(clipboardHasRtf());
    EXPECT_EQ("bold", clipboardText());
    EXPECT_EQ(" 日", memoText());
}

TEST_F(MemoEditorClipboardTest, PasteMessageAndCtrlVGoThroughTheSameStep) {
    memo.pasteAsText = true;
    putRtfAndText(BOLD_LINE_RTF, BOLD_LINE_TEXT);
    SendMessageA(memo.window(), WM_PASTE, 0, 0);
    std::string byMessage = memoText();
    EXPECT_EQ(0, byMessage.compare(0, 9, BOLD_LINE_TEXT));
    EXPECT_FALSE(memoBold(0, 4));
    EXPECT_EQ(BOLD_LINE_RTF, clipboardRtf());
    editortest::setText(memo.window(), "");
    SendMessageA(memo.window(), EM_EMPTYUNDOBUFFER, 0, 0);

    typeCtrlV();
    EXPECT_EQ(byMessage, memoText());
    EXPECT_FALSE(memoBold(0, 4));

    // with paste as text off the control's own paste stays, once, formatted
    memo.pasteAsText = false;
    editortest::setText(memo.window(), "");
    SendMessageA(memo.window(), EM_EMPTYUNDOBUFFER, 0, 0);
    typeCtrlV();
    EXPECT_EQ(0, memoText().compare(0, 7, "bold 日"));
    EXPECT_EQ(std::string::npos, memoText().find("bold", 1));
    EXPECT_TRUE(memoBold(0, 4));
}

// Ctrl+V that pastes nothing (an empty text on the clipboard, a full page)
// takes back nothing the user typed.
TEST_F(MemoEditorClipboardTest, CtrlVThatPastesNothingUndoesNothing) {
    const struct {
        const char* clipboard;
        LPARAM limit;
    } cases[] = {{"", 100}, {"more", 5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.limit);
        editortest::setText(memo.window(), "");
        SendMessageA(memo.window(), EM_EXLIMITTEXT, 0, c.limit);
        SendMessageA(memo.window(), EM_EMPTYUNDOBUFFER, 0, 0);
        editortest::replaceSelection(memo.window(), TRUE, "typed");
        if (*c.clipboard) {
            ASSERT_TRUE(clipboard::WriteClipboardText(c.clipboard, true));
        } else {  // a text of no characters, as some programs leave it
            ASSERT_TRUE(OpenClipboard(nullptr));
            EmptyClipboard();
            HGLOBAL none = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 1);
            SetClipboardData(CF_TEXT, none);
            CloseClipboard();
        }
        testsupport::DialogAnswerer tooLong(IDOK, "貼り付け");
        typeCtrlV();
        EXPECT_EQ("typed", memoText());
    }
}

// The text limit holds for typing and every way of pasting; a paste that does
// not fit is refused whole, with a message, rather than cut. A pasted text
// ending with a line break brings two more (the paste step's own).
TEST_F(MemoEditorClipboardTest, TypingAndPastingStopAtTheTextLimit) {
    struct Case {
        const char* clipboard;
        bool pasted;
    } cases[] = {{"12345", true}, {"123456", false}, {"123\r\n", false}, {"12\r\n", true}};
    const char* ways[] = {"message", "Ctrl+V", "Shift+Insert"};
    for (const Case& c : cases) {
        for (const char* way : ways) {
            editortest::setText(memo.window(), "abcde");
            SendMessageA(memo.window(), EM_EXLIMITTEXT, 0, 10);
            SendMessageA(memo.window(), EM_SETSEL, 5, 5);
            SendMessageA(memo.window(), EM_EMPTYUNDOBUFFER, 0, 0);
            ASSERT_TRUE(clipboard::WriteClipboardText(c.clipboard, true));
            testsupport::DialogAnswerer answerer(IDOK, "貼り付け");
            // the box is an operation: a search step or a tick does not start behind it
            answerer.setInspector([](HWND) { EXPECT_TRUE(busy::refusesCommands()); });
            if (way == ways[0]) {
                SendMessageA(memo.window(), WM_PASTE, 0, 0);
            } else if (way == ways[1]) {
                typeCtrlV();
            } else {
                BYTE keys[256];
                GetKeyboardState(keys);
                keys[VK_SHIFT] = 0x80;
                SetKeyboardState(keys);
                SendMessageA(memo.window(), WM_KEYDOWN, VK_INSERT, 0x01520001);
                keys[VK_SHIFT] = 0;
                SetKeyboardState(keys);
            }
            const std::string text = memoText();
            EXPECT_EQ(c.pasted, text.size() > 5) << c.clipboard << " by " << way << ": " << text;
            EXPECT_EQ(c.pasted ? 0 : 1, answerer.answered()) << c.clipboard << " by " << way;
            if (!c.pasted && answerer.answered() == 1) {
                EXPECT_NE(answerer.texts()[0].find("10文字"), std::string::npos) << answerer.texts()[0];
            }
        }
    }
    // typing stops at the limit; typing over a selection still works there
    editortest::setText(memo.window(), "123456789");
    SendMessageA(memo.window(), EM_SETSEL, 9, 9);
    for (char ch : std::string("xyz")) SendMessageA(memo.window(), WM_CHAR, static_cast<WPARAM>(ch), 1);
    EXPECT_EQ("123456789x", memoText());
    SendMessageA(memo.window(), EM_SETSEL, 0, 1);
    SendMessageA(memo.window(), WM_CHAR, 'q', 1);
    EXPECT_EQ("q23456789x", memoText());
}

}  // namespace
