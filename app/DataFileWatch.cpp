#include <windows.h>
#include <dbt.h>

#include "app/DataFileWatch.h"

#include <atomic>

#include "ui/Busy.h"
#include "ui/WideText.h"

namespace datafilewatch {

namespace {

constexpr UINT LOOK_DELAY_MS = 1500;

HANDLE gThread = nullptr;
HANDLE gStop = nullptr;
HWND gWindow = nullptr;
std::atomic<bool> gPosted{false};
bool gEnabled = true;
Look gLook = nullptr;

DWORD WINAPI watcher(void* parameter) {
    const HANDLE change = static_cast<HANDLE>(parameter);
    const HANDLE waits[2] = {gStop, change};
    for (;;) {
        if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) break;
        // one message at a time: the main window coalesces what comes meanwhile
        if (!gPosted.exchange(true)) PostMessageW(gWindow, WM_DATA_FOLDER_CHANGED, 0, 0);
        if (!FindNextChangeNotification(change)) break;
    }
    FindCloseChangeNotification(change);
    return 0;
}

void CALLBACK lookNow(HWND window, UINT, UINT_PTR, DWORD) {
    // inside an operation (a dialog, a restore) the look waits for the next pause
    if (busy::inProgress()) return;
    KillTimer(window, LOOK_TIMER);
    if (gLook) gLook(window);
}

}  // namespace

void setEnabled(bool on) { gEnabled = on; }

void watch(HWND window, const std::string& dataFile, Look look) {
    stop();
    gLook = look;
    if (!gEnabled) return;
    const std::string::size_type slash = dataFile.find_last_of('\\');
    if (slash == std::string::npos) return;
    const HANDLE change = FindFirstChangeNotificationW(
        wide::from932(dataFile.substr(0, slash)).c_str(), FALSE,
        FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE);
    if (change == INVALID_HANDLE_VALUE) return;  // a folder that cannot be watched: the other events remain
    gWindow = window;
    gPosted = false;
    gStop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    gThread = gStop ? CreateThread(nullptr, 0, watcher, change, 0, nullptr) : nullptr;
    if (!gThread) {
        FindCloseChangeNotification(change);
        stop();
    }
}

void stop() {
    if (gThread) {
        SetEvent(gStop);
        WaitForSingleObject(gThread, INFINITE);
        CloseHandle(gThread);
        gThread = nullptr;
    }
    if (gStop) CloseHandle(gStop);
    gStop = nullptr;
    gWindow = nullptr;
}

void soon(HWND window) {
    if (gLook && gEnabled) SetTimer(window, LOOK_TIMER, LOOK_DELAY_MS, lookNow);
}

bool onMessage(HWND window, UINT message, WPARAM wParam) {
    switch (message) {
        case WM_DATA_FOLDER_CHANGED:
            gPosted = false;
            soon(window);
            return true;
        case WM_ACTIVATEAPP:
            if (wParam) soon(window);
            return true;
        case WM_POWERBROADCAST:
            if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND) soon(window);
            return true;
        case WM_DEVICECHANGE:
            if (wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVICEREMOVECOMPLETE || wParam == DBT_DEVNODES_CHANGED)
                soon(window);
            return true;
        default:
            return false;
    }
}

}  // namespace datafilewatch
