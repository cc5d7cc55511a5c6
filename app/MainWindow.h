// The main window: frame of the page list and the memo editor.
#pragma once
#include <windows.h>

namespace mainwindow {

// Registers the window class "QUILTPAD" (string 109) with the program's icons and menu.
bool registerClass(HINSTANCE instance);

// Creates the main window at the saved placement and shows it. Returns null on failure.
HWND create(HINSTANCE instance, int showCommand);

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace mainwindow
