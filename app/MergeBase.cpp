#include <windows.h>

#include "app/MergeBase.h"

#include "ui/WideText.h"

namespace mergebase {

namespace {
bool gEnabled = false;
}  // namespace

void setEnabled(bool on) { gEnabled = on; }

std::string pathFor(const std::string& backupFolder) {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    std::string machine;
    if (!GetComputerNameW(name, &size) || !wide::to932(name, machine)) machine = "this-pc";
    return backupFolder + "\\bases\\" + machine + ".qpd";
}

void keep(const std::string& dataFile, const std::string& backupFolder) {
    if (!gEnabled) return;
    const std::wstring base = wide::from932(pathFor(backupFolder));
    CreateDirectoryW(wide::from932(backupFolder).c_str(), nullptr);
    CreateDirectoryW(wide::from932(backupFolder + "\\bases").c_str(), nullptr);
    DeleteFileW(base.c_str());
    CreateHardLinkW(base.c_str(), wide::from932(dataFile).c_str(), nullptr);
}

}  // namespace mergebase
