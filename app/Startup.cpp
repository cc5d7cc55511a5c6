#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>

#include "app/Startup.h"

#include <cstdio>

#include "app/AppMessages.h"
#include "app/AppState.h"
#include "app/InstanceKey.h"
#include "app/Book.h"
#include "app/MainControls.h"
#include "app/MainWindow.h"
#include "app/MergeBase.h"
#include "app/OpenMarker.h"
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
// False when the settings could not be read and the user ended the start.
bool prepareState(HINSTANCE instance, const std::string& appFolder) {
    gApp.instance = instance;
    gApp.title = loadTitle(instance);
    gApp.alwaysOnTop = false;
    return settingsio::readStartupSettings(appFolder);  // settings, paths, custom colours, splitter share
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

// While a page title is being edited, its keys are the edit's own (Ctrl+←, F5, Ctrl+B …):
// no command of the program acts behind the edit; Enter and Esc end it as always.
namespace {
bool titleEditOpen() { return TreeView_GetEditControl(gControls.pageList.window()) != nullptr; }
}  // namespace

int runMessageLoop(HWND mainWindow, HACCEL accelerators) {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (gApp.usageWindow && IsDialogMessageW(gApp.usageWindow, &msg)) continue;
        if (gApp.searchWindow && IsDialogMessageW(gApp.searchWindow, &msg)) continue;
        if (!titleEditOpen() && TranslateAcceleratorW(mainWindow, accelerators, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

int runApplication(HINSTANCE instance, int showCommand) {
    const std::string appFolder = applicationFolder();
    // A folder the program cannot keep its files in is named to the user before anything is read or written.
    if (!programfolder::usable(loadTitle(instance))) return 0;
    if (!prepareState(instance, appFolder)) return 0;  // the settings could not be read: nothing written

    // One window per book on this PC, whatever the spelling or program folder that leads to it:
    // a second start raises the first and touches nothing.
    const std::string& instanceKey = gApp.paths.instanceKey;
    if (!instancekey::hold(instanceKey)) {
        // no window of it here: the book is open in another user's session of this PC
        if (!raiseRunningInstance(instanceKey))
            wide::messageBox(nullptr,
                             wide::from932(appmessages::BOOK_OPEN_ELSEWHERE_TEXT + gApp.paths.dataFilePath) + L"\n" +
                                 openmarker::holderText(gApp.paths.dataFilePath),
                             gApp.title, MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
        return 0;
    }
    mergebase::setEnabled(true);  // the base of a merge with another PC's copy is kept from the first load
    // across PCs: another PC's marker beside the book warns; this run's is written
    if (!openmarker::claim(gApp.paths.dataFilePath)) {
        instancekey::letGo();
        return 0;
    }

    mainwindow::registerClass(instance);
    createToolWindows();
    HWND window = mainwindow::create(instance, showCommand);
    if (window == nullptr) {
        openmarker::release();
        instancekey::letGo();
        return 0;
    }
    showToolWindows();
    HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDA_MAIN));
    const int exitCode = runMessageLoop(window, accelerators);
    openmarker::release();
    instancekey::letGo();
    return exitCode;
}

}  // namespace startup
