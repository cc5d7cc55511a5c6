// The window's side of restores: the restore command and the automatic restore
// after an unusable first load. (The backup triggers are the lifecycle's.)
#pragma once
#include <windows.h>

namespace backupcommands {

// Command 32856: the restore dialog.
void restore(HWND window);

// The first load found the data file unusable: the newest backup that loads,
// or a new book if the user agrees. False when the program must end without
// writing anything (save-at-exit cleared, the window asked to close).
bool recoverUnusableBook(HWND window);

}  // namespace backupcommands
