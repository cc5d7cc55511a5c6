#include <windows.h>

#include "ui/Dialog.h"

#include "ui/Busy.h"
#include "ui/WideText.h"

#include <vector>

namespace ui {

namespace {
// The resources live in the executable itself (the program, and the test exe
// that links the same resource script).
HINSTANCE resources() { return GetModuleHandleW(nullptr); }
}  // namespace

INT_PTR runModal(HWND owner, int templateId, DLGPROC proc, void* data) {
    const busy::Operation operation;  // nothing else starts while the dialog is up
    return DialogBoxParamW(resources(), MAKEINTRESOURCEW(templateId), owner, proc, reinterpret_cast<LPARAM>(data));
}

HWND createModeless(HWND owner, int templateId, DLGPROC proc, void* data) {
    return CreateDialogParamW(resources(), MAKEINTRESOURCEW(templateId), owner, proc, reinterpret_cast<LPARAM>(data));
}

std::string itemText(HWND dialog, int id) { return wide::to932(itemTextWide(dialog, id)); }

std::wstring itemTextWide(HWND dialog, int id) { return wide::windowText(GetDlgItem(dialog, id)); }

void setItemText(HWND dialog, int id, const std::string& text) { wide::setWindowText(GetDlgItem(dialog, id), text); }

bool isChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void setChecked(HWND dialog, int id, bool checked) {
    CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

}  // namespace ui
