// The restore dialog: lists the backup slots and swaps the book with a chosen one.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "store/DataFile.h"

namespace backup {

// What the dialog needs of the window that owns the book.
struct BookHooks {
    std::function<void()> stopTimers;   // the backup and background-save timers
    std::function<void()> startTimers;  // both again, with their periods
    std::function<void()> storeShownPage;
    std::function<bool(const std::string& path, SaveKind kind)> saveBook;
    std::function<bool(const std::string& path)> loadBook;  // false leaves the book as it was
};

struct RestoreSetup {
    std::vector<std::string> slotPaths;
    int backupFileSize = 0;
    std::string dataFilePath;
    std::int32_t bookNumber = 0;  // of the book in memory; other books' slots say so
};

// Runs the dialog modally. The current book goes to the data file (labelled
// "before a restore"), the chosen slot is loaded, and the data file then
// replaces the slot, so restoring the same slot again swaps back. True when a
// slot was restored.
bool runRestoreDialog(HWND owner, const RestoreSetup& setup, const BookHooks& hooks);

}  // namespace backup
