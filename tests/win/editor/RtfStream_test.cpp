// Streaming the editor's content and loading and saving it as files.
#include "editor/RtfStream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "editor/RichEditTestSupport.h"
#include "support/DialogAnswerer.h"
#include "support/TestApp.h"

using testsupport::DialogAnswerer;
using editortest::RichEdit;

namespace {

// "日本語" in bold, then a plain paragraph "abc" (its \par is the control's
// final paragraph mark, which the plain text does not show).
const char FORMATTED_RTF[] =
    "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 MS Gothic;}}\r\n"
    "\\pard\\f0\\fs20\\b \\'93\\'fa\\'96\\'7b\\'8c\\'ea\\b0\\par\r\nabc\\par\r\n}\r\n";

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

void putFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string repeated(const std::string& piece, int times) {
    std::string all;
    for (int i = 0; i < times; ++i) all += piece;
    return all;
}

class RtfStreamTest : public ::testing::Test {
protected:
    RichEdit edit;
    testapp::TempFolder folder;
    HWND hwnd() const { return edit.hwnd(); }
};

TEST_F(RtfStreamTest, StreamedOutRtfCarriesTextAndFormattingIntoAnotherControl) {
    SetWindowTextA(hwnd(), "old text that must go");
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
    SetWindowTextA(hwnd(), "日本語\r\nabc");
    EXPECT_GE(rtfstream::TextByteLength(hwnd()), 11u);
    EXPECT_EQ("日本語\r\nabc", rtfstream::EditorText(hwnd()));
    SetWindowTextA(hwnd(), "");
    EXPECT_EQ("", rtfstream::EditorText(hwnd()));
}

TEST_F(RtfStreamTest, TextFileRoundTripsAndAMissingFileLeavesTheEditorAlone) {
    std::string path = folder.file("memo.txt");
    SetWindowTextA(hwnd(), "表示ソフト\r\nline two");
    ASSERT_TRUE(rtfstream::SaveTextFile(hwnd(), path.c_str()));
    EXPECT_EQ("表示ソフト\r\nline two", fileBytes(path));

    SetWindowTextA(hwnd(), "kept");
    EXPECT_FALSE(rtfstream::LoadTextFile(hwnd(), folder.file("missing.txt").c_str()));
    EXPECT_EQ("kept", rtfstream::EditorText(hwnd()));

    ASSERT_TRUE(rtfstream::LoadTextFile(hwnd(), path.c_str()));
    EXPECT_EQ("表示ソフト\r\nline two", rtfstream::EditorText(hwnd()));
}

TEST_F(RtfStreamTest, RtfFileRoundTripsTextAndFormatting) {
    std::string path = folder.file("memo.rtf");
    rtfstream::StreamInRtf(hwnd(), FORMATTED_RTF);
    ASSERT_TRUE(rtfstream::SaveRtfFile(hwnd(), path.c_str()));
    EXPECT_EQ(0, fileBytes(path).compare(0, 5, "{\\rtf"));

    RichEdit other;
    ASSERT_TRUE(rtfstream::LoadRtfFile(other.hwnd(), path.c_str()));
    EXPECT_EQ("日本語\r\nabc", rtfstream::EditorText(other.hwnd()));
    EXPECT_TRUE(other.isBold(0, 3));
    EXPECT_FALSE(rtfstream::LoadRtfFile(other.hwnd(), folder.file("none.rtf").c_str()));
    EXPECT_EQ("日本語\r\nabc", rtfstream::EditorText(other.hwnd()));
}

TEST_F(RtfStreamTest, SavedPageTypeFollowsTheChosenFilter) {
    rtfstream::StreamInRtf(hwnd(), FORMATTED_RTF);
    std::string text = folder.file("a.txt"), rtf = folder.file("b.rtf"), any = folder.file("c.dat");
    EXPECT_TRUE(rtfstream::SavePageAs(hwnd(), text.c_str(), 1));
    EXPECT_TRUE(rtfstream::SavePageAs(hwnd(), rtf.c_str(), 2));
    EXPECT_TRUE(rtfstream::SavePageAs(hwnd(), any.c_str(), 3));
    EXPECT_EQ("日本語\r\nabc", fileBytes(text));
    EXPECT_EQ(0, fileBytes(rtf).compare(0, 5, "{\\rtf"));
    EXPECT_EQ("日本語\r\nabc", fileBytes(any));
    EXPECT_FALSE(rtfstream::SavePageAs(hwnd(), folder.file("no\\such\\x.txt").c_str(), 1));
}

TEST_F(RtfStreamTest, TextLimitCountsCharactersSoJapaneseTextLargerInBytesStillLoads) {
    SendMessageA(hwnd(), EM_EXLIMITTEXT, 0, 100);
    std::string fits = repeated("あ", 90) + "\r\n" + repeated("x", 9);  // 100 characters, 191 bytes
    std::string path = folder.file("fits.txt");
    putFile(path, fits);
    DialogAnswerer watcher(IDOK, "ファイルの読み込み");
    ASSERT_TRUE(rtfstream::LoadTextFile(hwnd(), path.c_str()));
    EXPECT_EQ(fits, rtfstream::EditorText(hwnd()));
    EXPECT_TRUE(watcher.texts().empty());
}

TEST_F(RtfStreamTest, FilesTooLargeForTheTextLimitAreRefusedWithAMessage) {
    SendMessageA(hwnd(), EM_EXLIMITTEXT, 0, 100);
    SetWindowTextA(hwnd(), "kept");
    std::string text = folder.file("big.txt"), rtf = folder.file("big.rtf");
    putFile(text, repeated("あ", 101));
    putFile(rtf, "{\\rtf1\\ansi " + repeated("abcdefghij", 11) + "}");
    putFile(folder.file("huge.txt"), repeated("x", 1000));
    DialogAnswerer watcher(IDOK, "ファイルの読み込み");

    EXPECT_FALSE(rtfstream::LoadTextFile(hwnd(), text.c_str()));
    EXPECT_FALSE(rtfstream::LoadRtfFile(hwnd(), rtf.c_str()));
    EXPECT_FALSE(rtfstream::LoadTextFile(hwnd(), folder.file("huge.txt").c_str()));
    EXPECT_EQ("kept", rtfstream::EditorText(hwnd()));
    ASSERT_EQ(3u, watcher.texts().size());
    EXPECT_NE(std::string::npos, watcher.texts()[0].find("big.txt"));
    EXPECT_NE(std::string::npos, watcher.texts()[1].find("100文字"));
}

TEST_F(RtfStreamTest, WholeFileWriteReplacesTheFileAndAFailedWriteKeepsTheOldOne) {
    std::string path = folder.file("whole.txt");
    ASSERT_TRUE(rtfstream::WriteWholeFile(path.c_str(), "a longer first text"));
    ASSERT_TRUE(rtfstream::WriteWholeFile(path.c_str(), "short"));
    EXPECT_EQ("short", fileBytes(path));
    EXPECT_FALSE(rtfstream::WriteWholeFile(folder.file("missing\\x.txt").c_str(), "text"));

    // a read-only target cannot be replaced; its bytes stay as they were
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    bool replaced = rtfstream::WriteWholeFile(path.c_str(), "new");
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!replaced) {
        EXPECT_EQ("short", fileBytes(path));
    }
}

