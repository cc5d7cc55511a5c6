#include <windows.h>

#include "secure/PasswordDialogs.h"

#include <cstring>

#include "res/resource.h"
#include "secure/SecretBuffer.h"
#include "secure/SecureMessages.h"
#include "ui/Dialog.h"
#include "ui/WideText.h"

namespace passworddialogs {

namespace {

const COLORREF MESSAGE_COLOUR = RGB(255, 0, 0);

struct PasswordData {
    const DataFileHeader* stored = nullptr;  // authentication: the registration to check against
    DataFileHeader* registerInto = nullptr;  // registration: where the new one goes
    pagecrypt::KeyMaterial* key = nullptr;
};

// The first character code page 932 lacks, found in place: no copy of the password is made.
std::wstring firstOutside(const wchar_t* units, int count) {
    for (int i = 0; i < count;) {
        const int n = IS_HIGH_SURROGATE(units[i]) && i + 1 < count ? 2 : 1;
        char bytes[8];
        BOOL lost = FALSE;
        WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, units + i, n, bytes, sizeof bytes, nullptr, &lost);
        if (lost) return std::wstring(units + i, static_cast<std::size_t>(n));
        i += n;
    }
    return L"?";
}

// What an edit holds, in code page 932 as the check value was made from it, wiped when it
// goes out of scope. `fits` is false when a character has no code page 932 form (`outside`
// names it) or the bytes pass the longest password.
struct TypedPassword {
    pagecrypt::SecretBuffer typed{(pagecrypt::MAX_PASSWORD_BYTES + 1) * sizeof(wchar_t)};
    pagecrypt::SecretBuffer buffer{pagecrypt::MAX_PASSWORD_BYTES * 2 + 1};
    std::size_t length = 0;
    bool fits = true;
    std::wstring outside;
    TypedPassword(HWND dialog, int id) {
        wchar_t* units = reinterpret_cast<wchar_t*>(typed.data());
        const int count = GetDlgItemTextW(dialog, id, units, static_cast<int>(pagecrypt::MAX_PASSWORD_BYTES + 1));
        BOOL lost = FALSE;
        const int bytes = count <= 0 ? 0
                                     : WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, units, count, buffer.chars(),
                                                           static_cast<int>(buffer.size() - 1), nullptr, &lost);
        length = bytes > 0 ? static_cast<std::size_t>(bytes) : 0;
        if (lost) outside = firstOutside(units, count);
        fits = !lost && (count <= 0 || bytes > 0) && length <= pagecrypt::MAX_PASSWORD_BYTES;
    }
    const char* bytes() const { return buffer.chars(); }
};

// The message line is painted transparently: the dialog is redrawn so the old text goes.
void showMessage(HWND dialog, const std::wstring& text) {
    SetDlgItemTextW(dialog, IDC_PASSWORD_MESSAGE, text.c_str());
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void showMessage(HWND dialog, const char* text) { showMessage(dialog, wide::from932(text)); }

// A password the book could not keep as typed is refused with the reason.
bool refused(HWND dialog, const TypedPassword& typed) {
    if (typed.fits) return false;
    if (typed.outside.empty())
        showMessage(dialog, securemsg::PASSWORD_TOO_LONG);
    else
        showMessage(dialog, wide::refusalNaming(securemsg::PASSWORD_CHARACTER_FORMAT, typed.outside));
    return true;
}

// Overwrites what the edits hold before the dialog goes, so the typed bytes do not linger there.
void scrubEdits(HWND dialog) {
    const std::wstring cover(pagecrypt::MAX_PASSWORD_BYTES * 4, L'*');
    for (int id : {IDC_PASSWORD, IDC_PASSWORD_AGAIN}) {
        if (!GetDlgItem(dialog, id)) continue;
        SetDlgItemTextW(dialog, id, cover.c_str());
        SetDlgItemTextW(dialog, id, L"");
    }
}

void endDialog(HWND dialog, int code) {
    scrubEdits(dialog);
    EndDialog(dialog, code);
}

void onRegister(HWND dialog, PasswordData& data) {
    const TypedPassword first(dialog, IDC_PASSWORD);
    const TypedPassword second(dialog, IDC_PASSWORD_AGAIN);
    if (refused(dialog, first)) return;
    if (first.length < pagecrypt::MIN_PASSWORD_BYTES) return showMessage(dialog, securemsg::PASSWORD_TOO_SHORT);
    if (std::strcmp(first.bytes(), second.bytes()) != 0) return showMessage(dialog, securemsg::PASSWORDS_DIFFER);
    if (!pagecrypt::registerPassword(*data.registerInto, first.bytes(), first.length, *data.key))
        return showMessage(dialog, securemsg::REGISTER_FAILED);
    endDialog(dialog, PASSWORD_ACCEPTED);
}

void onAuthenticate(HWND dialog, PasswordData& data) {
    const TypedPassword typed(dialog, IDC_PASSWORD);
    if (refused(dialog, typed)) return;
    if (!pagecrypt::checkPassword(*data.stored, typed.bytes(), typed.length, *data.key))
        return showMessage(dialog, securemsg::PASSWORD_WRONG);
    endDialog(dialog, PASSWORD_ACCEPTED);
}

INT_PTR onInit(HWND dialog) {
    for (int id : {IDC_PASSWORD, IDC_PASSWORD_AGAIN})
        SendDlgItemMessageW(dialog, id, EM_LIMITTEXT, pagecrypt::MAX_PASSWORD_BYTES, 0);
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
