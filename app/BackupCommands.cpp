#include <windows.h>

#include "app/BackupCommands.h"

#include "app/AppState.h"
#include "app/Book.h"
#include "app/BookLoad.h"
#include "app/Lifecycle.h"
#include "app/PageDisplay.h"
#include "backup/RestoreDialog.h"

namespace backupcommands {

namespace {

// A session that ended inside the restore stops it where it stands: both books are in files.
bool loadBook(const std::string& path) {
    return !lifecycle::isShutDown() && bookload::loadIntoUi(gApp.mainWindow, path);
}

bool saveBook(const std::string& path, SaveKind kind) {
    return !lifecycle::isShutDown() && bookload::saveFromUi(path, kind);
}

}  // namespace

void restore(HWND window) {
    backup::RestoreSetup setup;
    setup.slotPaths = gApp.paths.backupSlotPaths;
    setup.backupFileSize = gApp.ini.setting.BackupFileSize;
    setup.dataFilePath = gApp.paths.dataFilePath;
    setup.bookNumber = gBook.bookNumber;
    backup::BookHooks hooks;
    hooks.stopTimers = [window] { lifecycle::stopTimers(window); };
    hooks.startTimers = [window] { lifecycle::startTimers(window); };
    hooks.storeShownPage = pagedisplay::storeShownPage;
    hooks.saveBook = saveBook;
    hooks.loadBook = loadBook;
    backup::runRestoreDialog(window, setup, hooks);
}

}  // namespace backupcommands
