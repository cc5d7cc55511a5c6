#include <windows.h>

#include "secure/PasswordDialogs.h"

#include <cstring>

#include "res/resource.h"
#include "secure/SecretBuffer.h"
#include "secure/SecureMessages.h"
#include "ui/Dialog.h"

namespace passworddialogs {

namespace {

const COLORREF MESSAGE_COLOUR = RGB(255, 0, 0);

struct PasswordData {
    const DataFileHeader* stored = nullptr;  // authentication: the registration to check against
    DataFileHeader* registerInto = nullptr;  // registration: where the new one goes
    pagecrypt::KeyMaterial* key = nullptr;
};

// What an edit holds, wiped when it goes out of scope.
struct TypedPassword {
    pagecrypt::SecretBuffer buffer{128 + 1};
    std::size_t length = 0;
    TypedPassword(HWND dialog, int id) {
        length = static_cast<std::size_t>(GetDlgItemTextA(dialog, id, buffer.chars(), static_cast<int>(buffer.size())));
    }
    const char* bytes() const { return buffer.chars(); }
};

// The message line is painted transparently: the dialog is redrawn so the old text goes.
void showMessage(HWND dialog, const char* text) {
    SetDlgItemTextA(dialog, IDC_PASSWORD_MESSAGE, text);
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

// Overwrites what the edits hold before the dialog goes, so the typed bytes do not linger there.
void scrubEdits(HWND dialog) {
    const char filler[pagecrypt::MAX_PASSWORD_BYTES * 4 + 1] = {};
    char cover[sizeof filler];
    std::memset(cover, '*', sizeof cover - 1);
    cover[sizeof cover - 1] = '\0';
    for (int id : {IDC_PASSWORD, IDC_PASSWORD_AGAIN}) {
        if (!GetDlgItem(dialog, id)) continue;
        SetDlgItemTextA(dialog, id, cover);
        SetDlgItemTextA(dialog, id, filler);
    }
}

void endDialog(HWND dialog, int code) {
    scrubEdits(dialog);
    EndDialog(dialog, code);
}

void onRegister(HWND dialog, PasswordData& data) {
    const TypedPassword first(dialog, IDC_PASSWORD);
    const TypedPassword second(dialog, IDC_PASSWORD_AGAIN);
    if (first.length < pagecrypt::MIN_PASSWORD_BYTES) return showMessage(dialog, securemsg::PASSWORD_TOO_SHORT);
    if (std::strcmp(first.bytes(), second.bytes()) != 0) return showMessage(dialog, securemsg::PASSWORDS_DIFFER);
    if (!pagecrypt::registerPassword(*data.registerInto, first.bytes(), first.length, *data.key))
        return showMessage(dialog, securemsg::REGISTER_FAILED);
    endDialog(dialog, PASSWORD_ACCEPTED);
}

void onAuthenticate(HWND dialog, PasswordData& data) {
    const TypedPassword typed(dialog, IDC_PASSWORD);
    if (!pagecrypt::checkPassword(*data.stored, typed.bytes(), typed.length, *data.key))
        return showMessage(dialog, securemsg::PASSWORD_WRONG);
    endDialog(dialog, PASSWORD_ACCEPTED);
}

INT_PTR onInit(HWND dialog) {
    for (int id : {IDC_PASSWORD, IDC_PASSWORD_AGAIN})
        SendDlgItemMessageA(dialog, id, EM_LIMITTEXT, pagecrypt::MAX_PASSWORD_BYTES, 0);
    return TRUE;  // the focus goes to the first edit
}

INT_PTR onCommand(HWND dialog, PasswordData& data, int id) {
    switch (id) {
        case IDC_PASSWORD_OK:
            if (data.registerInto)
                onRegister(dialog, data);
            else
                onAuthenticate(dialog, data);
            return TRUE;
        case IDC_PASSWORD_CANCEL:
        case IDCANCEL:
            endDialog(dialog, id);
            return TRUE;
    }
    return FALSE;
}

// Red text on whatever is behind the message line.
INT_PTR onStaticColour(HDC dc, HWND control) {
    if (GetDlgCtrlID(control) != IDC_PASSWORD_MESSAGE) return FALSE;
    SetTextColor(dc, MESSAGE_COLOUR);
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
}

INT_PTR CALLBACK passwordProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    PasswordData* data = ui::dialogData<PasswordData>(dialog, message, lParam);
    switch (message) {
        case WM_INITDIALOG:
            return onInit(dialog);
        case WM_COMMAND:
            return data ? onCommand(dialog, *data, LOWORD(wParam)) : FALSE;
        case WM_CTLCOLORSTATIC:
            return onStaticColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    }
    return FALSE;
}

int run(HWND owner, int templateId, PasswordData& data) {
    const INT_PTR code = ui::runModal(owner, templateId, passwordProc, &data);
    return code == -1 ? IDC_PASSWORD_CANCEL : static_cast<int>(code);
}

}  // namespace

int runRegistrationDialog(HWND owner, DataFileHeader& header, pagecrypt::KeyMaterial& key) {
    PasswordData data;
    data.registerInto = &header;
    data.key = &key;
    return run(owner, IDD_PASSWORD_REGISTER, data);
}

int runAuthenticationDialog(HWND owner, const DataFileHeader& header, pagecrypt::KeyMaterial& key) {
    PasswordData data;
    data.stored = &header;
    data.key = &key;
    return run(owner, IDD_PASSWORD_CHECK, data);
}

}  // namespace passworddialogs
