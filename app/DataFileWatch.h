// The data file is looked at again whenever it may have been changed from outside: the window
// is activated, the computer resumes, a drive comes or goes, or the data folder reports a change
// (a sync client writing the other PC's copy). The look comes a moment later, when the window is
// between operations, and goes through the same check as a save (DataFileGuard).
#pragma once
#include <windows.h>

#include <string>

namespace datafilewatch {

// Posted by the folder's watcher thread to the main window.
constexpr UINT WM_DATA_FOLDER_CHANGED = WM_APP + 0x51;
constexpr UINT_PTR LOOK_TIMER = 3;

// What looks at the data file (the same check as before a save).
using Look = void (*)(HWND window);

// Watches the folder of `dataFile` for the window (a watch of another folder ends first);
// `look` runs for every event from now on.
void watch(HWND window, const std::string& dataFile, Look look);
void stop();
// Off: no watcher and no look (in-process tests that write the data file behind a window).
void setEnabled(bool on);

// An outside event: the data file is looked at after a short pause (sync clients write in pieces).
void soon(HWND window);
// The main window's handler for the events above; true when it was one of them.
bool onMessage(HWND window, UINT message, WPARAM wParam);

}  // namespace datafilewatch
