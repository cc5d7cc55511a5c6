#include <windows.h>

#include "support/TestApp.h"

#include "app/AppMessages.h"

#include "tests/common/RemoveTree.h"

#include "app/AppState.h"
#include "app/MainWindow.h"
#include "app/SettingsIo.h"
#include "app/Startup.h"
#include "io/IoMessages.h"

namespace testapp {

TempFolder::TempFolder() {
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    static int counter = 0;
    for (;;) {
        path_ = std::string(base) + "qptest" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter);
        if (CreateDirectoryA(path_.c_str(), nullptr)) break;
        if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
}

TempFolder::~TempFolder() { removeTree(path_); }

void removeTree(const std::string& folder) { testcommon::removeTree(folder); }

HWND createMainWindowIn(const std::string& programFolder) {
    testsupport::DialogAnswerer declineShortcut(IDCANCEL, iomessages::SHORTCUT_CAPTION);
    return createMainWindowIn(programFolder, declineShortcut);
}

HWND createMainWindowIn(const std::string& programFolder,
                        testsupport::DialogAnswerer& /*kept alive while the window is made*/) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    gApp = AppState();
    gApp.instance = instance;
    gApp.title = startup::loadTitle(instance);
    settingsio::readStartupSettings(programFolder);  // settings and paths as at start-up
    static bool registered = false;
    if (!registered) registered = mainwindow::registerClass(instance);
    startup::createToolWindows();
    HWND window = mainwindow::create(instance, SW_SHOWNORMAL);
    pumpMessages();
    return window;
}

void destroyMainWindow(HWND window) {
    // a test that put a file where the data file is keeps it aside and this window's book, unasked
    testsupport::DialogAnswerer keepOurs(IDNO, appmessages::OTHER_VERSION_CAPTION);
    if (IsWindow(window)) DestroyWindow(window);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void pumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace testapp
