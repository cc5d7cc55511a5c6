// Where the program keeps its files: everything is derived from the program folder
// and the two folder overrides of the settings file.
#pragma once
#include <string>
#include <vector>

namespace paths {

constexpr size_t MAX_PATH_BYTES = 260;  // a path buffer, including its NUL
constexpr int BACKUP_SLOT_COUNT = 100;

struct AppPaths {
    std::string appFolder;                     // folder of the executable, no trailing backslash
    std::string instanceKey;                   // mutex and window-property name
    std::string iniPath;                       // always <appFolder>\data\quiltpad.ini
    std::string dataFilePath;                  // <QpdDirPath or appFolder\data>\quiltpad.qpd
    std::string backupFolder;                  // BackupDirPath or <appFolder>\data\backup
    std::vector<std::string> backupSlotPaths;  // backup00.qpd ... backup99.qpd
};

// The program folder with every backslash turned into a hyphen (D:\Tools\Notes -> D:-Tools-Notes).
std::string instanceKeyFor(const std::string& appFolder);

// Joins a folder and a name with one backslash, bounded like the program's 260-byte buffers.
std::string joinPath(const std::string& folder, const std::string& name);

// Recomputes every derived path; called at start-up and whenever the folder overrides change.
AppPaths derivePaths(const std::string& appFolder, const std::string& qpdDirPath, const std::string& backupDirPath);

}  // namespace paths
