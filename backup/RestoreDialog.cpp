#include <windows.h>

#include "backup/RestoreDialog.h"

#include "backup/AutoRestore.h"
#include "backup/BackupMessages.h"
#include "backup/BackupSlots.h"
#include "res/resource.h"
#include "store/AtomicFile.h"
#include "ui/Busy.h"
#include "ui/Dialog.h"
#include "ui/WideText.h"

namespace backup {

namespace {

struct RestoreData {
    const RestoreSetup* setup;
    const BookHooks* hooks;
    bool restored = false;
};

// One line per readable slot; the line's item data is its slot number.
void fillList(HWND dialog, const RestoreData& data) {
    HWND list = GetDlgItem(dialog, IDC_RESTORE_LIST);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    const RestoreSetup& setup = *data.setup;
    const int inUse = setup.slotPaths.empty() ? 0 : slotsInUse(setup.backupFileSize, setup.slotPaths.size());
    for (int slot = 0; slot < inUse; ++slot) {
        const std::string& path = setup.slotPaths[static_cast<size_t>(slot)];
        unsigned char first[VERSION_BLOCK_SIZE];
        StampTime time;
        if (!readFirst32(path, first) || !systemFileTimes().localWriteTime(path, time)) continue;
        const VersionBlock version = decodeVersionBlock(first);
        const std::string line =
            restoreLine(time, fileNameOf(path), version.saveKind, version.bookNumber != setup.bookNumber);
        const LRESULT at = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide::from932(line).c_str()));
        if (at >= 0) SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(at), slot);
    }
}

void close(HWND dialog, RestoreData& data) {
    data.hooks->startTimers();
    EndDialog(dialog, data.restored ? IDOK : IDCANCEL);
}

// The chosen line's slot, -1 without a selection.
int selectedSlot(HWND dialog) {
    HWND list = GetDlgItem(dialog, IDC_RESTORE_LIST);
    const LRESULT at = SendMessageW(list, LB_GETCURSEL, 0, 0);
    return at == LB_ERR ? -1 : static_cast<int>(SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(at), 0));
}

// As the list has it: the file opens and holds a version block.
bool slotReadable(const std::string& path) {
    unsigned char first[VERSION_BLOCK_SIZE];
    return readFirst32(path, first);
}

void showError(HWND dialog, const std::string& text, const char* caption) {
    wide::messageBox(dialog, text.c_str(), caption, MB_OK | MB_ICONERROR);
}

// The book from before, waiting beside the slot, takes the slot's place; when
// it cannot, it takes a stamped name beside the data file. False when it stays
// where it waits (the next start puts it in the slot).
bool putBookFromBefore(const RestoreSetup& setup, const std::string& slotPath) {
    const std::string waiting = bookFromBeforePath(slotPath);
    return replaceFile(waiting, slotPath) || !moveStampedBeside(waiting, setup.dataFilePath).empty();
}

// The book from before stays where it waits, named to the user.
void warnNotKept(HWND dialog, const std::string& waiting) {
    wide::messageBox(dialog, (messages::NOT_KEPT_TEXT + waiting).c_str(), messages::RESTORED_CAPTION,
                MB_OK | MB_ICONWARNING);
}

// The restored book did not reach the data file: the book from before, still
// there, comes back into the window. False when even that failed.
bool takeBack(HWND dialog, RestoreData& data, const std::string& slotPath) {
    const RestoreSetup& setup = *data.setup;
    if (!data.hooks->loadBook(setup.dataFilePath)) return false;
    removeFile(bookFromBeforePath(slotPath));
    showError(dialog, messages::NOT_WRITTEN_UNDONE_TEXT, messages::RESTORE_STOPPED_CAPTION);
    return true;
}

