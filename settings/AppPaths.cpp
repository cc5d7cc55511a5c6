#include "settings/AppPaths.h"

#include <cstdio>

namespace paths {

namespace {

const char DATA_FOLDER[] = "data";
const char INI_NAME[] = "quiltpad.ini";
const char DATA_FILE_NAME[] = "quiltpad.qpd";
const char BACKUP_FOLDER[] = "backup";
const char BACKUP_PATTERN[] = "backup%02d.qpd";

std::string bounded(std::string s) {
    if (s.size() > MAX_PATH_BYTES - 1) s.resize(MAX_PATH_BYTES - 1);
    return s;
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
    if (folder.back() == '\\') return bounded(folder + name);
    return bounded(folder + "\\" + name);
}

AppPaths derivePaths(const std::string& appFolder, const std::string& qpdDirPath,
                     const std::string& backupDirPath) {
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
