// The HTML manual beside the program, opened by the shell in the user's browser.
#pragma once
#include <windows.h>

#include <string>

namespace manual {

// Asks the shell to open `help.html` in `appFolder` with its default action, in a
// normally shown window. Without the file nothing happens (no shell error box).
void open(HWND owner, const std::string& appFolder);

// Tests see the shell request instead of a browser starting; null puts the shell back.
using ShellExecuteFunction = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
void setShellExecute(ShellExecuteFunction function);

}  // namespace manual
