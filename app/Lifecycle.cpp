#include <windows.h>
#include <commctrl.h>

#include "app/Lifecycle.h"

#include "app/AppMessages.h"
#include "app/AppState.h"
#include "app/DataFileGuard.h"
#include "app/DataFileWatch.h"
#include "app/Book.h"
#include "app/BookLoad.h"
#include "app/MainControls.h"
#include "app/PageCommands.h"
#include "backup/BackupSlots.h"
#include "app/PageDisplay.h"
#include "app/SettingsIo.h"
#include "app/SyncMerge.h"
#include "backup/AutoRestore.h"
#include "backup/Backup.h"
#include "backup/RestoreDialog.h"
#include "res/resource.h"
#include "secure/SecurePages.h"
#include "settings/ColourScheme.h"
#include "store/AtomicFile.h"
#include "ui/Busy.h"
#include "store/FileFaultText.h"
#include "store/FolderIdentity.h"
#include "ui/WideText.h"

#include <set>

namespace lifecycle {

namespace {

constexpr UINT MINUTE_MS = 60000;

int gBackgroundSaveCounter = 0;
bool gShutDown = false;
bool gExitRetryUp = false;  // the exit's Retry/Cancel box is up
bool gEdited = false;       // edits since the last save of the data file
bool gRescued = false;      // the session ended while it was: the book went to a backup slot
bool gBookRead = false;          // the first load succeeded: from now on the book may be written
bool gSaveAtExit = true;         // off only for tools and tests that must not write
std::set<std::string> gWritten;  // the data files this run wrote

bool loadBook(const std::string& path) { return bookload::loadIntoUi(gApp.mainWindow, path); }

// The book number an unusable data file still shows (a current version block), -1 when none.
std::int32_t shownBookNumber(const std::string& path) {
    unsigned char first[VERSION_BLOCK_SIZE];
    if (!readFirst32(path, first) || detectDataBytes(first, sizeof first) != DATA_FILE_CURRENT) return -1;
    return decodeVersionBlock(first).bookNumber;
}

// The first load found the data file unusable: the newest backup of this book that loads,
// or a new book if the user agrees. False when the user refused: the file stays as it is.
bool recoverUnusableBook(HWND window) {
    backup::AutoRestoreSetup setup;
    setup.slotPaths = gApp.paths.backupSlotPaths;
    setup.backupFileSize = gApp.ini.setting.BackupFileSize;
    setup.dataFilePath = gApp.paths.dataFilePath;
    setup.bookNumber = shownBookNumber(setup.dataFilePath);
    setup.loadedBookNumber = [] { return gBook.bookNumber; };
    return backup::autoRestore(window, setup, loadBook) != backup::AutoRestoreResult::Refused;
}

bool isDefaultDataFolder() { return gApp.ini.setting.QpdDirPath.empty(); }

// Read again or end: the data file's place could not be reached, so whether a book is
// there is unknown. Nothing has been written and no timer runs.
bool askReadAgain(HWND window, const std::string& path, FileFault fault) {
    const std::string text = appmessages::UNREACHABLE_TEXT + path + appmessages::UNREACHABLE_REASON +
                             fileFaultText(fault) + appmessages::UNREACHABLE_HINT;
    return wide::messageBox(window, text.c_str(), appmessages::UNREACHABLE_CAPTION, MB_RETRYCANCEL | MB_ICONWARNING) ==
           IDRETRY;
}

// The first read of the data file: a book, a new book in a folder that is there and holds
// none (or in the data folder beside the program, which an unpacked zip lacks), a recovery
// of an unusable file, or (the place out of reach) read again or end.
bool readFirstBook(HWND window) {
    const std::string& path = gApp.paths.dataFilePath;
    for (;;) {
        FileFault fault = FileFault::None;
        if (bookload::loadIntoUi(window, path, &fault, isDefaultDataFolder())) return true;
        if (fault == FileFault::None) return recoverUnusableBook(window);
        if (!askReadAgain(window, path, fault)) return false;
    }
}

void removeLeftovers() {
    // A restore cut short keeps the book from before beside its slot.
    backup::finishCutRestores(gApp.paths.backupSlotPaths, gApp.paths.dataFilePath);
    // A save cut short by a killed process leaves its temporary file beside the target.
    removeLeftoverTemporaries(gApp.paths.dataFilePath);
    removeLeftoverTemporaries(gApp.paths.iniPath);
    const std::string& slots = gApp.paths.backupFolder;
    removeLeftoverTemporaries(slots + (!slots.empty() && slots.back() == '\\' ? "" : "\\") + "backup*.qpd");
    removeLeftoverTemporaries(backup::slotOrderPath(gApp.paths.backupSlotPaths));
}

// A title still open in the page list's edit box is taken as typed. When the
// window goes away the edit box loses the focus and ends by itself, but when
// the session ends the window stays as it is until the process is gone.
void commitTitleEdit() { SendMessageW(gControls.pageList.window(), TVM_ENDEDITLABELNOW, FALSE, 0); }

}  // namespace

void reset() {
    gBackgroundSaveCounter = 0;
    gShutDown = false;
    gBookRead = false;
    gSaveAtExit = true;
    gExitRetryUp = gRescued = gEdited = false;
    gWritten.clear();
}

void setSaveAtExit(bool on) { gSaveAtExit = on; }
bool wroteThisRun(const std::string& path) {
    for (const std::string& written : gWritten)
        if (fileidentity::sameFile(written, path)) return true;
    return false;
}
bool isShutDown() { return gShutDown; }

int backgroundSaveCounter() { return gBackgroundSaveCounter; }

void restartBackupTimer(HWND window) {
    // a backup interval below one minute would make the timer fire without pause
    const int minutes = gApp.ini.setting.BackupInterval > 0 ? gApp.ini.setting.BackupInterval : 1;
    SetTimer(window, BACKUP_TIMER, static_cast<UINT>(minutes) * MINUTE_MS, backupTick);
}

void startTimers(HWND window) {
    restartBackupTimer(window);
    SetTimer(window, BG_SAVE_TIMER, MINUTE_MS, backgroundSaveTick);
}

void stopTimers(HWND window) {
    KillTimer(window, BACKUP_TIMER);
    KillTimer(window, BG_SAVE_TIMER);
}

bool openFirstBook(HWND window) {
    removeLeftovers();
    // Whatever the load asks (the start-up question, the bytes after the end, a password),
    // no timer runs yet and the exit writes nothing.
    if (!readFirstBook(window)) {
        PostMessageW(window, WM_CLOSE, 0, 0);
        return false;
    }
    gBookRead = true;
    gWritten.insert(gApp.paths.dataFilePath);  // the book read is this run's own file
    startTimers(window);
    datafilewatch::watch(window, gApp.paths.dataFilePath, lifecycle::lookAtDataFile);
    datafilewatch::soon(window);  // a conflicted copy left while the program was not running
    return true;
}

// A tick that comes inside an operation (its dialog's message loop) waits for the
// next one: it would store and write a page the operation is working on.
void CALLBACK backupTick(HWND, UINT, UINT_PTR, DWORD) {
    if (!gBookRead || !gApp.ini.setting.TimeBackup || busy::inProgress()) return;
    pagedisplay::storeShownPage();
    bookload::makeBackup(SaveKind::Periodic);
}

void CALLBACK backgroundSaveTick(HWND window, UINT, UINT_PTR, DWORD) {
    ++gBackgroundSaveCounter;
    const int interval = gApp.ini.window.BgSaveInterval;
    if (!gBookRead || interval == -1 || gBackgroundSaveCounter < interval || busy::inProgress()) return;
    gBackgroundSaveCounter = 0;
    pagedisplay::storeShownPage();
    saveBook(window, false);  // a background save never interrupts the user
}

namespace {
bool saveBookTo(const std::string& path) {
    if (bookload::bookIncomplete()) return false;  // the user was told when the book was read
    if (!bookload::saveFromUi(path, SaveKind::ExitData)) return false;
    gWritten.insert(path);
    return true;
}
}  // namespace

void noteEdit() { gEdited = true; }

namespace {
// Another writer's version of the data file is never replaced unseen.
datafileguard::Verdict checkDataFile(HWND window) {
    const datafileguard::Verdict verdict = datafileguard::check(window, gEdited || pagedisplay::hasChanges());
    if (verdict == datafileguard::Verdict::LOADED_OTHER) gEdited = false;
    return verdict;
}
}  // namespace

void lookAtDataFile(HWND window) {
    if (!gBookRead || gShutDown || bookload::bookIncomplete()) return;
    // kept this window's book: it goes back into the data file at once (the other is kept aside)
    if (checkDataFile(window) == datafileguard::Verdict::KEEP_OURS) {
        pagedisplay::storeShownPage();
        saveBook(window, false);
    }
    syncmerge::offerMerges(window);  // a sync client's conflicted copy beside the book
}

bool saveBook(HWND window, bool ask) {
    if (bookload::bookIncomplete()) return false;
    switch (checkDataFile(window)) {
        case datafileguard::Verdict::LOADED_OTHER:
            return true;
        case datafileguard::Verdict::WAIT:
            // the other version could not be kept aside, so it is not replaced: at the exit this
            // run's book goes to a backup slot instead
            if (ask) bookload::makeBackup(SaveKind::ExitData);
            return false;
        default:
            break;
    }
    for (;;) {
        if (saveBookTo(gApp.paths.dataFilePath)) {
            gEdited = false;
            return true;
        }
        if (!ask) return false;
        const std::string text =
            appmessages::SAVE_FAILED_TEXT + gApp.paths.dataFilePath + appmessages::SAVE_FAILED_HINT;
        gExitRetryUp = true;  // the session may not end meanwhile: no file holds this run's edits
        const int answer = wide::messageBox(window, text.c_str(), gApp.title.c_str(), MB_RETRYCANCEL | MB_ICONWARNING);
        gExitRetryUp = false;
        if (gRescued) return false;  // the session ended anyway: the edits are in a backup slot
        if (answer != IDRETRY) return false;
    }
}

bool exitRetryUp() { return gExitRetryUp; }

void sessionForcedDuringExitRetry() {
    if (!gExitRetryUp || gRescued) return;
    gRescued = true;
    settingsio::collectAndSaveSettings(gApp.mainWindow);
    bookload::makeBackup(SaveKind::ExitData);  // the book of this run in a slot, whatever the data file's trouble
}

bool keepChosenSettings(HWND window, const std::string& oldDataFile) {
    if (!gBookRead) return true;
    if (!fileidentity::sameFile(oldDataFile, gApp.paths.dataFilePath)) {
        pagedisplay::storeShownPage();
        // the old file is still the one the texts are read from: saved as the data file
        const std::string chosen = gApp.paths.dataFilePath;
        gApp.paths.dataFilePath = oldDataFile;
        saveBookTo(oldDataFile);  // a folder that went away keeps what it had
        gApp.paths.dataFilePath = chosen;
        if (!saveBookTo(chosen)) return false;
    }
    settingsio::collectAndSaveSettings(window);
    return true;
}

void shutdown(HWND window, bool sessionEnding) {
    if (gShutDown) return;
    gShutDown = true;
    if (gBookRead && gSaveAtExit) {
        commitTitleEdit();
        // A session that ends inside a restore writes no book: the window's book is not
        // yet in the data file, and the book from before is, until the restore has kept it.
        const bool writeBook = !busy::bookUnsettled();
        if (writeBook) {
            pagedisplay::storeShownPage();
            if (gApp.ini.window.ExitBookmark) pagecommands::setBookmark(window);
            saveBook(window, !sessionEnding);
        }
        settingsio::collectAndSaveSettings(window);
        // nor a backup while the restore dialog is open: it could take the slot being restored
        if (writeBook && gApp.ini.setting.ExitBackup && !busy::slotsInUse()) bookload::makeBackup(SaveKind::ExitData);
    }
    for (const TextSource* file : placeFiles(gBook.pages)) file->release();  // the data file is let go
    RemovePropW(window, wide::from932(gApp.paths.instanceKey).c_str());
    gControls.pageList.RestoreWindowProc();  // the page list gets its own window procedure back
    gControls.pageList.LetGoAtExit();        // its items go with the process, not one by one
    if (gApp.usageWindow) DestroyWindow(gApp.usageWindow);
    if (gApp.searchWindow) DestroyWindow(gApp.searchWindow);
    gApp.usageWindow = gApp.searchWindow = nullptr;
    stopTimers(window);
    datafilewatch::stop();
    secure::clearAuthentication();
    colourscheme::deleteBrushes(window);
    PostQuitMessage(0);
}

}  // namespace lifecycle
