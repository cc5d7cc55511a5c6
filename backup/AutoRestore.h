// The automatic restore at start-up, when the data file exists but cannot be
// read, and the keeping aside of a data file that is about to be replaced.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace backup {

enum class AutoRestoreResult {
    BackupLoaded,  // the newest backup that loads is in the window
    NewBook,       // the user chose to start empty; the unreadable file was renamed aside
    Refused,       // declined, or the file could not be copied or moved aside: end without writing anything
};

struct AutoRestoreSetup {
    std::vector<std::string> slotPaths;
    int backupFileSize = 0;
    std::string dataFilePath;
    // The book number the unusable data file still shows, -1 when it shows none: only
    // backups of that book are taken (a shared backup folder may hold others).
    std::int32_t bookNumber = -1;
    // The number of the book `loadBook` just put in the window.
    std::function<std::int32_t()> loadedBookNumber = nullptr;
};

// Tries the backups newest first with `loadBook` (only this book's when its number is
// known). When one loads, a stamped copy of the unreadable data file is kept beside it
// and the user is told. When none does, asks whether to start an empty book (saying when
// no backup of this book could be read): OK renames the file to its stamped name and
// loads the (now missing) data file, a new book.
AutoRestoreResult autoRestore(HWND window, const AutoRestoreSetup& setup,
                              const std::function<bool(const std::string& path)>& loadBook);

// Copies `path` to its stamped name beside it, never over another file; the
// name used, or the empty string when no copy could be made.
std::string keepStampedCopy(const std::string& path);

// Renames `path` to its stamped name beside it, never over another file; the name
// used, or the empty string when it could not be renamed (another program holds it).
std::string moveStampedAside(const std::string& path);

// A file that loaded although bytes follow its last record: a stamped copy is
// kept before anything can overwrite it, and the user is told where (or, when no
// copy could be made, that the next save drops those bytes).
void keepFileWithExtraBytes(HWND owner, const std::string& path);

}  // namespace backup
