#include <windows.h>

#include "help/UsageWindow.h"

#include "help/HelpMessages.h"
#include "res/resource.h"
#include "settings/Monitors.h"
#include "ui/Dialog.h"

namespace usagewindow {

namespace {

// Lives for the whole run, like the window.
struct UsageData {
    bool visibleAtStart = true;
};
UsageData gUsage;

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
            return TRUE;  // the close box
    }
    return FALSE;
}

}  // namespace

// A saved place that no monitor shows any more (another machine, a monitor gone) is
// fitted onto one, as the main window is; a place that shows the window is kept.
HWND create(int x, int y, bool visibleAtStart) {
    gUsage.visibleAtStart = visibleAtStart;
    HWND window = ui::createModeless(nullptr, IDD_USAGE, usageProc, &gUsage);
    if (!window) return nullptr;
    RECT r = {};
    GetWindowRect(window, &r);
    screenfit::Placement saved;
    saved.x = x;
    saved.y = y;
    saved.width = r.right - r.left;
    saved.height = r.bottom - r.top;
    const screenfit::Placement placed = monitors::keepOnScreen(saved, 0);
    SetWindowPos(window, nullptr, placed.x, placed.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
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
