#include <windows.h>

#include "io/FileSystem.h"
#include "store/Wide932.h"

namespace iofs {

std::string joinPath(const std::string& folder, const std::string& name) {
    if (folder.empty() || folder.back() == '\\' || folder.back() == '/') return folder + name;
    return folder + "\\" + name;
}

bool pathExists(const std::string& path) { return GetFileAttributesW(wide::from932(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

bool pathTaken(const std::string& path) {
    if (GetFileAttributesW(wide::from932(path).c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    const DWORD error = GetLastError();
    return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

bool directoryExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(wide::from932(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool createDirectory(const std::string& path) { return CreateDirectoryW(wide::from932(path).c_str(), nullptr) != FALSE; }

bool listDirectory(const std::string& path, std::vector<DirEntry>& entries) {
    entries.clear();
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(wide::from932(joinPath(path, "*")).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    do {
        std::string name;
        // a name code page 932 cannot hold could not be opened again by its '?' spelling
        if (!wide::to932(found.cFileName, name)) continue;
        if (name == "." || name == "..") continue;
        entries.push_back(DirEntry{name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return true;
}

}  // namespace iofs
