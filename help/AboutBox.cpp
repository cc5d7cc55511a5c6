#include <windows.h>

#include "help/AboutBox.h"

#include "help/HelpMessages.h"
#include "res/resource.h"
#include "ui/Dialog.h"
#include "ui/WideText.h"

namespace aboutbox {

namespace {

struct AboutData {
    HFONT large = nullptr;  // 14 units: the product name
    HFONT small = nullptr;  // 12 units: the version and the notice
};

HFONT createAboutFont(int height) {
    return CreateFontW(height, 0, 0, 0, 600, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN,
                       wide::from932(help::ABOUT_FONT_FACE).c_str());
}

void setFont(HWND control, HFONT font) {
    if (control && font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

void loadInto(HWND control, UINT stringId) {
    if (control) wide::setWindowText(control, wide::loadString(stringId));
}

BOOL onInit(HWND dialog, AboutData& data) {
    data.large = createAboutFont(14);
    data.small = createAboutFont(12);
    HWND notice = noticeStatic(dialog);
    setFont(GetDlgItem(dialog, IDC_ABOUT_NAME), data.large);
    setFont(GetDlgItem(dialog, IDC_ABOUT_VERSION), data.small);
    setFont(notice, data.small);
    loadInto(GetDlgItem(dialog, IDC_ABOUT_NAME), IDS_APP_TITLE);
    loadInto(GetDlgItem(dialog, IDC_ABOUT_VERSION), IDS_APP_VERSION);
    loadInto(notice, IDS_ABOUT_NOTICE);
    loadInto(GetDlgItem(dialog, IDC_ABOUT_DESCRIPTION), IDS_ABOUT_DESCRIPTION);
    return TRUE;
}

// The fonts go with the window, however it closes.
void deleteFonts(AboutData& data) {
    if (data.large) DeleteObject(data.large);
    if (data.small) DeleteObject(data.small);
    data.large = data.small = nullptr;
}

INT_PTR CALLBACK aboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    AboutData* data = ui::dialogData<AboutData>(dialog, message, lParam);
    switch (message) {
        case WM_INITDIALOG:
            return onInit(dialog, *data);
        case WM_COMMAND:
            if (LOWORD(wParam) != IDC_ABOUT_OK && LOWORD(wParam) != IDCANCEL) return FALSE;
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        case WM_DESTROY:
            if (data) deleteFonts(*data);
            return FALSE;
    }
    return FALSE;
}

}  // namespace

HWND noticeStatic(HWND dialog) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const bool unnumbered = (GetDlgCtrlID(child) & 0xFFFF) == 0xFFFF;
        const bool icon = (GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
        if (unnumbered && !icon) return child;
    }
    return nullptr;
}

void runAboutBox(HWND owner) {
    AboutData data;
    ui::runModal(owner, IDD_ABOUT, aboutProc, &data);
}

}  // namespace aboutbox
