#include <windows.h>
#include <commctrl.h>

#include "settings/SettingsDialog.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <vector>

#include "editor/DateStamp.h"
#include "res/resource.h"
#include "settings/CommonDialogs.h"
#include "settings/SettingsMessages.h"
#include "store/Cp932.h"
#include "store/DataFile.h"
#include "store/FileFaultText.h"
#include "store/FolderIdentity.h"
#include "ui/Dialog.h"
#include "ui/WideText.h"

namespace settingsdialog {

namespace {

// The three tabs, in order; each is a child dialog of the tab control.
enum Page { PAGE_LIST, PAGE_BACKUP, PAGE_FOLDERS, PAGE_COUNT };
const int PAGE_TEMPLATES[PAGE_COUNT] = {IDD_SETTINGS_PAGES, IDD_SETTINGS_BACKUP, IDD_SETTINGS_FOLDERS};
const char* const PAGE_LABELS[PAGE_COUNT] = {"ページ一覧", "バックアップ", "拡張設定"};

struct SettingsData {
    IniSettings* settings = nullptr;
    paths::AppPaths* paths = nullptr;
    std::int32_t bookNumber = -1;
    HWND pages[PAGE_COUNT] = {};
    bool stored = false;
};

// Every check box and the flag it stands for.
struct CheckBox {
    Page page;
    int id;
    bool& (*flag)(IniSettings&);
};

const CheckBox CHECK_BOXES[] = {
    {PAGE_LIST, IDC_SET_AUTO_EDIT, [](IniSettings& s) -> bool& { return s.window.AutoEdit; }},
    {PAGE_LIST, IDC_SET_AUTO_DATE, [](IniSettings& s) -> bool& { return s.window.AutoDate; }},
    {PAGE_LIST, IDC_SET_DELETE_DIALOG, [](IniSettings& s) -> bool& { return s.window.DeleteDialog; }},
    {PAGE_LIST, IDC_SET_AUTO_BOOKMARK, [](IniSettings& s) -> bool& { return s.window.AutoBookmark; }},
    {PAGE_LIST, IDC_SET_EXIT_BOOKMARK, [](IniSettings& s) -> bool& { return s.window.ExitBookmark; }},
    {PAGE_LIST, IDC_SET_EXIT_SCROLL, [](IniSettings& s) -> bool& { return s.window.ExitScroll; }},
    {PAGE_LIST, IDC_SET_PARENT_SEC, [](IniSettings& s) -> bool& { return s.window.ParentSec; }},
    {PAGE_BACKUP, IDC_SET_TIME_BACKUP, [](IniSettings& s) -> bool& { return s.setting.TimeBackup; }},
    {PAGE_BACKUP, IDC_SET_EXIT_BACKUP, [](IniSettings& s) -> bool& { return s.setting.ExitBackup; }},
    {PAGE_BACKUP, IDC_SET_DELETE_BACKUP, [](IniSettings& s) -> bool& { return s.setting.DeleteBackup; }},
};

// The two drop-down lists of numbers and the setting each one holds.
struct NumberList {
    int id;
    const int* values;
    int count;
    int32_t& (*value)(IniSettings&);
};

const int INTERVALS[] = {1, 3, 5, 10, 30, 60};
const int SLOT_COUNTS[] = {1, 3, 5, 10, 30, 50, 100};

const NumberList NUMBER_LISTS[] = {
    {IDC_SET_BACKUP_INTERVAL, INTERVALS, static_cast<int>(std::size(INTERVALS)),
     [](IniSettings& s) -> int32_t& { return s.setting.BackupInterval; }},
    {IDC_SET_BACKUP_FILES, SLOT_COUNTS, static_cast<int>(std::size(SLOT_COUNTS)),
     [](IniSettings& s) -> int32_t& { return s.setting.BackupFileSize; }},
};

// A folder override: its check box, its "参照" button and the read-only edit that shows it.
struct FolderRow {
    int check;
    int browse;
    int edit;
    std::string& (*folder)(IniSettings&);
};

const FolderRow FOLDER_ROWS[] = {
    {IDC_SET_USE_DATA_DIR, IDC_SET_BROWSE_DATA_DIR, IDC_SET_DATA_DIR,
     [](IniSettings& s) -> std::string& { return s.setting.QpdDirPath; }},
    {IDC_SET_USE_BACKUP_DIR, IDC_SET_BROWSE_BACKUP_DIR, IDC_SET_BACKUP_DIR,
     [](IniSettings& s) -> std::string& { return s.setting.BackupDirPath; }},
};

void addString(HWND list, const std::string& text) {
    SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide::from932(text).c_str()));
}

