// A page loaded from and saved to whole text and RTF files.
#include "io/TextFiles.h"

#include <dlgs.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "editor/RichEditTestSupport.h"
#include "editor/RtfStream.h"
#include "support/DialogAnswerer.h"
#include "support/TestApp.h"
#include "tests/common/FileBytes.h"

using editortest::FORMATTED_RTF;
using editortest::repeated;
using editortest::RichEdit;
using testsupport::DialogAnswerer;

namespace {

using testcommon::readFile;
using testcommon::writeFile;

class TextFilesTest : public ::testing::Test {
protected:
    RichEdit edit;
    testapp::TempFolder folder;
    HWND hwnd() const { return edit.hwnd(); }
};

TEST_F(TextFilesTest, TextFileRoundTripsAndAMissingFileLeavesTheEditorAlone) {
    std::string path = folder.file("memo.txt");
    editortest::setText(hwnd(), "表示ソフト\r\nline two");
    ASSERT_TRUE(textfiles::SaveTextFile(hwnd(), path.c_str()));
    EXPECT_EQ("表示ソフト\r\nline two", readFile(path));

    editortest::setText(hwnd(), "kept");
    EXPECT_FALSE(textfiles::LoadTextFile(hwnd(), folder.file("missing.txt").c_str()));
    EXPECT_EQ("kept", rtfstream::EditorText(hwnd()));

    ASSERT_TRUE(textfiles::LoadTextFile(hwnd(), path.c_str()));
    EXPECT_EQ("表示ソフト\r\nline two", rtfstream::EditorText(hwnd()));

    // a text file is text, even when it reads like RTF
    writeFile(path, "{\\rtf1 \\b bold}");
    ASSERT_TRUE(textfiles::LoadTextFile(hwnd(), path.c_str()));
    EXPECT_EQ("{\\rtf1 \\b bold}", rtfstream::EditorText(hwnd()));
}

TEST_F(TextFilesTest, RtfFileRoundTripsTextAndFormatting) {
    std::string path = folder.file("memo.rtf");
    rtfstream::StreamInRtf(hwnd(), FORMATTED_RTF);
    ASSERT_TRUE(textfiles::SaveRtfFile(hwnd(), path.c_str()));
    EXPECT_EQ(0, readFile(path).compare(0, 5, "{\\rtf"));

    RichEdit other;
    ASSERT_TRUE(textfiles::LoadRtfFile(other.hwnd(), path.c_str()));
    EXPECT_EQ("日本語\r\nabc", rtfstream::EditorText(other.hwnd()));
    EXPECT_TRUE(other.isBold(0, 3));
    EXPECT_FALSE(textfiles::LoadRtfFile(other.hwnd(), folder.file("none.rtf").c_str()));
    EXPECT_EQ("日本語\r\nabc", rtfstream::EditorText(other.hwnd()));
}

TEST_F(TextFilesTest, SavedPageTypeFollowsTheChosenFilter) {
    rtfstream::StreamInRtf(hwnd(), FORMATTED_RTF);
    std::string text = folder.file("a.txt"), rtf = folder.file("b.rtf"), any = folder.file("c.dat");
    EXPECT_TRUE(textfiles::SavePageAs(hwnd(), text.c_str(), 1));
    EXPECT_TRUE(textfiles::SavePageAs(hwnd(), rtf.c_str(), 2));
    EXPECT_TRUE(textfiles::SavePageAs(hwnd(), any.c_str(), 3));
    EXPECT_EQ("日本語\r\nabc", readFile(text));
    EXPECT_EQ(0, readFile(rtf).compare(0, 5, "{\\rtf"));
    EXPECT_EQ("日本語\r\nabc", readFile(any));
    EXPECT_FALSE(textfiles::SavePageAs(hwnd(), folder.file("no\\such\\x.txt").c_str(), 1));
}

TEST_F(TextFilesTest, TextLimitCountsCharactersSoJapaneseTextLargerInBytesStillLoads) {
    SendMessageA(hwnd(), EM_EXLIMITTEXT, 0, 100);
    std::string fits = repeated("あ", 90) + "\r\n" + repeated("x", 9);  // 100 characters, 191 bytes
    std::string path = folder.file("fits.txt");
    writeFile(path, fits);
    DialogAnswerer watcher(IDOK, "ファイルの読み込み");
    ASSERT_TRUE(textfiles::LoadTextFile(hwnd(), path.c_str()));
    EXPECT_EQ(fits, rtfstream::EditorText(hwnd()));
    EXPECT_TRUE(watcher.texts().empty());
}

TEST_F(TextFilesTest, FilesTooLargeForTheTextLimitAreRefusedWithAMessage) {
    SendMessageA(hwnd(), EM_EXLIMITTEXT, 0, 100);
    editortest::setText(hwnd(), "kept");
    std::string text = folder.file("big.txt"), rtf = folder.file("big.rtf");
    writeFile(text, repeated("あ", 101));
    writeFile(rtf, "{\\rtf1\\ansi " + repeated("abcdefghij", 11) + "}");
    writeFile(folder.file("huge.txt"), repeated("x", 1000));
    DialogAnswerer watcher(IDOK, "ファイルの読み込み");

    EXPECT_FALSE(textfiles::LoadTextFile(hwnd(), text.c_str()));
    EXPECT_FALSE(textfiles::LoadRtfFile(hwnd(), rtf.c_str()));
    EXPECT_FALSE(textfiles::LoadTextFile(hwnd(), folder.file("huge.txt").c_str()));
    EXPECT_EQ("kept", rtfstream::EditorText(hwnd()));
    ASSERT_EQ(3u, watcher.texts().size());
    EXPECT_NE(std::string::npos, watcher.texts()[0].find("big.txt"));
    EXPECT_NE(std::string::npos, watcher.texts()[1].find("100文字"));
}

TEST_F(TextFilesTest, WholeFileWriteReplacesTheFileAndAFailedWriteKeepsTheOldOne) {
    std::string path = folder.file("whole.txt");
    ASSERT_TRUE(textfiles::WriteWholeFile(path.c_str(), "a longer first text"));
    ASSERT_TRUE(textfiles::WriteWholeFile(path.c_str(), "short"));
    EXPECT_EQ("short", readFile(path));
    EXPECT_FALSE(textfiles::WriteWholeFile(folder.file("missing\\x.txt").c_str(), "text"));

    // a read-only target cannot be replaced; its bytes stay as they were
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    bool replaced = textfiles::WriteWholeFile(path.c_str(), "new");
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!replaced) {
        EXPECT_EQ("short", readFile(path));
    }
}

