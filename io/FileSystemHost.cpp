#include "io/FileSystem.h"

#include <dirent.h>
#include <errno.h>
#include <sys/stat.h>

#include "io/TextCodec.h"

namespace iofs {

std::string joinPath(const std::string& folder, const std::string& name) {
    std::string onDisk;
    if (!textcodec::cp932ToUtf8(name, onDisk)) onDisk = name;  // not code page 932 text: its bytes as they are
    if (folder.empty() || folder.back() == '/') return folder + onDisk;
    return folder + "/" + onDisk;
}

bool pathExists(const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

bool pathTaken(const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0 || errno != ENOENT;
}

bool directoryExists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool createDirectory(const std::string& path) { return mkdir(path.c_str(), 0777) == 0; }

bool listDirectory(const std::string& path, std::vector<DirEntry>& entries) {
    entries.clear();
    DIR* dir = opendir(path.c_str());
    if (!dir) return false;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        DirEntry item;
        if (!textcodec::isUtf8(name) || !textcodec::utf8ToCp932(name, item.name)) item.name = name;
        item.isDirectory = directoryExists(joinPath(path, item.name));
        entries.push_back(item);
    }
    closedir(dir);
    return true;
}

}  // namespace iofs
