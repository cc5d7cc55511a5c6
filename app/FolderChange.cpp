#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "app/FolderChange.h"

#include "app/AppMessages.h"
#include "app/AppState.h"
#include "app/DataFileWatch.h"
#include "app/Book.h"
#include "app/DataFileGuard.h"
#include "app/InstanceKey.h"
#include "app/Lifecycle.h"
#include "app/OpenMarker.h"
#include "backup/AutoRestore.h"
#include "store/DataFile.h"
#include "store/FileFaultText.h"
#include "store/FileReader.h"
#include "store/FolderIdentity.h"
#include "ui/WideText.h"

namespace folderchange {

namespace {

void tell(HWND window, const std::string& text) {
    wide::messageBox(window, text.c_str(), appmessages::FOLDER_CHANGED_CAPTION, MB_OK | MB_ICONINFORMATION);
}

// Nothing is lost: the book goes on being saved where it was.
void keepDataFolder(HWND window, const paths::AppPaths& before, const std::string& beforeDataFolder,
                    const std::string& text) {
    gApp.ini.setting.QpdDirPath = beforeDataFolder;
    gApp.paths = before;
    tell(window, text);
}

// A data file of this very book (its book number), a copy of it or another version.
bool sameBook(const std::string& path) {
    unsigned char first[VERSION_BLOCK_SIZE];
    return readFirst32(path, first) && detectDataBytes(first, sizeof first) == DATA_FILE_CURRENT &&
           decodeVersionBlock(first).bookNumber == gBook.bookNumber;
}

bool sameBytes(const std::string& a, const std::string& b) {
    FileReader left, right;
    if (left.open(a) != FileOpenResult::Opened || right.open(b) != FileOpenResult::Opened) return false;
    if (left.size() != right.size()) return false;
    std::vector<char> x(1 << 16), y(1 << 16);
    while (left.remaining() > 0) {
        const std::size_t n = std::min(x.size(), left.remaining());
        if (!left.bytes(x.data(), n) || !right.bytes(y.data(), n) || std::memcmp(x.data(), y.data(), n) != 0) return false;
    }
    return true;
}

// A data file that is not this run's own book: the next save would replace it. A folder out
// of reach may hold one too, so the data folder does not move there.
void keepOtherBook(HWND window, const paths::AppPaths& before, const std::string& beforeDataFolder) {
    const std::string& path = gApp.paths.dataFilePath;
    if (fileidentity::sameFile(path, before.dataFilePath)) return;
    FileReader probe;
    const FileOpenResult opened = probe.open(path);
    if (opened == FileOpenResult::Missing) return;
    const std::string folder = path.substr(0, path.find_last_of('\\'));
    if (opened == FileOpenResult::Unreadable && probe.fault() != FileFault::InUse)
        return keepDataFolder(window, before, beforeDataFolder,
                              appmessages::FOLDER_UNREACHABLE_TEXT + folder + "\n\n" + fileFaultText(probe.fault()));
    probe.close();
    if (lifecycle::wroteThisRun(path)) return;
    if (sameBook(path)) {
        // this book as it was copied there, or another version of it: the window's book replaces
        // it, a version that differs from the file this run left is kept beside it first
        if (sameBytes(path, before.dataFilePath)) return;
        const std::string copy = datafileguard::copyAside(path);
        if (!copy.empty()) return tell(window, appmessages::OTHER_VERSION_MOVED_TEXT + copy);
        return keepDataFolder(window, before, beforeDataFolder, appmessages::OTHER_BOOK_BUSY_TEXT + path);
    }
    const std::string kept = backup::moveStampedAside(path);
    if (!kept.empty()) {
        tell(window, appmessages::OTHER_BOOK_KEPT_TEXT + kept);
        return;
    }
    keepDataFolder(window, before, beforeDataFolder, appmessages::OTHER_BOOK_BUSY_TEXT + path);
}

bool holdsOtherBooksSlot(const std::vector<std::string>& slotPaths) {
    for (const std::string& slot : slotPaths) {
        unsigned char first[VERSION_BLOCK_SIZE];
        if (!readFirst32(slot, first)) continue;
        const VersionBlock version = decodeVersionBlock(first);
        if (detectDataBytes(first, sizeof first) == DATA_FILE_CURRENT && version.bookNumber != gBook.bookNumber)
            return true;
    }
    return false;
}

}  // namespace

void afterSettings(HWND window, const paths::AppPaths& before, const std::string& beforeDataFolder) {
    keepOtherBook(window, before, beforeDataFolder);
    if (!lifecycle::keepChosenSettings(window, before.dataFilePath)) {
        keepDataFolder(window, before, beforeDataFolder, appmessages::FOLDER_UNWRITABLE_TEXT + gApp.paths.dataFilePath);
        lifecycle::keepChosenSettings(window, before.dataFilePath);  // the other choices stand
    }
    if (!fileidentity::sameFolder(gApp.paths.backupFolder, before.backupFolder) &&
        holdsOtherBooksSlot(gApp.paths.backupSlotPaths))
        tell(window, appmessages::OTHER_BACKUPS_TEXT + gApp.paths.backupFolder);
    // one window per book: a second start that reads the new settings finds this one
    const std::string key = instancekey::forBook(gApp.paths.dataFilePath);
    instancekey::follow(window, before.instanceKey, key);
    gApp.paths.instanceKey = key;
    datafilewatch::watch(window, gApp.paths.dataFilePath, lifecycle::lookAtDataFile);
    openmarker::follow(gApp.paths.dataFilePath);
}

}  // namespace folderchange
