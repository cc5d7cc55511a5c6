// Windows side of folder identity: the volume serial number and file index of a handle
// opened on the folder itself, and its final path.
#include <windows.h>

#include "store/FolderIdentity.h"

namespace fileidentity {

namespace {

std::string finalPathOf(HANDLE handle) {
    char buffer[MAX_PATH * 2] = {};
    const DWORD length = GetFinalPathNameByHandleA(handle, buffer, sizeof buffer, FILE_NAME_NORMALIZED);
    return length > 0 && length < sizeof buffer ? std::string(buffer, length) : std::string();
}

// The reader's reasons, for the folder: a folder that is not there is a missing folder.
FileFault faultOfFolder(const std::string& folder, unsigned long error) {
    const FileFault fault = faultOfPlatformError(folder, error);
    return fault == FileFault::NoFile ? FileFault::NoFolder : fault;
}

}  // namespace

FileFault identifyFolder(const std::string& folder, FolderId& id) {
    id = FolderId();
    unsigned long injected = 0;
    if (folder.empty()) return FileFault::NoFolder;
    if (filefaults::openFails(folder, injected)) return faultOfFolder(folder, injected);
    HANDLE handle =
        CreateFileA(folder.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return faultOfFolder(folder, GetLastError());
    BY_HANDLE_FILE_INFORMATION info = {};
    const bool known = GetFileInformationByHandle(handle, &info) != 0;
    id.finalPath = finalPathOf(handle);
    CloseHandle(handle);
    if (known && !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return FileFault::NoFolder;  // a file
    if (known) {
        id.volume = info.dwVolumeSerialNumber;
        id.index = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    }
    return known || !id.finalPath.empty() ? FileFault::None : FileFault::ReadError;
}

bool sameFolder(const std::string& a, const std::string& b) {
    FolderId first;
    FolderId second;
    if (identifyFolder(a, first) != FileFault::None || identifyFolder(b, second) != FileFault::None) return false;
    const bool indexed = first.index != 0 && second.index != 0;
    if (indexed) return first.volume == second.volume && first.index == second.index;
    return !first.finalPath.empty() && CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, first.finalPath.c_str(), -1,
                                                      second.finalPath.c_str(), -1) == CSTR_EQUAL;
}

bool sameFile(const std::string& a, const std::string& b) {
    if (a == b) return true;  // one spelling is one place, reachable or not
    const std::string::size_type slashA = a.find_last_of("\\/");
    const std::string::size_type slashB = b.find_last_of("\\/");
    if (slashA == std::string::npos || slashB == std::string::npos) return false;
    const std::string nameA = a.substr(slashA + 1);
    const std::string nameB = b.substr(slashB + 1);
    if (CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, nameA.c_str(), -1, nameB.c_str(), -1) != CSTR_EQUAL)
        return false;
    return sameFolder(a.substr(0, slashA + 1), b.substr(0, slashB + 1));
}

}  // namespace fileidentity
