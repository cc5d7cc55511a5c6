// After the settings dialog moved the data folder or the backup folder: a book that is
// already there is never replaced without a word.
#pragma once
#include <windows.h>

#include <string>

#include "settings/AppPaths.h"

namespace folderchange {

// `before` and `beforeDataFolder`: the paths and the data folder setting as they were when
// the dialog opened; gApp.paths and gApp.ini hold the new ones.
// Another book's data file in the new data folder is renamed to its stamped name at once
// and the user is told the name; if it cannot be renamed, the data folder stays as it was.
// Backups of another book in the new backup folder are announced.
void afterSettings(HWND window, const paths::AppPaths& before, const std::string& beforeDataFolder);

}  // namespace folderchange
