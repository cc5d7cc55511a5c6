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

// Runs the dialog modally. A restore swaps the book with the chosen slot: the
// restored book ends in the window and the data file, the book from before
// (labelled "before a restore") in the slot, so restoring the same slot again
// swaps back. Both books stay in files at every instant. True when a slot was
// restored.
bool runRestoreDialog(HWND owner, const RestoreSetup& setup, const BookHooks& hooks);

// Where a restore keeps the book from before until the restored book is in the
// data file: beside the slot.
std::string bookFromBeforePath(const std::string& slotPath);

// A restore cut short (a killed process) may leave the book from before beside
// its slot. When the data file holds the restored book, the slot takes it (the
// restore's last step, done now); when the data file still holds the book from
// before, the copy goes. Run at start-up, before anything is written.
void finishCutRestores(const std::vector<std::string>& slotPaths, const std::string& dataFilePath);

}  // namespace backup