TEST_F(RtfStreamTest, WholeFileReadNeedsRoomForTheTerminatingZero) {
    std::string path = folder.file("five.txt");
    putFile(path, "12345");
    char buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_FALSE(rtfstream::ReadWholeFile(path.c_str(), buffer, 5));
    ASSERT_TRUE(rtfstream::ReadWholeFile(path.c_str(), buffer, 6));
    EXPECT_STREQ("12345", buffer);
    EXPECT_EQ('#', buffer[6]);
    EXPECT_FALSE(rtfstream::ReadWholeFile(folder.file("none").c_str(), buffer, sizeof buffer));

    // opened without sharing: a file another handle holds for writing is not read
    HANDLE held = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_FALSE(rtfstream::ReadWholeFile(path.c_str(), buffer, sizeof buffer));
    CloseHandle(held);
}

TEST_F(RtfStreamTest, SavingThePageAsksForTheFileAndCancelWritesNothing) {
    SetWindowTextA(hwnd(), "page text");
    std::string proposed = folder.file("page.txt");
    {
        DialogAnswerer dialog(IDCANCEL, "名前を付けて保存");
        std::string path = proposed;
        EXPECT_FALSE(rtfstream::SavePageToFile(hwnd(), nullptr, path));
        EXPECT_EQ(proposed, path);
        EXPECT_EQ(1, dialog.answered());
    }
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(proposed.c_str()));

    DialogAnswerer dialog(IDOK, "名前を付けて保存");
    std::string path = proposed;
    EXPECT_TRUE(rtfstream::SavePageToFile(hwnd(), nullptr, path));
    EXPECT_EQ("page text", fileBytes(path));
}

}  // namespace
