#include <windows.h>
#include <commctrl.h>

#include "app/Lifecycle.h"

#include "app/AppState.h"
#include "app/Book.h"
#include "app/MainControls.h"
#include "app/MainFrame.h"
#include "app/PageDisplay.h"
#include "app/SettingsIo.h"
#include "backup/Backup.h"
#include "res/resource.h"
#include "secure/SecurePages.h"
#include "settings/ColourScheme.h"
#include "store/AtomicFile.h"

namespace lifecycle {

namespace {

const char UNUSABLE_CAPTION[] = "データを読み込むことが出来ませんでした";
const char UNUSABLE_TEXT[] = "は\n利用不可能なデータファイルです";
const char SAVE_FAILED_TEXT[] = "データファイルに書き込むことが出来ませんでした。\n\n";
const char SAVE_FAILED_HINT[] = "\n\nディスクの空きや書き込み権限を確かめてから「再試行」を押してください。";

int gBackgroundSaveCounter = 0;
bool gShutDown = false;

void storeShownPage() { pagedisplay::storeEditorToPage(gControls.pageList.GetSelection()); }

// A title still open in the page list's edit box is taken as typed. When the
// window goes away the edit box loses the focus and ends by itself, but when
// the session ends the window stays as it is until the process is gone.
void commitTitleEdit() { SendMessageA(gControls.pageList.window(), TVM_ENDEDITLABELNOW, FALSE, 0); }

}  // namespace

void restartBackupTimer(HWND window) {
    constexpr UINT MINUTE_MS = 60000;
    // a backup interval below one minute would make the timer fire without pause
    const int minutes = gApp.ini.setting.BackupInterval > 0 ? gApp.ini.setting.BackupInterval : 1;
    SetTimer(window, mainframe::BACKUP_TIMER, static_cast<UINT>(minutes) * MINUTE_MS, backupTick);
}

void reset() {
    gBackgroundSaveCounter = 0;
    gShutDown = false;
}

int backgroundSaveCounter() { return gBackgroundSaveCounter; }

bool loadFirstBook(HWND window) {
    // A save cut short by a killed process leaves its temporary file beside the target.
    removeLeftoverTemporaries(gApp.paths.dataFilePath);
    removeLeftoverTemporaries(gApp.paths.iniPath);
    const std::string& slots = gApp.paths.backupFolder;
    removeLeftoverTemporaries(slots + (!slots.empty() && slots.back() == '\\' ? "" : "\\") + "backup*.qpd");
    if (pagedisplay::loadIntoUi(window, gApp.paths.dataFilePath)) return true;
    // The file stays untouched for a later rescue; nothing is written at exit.
    const std::string text = gApp.paths.dataFilePath + UNUSABLE_TEXT;
    MessageBoxA(window, text.c_str(), UNUSABLE_CAPTION, MB_OK | MB_ICONERROR);
    gApp.saveAtExit = false;
    PostMessageA(window, WM_CLOSE, 0, 0);
    return false;
}

bool makeBackup(SaveKind kind) {
    return backup::makeBackup(gApp.paths.backupSlotPaths, gApp.ini.setting.BackupFileSize, kind,
                              pagedisplay::saveFromUi);
}

void CALLBACK backupTick(HWND, UINT, UINT_PTR, DWORD) {
    if (!gApp.ini.setting.TimeBackup) return;
    storeShownPage();
    makeBackup(SaveKind::Periodic);
}

void CALLBACK backgroundSaveTick(HWND window, UINT, UINT_PTR, DWORD) {
    ++gBackgroundSaveCounter;
    const int interval = gApp.ini.window.BgSaveInterval;
    if (interval == -1 || gBackgroundSaveCounter < interval) return;
    gBackgroundSaveCounter = 0;
    storeShownPage();
    saveBook(window, false);  // a background save never interrupts the user
}

bool saveBook(HWND window, bool ask) {
    for (;;) {
        if (pagedisplay::saveFromUi(gApp.paths.dataFilePath, SaveKind::ExitData)) return true;
        if (!ask) return false;
        const std::string text = SAVE_FAILED_TEXT + gApp.paths.dataFilePath + SAVE_FAILED_HINT;
        if (MessageBoxA(window, text.c_str(), gApp.title.c_str(), MB_RETRYCANCEL | MB_ICONWARNING) != IDRETRY)
            return false;
    }
}

void shutdown(HWND window, bool sessionEnding) {
    if (gShutDown) return;
    gShutDown = true;
    if (gApp.saveAtExit) {
        commitTitleEdit();
        storeShownPage();
        if (gApp.ini.window.ExitBookmark) SendMessageA(window, WM_COMMAND, IDM_SET_BOOKMARK, 0);
        saveBook(window, !sessionEnding);
        settingsio::collectAndSaveSettings(window);
        if (gApp.ini.setting.ExitBackup) makeBackup(SaveKind::ExitData);
    }
    RemovePropA(window, gApp.paths.instanceKey.c_str());
    mainframe::releaseChildren(window);
    if (gApp.usageWindow) DestroyWindow(gApp.usageWindow);
    if (gApp.searchWindow) DestroyWindow(gApp.searchWindow);
    gApp.usageWindow = gApp.searchWindow = nullptr;
    KillTimer(window, mainframe::BACKUP_TIMER);
    KillTimer(window, mainframe::BG_SAVE_TIMER);
    secure::clearAuthentication();
    colourscheme::deleteBrushes(window);
    PostQuitMessage(0);
}

}  // namespace lifecycle
