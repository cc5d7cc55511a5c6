// The few file-system calls the book export and import need. Paths are the
// platform's own (code page 932 on Windows, the file system's bytes
// elsewhere); names inside a folder are code page 932 on both sides, and the
// host keeps them as UTF-8 on disk, as Windows programs under Wine do.
#pragma once

#include <string>
#include <vector>

namespace iofs {

struct DirEntry {
    std::string name;  // code page 932
    bool isDirectory = false;
};

// The folder path with one separator and the name (code page 932) after it.
std::string joinPath(const std::string& folder, const std::string& name);
// True when anything (file or folder) has this path.
bool pathExists(const std::string& path);
// False only when the file system says nothing has this path: one it cannot check (too long,
// no access) is taken, so that a write there cannot go over a file already written.
bool pathTaken(const std::string& path);
bool directoryExists(const std::string& path);
bool createDirectory(const std::string& path);
// The folder's entries without "." and "..", in no particular order.
bool listDirectory(const std::string& path, std::vector<DirEntry>& entries);

}  // namespace iofs
