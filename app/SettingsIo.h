// The settings file in the running program: read once before any window
// exists, written once when the main window goes away.
#pragma once
#include <windows.h>

#include <string>

namespace settingsio {

// Reads quiltpad.ini below the program folder into the process state: the
// settings, the derived paths, the custom colours and the splitter share.
// A saved main-window position that no monitor shows is moved back onto the
// primary monitor. A settings file that is there but cannot be read is named to the
// user with Retry and Cancel; false after Cancel: the program ends, nothing written. An
// absent file is a first start on the defaults.
bool readStartupSettings(const std::string& appFolder);

// The main window's restored rectangle as the settings give it.
RECT savedMainWindowRect();

// How the main window is first shown: maximized when it was at the last exit,
// otherwise as the process was asked to show it.
int firstShowCommand(int processShowCommand);

// Gathers the window-derived values into the settings and rewrites the
// settings file (the data folder is created first). False when the file
// could not be written.
bool collectAndSaveSettings(HWND mainWindow);

}  // namespace settingsio
