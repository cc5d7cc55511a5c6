#include <windows.h>

#include "backup/AutoRestore.h"

#include "backup/BackupMessages.h"
#include "backup/BackupSlots.h"
#include "editor/DateStamp.h"
#include "store/AtomicFile.h"
#include "store/DataFile.h"
#include "ui/WideText.h"

namespace backup {

namespace {

std::string nowStamp() { return datestamp::CurrentDateStamp(datestamp::DATE_FORMAT_FILE_STAMP); }

// Renames the unreadable file aside; it is never deleted, so it can be salvaged later.
bool moveAside(const std::string& path) { return !moveStampedAside(path).empty(); }

// The data file cannot be kept aside (another program holds it): the user is
// told, and the program ends without writing.
AutoRestoreResult refusedBusy(HWND window, const AutoRestoreSetup& setup) {
    const std::string busy = messages::DATA_FILE_BUSY_TEXT + setup.dataFilePath;
    wide::messageBox(window, busy.c_str(), messages::START_EMPTY_CAPTION, MB_OK | MB_ICONWARNING);
    return AutoRestoreResult::Refused;
}

// A slot worth loading: any, or one that shows the wanted book's number. A slot that shows
// another number is counted, so the question can say why it was passed over.
bool slotOfBook(const std::string& slot, std::int32_t bookNumber, bool& otherBook) {
    if (bookNumber < 0) return true;
    unsigned char first[VERSION_BLOCK_SIZE];
    if (!readFirst32(slot, first) || detectDataBytes(first, sizeof first) != DATA_FILE_CURRENT) return false;
    if (decodeVersionBlock(first).bookNumber == bookNumber) return true;
    otherBook = true;
    return false;
}

// The slot was read whole; and it is the wanted book's (the slot may have changed since it was looked at).
bool loadedBookOf(const AutoRestoreSetup& setup) {
    return setup.bookNumber < 0 || !setup.loadedBookNumber || setup.loadedBookNumber() == setup.bookNumber;
}

}  // namespace

std::string keepStampedCopy(const std::string& path) {
    return placeStamped(path, nowStamp(), [&](const std::string& target) {
        return copyFileTo(path, target);  // never over an existing file
    });
}

std::string moveStampedAside(const std::string& path) { return moveStampedBeside(path, path); }

std::string moveStampedBeside(const std::string& file, const std::string& path) {
    return placeStamped(path, nowStamp(), [&](const std::string& target) {
        return moveFileTo(file, target);  // fails when the target exists
    });
}

AutoRestoreResult autoRestore(HWND window, const AutoRestoreSetup& setup,
                              const std::function<bool(const std::string& path)>& loadBook) {
    bool otherBook = false;
    for (int slot : newestSlotsFirst(setup.slotPaths, setup.backupFileSize, systemFileTimes())) {
        const std::string& path = setup.slotPaths[static_cast<size_t>(slot)];
        if (!slotOfBook(path, setup.bookNumber, otherBook) || !loadBook(path) || !loadedBookOf(setup)) continue;
        // Without a copy aside the next save would replace the only copy of the book.
        if (keepStampedCopy(setup.dataFilePath).empty()) return refusedBusy(window, setup);
        const std::string text =
            std::string(messages::AUTO_RESTORED_TEXT) + messages::AUTO_RESTORED_FILE + setup.dataFilePath;
        wide::messageBox(window, text.c_str(), messages::AUTO_RESTORED_CAPTION, MB_OK | MB_ICONINFORMATION);
        return AutoRestoreResult::BackupLoaded;
    }
    const std::string question =
        setup.dataFilePath + (!otherBook ? messages::START_EMPTY_QUESTION : messages::NO_OWN_BACKUP_QUESTION);
    if (wide::messageBox(window, question.c_str(), messages::START_EMPTY_CAPTION, MB_OKCANCEL | MB_ICONINFORMATION) != IDOK)
        return AutoRestoreResult::Refused;
    // A file that cannot be moved aside would be overwritten by the new book: end instead.
    if (!moveAside(setup.dataFilePath)) return refusedBusy(window, setup);
    if (!loadBook(setup.dataFilePath)) return AutoRestoreResult::Refused;
    return AutoRestoreResult::NewBook;
}

void keepFileWithExtraBytes(HWND owner, const std::string& path) {
    const std::string kept = keepStampedCopy(path);
    if (kept.empty()) {
        const std::string text = messages::EXTRA_BYTES_NOT_KEPT_TEXT + path;
        wide::messageBox(owner, text.c_str(), messages::EXTRA_BYTES_CAPTION, MB_OK | MB_ICONWARNING);
        return;
    }
    const std::string text = messages::EXTRA_BYTES_TEXT + kept;
    wide::messageBox(owner, text.c_str(), messages::EXTRA_BYTES_CAPTION, MB_OK | MB_ICONINFORMATION);
}

}  // namespace backup
