#include <windows.h>

#include "app/MergeBase.h"

#include <string>

#include "app/DataFileGuard.h"
#include "sync/ConflictCopies.h"
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

// What this PC last wrote as the data file: a start that reads it again keeps the base.
std::string ownPathFor(const std::string& backupFolder) {
    const std::string base = pathFor(backupFolder);
    return base.substr(0, base.size() - 4) + ".own";
}

// The data file's fingerprint as the guard took it a moment ago (at the load or the save).
std::string fingerprintText() {
    const datafileguard::Fingerprint& f = datafileguard::remembered();
    if (!f.present) return std::string();
    return std::to_string(f.volume) + " " + std::to_string(f.index) + " " + std::to_string(f.size) + " " +
           std::to_string(f.written) + " " + std::to_string(f.headHash);
}

std::string readSmall(const std::string& path) {
    HANDLE file = CreateFileW(wide::from932(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::string();
    char buffer[256];
    DWORD got = 0;
    if (!ReadFile(file, buffer, sizeof buffer, &got, nullptr)) got = 0;
    CloseHandle(file);
    return std::string(buffer, got);
}

void wrote(const std::string& backupFolder) {
    if (!gEnabled) return;
    const std::string text = fingerprintText();
    HANDLE file = CreateFileW(wide::from932(ownPathFor(backupFolder)).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

// A sync client's conflicted copy beside the data file: a merge is due.
bool conflictedCopyBeside(const std::string& dataFile) {
    const std::string::size_type slash = dataFile.find_last_of('\\');
    if (slash == std::string::npos) return false;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(wide::from932(dataFile.substr(0, slash + 1) + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    bool conflicted = false;
    do {
        std::string name;
        conflicted = wide::to932(found.cFileName, name) && conflictcopies::judge(name, dataFile.substr(slash + 1)).conflicted;
    } while (!conflicted && FindNextFileW(search, &found));
    FindClose(search);
    return conflicted;
}

void keep(const std::string& dataFile, const std::string& backupFolder) {
    if (!gEnabled) return;
    // The base stays where it was when this is this PC's own last save read again (a restart), and
    // while a conflicted copy waits for its merge (one of the two is this PC's own version).
    const bool haveBase = GetFileAttributesW(wide::from932(pathFor(backupFolder)).c_str()) != INVALID_FILE_ATTRIBUTES;
    const std::string own = readSmall(ownPathFor(backupFolder));
    if (haveBase && ((!own.empty() && own == fingerprintText()) || conflictedCopyBeside(dataFile))) return;
    const std::wstring base = wide::from932(pathFor(backupFolder));
    CreateDirectoryW(wide::from932(backupFolder).c_str(), nullptr);
    CreateDirectoryW(wide::from932(backupFolder + "\\bases").c_str(), nullptr);
    DeleteFileW(base.c_str());
    CreateHardLinkW(base.c_str(), wide::from932(dataFile).c_str(), nullptr);
}

}  // namespace mergebase
