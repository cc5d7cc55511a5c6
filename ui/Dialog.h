// The one pattern for this program's own dialogs and tool windows.
//
// A dialog is a small Data struct, one static dialog procedure and one public
// function. The public function fills the struct, runs the template and returns
// the result; the procedure gets the struct back from the window on every
// message (it is kept in DWLP_USER from WM_INITDIALOG on):
//
//     struct RestoreData { std::vector<Line> lines; bool restored = false; };
//
//     INT_PTR CALLBACK restoreProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
//         RestoreData* data = ui::dialogData<RestoreData>(dialog, message, lParam);
//         switch (message) {
//         case WM_INITDIALOG: return onInit(dialog, *data);
//         case WM_COMMAND:    return onCommand(dialog, *data, LOWORD(wParam));
//         }
//         return FALSE;
//     }
//
//     bool runRestoreDialog(HWND owner) {
//         RestoreData data;
//         ui::runModal(owner, IDD_RESTORE, restoreProc, &data);
//         return data.restored;
//     }
//
// A modeless tool window is the same with ui::createModeless and a static Data
// that lives for the whole run, plus show/hide functions of its own.
#pragma once
#include <windows.h>

#include <string>

namespace ui {

// The data pointer of a dialog made by runModal/createModeless: stored on
// WM_INITDIALOG, read back on every later message; null before WM_INITDIALOG
// (WM_SETFONT comes first).
template <class Data>
Data* dialogData(HWND dialog, UINT message, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    return reinterpret_cast<Data*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

// Runs dialog template `templateId` of the program's resources modally, as an
// operation (ui/Busy.h); the value given to EndDialog, or -1 when the template
// could not be created.
INT_PTR runModal(HWND owner, int templateId, DLGPROC proc, void* data);

// Creates dialog template `templateId` as a modeless window, hidden unless the
// template says WS_VISIBLE; null on failure.
HWND createModeless(HWND owner, int templateId, DLGPROC proc, void* data);

// Small control helpers the dialogs share (code page 932 text: a character it
// lacks reads as '?'; itemTextWide gives every character, for a check first).
std::string itemText(HWND dialog, int id);
std::wstring itemTextWide(HWND dialog, int id);
void setItemText(HWND dialog, int id, const std::string& text);
bool isChecked(HWND dialog, int id);
void setChecked(HWND dialog, int id, bool checked);

}  // namespace ui
