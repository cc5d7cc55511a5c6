#include <windows.h>

#include "app/ProgramFolder.h"
#include "store/Wide932.h"

#include <string>

namespace programfolder {

std::wstring wideFolder() {
    std::wstring path(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
    path.resize(length);
    const std::wstring::size_type slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? path : path.substr(0, slash);
}

namespace {

bool isFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(wide::from932(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Whether a file can be made where the settings file lives (the data folder, or the
// program folder before it exists). The file is deleted when its handle closes.
bool canWriteBelow(const std::string& folder) {
    const std::string dataFolder = folder + "\\data";
    const std::string probe = (isFolder(dataFolder) ? dataFolder : folder) + "\\~quiltpad-check" +
                              std::to_string(GetCurrentProcessId()) + ".tmp";
    HANDLE file = CreateFileW(wide::from932(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_EXISTS;
    CloseHandle(file);
    return true;
}

std::wstring widen(const char* text) {
    const int length = MultiByteToWideChar(932, 0, text, -1, nullptr, 0);
    std::wstring wide(length > 0 ? length : 1, L'\0');
    MultiByteToWideChar(932, 0, text, -1, &wide[0], length);
    wide.resize(wide.size() - 1);
    return wide;
}

const char* textOf(Problem problem) {
    switch (problem) {
        case Problem::OutsideCodePage:
            return OUTSIDE_CODE_PAGE_TEXT;
        case Problem::TooLong:
            return TOO_LONG_TEXT;
        case Problem::NotWritable:
            return NOT_WRITABLE_TEXT;
        case Problem::None:
            break;
    }
    return "";
}

}  // namespace

Problem check() {
    // the paths of the book, the settings and the backups are kept in code page 932,
    // whatever the system's code page (no best fit: a near look-alike would name another folder)
    std::string folder;
    if (!wide::to932(wideFolder(), folder)) return Problem::OutsideCodePage;
    if (folder.size() > LONGEST_FOLDER) return Problem::TooLong;
    if (!canWriteBelow(folder)) return Problem::NotWritable;
    return Problem::None;
}

bool usable(const std::string& caption) {
    const Problem problem = check();
    if (problem == Problem::None) return true;
    // wide, so that the folder shows as it is even where the ANSI functions see '?'
    const std::wstring text = widen(textOf(problem)) + L"\n\n" + wideFolder();
    MessageBoxW(nullptr, text.c_str(), widen(caption.c_str()).c_str(), MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
    return false;
}

}  // namespace programfolder