TEST_F(TextFilesTest, WholeFileReadNeedsRoomForTheTerminatingZero) {
    std::string path = folder.file("five.txt");
    writeFile(path, "12345");
    char buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_FALSE(textfiles::ReadWholeFile(path.c_str(), buffer, 5));
    ASSERT_TRUE(textfiles::ReadWholeFile(path.c_str(), buffer, 6));
    EXPECT_STREQ("12345", buffer);
    EXPECT_EQ('#', buffer[6]);
    EXPECT_FALSE(textfiles::ReadWholeFile(folder.file("none").c_str(), buffer, sizeof buffer));

    // opened without sharing: a file another handle holds for writing is not read
    HANDLE held = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_FALSE(textfiles::ReadWholeFile(path.c_str(), buffer, sizeof buffer));
    CloseHandle(held);
}

TEST_F(TextFilesTest, SavingThePageAsksForTheFileAndCancelWritesNothing) {
    editortest::setText(hwnd(), "page text");
    std::string proposed = folder.file("page.txt");
    {
        DialogAnswerer dialog(IDCANCEL, "名前を付けて保存");
        std::string path = proposed;
        EXPECT_FALSE(textfiles::SavePageToFile(hwnd(), nullptr, path));
        EXPECT_EQ(proposed, path);
        EXPECT_EQ(1, dialog.answered());
    }
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(proposed.c_str()));

    // the name typed into the dialog is where the page goes
    const std::string chosen = folder.file("chosen.txt");
    DialogAnswerer dialog(IDOK, "名前を付けて保存");
    dialog.setInspector([&chosen](HWND box) {
        const int nameBox = GetDlgItem(box, cmb13) ? cmb13 : edt1;  // the file name field
        testsupport::setControlText(box, nameBox, chosen);
        EXPECT_EQ(testsupport::controlText(box, nameBox), chosen);
    });
    std::string path = proposed;
    EXPECT_TRUE(textfiles::SavePageToFile(hwnd(), nullptr, path));
    EXPECT_EQ(chosen, path);
    EXPECT_EQ("page text", readFile(chosen));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(proposed.c_str()));
}

}  // namespace
