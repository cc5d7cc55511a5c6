#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include "app/MainControls.h"

#include "app/Toolbar.h"
#include "res/resource.h"
#include "ui/Dpi.h"

MainControls gControls;

namespace maincontrols {

namespace {

// A toolbar cannot change the size of its images: a new one takes the old one's place,
// with the always-on-top button as it was.
void renewToolbar(HWND mainWindow, int dpi) {
    HWND old = gControls.toolbar;
    const bool onTop = old && SendMessageW(old, TB_ISBUTTONCHECKED, IDM_ALWAYS_ON_TOP, 0) != 0;
    if (old) DestroyWindow(old);  // its tooltip window goes with it
    const toolbar::Toolbar bar = toolbar::create(mainWindow, dpi);
    gControls.toolbar = bar.window;
    gControls.tooltip = bar.tooltip;
    if (bar.window && onTop) SendMessageW(bar.window, TB_CHECKBUTTON, IDM_ALWAYS_ON_TOP, MAKELONG(TRUE, 0));
}

// The editor measures its fonts by the session's scale: on a monitor of another one its
// text is zoomed by the ratio, and its margins are that monitor's pixels.
void scaleEditor(int dpi) {
    HWND edit = gControls.memo.window();
    if (!edit) return;
    const int system = dpi::ofSystem();
    if (dpi == system)
        SendMessageW(edit, EM_SETZOOM, 0, 0);
    else
        SendMessageW(edit, EM_SETZOOM, dpi, system);
    const LPARAM margins = MAKELONG(dpi::scale(6, dpi), dpi::scale(3, dpi));
    SendMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN, margins);
    SendMessageW(edit, EM_SETMARGINS, EC_RIGHTMARGIN, margins);
}

}  // namespace

int dpi() { return gControls.dpi > 0 ? gControls.dpi : dpi::ofSystem(); }

void followDpi(HWND mainWindow, int dpi, const RECT& suggested) {
    if (dpi <= 0) return;
    gControls.dpi = dpi;
    renewToolbar(mainWindow, dpi);
    gControls.pageList.FollowDpi(dpi);
    scaleEditor(dpi);
    SetWindowPos(mainWindow, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    // the toolbar's height and the gap laid out again, also when the size stayed
    RECT client = {};
    GetClientRect(mainWindow, &client);
    SendMessageW(mainWindow, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
}

}  // namespace maincontrols
