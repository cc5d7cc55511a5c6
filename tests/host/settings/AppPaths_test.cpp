#include "settings/AppPaths.h"

#include <gtest/gtest.h>

namespace {

TEST(AppPaths, InstanceKeyReplacesEveryBackslash) {
    EXPECT_EQ(paths::instanceKeyFor("D:\\Tools\\Notes"), "D:-Tools-Notes");
    EXPECT_EQ(paths::instanceKeyFor("C:\\"), "C:-");
    EXPECT_EQ(paths::instanceKeyFor("\\\\server\\share\\q"), "--server-share-q");
}

TEST(AppPaths, DefaultsLiveInTheDataFolderBelowTheProgram) {
    paths::AppPaths p = paths::derivePaths("D:\\Tools\\Notes", "", "");
    EXPECT_EQ(p.iniPath, "D:\\Tools\\Notes\\data\\quiltpad.ini");
    EXPECT_EQ(p.dataFilePath, "D:\\Tools\\Notes\\data\\quiltpad.qpd");
    EXPECT_EQ(p.backupFolder, "D:\\Tools\\Notes\\data\\backup");
    ASSERT_EQ(p.backupSlotPaths.size(), 100u);
    EXPECT_EQ(p.backupSlotPaths[0], "D:\\Tools\\Notes\\data\\backup\\backup00.qpd");
    EXPECT_EQ(p.backupSlotPaths[99], "D:\\Tools\\Notes\\data\\backup\\backup99.qpd");
    EXPECT_EQ(p.instanceKey, "D:-Tools-Notes");
}

TEST(AppPaths, OverridesMoveDataAndBackupsButNeverTheSettingsFile) {
    paths::AppPaths p = paths::derivePaths("C:\\Q", "E:\\Books", "F:\\Safe\\");
    EXPECT_EQ(p.dataFilePath, "E:\\Books\\quiltpad.qpd");
    EXPECT_EQ(p.backupFolder, "F:\\Safe\\");
    EXPECT_EQ(p.backupSlotPaths[7], "F:\\Safe\\backup07.qpd");
    EXPECT_EQ(p.iniPath, "C:\\Q\\data\\quiltpad.ini");
}

TEST(AppPaths, OverlongPathsAreCutTo259Bytes) {
    std::string longFolder = "C:\\" + std::string(300, 'a');
    paths::AppPaths p = paths::derivePaths(longFolder, "", "");
    EXPECT_EQ(p.appFolder.size(), 259u);
    EXPECT_LE(p.dataFilePath.size(), 259u);
    EXPECT_LE(p.backupSlotPaths[50].size(), 259u);
}

TEST(AppPaths, CuttingNeverSplitsADoubleByteCharacter) {
    // "表" is 0x95 0x5C; cut after its first byte the path would end in a stray lead byte
    const std::string folder = "C:\\" + std::string(255, 'a') + "表";
    ASSERT_EQ(folder.size(), 260u);
    paths::AppPaths p = paths::derivePaths(folder, "", "");
    EXPECT_EQ(p.appFolder, "C:\\" + std::string(255, 'a'));
}

TEST(AppPaths, AFolderEndingInACharacterWhoseSecondByteIsABackslashStillGetsASeparator) {
    paths::AppPaths p = paths::derivePaths("C:\\ソ", "D:\\表", "E:\\メモ表\\");
    EXPECT_EQ(p.iniPath, "C:\\ソ\\data\\quiltpad.ini");
    EXPECT_EQ(p.dataFilePath, "D:\\表\\quiltpad.qpd");
    EXPECT_EQ(p.backupSlotPaths[0], "E:\\メモ表\\backup00.qpd");
}

}  // namespace
