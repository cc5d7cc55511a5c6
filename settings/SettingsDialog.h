// The settings dialog: behaviour options, backups and the two folder overrides
// of the settings record, on three tabs.
#pragma once
#include <windows.h>

#include "settings/AppPaths.h"
#include "settings/IniSettings.h"

namespace settingsdialog {

// Runs the dialog modally. OK copies every control into `settings` (AutoView
// always off) and, when a folder changed, derives `paths` anew; true then, and
// the caller restarts the backup timer. Cancel changes nothing: false.
bool runSettingsDialog(HWND owner, IniSettings& settings, paths::AppPaths& paths);

}  // namespace settingsdialog
