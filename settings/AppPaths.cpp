#include "settings/AppPaths.h"

#include "store/Cp932.h"

#include <cstdio>

namespace paths {

namespace {

const char DATA_FOLDER[] = "data";
const char INI_NAME[] = "quiltpad.ini";
const char DATA_FILE_NAME[] = "quiltpad.qpd";
const char BACKUP_FOLDER[] = "backup";
const char BACKUP_PATTERN[] = "backup%02d.qpd";

std::string bounded(const std::string& s) { return cp932::cutAt(s, MAX_PATH_BYTES - 1); }

// True when the path ends in a real backslash, not in the second byte of a
// double-byte character such as "表" (0x95 0x5C).
bool endsWithSeparator(const std::string& path) {
    bool separator = false;
    for (size_t i = 0; i < path.size(); ++i) {
        if (cp932::isLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) {
            separator = false;
            ++i;
        } else {
            separator = path[i] == '\\';
        }
    }
    return separator;
}

}  // namespace

std::string instanceKeyFor(const std::string& appFolder) {
    std::string key = appFolder;
    for (char& c : key)
        if (c == '\\') c = '-';
    return key;
}

std::string joinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return bounded(name);
    if (endsWithSeparator(folder)) return bounded(folder + name);
    return bounded(folder + "\\" + name);
}

AppPaths derivePaths(const std::string& appFolder, const std::string& qpdDirPath, const std::string& backupDirPath) {
    AppPaths p;
    p.appFolder = bounded(appFolder);
    p.instanceKey = instanceKeyFor(p.appFolder);
    const std::string dataFolder = joinPath(p.appFolder, DATA_FOLDER);
    p.iniPath = joinPath(dataFolder, INI_NAME);
    p.dataFilePath = joinPath(qpdDirPath.empty() ? dataFolder : bounded(qpdDirPath), DATA_FILE_NAME);
    p.backupFolder = backupDirPath.empty() ? joinPath(dataFolder, BACKUP_FOLDER) : bounded(backupDirPath);
    p.backupSlotPaths.reserve(BACKUP_SLOT_COUNT);
    for (int i = 0; i < BACKUP_SLOT_COUNT; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, BACKUP_PATTERN, i);
        p.backupSlotPaths.push_back(joinPath(p.backupFolder, name));
    }
    return p;
}

}  // namespace paths
