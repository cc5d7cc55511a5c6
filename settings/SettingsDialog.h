// The settings dialog: behaviour options, backups and the two folder overrides
// of the settings record, on three tabs.
#pragma once
#include <windows.h>

#include <cstdint>

#include "settings/AppPaths.h"
#include "settings/IniSettings.h"

namespace settingsdialog {

// Runs the dialog modally. OK copies every control into `settings` (AutoView
// always off) and, when a folder changed, derives `paths` anew; true then, and
// the caller restarts the backup timer. Cancel changes nothing: false.
// OK refuses, with a message and the dialog left open, a newly chosen folder that cannot
// be reached, and a new backup folder holding backups of a book other than `bookNumber`
// (the rotation would overwrite them).
bool runSettingsDialog(HWND owner, IniSettings& settings, paths::AppPaths& paths, std::int32_t bookNumber = -1);

}  // namespace settingsdialog
