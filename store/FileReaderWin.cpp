// Windows side of the file reader's open: CreateFileA, so that the reason of a
// failure survives (the C runtime folds a missing drive, a missing folder and an
// absent file into one errno).
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include "store/FileReader.h"
#include "store/Wide932.h"

namespace {

bool isUncPath(const std::string& path) { return path.size() > 2 && path[0] == '\\' && path[1] == '\\'; }

// "Q:\" for "Q:\books\quiltpad.qpd"; empty when the path names no drive letter.
std::string driveRoot(const std::string& path) {
    if (path.size() < 2 || path[1] != ':') return std::string();
    return path.substr(0, 2) + "\\";
}

std::string folderOf(const std::string& path) {
    const std::string::size_type slash = path.find_last_of("\\/");
    if (slash == std::string::npos) return ".";
    if (slash == 2 && path[1] == ':') return path.substr(0, 3);  // the root keeps its backslash
    return path.substr(0, slash);
}

// The file is not there: an absent file only when its folder is there and can be listed.
FileFault faultOfAbsentFile(const std::string& path) {
    const std::string folder = folderOf(path);
    HANDLE handle =
        CreateFileW(wide::from932(folder).c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? FileFault::NoFolder : faultOfPlatformError(folder, error);
    }
    CloseHandle(handle);
    return FileFault::NoFile;
}

// A path through a folder that is not there: the drive, the share or the folder itself.
FileFault faultOfMissingPath(const std::string& path) {
    if (isUncPath(path)) return FileFault::Offline;
    const std::string root = driveRoot(path);
    if (!root.empty() && GetDriveTypeW(wide::from932(root).c_str()) == DRIVE_NO_ROOT_DIR) return FileFault::NoDrive;
    return FileFault::NoFolder;
}

}  // namespace

FileFault faultOfPlatformError(const std::string& path, unsigned long error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
            return faultOfAbsentFile(path);
        case ERROR_PATH_NOT_FOUND:
        case ERROR_DIRECTORY:
        case ERROR_INVALID_NAME:
            return faultOfMissingPath(path);
        case ERROR_INVALID_DRIVE:
        case ERROR_DEV_NOT_EXIST:
            return FileFault::NoDrive;
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
        case ERROR_NETNAME_DELETED:
        case ERROR_UNEXP_NET_ERR:
        case ERROR_BAD_NET_RESP:
        case ERROR_NETWORK_UNREACHABLE:
        case ERROR_HOST_UNREACHABLE:
        case ERROR_NO_NET_OR_BAD_PATH:
        case ERROR_CONNECTION_UNAVAIL:
        case ERROR_NOT_CONNECTED:
        case ERROR_SEM_TIMEOUT:
            return FileFault::Offline;
        case ERROR_NOT_READY:
        case ERROR_NO_MEDIA_IN_DRIVE:
        case ERROR_DEVICE_NOT_CONNECTED:
        case ERROR_UNRECOGNIZED_MEDIA:
            return FileFault::NotReady;
        case ERROR_ACCESS_DENIED:
        case ERROR_NETWORK_ACCESS_DENIED:
            return FileFault::Denied;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return FileFault::InUse;
        default:
            return FileFault::ReadError;
    }
}

FileFault openForReading(const std::string& path, std::FILE*& file) {
    file = nullptr;
    unsigned long injected = 0;
    if (filefaults::openFails(path, injected)) return faultOfPlatformError(path, injected);
    // the same sharing as the C runtime's fopen: others may read and write meanwhile
    HANDLE handle = CreateFileW(wide::from932(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return faultOfPlatformError(path, GetLastError());
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
    if (descriptor == -1) {
        CloseHandle(handle);
        return FileFault::ReadError;
    }
    file = _fdopen(descriptor, "rb");
    if (!file) {
        _close(descriptor);
        return FileFault::ReadError;
    }
    return FileFault::None;
}
