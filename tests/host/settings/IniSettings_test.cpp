#include "settings/IniSettings.h"
#include "settings/AppPaths.h"

#include <gtest/gtest.h>

#include "tests/common/FileBytes.h"
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include <stdlib.h>
#include <unistd.h>

namespace {

using testcommon::readFile;
using testcommon::writeFile;

IniSettings defaults() { return ini::defaultSettings(1280, 800); }

IniSettings parse(const std::string& text) { return ini::parseIni(text, defaults()); }

// A folder of its own for each test, removed with everything in it.
class TempFolder {
public:
    TempFolder() {
        char pattern[] = "/tmp/inisettings_XXXXXX";
        path_ = mkdtemp(pattern);
    }
    ~TempFolder() { std::system(("rm -rf '" + path_ + "'").c_str()); }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// The whole file the program writes for a record of defaults on a 1280 x 800 desktop.
const char DEFAULT_FILE[] =
    "[SOFTWARE]\r\nSoftID = qpad300\r\n"
    "[WINDOW]\r\nPosX = 320\r\nPosY = 160\r\nWidth = 640\r\nHeight = 480\r\nTvWidthPer = 25\r\n"
    "Maximize = 0\r\nAutoView = 1\r\nAutoEdit = 0\r\nAutoDate = 0\r\nDateString = 0\r\n"
    "DeleteDialog = 1\r\nAutoBookmark = 0\r\nExitBookmark = 0\r\nExitScroll = 0\r\nParentSec = 0\r\n"
    "FontColor00 = 0\r\nFontColor01 = 0\r\nFontColor02 = 0\r\nFontColor03 = 0\r\n"
    "FontColor04 = 0\r\nFontColor05 = 0\r\nFontColor06 = 0\r\nFontColor07 = 0\r\n"
    "FontColor08 = 0\r\nFontColor09 = 0\r\nFontColor10 = 0\r\nFontColor11 = 0\r\n"
    "FontColor12 = 0\r\nFontColor13 = 0\r\nFontColor14 = 0\r\nFontColor15 = 0\r\n"
    "BgSaveInterval = 5\r\n"
    "[SETTING]\r\nBackupFileSize = 50\r\nBackupInterval = 10\r\nTimeBackup = 1\r\nExitBackup = 1\r\n"
    "DeleteBackup = 0\r\n"
    "[HOWTOWINDOW]\r\nVisible = 1\r\nPosX = 0\r\nPosY = 0\r\n"
    "[SEARCHWINDOW]\r\nVisible = 0\r\nPosX = 0\r\nPosY = 0\r\nTarget = 0\r\nMatchCase = 1\r\nDown = 1\r\n"
    "[IME]\r\nOnOff = 1\r\nConversion = 65535\r\nSentence = 65535\r\n";

const char SETTING_FIVE[] =
    "[SETTING]\r\nBackupFileSize = 50\r\nBackupInterval = 10\r\nTimeBackup = 1\r\nExitBackup = 1\r\n"
    "DeleteBackup = 0\r\n";

std::string sectionText(const std::string& file, const std::string& name) {
    size_t begin = file.find("[" + name + "]");
    if (begin == std::string::npos) return std::string();
    size_t end = file.find("\r\n[", begin);
    return file.substr(begin, end == std::string::npos ? std::string::npos : end + 2 - begin);
}

TEST(IniSettingsRead, NoFileGivesTheDefaultsCentredOnTheDesktop) {
    TempFolder dir;
    IniSettings s = ini::readIni(dir.file("quiltpad.ini"), ini::defaultSettings(1281, 801));
    EXPECT_EQ(s.window.PosX, 320);  // 1281 / 2 - 320
    EXPECT_EQ(s.window.PosY, 160);
    EXPECT_EQ(s.window.Width, 640);
    EXPECT_EQ(s.window.Height, 480);
    EXPECT_EQ(s.window.TvWidthPer, 25);
    EXPECT_FALSE(s.window.Maximize);
    EXPECT_TRUE(s.window.AutoView);
    EXPECT_TRUE(s.window.DeleteDialog);
    EXPECT_EQ(s.window.BgSaveInterval, 5);
    EXPECT_EQ(s.setting.BackupFileSize, 50);
    EXPECT_EQ(s.setting.BackupInterval, 10);
    EXPECT_TRUE(s.setting.TimeBackup);
    EXPECT_TRUE(s.setting.ExitBackup);
    EXPECT_FALSE(s.setting.DeleteBackup);
    EXPECT_TRUE(s.setting.QpdDirPath.empty());
    EXPECT_TRUE(s.howToWindow.Visible);
    EXPECT_FALSE(s.searchWindow.Visible);
    EXPECT_TRUE(s.searchWindow.MatchCase);
    EXPECT_TRUE(s.searchWindow.Down);
    EXPECT_TRUE(s.ime.OnOff);
    EXPECT_EQ(s.ime.Conversion, 65535);
    EXPECT_EQ(s.ime.Sentence, 65535);
    // a desktop narrower than the window puts it left of the screen edge, as the division says
    EXPECT_EQ(ini::defaultSettings(601, 401).window.PosX, -20);
}

TEST(IniSettingsRead, NumbersTakeSignAndDigitsUpToTheFirstOtherCharacter) {
    EXPECT_EQ(ini::parseIniInt("-1", 5), -1);
    EXPECT_EQ(ini::parseIniInt("+7", 5), 7);
    EXPECT_EQ(ini::parseIniInt("12abc", 5), 12);
    EXPECT_EQ(ini::parseIniInt("abc", 5), 0);
    EXPECT_EQ(ini::parseIniInt("", 5), 5);
    EXPECT_EQ(ini::parseIniInt("-", 5), 0);
    EXPECT_EQ(ini::parseIniInt("0x10", 5), 0);
    EXPECT_EQ(ini::parseIniInt("2147483647", 5), 2147483647);
    EXPECT_EQ(ini::parseIniInt("-2147483648", 5), -2147483647 - 1);
    EXPECT_EQ(ini::parseIniInt("99999999999999999999", 5), 2147483647);
    EXPECT_EQ(ini::parseIniInt("-99999999999999999999", 5), -2147483647 - 1);

    IniSettings s = parse(
        "[WINDOW]\r\nBgSaveInterval=-1\r\nWidth=+700\r\nHeight=512px\r\n"
        "PosX=abc\r\nPosY=\r\n[IME]\r\nConversion=\r\n");
    EXPECT_EQ(s.window.BgSaveInterval, -1);
    EXPECT_EQ(s.window.Width, 700);
    EXPECT_EQ(s.window.Height, 512);
    EXPECT_EQ(s.window.PosX, 0);
    EXPECT_EQ(s.window.PosY, 160);  // empty value: the default
    EXPECT_EQ(s.ime.Conversion, 65535);
}

TEST(IniSettingsRead, FlagsAreOnOnlyForExactlyOne) {
    IniSettings s = parse(
        "[WINDOW]\nMaximize=2\nAutoView=yes\nAutoEdit=1\nAutoDate=01\nDeleteDialog=0\n"
        "[SETTING]\nTimeBackup=on\nExitBackup=-1\nDeleteBackup=1abc\n");
    EXPECT_FALSE(s.window.Maximize);
    EXPECT_FALSE(s.window.AutoView);
    EXPECT_TRUE(s.window.AutoEdit);
    EXPECT_TRUE(s.window.AutoDate);
    EXPECT_FALSE(s.window.DeleteDialog);
    EXPECT_FALSE(s.setting.TimeBackup);
    EXPECT_FALSE(s.setting.ExitBackup);
    EXPECT_TRUE(s.setting.DeleteBackup);
}

TEST(IniSettingsRead, NamesIgnoreCaseAndBlanksAndTheFirstKeyWins) {
    const std::string text =
        "; written by hand\r\n"
        "PosX = 999\r\n"  // before any section: belongs to none
        "[window]\r\n"
        "   posx   =   12  \r\n"
        "\tWIDTH\t=\t800\r\n"
        "PosX = 13\r\n"
        ";Height = 900\r\n"
        "[Foreign]\r\nHeight = 901\r\n"
        "[ Window ]\r\nPosX = 14\r\nHeight = 600\r\n"
        "[setting]\r\nqpddirpath = \"D:\\My Books\"\r\nBackupDirPath='E:\\b'\r\n"
        "[HowToWindow]\r\nvisible=0\r\n";
    IniSettings s = parse(text);
    EXPECT_EQ(s.window.PosX, 12);
    EXPECT_EQ(s.window.Width, 800);
    EXPECT_EQ(s.window.Height, 600);  // a repeated section still supplies keys it did not have before
    EXPECT_EQ(s.setting.QpdDirPath, "D:\\My Books");
    EXPECT_EQ(s.setting.BackupDirPath, "E:\\b");
    EXPECT_FALSE(s.howToWindow.Visible);

    std::string value;
    EXPECT_FALSE(ini::findIniValue(text, "Foreign", "Width", value));
    ASSERT_TRUE(ini::findIniValue(text, "FOREIGN", "height", value));
    EXPECT_EQ(value, "901");
}

TEST(IniSettingsRead, OddLinesAndEditorMarksAreTolerated) {
    IniSettings s = parse(
        "\xEF\xBB\xBF[WINDOW]\nWidth\n[broken\nHeight=700\r"
        "TvWidthPer=30\n[SETTING]\nQpdDirPath=\"\n");
    EXPECT_EQ(s.window.Width, 640);         // a key without "=" has an empty value
    EXPECT_EQ(s.window.Height, 700);        // an unclosed section line is skipped
    EXPECT_EQ(s.window.TvWidthPer, 30);     // a lone CR ends a line too
    EXPECT_EQ(s.setting.QpdDirPath, "\"");  // one quote is no pair
}

TEST(IniSettingsRead, ValuesOutsideTheirRangeFallBackToTheDefaults) {
    IniSettings s = parse(
        "[WINDOW]\nDateString=20\nBgSaveInterval=-5\nTvWidthPer=90\n"
        "[SETTING]\nBackupFileSize=0\nBackupInterval=0\n[SEARCHWINDOW]\nTarget=4\n");
    EXPECT_EQ(s.window.DateString, 0);
    EXPECT_EQ(s.window.BgSaveInterval, -1);
    EXPECT_EQ(s.window.TvWidthPer, 70);
    EXPECT_EQ(s.setting.BackupFileSize, 50);
    EXPECT_EQ(s.setting.BackupInterval, 10);
    EXPECT_EQ(s.searchWindow.Target, 0);

    s = parse(
        "[SETTING]\nBackupFileSize=101\nBackupInterval=40000\n[SEARCHWINDOW]\nTarget=-1\n"
        "[WINDOW]\nTvWidthPer=3\n");
    EXPECT_EQ(s.setting.BackupFileSize, 50);
    EXPECT_EQ(s.setting.BackupInterval, 35791);  // the longest a timer counts
    EXPECT_EQ(s.searchWindow.Target, 0);
    EXPECT_EQ(s.window.TvWidthPer, 10);

    // the edges of every range are kept
    s = parse(
        "[WINDOW]\nDateString=19\nBgSaveInterval=0\nTvWidthPer=70\n"
        "[SETTING]\nBackupFileSize=100\nBackupInterval=1\n[SEARCHWINDOW]\nTarget=3\n");
    EXPECT_EQ(s.window.DateString, 19);
    EXPECT_EQ(s.window.BgSaveInterval, 0);
    EXPECT_EQ(s.window.TvWidthPer, 70);
    EXPECT_EQ(s.setting.BackupFileSize, 100);
    EXPECT_EQ(s.setting.BackupInterval, 1);
    EXPECT_EQ(s.searchWindow.Target, 3);
    s = parse("[SETTING]\nBackupFileSize=1\n[WINDOW]\nTvWidthPer=10\n");
    EXPECT_EQ(s.setting.BackupFileSize, 1);
    EXPECT_EQ(s.window.TvWidthPer, 10);
}

TEST(IniSettingsRead, PathsAreCutTo259BytesWithoutSplittingACharacter) {
    const std::string longPath(300, 'a');
    IniSettings s = parse("[SETTING]\nQpdDirPath=" + longPath + "\n");
    EXPECT_EQ(s.setting.QpdDirPath, longPath.substr(0, 259));

    // "表" is 0x95 0x5C: its second byte is a backslash, and it must not be cut in two
    const std::string wide = std::string(258, 'a') + "表";
    ASSERT_EQ(wide.size(), 260u);
    s = parse("[SETTING]\nBackupDirPath=" + wide + "\n");
    EXPECT_EQ(s.setting.BackupDirPath, std::string(258, 'a'));
}

TEST(IniSettingsWrite, DefaultsGiveTheSixSectionsInOrderWithFiveSettingKeys) {
    EXPECT_EQ(ini::formatIni(defaults()), DEFAULT_FILE);
    EXPECT_EQ(sectionText(DEFAULT_FILE, "SETTING"), SETTING_FIVE);
}

TEST(IniSettingsWrite, FolderOverridesAddSixthAndSeventhSettingKeys) {
    IniSettings s = defaults();
    s.setting.QpdDirPath = "D:\\メモ\\表";
    EXPECT_EQ(sectionText(ini::formatIni(s), "SETTING"), std::string(SETTING_FIVE) + "QpdDirPath = D:\\メモ\\表\r\n");

    s.setting.BackupDirPath = "E:\\Safe";
    EXPECT_EQ(sectionText(ini::formatIni(s), "SETTING"),
              std::string(SETTING_FIVE) + "QpdDirPath = D:\\メモ\\表\r\nBackupDirPath = E:\\Safe\r\n");

    s.setting.QpdDirPath.clear();
    EXPECT_EQ(sectionText(ini::formatIni(s), "SETTING"), std::string(SETTING_FIVE) + "BackupDirPath = E:\\Safe\r\n");
}

TEST(IniSettingsWrite, EveryFieldSurvivesAWriteAndARead) {
    IniSettings s = defaults();
    s.window.PosX = -1200;
    s.window.Maximize = true;
    s.window.AutoView = false;
    s.window.DateString = 17;
    s.window.ParentSec = true;
    for (int i = 0; i < 16; ++i) s.window.FontColor[i] = 0x00102030 + i;
    s.window.BgSaveInterval = -1;
    s.setting.BackupFileSize = 3;
    s.setting.DeleteBackup = true;
    s.setting.BackupDirPath = "E:\\表";
    s.howToWindow.Visible = false;
    s.howToWindow.PosY = 44;
    s.searchWindow.PosX = 77;
    s.searchWindow.Target = 2;
    s.searchWindow.Down = false;
    s.ime.OnOff = false;
    s.ime.Conversion = 9;

    IniSettings back = ini::parseIni(ini::formatIni(s), IniSettings());
    EXPECT_EQ(ini::formatIni(back), ini::formatIni(s));
    EXPECT_EQ(back.window.FontColor[15], 0x0010203F);
    EXPECT_EQ(back.setting.BackupDirPath, "E:\\表");
    EXPECT_EQ(back.window.BgSaveInterval, -1);

    // the search window's visibility is never carried over
    s.searchWindow.Visible = true;
    EXPECT_NE(ini::formatIni(s).find("[SEARCHWINDOW]\r\nVisible = 0\r\n"), std::string::npos);
}

TEST(IniSettingsWrite, TheFileIsReplacedWholeAndForeignLinesAreDropped) {
    TempFolder dir;
    const std::string path = dir.file("quiltpad.ini");
    writeFile(path, "; my notes\r\n[WINDOW]\r\nWidth=800\r\nColour=red\r\n[PLUGINS]\r\nx=1\r\n");
    IniSettings s = ini::readIni(path, defaults());
    EXPECT_EQ(s.window.Width, 800);
    s.window.Width = 640;
    ASSERT_TRUE(ini::writeIni(path, s));
    EXPECT_EQ(readFile(path), DEFAULT_FILE);
}

TEST(IniSettingsWrite, AFailedWriteReportsFalse) {
    TempFolder dir;
    EXPECT_FALSE(ini::writeIni(dir.file("missing/quiltpad.ini"), defaults()));
    EXPECT_EQ(readFile(dir.file("missing/quiltpad.ini")), "");
}

}  // namespace
