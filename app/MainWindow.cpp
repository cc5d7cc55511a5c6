#include <windows.h>

#include "app/MainWindow.h"

#include "app/AppMessages.h"
#include "app/AppState.h"
#include "app/Book.h"
#include "app/Commands.h"
#include "app/DataFileWatch.h"
#include "app/Lifecycle.h"
#include "app/MainControls.h"
#include "app/MainFrame.h"
#include "app/PageDisplay.h"
#include "app/SettingsIo.h"
#include "res/resource.h"
#include "ui/WideText.h"
#include "settings/ColourScheme.h"
#include "ui/Busy.h"

namespace mainwindow {

namespace {

bool gCloseWaits = false;  // a close from outside waits for the operation in progress
bool gEndBlocked = false;  // Windows was told why the session may not end yet

LRESULT onCreate(HWND window) {
    gApp.mainWindow = window;
    gBook = Book();
    lifecycle::reset();
    mainframe::createChildren(window);
    if (!lifecycle::openFirstBook(window)) return 0;
    mainframe::finishCreation(window);
    // other instances find this window by the property
    SetPropW(window, wide::from932(gApp.paths.instanceKey).c_str(), reinterpret_cast<HANDLE>(1));
    return 0;
}

// The close box, the exit command, or the session ending: save and release everything once.
LRESULT onDestroy(HWND window, bool sessionEnding) {
    lifecycle::shutdown(window, sessionEnding);
    gApp.mainWindow = nullptr;
    return 0;
}

// A close from outside (End Task) inside an operation waits until it is over.
LRESULT onClose(HWND window) {
    if (!busy::inProgress()) {
        DestroyWindow(window);
    } else if (!gCloseWaits) {
        gCloseWaits = true;
        busy::whenIdle([window] {
            gCloseWaits = false;
            PostMessageW(window, WM_CLOSE, 0, 0);
        });
    }
    return 0;
}

// The session may end only between operations; meanwhile Windows shows why it waits.
LRESULT onQueryEndSession(HWND window) {
    if (lifecycle::exitRetryUp()) {
        // taken back once the box is answered: the window is gone by then
        ShutdownBlockReasonCreate(window, appmessages::EXIT_SAVE_WAITS_REASON);
        return FALSE;
    }
    if (!busy::inProgress()) return TRUE;
    if (!gEndBlocked && ShutdownBlockReasonCreate(window, appmessages::SESSION_WAITS_REASON)) {
        gEndBlocked = true;
        busy::whenIdle([window] {
            gEndBlocked = false;
            ShutdownBlockReasonDestroy(window);
        });
    }
    return FALSE;
}

LRESULT onPaint(HWND window) {
    PAINTSTRUCT ps;
    BeginPaint(window, &ps);
    EndPaint(window, &ps);
    return 0;
}

LRESULT onCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (HIWORD(wParam) == EN_CHANGE && lParam != 0 && reinterpret_cast<HWND>(lParam) == gControls.memo.window()) {
        pagedisplay::markChanged();
        return 0;
    }
    if (commands::handleCommand(window, LOWORD(wParam), lParam)) return 0;
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

bool registerClass(HINSTANCE instance) {
    const std::wstring className = wide::from932(wide::loadString(IDS_CLASS_NAME));
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APP));
    wc.hIconSm = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APP_SMALL));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = colourscheme::brushOf(0);  // the book's own colour comes with the load
    wc.lpszMenuName = MAKEINTRESOURCEW(IDM_MAIN);
    wc.lpszClassName = className.c_str();
    return RegisterClassExW(&wc) != 0;
}

HWND create(HINSTANCE instance, int showCommand) {
    const std::wstring className = wide::from932(wide::loadString(IDS_CLASS_NAME));
    const RECT r = settingsio::savedMainWindowRect();
    // clipping the children keeps the panes from flickering while the window is resized
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    HWND window = CreateWindowExW(0, className.c_str(), wide::from932(gApp.title).c_str(), style, r.left, r.top, r.right - r.left,
                                  r.bottom - r.top, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return nullptr;

    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    GetWindowPlacement(window, &placement);
    placement.rcNormalPosition = r;
    placement.showCmd = SW_HIDE;
    SetWindowPlacement(window, &placement);
    ShowWindow(window, settingsio::firstShowCommand(showCommand));
    UpdateWindow(window);
    return window;
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return onCreate(window);
        case WM_CLOSE:
            return onClose(window);
        case WM_QUERYENDSESSION:
            return onQueryEndSession(window);
        case WM_DESTROY:
            return onDestroy(window, false);
        case WM_ENDSESSION:
            if (wParam) lifecycle::sessionForcedDuringExitRetry();
            return wParam ? onDestroy(window, true) : 0;
        case WM_SIZE:
            return mainframe::onSize(window, wParam, lParam);
        case WM_SETFOCUS:
            return mainframe::onSetFocus(window);
        case WM_PAINT:
            return onPaint(window);
        case WM_GETMINMAXINFO:
            return mainframe::onGetMinMaxInfo(lParam);
        case WM_NOTIFY:
            return mainframe::onNotify(window, lParam);
        case WM_CONTEXTMENU:
            return mainframe::onContextMenu(window, wParam, lParam);
        case WM_COMMAND:
            return onCommand(window, message, wParam, lParam);
        case WM_INITMENUPOPUP:
            return mainframe::onInitMenuPopup(window, wParam, lParam);
        case WM_MOUSEMOVE:
            return mainframe::onMouseMove(window, lParam);
        case WM_LBUTTONDOWN:
            return mainframe::onLButtonDown(window, lParam);
        case WM_LBUTTONUP:
            return mainframe::onLButtonUp(window, lParam);
        case WM_CAPTURECHANGED:
            return mainframe::onCaptureChanged(window, lParam);
        case WM_CANCELMODE:
            mainframe::onCancelMode(window);
            return DefWindowProcW(window, message, wParam, lParam);
        case WM_SETCURSOR:
            if (mainframe::onSetCursor(window, wParam, lParam)) return TRUE;
            return DefWindowProcW(window, message, wParam, lParam);
        case WM_DROPFILES:
            return mainframe::onDropFiles(window, wParam);
        case WM_DPICHANGED:  // moved to a monitor of another display scale
            maincontrols::followDpi(window, LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        default:
            datafilewatch::onMessage(window, message, wParam);  // the data file may have changed from outside
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace mainwindow