void fillDateFormats(HWND page, int selected) {
    HWND list = GetDlgItem(page, IDC_SET_DATE_FORMAT);
    const datestamp::StampTime sample{2017, 1, 1, 12, 30, 59};
    for (int i = 0; i < datestamp::DATE_FORMAT_COUNT; ++i) addString(list, datestamp::FormatDateStamp(i, sample));
    const bool known = selected >= 0 && selected < datestamp::DATE_FORMAT_COUNT;
    SendMessageW(list, CB_SETCURSEL, known ? selected : 0, 0);
}

// The entry equal to the setting is selected. A value the list does not offer (set by hand in
// the settings file) gets an entry of its own in its place: an OK for another setting keeps it,
// where the first entry would turn an interval of hours into one minute.
void fillNumbers(HWND page, const NumberList& numbers, int current) {
    std::vector<int> values(numbers.values, numbers.values + numbers.count);
    if (current > 0 && std::find(values.begin(), values.end(), current) == values.end())
        values.insert(std::upper_bound(values.begin(), values.end(), current), current);
    HWND list = GetDlgItem(page, numbers.id);
    int selected = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        char text[16];
        std::snprintf(text, sizeof text, "%02d", values[i]);
        addString(list, text);
        if (values[i] == current) selected = static_cast<int>(i);
    }
    SendMessageW(list, CB_SETCURSEL, selected, 0);
}

// The number the selected entry's text spells (at most its first seven characters).
int32_t selectedNumber(HWND page, int id) { return std::atoi(ui::itemText(page, id).substr(0, 7).c_str()); }

void enableBrowse(HWND page, const FolderRow& row) {
    EnableWindow(GetDlgItem(page, row.browse), ui::isChecked(page, row.check) ? TRUE : FALSE);
}

void fillControls(SettingsData& data) {
    IniSettings& s = *data.settings;
    for (const CheckBox& box : CHECK_BOXES) ui::setChecked(data.pages[box.page], box.id, box.flag(s));
    fillDateFormats(data.pages[PAGE_LIST], s.window.DateString);
    for (const NumberList& numbers : NUMBER_LISTS) fillNumbers(data.pages[PAGE_BACKUP], numbers, numbers.value(s));
    HWND folders = data.pages[PAGE_FOLDERS];
    for (const FolderRow& row : FOLDER_ROWS) {
        ui::setChecked(folders, row.check, !row.folder(s).empty());
        enableBrowse(folders, row);
        ui::setItemText(folders, row.edit, row.folder(s));
    }
}

void showPage(SettingsData& data, int shown) {
    for (HWND page : data.pages) ShowWindow(page, SW_HIDE);
    if (shown >= 0 && shown < PAGE_COUNT) ShowWindow(data.pages[shown], SW_SHOW);
}

INT_PTR CALLBACK pageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

