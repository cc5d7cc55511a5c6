// The command handler: every menu item, accelerator, toolbar button and context
// menu arrives here as a command id.
#pragma once
#include <windows.h>

#include "io/ImportExport.h"

namespace commands {

// The shell as the page import and export see it.
importexport::Shell ioShell();

// Runs the command; false for an id the program does not know (it goes on to DefWindowProcA).
bool handleCommand(HWND window, int id, LPARAM lParam);

}  // namespace commands
