// The window's side of the restore command: the restore dialog, given the app's load,
// save and timers. (The first load's recovery is the lifecycle's.)
#pragma once
#include <windows.h>

namespace backupcommands {

// Command 32856: the restore dialog.
void restore(HWND window);

}  // namespace backupcommands
