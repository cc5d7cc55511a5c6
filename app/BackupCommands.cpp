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

bool loadBook(const std::string& path) { return bookload::loadIntoUi(gApp.mainWindow, path); }

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
    hooks.saveBook = bookload::saveFromUi;
    hooks.loadBook = loadBook;
    backup::runRestoreDialog(window, setup, hooks);
}

}  // namespace backupcommands
