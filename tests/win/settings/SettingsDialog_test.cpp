#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>

#include "res/resource.h"
#include "settings/SettingsDialog.h"
#include "support/DialogAnswerer.h"
#include "tests/win/app/AppTestSupport.h"

namespace {

using testsupport::DialogAnswerer;

const char CAPTION[] = "設定";
const char APP_FOLDER[] = "C:\\prog";

// A record in which every field the dialog shows differs from its default.
IniSettings fullSettings() {
    IniSettings s;
    s.window.AutoView = true;
    s.window.AutoEdit = true;
    s.window.AutoDate = true;
    s.window.DateString = 7;
    s.window.DeleteDialog = false;
    s.window.AutoBookmark = true;
    s.window.ExitBookmark = true;
    s.window.ExitScroll = true;
    s.window.ParentSec = true;
    s.window.BgSaveInterval = -1;
    s.setting.BackupFileSize = 30;
    s.setting.BackupInterval = 60;
    s.setting.TimeBackup = false;
    s.setting.ExitBackup = false;
    s.setting.DeleteBackup = true;
    s.setting.QpdDirPath = "C:\\書類\\qpd";
    s.setting.BackupDirPath = "D:\\bak";
    return s;
}

paths::AppPaths pathsOf(const IniSettings& s) {
    return paths::derivePaths(APP_FOLDER, s.setting.QpdDirPath, s.setting.BackupDirPath);
}

// The tab page that holds a control (the pages are child dialogs of the tab control).
HWND pageWith(HWND dialog, int id) {
    HWND tab = GetDlgItem(dialog, IDC_SETTINGS_TAB);
    for (HWND page = GetWindow(tab, GW_CHILD); page; page = GetWindow(page, GW_HWNDNEXT))
        if (GetDlgItem(page, id)) return page;
    return nullptr;
}

int selectedIndex(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessageA(pageWith(dialog, id), id, CB_GETCURSEL, 0, 0));
}
void selectIndex(HWND dialog, int id, int index) {
    SendDlgItemMessageA(pageWith(dialog, id), id, CB_SETCURSEL, index, 0);
}
std::string textOf(HWND dialog, int id) { return testsupport::controlText(pageWith(dialog, id), id); }
bool checked(HWND dialog, int id) { return IsDlgButtonChecked(pageWith(dialog, id), id) == BST_CHECKED; }
bool enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(pageWith(dialog, id), id)) != FALSE; }

// Opens the dialog on `settings`, lets `inspect` look and change, then presses `button`.
bool runWith(IniSettings& settings, paths::AppPaths& paths, int button, std::function<void(HWND)> inspect) {
    DialogAnswerer answer(button, CAPTION);
    answer.setInspector(std::move(inspect));
    const bool stored = settingsdialog::runSettingsDialog(nullptr, settings, paths);
    EXPECT_EQ(answer.answered(), 1);
    return stored;
}