// Swaps the book in memory with the slot, so that both books are in files the
// dialog or the next start shows at every instant: the book from before goes to
// the data file and beside the slot, the slot is loaded, the restored book goes
// to the data file, and only then does the book from before replace the slot.
// False keeps the dialog open.
bool restoreSlot(HWND dialog, RestoreData& data, int slot) {
    const RestoreSetup& setup = *data.setup;
    const std::string& slotPath = setup.slotPaths[static_cast<size_t>(slot)];
    // A slot gone since the list was made would load as a new, empty book: touch nothing.
    if (!slotReadable(slotPath)) {
        showError(dialog, messages::SLOT_GONE_TEXT + slotPath, messages::LOAD_FAILED_CAPTION);
        fillList(dialog, data);
        return false;
    }
    data.hooks->storeShownPage();
    const std::string waiting = bookFromBeforePath(slotPath);
    // Without the current book on disk twice the swap could lose it: stop here.
    if (!data.hooks->saveBook(setup.dataFilePath, SaveKind::BeforeRestore) ||
        !data.hooks->saveBook(waiting, SaveKind::BeforeRestore)) {
        removeFile(waiting);
        showError(dialog, messages::SAVE_FAILED_TEXT, messages::RESTORE_CAPTION);
        return false;
    }
    busy::Unsettled unsettled;  // from here the window's book is not one for the data file
    if (!slotReadable(slotPath) || !data.hooks->loadBook(slotPath)) {
        removeFile(waiting);
        showError(dialog, messages::LOAD_FAILED_TEXT, messages::LOAD_FAILED_CAPTION);
        return false;
    }
    if (!data.hooks->saveBook(setup.dataFilePath, SaveKind::ExitData)) {
        if (takeBack(dialog, data, slotPath)) return false;  // as after a failed load
        data.restored = true;
        warnNotKept(dialog, waiting);
        return true;
    }
    data.restored = true;
    if (!putBookFromBefore(setup, slotPath)) {
        warnNotKept(dialog, waiting);
        return true;
    }
    recordSlotWritten(setup.slotPaths, slot);  // the book from before is the newest backup now
    wide::messageBox(dialog, messages::RESTORED_TEXT, messages::RESTORED_CAPTION, MB_OK | MB_ICONINFORMATION);
    return true;
}

void onRestore(HWND dialog, RestoreData& data) {
    if (wide::messageBox(dialog, messages::RESTORE_CONFIRM, messages::RESTORE_CAPTION, MB_OKCANCEL | MB_ICONQUESTION) !=
        IDOK) {
        close(dialog, data);
        return;
    }
    const int slot = selectedSlot(dialog);
    if (slot < 0 || slot >= static_cast<int>(data.setup->slotPaths.size()) || restoreSlot(dialog, data, slot))
        close(dialog, data);
}

INT_PTR CALLBACK restoreProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    RestoreData* data = ui::dialogData<RestoreData>(dialog, message, lParam);
    switch (message) {
        case WM_INITDIALOG:
            data->hooks->stopTimers();
            finishCutRestores(data->setup->slotPaths, data->setup->dataFilePath);
            fillList(dialog, *data);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK)
                onRestore(dialog, *data);
            else if (LOWORD(wParam) == IDCANCEL)
                close(dialog, *data);
            else
                return FALSE;
            return TRUE;
    }
    return FALSE;
}

}  // namespace

std::string bookFromBeforePath(const std::string& slotPath) { return slotPath + "~before"; }

void finishCutRestores(const std::vector<std::string>& slotPaths, const std::string& dataFilePath) {
    unsigned char first[VERSION_BLOCK_SIZE];
    // the data file read, and not the book from before: it holds the restored book
    const bool restoredInDataFile = readFirst32(dataFilePath, first) &&
                                    decodeVersionBlock(first).saveKind != static_cast<int>(SaveKind::BeforeRestore);
    for (const std::string& slotPath : slotPaths) {
        const std::string waiting = bookFromBeforePath(slotPath);
        if (GetFileAttributesW(wide::from932(waiting).c_str()) == INVALID_FILE_ATTRIBUTES) continue;
        if (restoredInDataFile)
            replaceFile(waiting, slotPath);
        else if (readFirst32(dataFilePath, first))
            removeFile(waiting);  // the data file holds the book from before
    }
}

bool runRestoreDialog(HWND owner, const RestoreSetup& setup, const BookHooks& hooks) {
    RestoreData data{&setup, &hooks};
    const busy::SlotsInUse slots;
    ui::runModal(owner, IDD_RESTORE, restoreProc, &data);
    return data.restored;
}

}  // namespace backup
