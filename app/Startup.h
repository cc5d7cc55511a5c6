// The process entry: single instance per program folder, settings and paths,
// the windows, and the message loop.
#pragma once
#include <windows.h>

#include <string>

namespace startup {

// Folder of the running executable, without a trailing backslash.
std::string applicationFolder();

// "キルト帳　　version 3.21", from string resources 104 and 105.
std::string loadTitle(HINSTANCE instance);

// Restores (when minimised) and raises the first top-level window that carries the
// instance-key property. Returns false when no such window exists.
bool raiseRunningInstance(const std::string& instanceKey);

// The tool windows, made hidden before the main window (the usage window at its
// saved place); their handles go to gApp. Once the main window is up, the usage
// window is shown when its setting says so.
void createToolWindows();
void showToolWindows();

// Runs until the main window posts the quit message; returns its wParam.
int runMessageLoop(HWND mainWindow, HACCEL accelerators);

// The whole program: what WinMain does.
int runApplication(HINSTANCE instance, int showCommand);

}  // namespace startup
