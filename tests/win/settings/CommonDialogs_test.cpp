#include <windows.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include "settings/CommonDialogs.h"
#include "support/DialogAnswerer.h"

namespace {

using testsupport::DialogAnswerer;

// Every wrapper, cancelled: no confirmation and the caller's value as it was.
TEST(CommonDialogsCancelled, FileDialogsKeepThePath) {
    std::string path = "C:\\notes\\page.txt";
    {
        DialogAnswerer cancel(IDCANCEL, "名前を付けて保存");
        EXPECT_EQ(dialogs::chooseSaveFile(nullptr, path), 0);
        EXPECT_EQ(cancel.answered(), 1);
    }
    EXPECT_EQ(path, "C:\\notes\\page.txt");
    {
        DialogAnswerer cancel(IDCANCEL, "開く");
        EXPECT_FALSE(dialogs::chooseOpenFile(nullptr, path));
        EXPECT_EQ(cancel.answered(), 1);
    }
    EXPECT_EQ(path, "C:\\notes\\page.txt");
}

TEST(CommonDialogsCancelled, FolderBrowsersKeepTheFolder) {
    std::string folder = "C:\\before";
    {
        DialogAnswerer cancel(IDCANCEL);
        EXPECT_FALSE(dialogs::chooseFolder(nullptr, folder));
        EXPECT_EQ(cancel.answered(), 1);
    }
    {
        DialogAnswerer cancel(IDCANCEL);
        EXPECT_FALSE(dialogs::chooseFolderFrom(nullptr, "C:\\windows", folder));
        EXPECT_EQ(cancel.answered(), 1);
    }
    EXPECT_EQ(folder, "C:\\before");
}

TEST(CommonDialogsCancelled, ColourChoosersKeepTheColourAndTheRecentList) {
    COLORREF colour = RGB(1, 2, 3);
    colourlist::Colours recent{};
    for (int i = 0; i < colourlist::COUNT; ++i) recent[i] = RGB(i, 0, 0);
    const colourlist::Colours before = recent;
    {
        DialogAnswerer cancel(IDCANCEL);
        EXPECT_FALSE(dialogs::chooseColour(nullptr, colour));
        EXPECT_EQ(cancel.answered(), 1);
    }
    {
        DialogAnswerer cancel(IDCANCEL);
        EXPECT_FALSE(dialogs::chooseColourRecent(nullptr, colour, recent));
        EXPECT_EQ(cancel.answered(), 1);
    }
    EXPECT_EQ(colour, RGB(1, 2, 3));
    EXPECT_EQ(recent, before);
}

TEST(CommonDialogsCancelled, FontChoosersKeepTheFont) {
    dialogs::StyledFont font;
    font.face = "ＭＳ ゴシック";
    font.height = -15;
    font.bold = true;
    font.underline = true;
    std::string face = "ＭＳ ゴシック";
    int height = -20;
    {
        DialogAnswerer cancel(IDCANCEL);
        EXPECT_FALSE(dialogs::chooseFontStyled(nullptr, font));
        EXPECT_FALSE(dialogs::chooseFontNameSize(nullptr, face, height));
        EXPECT_FALSE(dialogs::chooseFontName(nullptr, face));
        EXPECT_FALSE(dialogs::chooseFontSize(nullptr, height));
        EXPECT_EQ(cancel.answered(), 4);
    }
    EXPECT_EQ(font.face, "ＭＳ ゴシック");
    EXPECT_EQ(font.height, -15);
    EXPECT_TRUE(font.bold);
    EXPECT_FALSE(font.italic);
    EXPECT_TRUE(font.underline);
    EXPECT_FALSE(font.strikeOut);
    EXPECT_EQ(face, "ＭＳ ゴシック");
    EXPECT_EQ(height, -20);
}

// Which of the font chooser's boxes (face, style, size, colour) each wrapper leaves usable.
struct FontBoxes {
    bool face, style, size, colour;
};

FontBoxes boxesOf(HWND dialog) {
    auto enabled = [dialog](int id) {
        HWND box = GetDlgItem(dialog, id);
        return box && IsWindowEnabled(box) && IsWindowVisible(box);
    };
    return {enabled(cmb1), enabled(cmb2), enabled(cmb3), enabled(cmb4)};
}

TEST(CommonDialogsFontBoxes, EachWrapperGreysOutWhatItDoesNotAsk) {
    FontBoxes seen{};
    DialogAnswerer cancel(IDCANCEL);
    cancel.setInspector([&seen](HWND dialog) { seen = boxesOf(dialog); });

    dialogs::StyledFont font;
    font.face = "ＭＳ ゴシック";
    font.height = -15;
    dialogs::chooseFontStyled(nullptr, font);
    EXPECT_TRUE(seen.face && seen.style && seen.size);
    EXPECT_FALSE(seen.colour);

    std::string face = "ＭＳ ゴシック";
    int height = -15;
    dialogs::chooseFontNameSize(nullptr, face, height);
    EXPECT_TRUE(seen.face && seen.size);
    EXPECT_FALSE(seen.style || seen.colour);

    dialogs::chooseFontName(nullptr, face);
    EXPECT_TRUE(seen.face);
    EXPECT_FALSE(seen.style || seen.size || seen.colour);

    dialogs::chooseFontSize(nullptr, height);
    EXPECT_TRUE(seen.size);
    EXPECT_FALSE(seen.face || seen.style || seen.colour);
    EXPECT_EQ(cancel.answered(), 4);
}

// Confirming the recent-colour chooser moves the colour to the front of the list.
TEST(CommonDialogsConfirmed, RecentColourGoesToTheFront) {
    colourlist::Colours recent{};
    for (int i = 0; i < colourlist::COUNT; ++i) recent[i] = RGB(10 * i, 0, 0);
    COLORREF colour = RGB(50, 0, 0);  // already at position 5
    {
        DialogAnswerer ok(IDOK);
        EXPECT_TRUE(dialogs::chooseColourRecent(nullptr, colour, recent));
        EXPECT_EQ(ok.answered(), 1);
    }
    EXPECT_EQ(colour, RGB(50, 0, 0));
    EXPECT_EQ(recent[0], RGB(50, 0, 0));
    EXPECT_EQ(recent[1], RGB(0, 0, 0));
    EXPECT_EQ(recent[5], RGB(40, 0, 0));
    EXPECT_EQ(recent[6], RGB(60, 0, 0));
}

TEST(CommonDialogsConfirmed, SaveDialogReportsTheFirstFilter) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string path = std::string(temp) + "qp_dialog_test.txt";
    DeleteFileA(path.c_str());
    DialogAnswerer ok(IDOK, "名前を付けて保存");
    EXPECT_EQ(dialogs::chooseSaveFile(nullptr, path), dialogs::FILTER_TEXT);
    EXPECT_NE(path.find("qp_dialog_test.txt"), std::string::npos);
}

}  // namespace
