#include <windows.h>

#include "settings/Monitors.h"

#include <vector>

namespace monitors {

namespace {

screenfit::Rect fromRect(const RECT& r) {
    screenfit::Rect s;
    s.left = r.left;
    s.top = r.top;
    s.right = r.right;
    s.bottom = r.bottom;
    return s;
}

// Each monitor's work area: the part a window may cover, without the task bar.
BOOL CALLBACK addMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM param) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info))
        reinterpret_cast<std::vector<screenfit::Rect>*>(param)->push_back(fromRect(info.rcWork));
    return TRUE;
}

}  // namespace

screenfit::Placement keepOnScreen(const screenfit::Placement& window, int32_t minSize) {
    std::vector<screenfit::Rect> areas;
    EnumDisplayMonitors(nullptr, nullptr, addMonitor, reinterpret_cast<LPARAM>(&areas));
    RECT work;
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) GetWindowRect(GetDesktopWindow(), &work);
    if (areas.empty()) areas.push_back(fromRect(work));
    return screenfit::keepOnScreen(window, areas, fromRect(work), minSize);
}

void placeToolWindow(HWND window, int32_t x, int32_t y) {
    RECT r = {};
    if (!window || !GetWindowRect(window, &r)) return;
    screenfit::Placement saved;
    saved.x = x;
    saved.y = y;
    saved.width = r.right - r.left;
    saved.height = r.bottom - r.top;
    const screenfit::Placement placed = keepOnScreen(saved, 0);
    SetWindowPos(window, nullptr, placed.x, placed.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace monitors
