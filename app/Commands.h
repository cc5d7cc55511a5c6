// The command handler: every menu item, accelerator, toolbar button and context
// menu arrives here as a command id.
#pragma once
#include <windows.h>

namespace commands {

// Runs the command; false for an id the program does not know (it goes on to DefWindowProcA).
bool handleCommand(HWND window, int id, LPARAM lParam);

}  // namespace commands