BOOL onInit(HWND dialog, SettingsData& data) {
    HWND tab = GetDlgItem(dialog, IDC_SETTINGS_TAB);
    for (int i = 0; i < PAGE_COUNT; ++i) {
        std::wstring label = wide::from932(PAGE_LABELS[i]);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = &label[0];
        SendMessageW(tab, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
    RECT area;
    GetClientRect(tab, &area);
    SendMessageW(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    for (int i = 0; i < PAGE_COUNT; ++i) {
        data.pages[i] = ui::createModeless(tab, PAGE_TEMPLATES[i], pageProc, &data);
        SetWindowPos(data.pages[i], nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    showPage(data, PAGE_LIST);
    fillControls(data);
    return TRUE;
}

// The folder a row's controls name: the edit's text when checked, otherwise none.
std::string chosenFolder(HWND folders, const FolderRow& row) {
    return ui::isChecked(folders, row.check) ? cp932::cutAt(ui::itemText(folders, row.edit), paths::MAX_PATH_BYTES - 1)
                                             : std::string();
}

void refuse(HWND dialog, const std::string& text) {
    wide::messageBox(dialog, text.c_str(), settingsmessages::FOLDER_REFUSED_CAPTION, MB_OK | MB_ICONWARNING);
}

// A slot of the folder that shows a current version block of another book.
bool holdsOtherBook(const std::string& backupFolder, std::int32_t bookNumber) {
    for (const std::string& slot : paths::derivePaths("", "", backupFolder).backupSlotPaths) {
        unsigned char first[VERSION_BLOCK_SIZE];
        if (readFirst32(slot, first) && detectDataBytes(first, sizeof first) == DATA_FILE_CURRENT &&
            decodeVersionBlock(first).bookNumber != bookNumber)
            return true;
    }
    return false;
}

// The folders chosen anew must be reachable, and a new backup folder must hold no other
// book's backups. False, with the user told why, when OK is refused.
bool foldersAccepted(HWND dialog, SettingsData& data) {
    HWND folders = data.pages[PAGE_FOLDERS];
    for (const FolderRow& row : FOLDER_ROWS) {
        // the settings file keeps a folder in Shift_JIS: one it cannot spell is refused by name
        if (ui::isChecked(folders, row.check) && !wide::firstOutside932(ui::itemTextWide(folders, row.edit)).empty()) {
            wide::messageBox(dialog,
                             wide::refusalNaming(settingsmessages::FOLDER_CHARACTER_FORMAT,
                                                 ui::itemTextWide(folders, row.edit)),
                             settingsmessages::FOLDER_REFUSED_CAPTION, MB_OK | MB_ICONWARNING);
            return false;
        }
        const std::string folder = chosenFolder(folders, row);
        if (folder.empty() || folder == row.folder(*data.settings)) continue;
        fileidentity::FolderId id;
        const FileFault fault = fileidentity::identifyFolder(folder, id);
        if (fault != FileFault::None) {
            refuse(dialog, settingsmessages::FOLDER_UNREACHABLE_TEXT + folder + "\n\n" + fileFaultText(fault));
            return false;
        }
        if (row.edit == IDC_SET_BACKUP_DIR && holdsOtherBook(folder, data.bookNumber)) {
            refuse(dialog,
                   settingsmessages::OTHER_BOOK_BACKUPS_TEXT + folder + settingsmessages::OTHER_BOOK_BACKUPS_HINT);
            return false;
        }
    }
    return true;
}

// OK: every control into the record, in this order; the paths are derived anew when a folder changed.
void store(SettingsData& data) {
    IniSettings& s = *data.settings;
    s.window.AutoView = false;  // the dialog has no control for it
    for (const CheckBox& box : CHECK_BOXES) box.flag(s) = ui::isChecked(data.pages[box.page], box.id);
    const LRESULT format = SendDlgItemMessageW(data.pages[PAGE_LIST], IDC_SET_DATE_FORMAT, CB_GETCURSEL, 0, 0);
    s.window.DateString = format > 0 ? static_cast<int32_t>(format) : 0;
    for (const NumberList& numbers : NUMBER_LISTS)
        numbers.value(s) = selectedNumber(data.pages[PAGE_BACKUP], numbers.id);

    bool changed = false;
    HWND folders = data.pages[PAGE_FOLDERS];
    for (const FolderRow& row : FOLDER_ROWS) {
        const std::string folder = chosenFolder(folders, row);
        if (folder == row.folder(s)) continue;
        row.folder(s) = folder;
        changed = true;
    }
    if (changed) {
        const std::string key = data.paths->instanceKey;  // the run keeps the key it holds its book by
        *data.paths = paths::derivePaths(data.paths->appFolder, s.setting.QpdDirPath, s.setting.BackupDirPath);
        data.paths->instanceKey = key;
    }
    data.stored = true;
}

void close(HWND dialog, SettingsData& data, INT_PTR result) {
    for (HWND& page : data.pages) {
        DestroyWindow(page);
        page = nullptr;
    }
    EndDialog(dialog, result);
}

INT_PTR CALLBACK settingsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    SettingsData* data = ui::dialogData<SettingsData>(dialog, message, lParam);
    if (!data) return FALSE;
    switch (message) {
        case WM_INITDIALOG:
            return onInit(dialog, *data);
        case WM_NOTIFY: {
            const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->idFrom == IDC_SETTINGS_TAB && header->code == TCN_SELCHANGE)
                showPage(*data, static_cast<int>(SendMessageW(header->hwndFrom, TCM_GETCURSEL, 0, 0)));
            return FALSE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                if (!foldersAccepted(dialog, *data)) return TRUE;
                store(*data);
                close(dialog, *data, IDOK);
            } else if (LOWORD(wParam) == IDCANCEL) {
                close(dialog, *data, IDCANCEL);
            }
            return TRUE;
    }
    return FALSE;
}

// The folder tab: a check box enables its "参照" button; the button browses from the folder shown.
void onFolderCommand(HWND page, int id) {
    for (const FolderRow& row : FOLDER_ROWS) {
        if (id == row.check) enableBrowse(page, row);
        if (id != row.browse) continue;
        std::string folder;
        if (dialogs::chooseFolderFrom(GetAncestor(page, GA_ROOT), ui::itemText(page, row.edit), folder))
            ui::setItemText(page, row.edit, folder);
    }
}

INT_PTR CALLBACK pageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    SettingsData* data = ui::dialogData<SettingsData>(page, message, lParam);
    if (!data) return FALSE;
    switch (message) {
        case WM_INITDIALOG:
            return FALSE;  // the frame keeps the focus
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED) onFolderCommand(page, LOWORD(wParam));
            return TRUE;
    }
    return FALSE;
}

}  // namespace

bool runSettingsDialog(HWND owner, IniSettings& settings, paths::AppPaths& paths, std::int32_t bookNumber) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    SettingsData data;
    data.settings = &settings;
    data.paths = &paths;
    data.bookNumber = bookNumber;
    ui::runModal(owner, IDD_SETTINGS, settingsProc, &data);
    return data.stored;
}

}  // namespace settingsdialog
