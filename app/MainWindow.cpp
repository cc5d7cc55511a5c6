#include <windows.h>

#include "app/MainWindow.h"

#include "app/AppState.h"
#include "app/SettingsIo.h"
#include "res/resource.h"

namespace mainwindow {

namespace {

// Background of the main window: the colour of the first entry of the colour scheme.
HBRUSH backgroundBrush() {
    static HBRUSH brush = CreateSolidBrush(RGB(137, 189, 222));
    return brush;
}

LRESULT onCreate(HWND window) {
    gApp.mainWindow = window;
    // other instances find this window by the property
    SetPropA(window, gApp.paths.instanceKey.c_str(), reinterpret_cast<HANDLE>(1));
    return 0;
}

LRESULT onDestroy(HWND window) {
    if (gApp.saveAtExit) settingsio::collectAndSaveSettings(window);
    RemovePropA(window, gApp.paths.instanceKey.c_str());
    gApp.mainWindow = nullptr;
    PostQuitMessage(0);
    return 0;
}

LRESULT onPaint(HWND window) {
    PAINTSTRUCT ps;
    BeginPaint(window, &ps);
    EndPaint(window, &ps);
    return 0;
}

LRESULT onCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(wParam)) {
    case 105: DestroyWindow(window); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

bool registerClass(HINSTANCE instance) {
    char className[64] = {};
    LoadStringA(instance, IDS_CLASS_NAME, className, sizeof className);
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_APP));
    wc.hIconSm = LoadIconA(instance, MAKEINTRESOURCEA(IDI_APP_SMALL));
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = backgroundBrush();
    wc.lpszMenuName = MAKEINTRESOURCEA(IDM_MAIN);
    wc.lpszClassName = className;
    return RegisterClassExA(&wc) != 0;
}

HWND create(HINSTANCE instance, int showCommand) {
    char className[64] = {};
    LoadStringA(instance, IDS_CLASS_NAME, className, sizeof className);
    const RECT r = settingsio::savedMainWindowRect();
    HWND window = CreateWindowExA(0, className, gApp.title.c_str(), WS_OVERLAPPEDWINDOW, r.left, r.top,
                                  r.right - r.left, r.bottom - r.top, nullptr, nullptr, instance, nullptr);
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
    case WM_CREATE: return onCreate(window);
    case WM_DESTROY: return onDestroy(window);
    case WM_PAINT: return onPaint(window);
    case WM_COMMAND: return onCommand(window, message, wParam, lParam);
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace mainwindow
