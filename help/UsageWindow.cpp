#include <windows.h>

#include "help/UsageWindow.h"

#include <algorithm>
#include <cstring>

#include "help/HelpMessages.h"
#include "res/resource.h"
#include "settings/Monitors.h"
#include "ui/Dialog.h"
#include "ui/WideText.h"

namespace usagewindow {

namespace {

// Lives for the whole run, like the window.
struct UsageData {
    bool visibleAtStart = true;
};
UsageData gUsage;

constexpr UINT WM_APP_REFIT = WM_APP + 1;

struct Page {
    int button;
    const char* text;
};

const Page PAGES[] = {
    {IDC_USAGE_EASY, help::USAGE_EASY_TEXT},
    {IDC_USAGE_BASIC, help::USAGE_BASIC_TEXT},
    {IDC_USAGE_MORE, help::USAGE_MORE_TEXT},
};

void showPage(HWND dialog, int button) {
    for (const Page& page : PAGES)
        if (page.button == button) ui::setItemText(dialog, IDC_USAGE_TEXT, page.text);
}

int widestLine(HDC dc, const char* text) {
    int widest = 0;
    for (const char* line = text; *line;) {
        const char* end = std::strstr(line, "\r\n");
        const int length = static_cast<int>(end ? end - line : std::strlen(line));
        SIZE size{};
        const std::wstring wideLine = wide::from932(std::string(line, static_cast<size_t>(length)));
        GetTextExtentPoint32W(dc, wideLine.c_str(), static_cast<int>(wideLine.size()), &size);
        widest = std::max<int>(widest, size.cx);
        line += length + (end ? 2 : 0);
    }
    return widest;
}

// The box is as wide as the texts' longest line in its own font: the template's dialog units
// follow the font's average width, which at some display scales leaves a line a few pixels short.
// The box, the window and the close button at its right move by what is missing.
void fitTextBox(HWND dialog) {
    HWND box = GetDlgItem(dialog, IDC_USAGE_TEXT);
    HDC dc = box ? GetDC(box) : nullptr;
    if (!dc) return;
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(box, WM_GETFONT, 0, 0)));
    int widest = 0;
    for (const Page& page : PAGES) widest = std::max(widest, widestLine(dc, page.text));
    SelectObject(dc, oldFont);
    ReleaseDC(box, dc);
    RECT format{};
    SendMessageW(box, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    const int missing = widest - (format.right - format.left);
    if (missing <= 0) return;
    auto widen = [missing](HWND window) {
        RECT r{};
        GetWindowRect(window, &r);
        SetWindowPos(window, nullptr, 0, 0, r.right - r.left + missing, r.bottom - r.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    };
    widen(box);
    widen(dialog);
    HWND close = GetDlgItem(dialog, IDC_USAGE_CLOSE);
    RECT r{};
    GetWindowRect(close, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    SetWindowPos(close, nullptr, r.left + missing, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL onInit(HWND dialog, const UsageData& data) {
    ui::setChecked(dialog, IDC_HOWTO_DONT_SHOW, !data.visibleAtStart);
    showPage(dialog, IDC_USAGE_EASY);
    return TRUE;
}

// The window is only hidden: it keeps its check box and place until the exit reads them.
BOOL onCommand(HWND dialog, int id) {
    switch (id) {
        case IDC_USAGE_EASY:
        case IDC_USAGE_BASIC:
        case IDC_USAGE_MORE:
            showPage(dialog, id);
            return TRUE;
        case IDC_USAGE_CLOSE:
        case IDCANCEL:  // Esc
            ShowWindow(dialog, SW_HIDE);
            return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK usageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    UsageData* data = ui::dialogData<UsageData>(dialog, message, lParam);
    switch (message) {
        case WM_INITDIALOG:
            return onInit(dialog, *data);
        case WM_COMMAND:
            return onCommand(dialog, LOWORD(wParam));
        case WM_CLOSE:
            ShowWindow(dialog, SW_HIDE);
            return TRUE;     // the close box
        case WM_DPICHANGED:  // the dialog manager scales the window; the box is fitted after it
            PostMessageW(dialog, WM_APP_REFIT, 0, 0);
            return FALSE;
        case WM_APP_REFIT:
            fitTextBox(dialog);
            return TRUE;
    }
    return FALSE;
}

}  // namespace

HWND create(int x, int y, bool visibleAtStart) {
    gUsage.visibleAtStart = visibleAtStart;
    HWND window = ui::createModeless(nullptr, IDD_USAGE, usageProc, &gUsage);
    if (!window) return nullptr;
    fitTextBox(window);
    monitors::placeToolWindow(window, x, y);
    return window;
}

void show(HWND window, bool activate) {
    if (!window) return;
    ShowWindow(window, activate ? SW_SHOW : SW_SHOWNOACTIVATE);
    // already shown behind the main window, it still has to come to the front
    if (activate) SetForegroundWindow(window);
}

bool visibleNextTime(HWND window) { return !ui::isChecked(window, IDC_HOWTO_DONT_SHOW); }

}  // namespace usagewindow
