// Windows side of folder identity: the volume serial number and file index of a handle
// opened on the folder itself, and its final path.
#include <windows.h>

#include "io/TextCodec.h"
#include "store/FolderIdentity.h"
#include "store/Wide932.h"

namespace fileidentity {

namespace {

// The final path in UTF-8: it is only compared, and any name the file system gives fits.
std::string finalPathOf(HANDLE handle) {
    wchar_t buffer[MAX_PATH * 2] = {};
    const DWORD length = GetFinalPathNameByHandleW(handle, buffer, MAX_PATH * 2, FILE_NAME_NORMALIZED);
    if (length == 0 || length >= MAX_PATH * 2) return std::string();
    return textcodec::utf16ToUtf8(std::u16string(buffer, buffer + length));
}

bool sameText(const std::wstring& a, const std::wstring& b) {
    return CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) == CSTR_EQUAL;
}

std::wstring fromUtf8(const std::string& utf8) {
    const std::u16string text = textcodec::utf8ToUtf16(utf8);
    return std::wstring(text.begin(), text.end());
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
        CreateFileW(wide::from932(folder).c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
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
    return !first.finalPath.empty() && sameText(fromUtf8(first.finalPath), fromUtf8(second.finalPath));
}

bool sameFile(const std::string& a, const std::string& b) {
    if (a == b) return true;  // one spelling is one place, reachable or not
    const std::string::size_type slashA = a.find_last_of("\\/");
    const std::string::size_type slashB = b.find_last_of("\\/");
    if (slashA == std::string::npos || slashB == std::string::npos) return false;
    const std::string nameA = a.substr(slashA + 1);
    const std::string nameB = b.substr(slashB + 1);
    if (!sameText(wide::from932(nameA), wide::from932(nameB))) return false;
    return sameFolder(a.substr(0, slashA + 1), b.substr(0, slashB + 1));
}

}  // namespace fileidentity
