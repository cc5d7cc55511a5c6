#include <windows.h>
#include <shlwapi.h>

#include "app/Startup.h"

#include <cstdio>

#include "app/AppState.h"
#include "app/Book.h"
#include "app/MainControls.h"
#include "app/MainWindow.h"
#include "app/ProgramFolder.h"
#include "app/SettingsIo.h"
#include "help/UsageWindow.h"
#include "res/resource.h"
#include "search/SearchWindow.h"
#include "ui/WideText.h"

namespace startup {

namespace {

BOOL CALLBACK findInstanceWindow(HWND window, LPARAM param) {
    auto* found = reinterpret_cast<std::pair<const std::wstring*, HWND>*>(param);
    if (GetPropW(window, found->first->c_str()) == nullptr) return TRUE;
    found->second = window;
    return FALSE;
}

// Everything read before the first window exists: title, paths and the splitter share.
void prepareState(HINSTANCE instance, const std::string& appFolder) {
    gApp.instance = instance;
    gApp.title = loadTitle(instance);
    settingsio::readStartupSettings(appFolder);  // settings, paths, custom colours, splitter share
    gApp.alwaysOnTop = false;
}

}  // namespace

std::string applicationFolder() { return wide::to932(programfolder::wideFolder()); }

std::string loadTitle(HINSTANCE) {
    const std::string name = wide::loadString(IDS_APP_TITLE);
    const std::string version = wide::loadString(IDS_APP_VERSION);
    char title[256];
    std::snprintf(title, sizeof title, "%s　　%s", name.c_str(), version.c_str());
    return title;
}

bool raiseRunningInstance(const std::string& instanceKey) {
    const std::wstring key = wide::from932(instanceKey);
    std::pair<const std::wstring*, HWND> found(&key, nullptr);
    EnumWindows(findInstanceWindow, reinterpret_cast<LPARAM>(&found));
    if (found.second == nullptr) return false;
    if (IsIconic(found.second)) ShowWindow(found.second, SW_RESTORE);
    SetForegroundWindow(found.second);
    return true;
}

void createToolWindows() {
    const search::SearchHost host{&gControls.pageList, &gControls.memo, &gBook.pages, &gApp.ini.searchWindow};
    gApp.searchWindow = search::createSearchWindow(host);  // hidden whatever its Visible setting says
    const IniSettings::HowToWindow& howTo = gApp.ini.howToWindow;
    gApp.usageWindow = usagewindow::create(howTo.PosX, howTo.PosY, howTo.Visible);
}

// After a first start's shortcut question, beside the first page.
void showToolWindows() {
    if (gApp.ini.howToWindow.Visible) usagewindow::show(gApp.usageWindow, false);
}

int runMessageLoop(HWND mainWindow, HACCEL accelerators) {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (gApp.usageWindow && IsDialogMessageW(gApp.usageWindow, &msg)) continue;
        if (gApp.searchWindow && IsDialogMessageW(gApp.searchWindow, &msg)) continue;
        if (TranslateAcceleratorW(mainWindow, accelerators, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

int runApplication(HINSTANCE instance, int showCommand) {
    const std::string appFolder = applicationFolder();
    const std::string instanceKey = paths::instanceKeyFor(appFolder);

    // One instance per program folder: a second start raises the first and touches nothing.
    HANDLE mutex = CreateMutexW(nullptr, FALSE, wide::from932(instanceKey).c_str());
    if (mutex != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
        raiseRunningInstance(instanceKey);
        CloseHandle(mutex);
        return 0;
    }
    // A folder the program cannot keep its files in is named to the user before anything is read or written.
    if (!programfolder::usable(loadTitle(instance))) {
        if (mutex) CloseHandle(mutex);
        return 0;
    }

    prepareState(instance, appFolder);
    mainwindow::registerClass(instance);
    createToolWindows();
    HWND window = mainwindow::create(instance, showCommand);
    if (window == nullptr) {
        if (mutex) CloseHandle(mutex);
        return 0;
    }
    showToolWindows();
    HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDA_MAIN));
    const int exitCode = runMessageLoop(window, accelerators);
    if (mutex) CloseHandle(mutex);
    return exitCode;
}

}  // namespace startup