TEST(SettingsDialog, ShowsEverySettingAndOkStoresItBackWithAutoViewOff) {
    IniSettings settings = fullSettings();
    paths::AppPaths paths = pathsOf(settings);
    int pages = 0;
    std::string tabs;
    const bool stored = runWith(settings, paths, IDOK, [&](HWND dialog) {
        HWND tab = GetDlgItem(dialog, IDC_SETTINGS_TAB);
        for (int i = 0; i < TabCtrl_GetItemCount(tab); ++i) {
            char label[64] = {};
            TCITEMA item{};
            item.mask = TCIF_TEXT;
            item.pszText = label;
            item.cchTextMax = sizeof label;
            SendMessageA(tab, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
            tabs += std::string(label) + "|";
        }
        for (HWND page = GetWindow(tab, GW_CHILD); page; page = GetWindow(page, GW_HWNDNEXT)) ++pages;
        EXPECT_TRUE(IsWindowVisible(pageWith(dialog, IDC_SET_AUTO_EDIT)));
        EXPECT_FALSE(IsWindowVisible(pageWith(dialog, IDC_SET_TIME_BACKUP)));
        EXPECT_TRUE(checked(dialog, IDC_SET_AUTO_BOOKMARK));
        EXPECT_FALSE(checked(dialog, IDC_SET_DELETE_DIALOG));
        EXPECT_TRUE(checked(dialog, IDC_SET_DELETE_BACKUP));
        HWND formats = GetDlgItem(pageWith(dialog, IDC_SET_DATE_FORMAT), IDC_SET_DATE_FORMAT);
        EXPECT_EQ(SendMessageA(formats, CB_GETCOUNT, 0, 0), 20);
        EXPECT_EQ(selectedIndex(dialog, IDC_SET_DATE_FORMAT), 7);
        EXPECT_EQ(textOf(dialog, IDC_SET_BACKUP_INTERVAL), "60");
        EXPECT_EQ(textOf(dialog, IDC_SET_BACKUP_FILES), "30");
        EXPECT_TRUE(checked(dialog, IDC_SET_USE_DATA_DIR));
        EXPECT_TRUE(enabled(dialog, IDC_SET_BROWSE_DATA_DIR));
        EXPECT_EQ(textOf(dialog, IDC_SET_DATA_DIR), "C:\\書類\\qpd");
        EXPECT_EQ(textOf(dialog, IDC_SET_BACKUP_DIR), "D:\\bak");
    });
    EXPECT_TRUE(stored);
    EXPECT_EQ(tabs, "ページ一覧|バックアップ|拡張設定|");
    EXPECT_EQ(pages, 3);
    IniSettings expected = fullSettings();
    expected.window.AutoView = false;
    EXPECT_EQ(ini::formatIni(settings), ini::formatIni(expected));
    EXPECT_EQ(paths.dataFilePath, "C:\\書類\\qpd\\quiltpad.qpd");
}

// Every control changed, then OK (all of it stored) or Cancel (none of it).
TEST(SettingsDialog, OkStoresEveryChangedControlAndCancelNone) {
    const int boxes[] = {IDC_SET_AUTO_BOOKMARK, IDC_SET_AUTO_EDIT,     IDC_SET_AUTO_DATE,    IDC_SET_PARENT_SEC,
                         IDC_SET_DELETE_DIALOG, IDC_SET_EXIT_BOOKMARK, IDC_SET_EXIT_SCROLL,  IDC_SET_TIME_BACKUP,
                         IDC_SET_EXIT_BACKUP,   IDC_SET_DELETE_BACKUP, IDC_SET_USE_DATA_DIR, IDC_SET_USE_BACKUP_DIR};
    auto changeEverything = [&boxes](HWND dialog) {
        for (int id : boxes) testsupport::clickControl(pageWith(dialog, id), id);
        selectIndex(dialog, IDC_SET_DATE_FORMAT, 19);
        selectIndex(dialog, IDC_SET_BACKUP_INTERVAL, 0);
        selectIndex(dialog, IDC_SET_BACKUP_FILES, 6);
    };
    for (int button : {IDOK, IDCANCEL}) {
        IniSettings settings = fullSettings();
        paths::AppPaths paths = pathsOf(settings);
        const bool stored = runWith(settings, paths, button, changeEverything);
        EXPECT_EQ(stored, button == IDOK);
        IniSettings expected = fullSettings();
        if (button == IDOK) {
            IniSettings::Window& w = expected.window;
            IniSettings::Setting& s = expected.setting;
            w.AutoView = false;
            for (bool* flag : {&w.AutoEdit, &w.AutoDate, &w.DeleteDialog, &w.AutoBookmark, &w.ExitBookmark,
                               &w.ExitScroll, &w.ParentSec, &s.TimeBackup, &s.ExitBackup, &s.DeleteBackup})
                *flag = !*flag;
            w.DateString = 19;
            s.BackupInterval = 1;
            s.BackupFileSize = 100;
            s.QpdDirPath.clear();
            s.BackupDirPath.clear();
        }
        EXPECT_EQ(ini::formatIni(settings), ini::formatIni(expected)) << button;
        EXPECT_EQ(paths.dataFilePath, pathsOf(expected).dataFilePath) << button;
        EXPECT_EQ(paths.backupSlotPaths, pathsOf(expected).backupSlotPaths) << button;
    }
}

// A number set by hand outside the list's values is offered in its place and kept by OK; a
// date format past the list is not a format, and the first entry stands for it.
TEST(SettingsDialog, HandSetNumbersSurviveOkAndAnUnknownFormatTakesTheFirst) {
    IniSettings settings;
    settings.setting.BackupInterval = 600;
    settings.setting.BackupFileSize = 2;
    settings.window.DateString = 25;
    paths::AppPaths paths = pathsOf(settings);
    std::string interval, files;
    int format = -1;
    runWith(settings, paths, IDOK, [&](HWND dialog) {
        interval = textOf(dialog, IDC_SET_BACKUP_INTERVAL);
        files = textOf(dialog, IDC_SET_BACKUP_FILES);
        format = selectedIndex(dialog, IDC_SET_DATE_FORMAT);
    });
    EXPECT_EQ(interval, "600");
    EXPECT_EQ(files, "02");
    EXPECT_EQ(format, 0);
    EXPECT_EQ(settings.setting.BackupInterval, 600);
    EXPECT_EQ(settings.setting.BackupFileSize, 2);
    EXPECT_EQ(settings.window.DateString, 0);
}

// A check box switches its "参照" button; an unchecked folder stays visible but is not stored.
// Tab from a folder's check box reaches its 参照 before the read-only folder it sets.
TEST(SettingsDialog, TabReachesEachBrowseButtonBeforeItsReadOnlyFolder) {
    const struct {
        int box, browse, folder;
    } rows[] = {{IDC_SET_USE_DATA_DIR, IDC_SET_BROWSE_DATA_DIR, IDC_SET_DATA_DIR},
                {IDC_SET_USE_BACKUP_DIR, IDC_SET_BROWSE_BACKUP_DIR, IDC_SET_BACKUP_DIR}};
    IniSettings settings = fullSettings();
    paths::AppPaths paths = pathsOf(settings);
    runWith(settings, paths, IDCANCEL, [&](HWND dialog) {
        for (const auto& row : rows) {
            HWND page = pageWith(dialog, row.box);
            HWND next = GetNextDlgTabItem(page, GetDlgItem(page, row.box), FALSE);
            EXPECT_EQ(next, GetDlgItem(page, row.browse)) << row.box;
            EXPECT_EQ(GetNextDlgTabItem(page, next, FALSE), GetDlgItem(page, row.folder)) << row.box;
        }
    });
}

TEST(SettingsDialog, UncheckedDataFolderIsStoredEmptyAndTheDataFileGoesHome) {
    IniSettings settings = fullSettings();
    paths::AppPaths paths = pathsOf(settings);
    bool browseAfter = true;
    std::string shownAfter;
    runWith(settings, paths, IDOK, [&](HWND dialog) {
        testsupport::clickControl(pageWith(dialog, IDC_SET_USE_DATA_DIR), IDC_SET_USE_DATA_DIR);
        browseAfter = enabled(dialog, IDC_SET_BROWSE_DATA_DIR);
        shownAfter = textOf(dialog, IDC_SET_DATA_DIR);
    });
    EXPECT_FALSE(browseAfter);
    EXPECT_EQ(shownAfter, "C:\\書類\\qpd");
    EXPECT_EQ(settings.setting.QpdDirPath, "");
    EXPECT_EQ(paths.dataFilePath, "C:\\prog\\data\\quiltpad.qpd");
    EXPECT_EQ(paths.backupFolder, "D:\\bak");
}

TEST(SettingsDialog, ChangingOnlyTheBackupFolderRebuildsTheSlotTable) {
    IniSettings settings;
    paths::AppPaths paths = pathsOf(settings);
    testapp::TempFolder temp;
    const std::string chosen = temp.file("新しい");  // a folder OK can reach
    CreateDirectoryA(chosen.c_str(), nullptr);
    bool browseBefore = true, browseAfter = false;
    runWith(settings, paths, IDOK, [&](HWND dialog) {
        browseBefore = enabled(dialog, IDC_SET_BROWSE_BACKUP_DIR);
        testsupport::clickControl(pageWith(dialog, IDC_SET_USE_BACKUP_DIR), IDC_SET_USE_BACKUP_DIR);
        browseAfter = enabled(dialog, IDC_SET_BROWSE_BACKUP_DIR);
        testsupport::setControlText(pageWith(dialog, IDC_SET_BACKUP_DIR), IDC_SET_BACKUP_DIR, chosen);
    });
    EXPECT_FALSE(browseBefore);
    EXPECT_TRUE(browseAfter);
    EXPECT_EQ(settings.setting.BackupDirPath, chosen);
    EXPECT_EQ(settings.setting.QpdDirPath, "");
    EXPECT_EQ(paths.backupFolder, chosen);
    EXPECT_EQ(paths.backupSlotPaths.front(), chosen + "\\backup00.qpd");
    EXPECT_EQ(paths.backupSlotPaths.back(), chosen + "\\backup99.qpd");
    EXPECT_EQ(paths.dataFilePath, "C:\\prog\\data\\quiltpad.qpd");
}

// Through the menu command: the program's own settings and paths change, and the settings
// file written at exit holds the new folder.
using SettingsCommandTest = apptest::MainWindowTest;

TEST_F(SettingsCommandTest, OkReachesTheProgramsSettingsAndTheFileWrittenAtExit) {
    const std::string backups = folder.file("elsewhere");
    CreateDirectoryA(backups.c_str(), nullptr);
    {
        DialogAnswerer ok(IDOK, CAPTION);
        ok.setInspector([&backups](HWND dialog) {
            testsupport::clickControl(pageWith(dialog, IDC_SET_USE_BACKUP_DIR), IDC_SET_USE_BACKUP_DIR);
            testsupport::setControlText(pageWith(dialog, IDC_SET_BACKUP_DIR), IDC_SET_BACKUP_DIR, backups);
        });
        command(IDM_SETTINGS);
        EXPECT_EQ(ok.answered(), 1);
    }
    EXPECT_EQ(gApp.paths.backupSlotPaths[0], backups + "\\backup00.qpd");
    testapp::destroyMainWindow(window);
    const IniSettings written = ini::readIni(folder.file("data\\quiltpad.ini"), IniSettings());
    EXPECT_EQ(written.setting.BackupDirPath, backups);
}

}  // namespace
