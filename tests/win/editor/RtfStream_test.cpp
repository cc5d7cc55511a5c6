// Streaming the editor's content in and out.
#include "editor/RtfStream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "editor/RichEditTestSupport.h"

using editortest::FORMATTED_RTF;
using editortest::repeated;
using editortest::RichEdit;

namespace {

class RtfStreamTest : public ::testing::Test {
protected:
    RichEdit edit;
    HWND hwnd() const { return edit.hwnd(); }
};

TEST_F(RtfStreamTest, StreamedOutRtfCarriesTextAndFormattingIntoAnotherControl) {
    editortest::setText(hwnd(), "old text that must go");
    rtfstream::StreamInRtf(hwnd(), FORMATTED_RTF);
    ASSERT_EQ("日本語\r\nabc", rtfstream::EditorText(hwnd()));
    ASSERT_TRUE(edit.isBold(0, 3));

    std::string rtf = rtfstream::StreamOutRtf(hwnd());
    EXPECT_EQ(0, rtf.compare(0, 5, "{\\rtf"));
    RichEdit copy;
    rtfstream::StreamInRtf(copy.hwnd(), rtf.c_str());
    EXPECT_EQ(rtfstream::EditorText(hwnd()), rtfstream::EditorText(copy.hwnd()));
    EXPECT_TRUE(copy.isBold(0, 3));
    EXPECT_FALSE(copy.isBold(4, 7));
}

TEST_F(RtfStreamTest, StreamInNeverCutsAPageShortAtTheTextLimit) {
    // Windows's rich edit stops an RTF stream-in at the text limit; a page
    // longer than the limit raises it instead of losing its end.
    SendMessageA(hwnd(), EM_EXLIMITTEXT, 0, 10);
    std::string rtf = "{\\rtf1\\ansi " + repeated("abcdefghij", 5) + "}";
    rtfstream::StreamInRtf(hwnd(), rtf.c_str());
    EXPECT_EQ(repeated("abcdefghij", 5), rtfstream::EditorText(hwnd()));
    EXPECT_GE(SendMessageA(hwnd(), EM_GETLIMITTEXT, 0, 0), 50);

    // a page within the limit leaves it alone
    SendMessageA(hwnd(), EM_EXLIMITTEXT, 0, 100);
    rtfstream::StreamInRtf(hwnd(), rtf.c_str());
    EXPECT_EQ(100, SendMessageA(hwnd(), EM_GETLIMITTEXT, 0, 0));
}

TEST_F(RtfStreamTest, CountedBufferTakesTheWholeRtfAndSmallBuffersAreNeverOverrun) {
    rtfstream::StreamInRtf(hwnd(), FORMATTED_RTF);
    std::size_t length = rtfstream::RtfLength(hwnd());
    std::string whole = rtfstream::StreamOutRtf(hwnd());
    ASSERT_GT(whole.size(), 20u);
    EXPECT_LE(whole.size(), length);  // the count may include a final zero byte

    // appended after what the buffer already holds
    std::string exact = "head:" + std::string(length + 1, 'x');
    exact[5] = '\0';
    rtfstream::StreamOutRtf(hwnd(), &exact[0], exact.size());
    EXPECT_EQ("head:" + whole, std::string(exact.c_str()));

    // 16 usable bytes followed by guard bytes that must stay untouched
    char small[16 + 8];
    std::memset(small, '#', sizeof small);
    small[0] = '\0';
    rtfstream::StreamOutRtf(hwnd(), small, 16);
    EXPECT_EQ(whole.substr(0, 15), std::string(small));
    EXPECT_EQ(std::string(8, '#'), std::string(small + 16, 8));
}

TEST_F(RtfStreamTest, PlainTextLengthIsInShiftJisBytesNotCharacters) {
    // 7 characters, 11 bytes: a buffer sized by characters would cut it short
    editortest::setText(hwnd(), "日本語\r\nabc");
    EXPECT_GE(rtfstream::TextByteLength(hwnd()), 11u);
    EXPECT_EQ("日本語\r\nabc", rtfstream::EditorText(hwnd()));
    editortest::setText(hwnd(), "");
    EXPECT_EQ("", rtfstream::EditorText(hwnd()));
}

}  // namespace
