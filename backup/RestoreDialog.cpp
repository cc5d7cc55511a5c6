#include <windows.h>

#include "backup/RestoreDialog.h"

#include "backup/AutoRestore.h"
#include "backup/BackupMessages.h"
#include "backup/BackupSlots.h"
#include "res/resource.h"
#include "ui/Dialog.h"

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
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
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
        const LRESULT at = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
        if (at >= 0) SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(at), slot);
    }
}

void close(HWND dialog, RestoreData& data) {
    data.hooks->startTimers();
    EndDialog(dialog, data.restored ? IDOK : IDCANCEL);
}

// The chosen line's slot, -1 without a selection.
int selectedSlot(HWND dialog) {
    HWND list = GetDlgItem(dialog, IDC_RESTORE_LIST);
    const LRESULT at = SendMessageA(list, LB_GETCURSEL, 0, 0);
    return at == LB_ERR ? -1 : static_cast<int>(SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(at), 0));
}

// The book from before, just written to the data file, copied over the slot or
// else beside the data file under a stamped name; false when neither holds it.
bool keepBookFromBefore(const RestoreSetup& setup, const std::string& slotPath) {
    return CopyFileA(setup.dataFilePath.c_str(), slotPath.c_str(), FALSE) || !keepStampedCopy(setup.dataFilePath).empty();
}

// As the list has it: the file opens and holds a version block.
bool slotReadable(const std::string& path) {
    unsigned char first[VERSION_BLOCK_SIZE];
    return readFirst32(path, first);
}

void showError(HWND dialog, const std::string& text, const char* caption) {
    MessageBoxA(dialog, text.c_str(), caption, MB_OK | MB_ICONERROR);
}

// Swaps the book in memory with the slot. False keeps the dialog open.
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
    // Without the current book on disk the swap would lose it: stop here.
    if (!data.hooks->saveBook(setup.dataFilePath, SaveKind::BeforeRestore)) {
        showError(dialog, messages::SAVE_FAILED_TEXT, messages::RESTORE_CAPTION);
        return false;
    }
    if (!slotReadable(slotPath) || !data.hooks->loadBook(slotPath)) {
        showError(dialog, messages::LOAD_FAILED_TEXT, messages::LOAD_FAILED_CAPTION);
        return false;
    }
    // The data file holds the book from before only until the next save. When
    // nothing else can keep it, the book from before comes back into the window.
    if (!keepBookFromBefore(setup, slotPath)) {
        data.restored = !data.hooks->loadBook(setup.dataFilePath);
        if (data.restored)
            MessageBoxA(dialog, (messages::NOT_KEPT_TEXT + setup.dataFilePath).c_str(), messages::RESTORED_CAPTION,
                        MB_OK | MB_ICONWARNING);
        else
            showError(dialog, messages::NOT_KEPT_UNDONE_TEXT, messages::RESTORE_STOPPED_CAPTION);
        return data.restored;
    }
    data.restored = true;
    MessageBoxA(dialog, messages::RESTORED_TEXT, messages::RESTORED_CAPTION, MB_OK | MB_ICONINFORMATION);
    return true;
}

void onRestore(HWND dialog, RestoreData& data) {
    if (MessageBoxA(dialog, messages::RESTORE_CONFIRM, messages::RESTORE_CAPTION, MB_OKCANCEL | MB_ICONQUESTION) !=
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

bool runRestoreDialog(HWND owner, const RestoreSetup& setup, const BookHooks& hooks) {
    RestoreData data{&setup, &hooks};
    ui::runModal(owner, IDD_RESTORE, restoreProc, &data);
    return data.restored;
}

}  // namespace backup
