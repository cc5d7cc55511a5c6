#include <windows.h>

#include "ui/Dialog.h"

#include "ui/Busy.h"

#include <vector>

namespace ui {

namespace {
// The resources live in the executable itself (the program, and the test exe
// that links the same resource script).
HINSTANCE resources() { return GetModuleHandleA(nullptr); }
}  // namespace

INT_PTR runModal(HWND owner, int templateId, DLGPROC proc, void* data) {
    const busy::Operation operation;  // nothing else starts while the dialog is up
    return DialogBoxParamA(resources(), MAKEINTRESOURCEA(templateId), owner, proc, reinterpret_cast<LPARAM>(data));
}

HWND createModeless(HWND owner, int templateId, DLGPROC proc, void* data) {
    return CreateDialogParamA(resources(), MAKEINTRESOURCEA(templateId), owner, proc, reinterpret_cast<LPARAM>(data));
}

std::string itemText(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    const int length = item ? GetWindowTextLengthA(item) : 0;
    if (length <= 0) return std::string();
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    const int got = GetWindowTextA(item, buffer.data(), length + 1);
    return std::string(buffer.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

void setItemText(HWND dialog, int id, const std::string& text) { SetDlgItemTextA(dialog, id, text.c_str()); }

bool isChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void setChecked(HWND dialog, int id, bool checked) {
    CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

}  // namespace ui
