#include <windows.h>

#include "WideFiles.h"

#include <algorithm>

namespace e2e {

namespace {

// The form that lifts MAX_PATH from the wide file functions.
std::wstring longForm(const std::wstring& path) { return path.rfind(L"\\\\?\\", 0) == 0 ? path : L"\\\\?\\" + path; }

template <typename Visit>
void forEachEntry(const std::wstring& folder, Visit visit) {
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW(longForm(folder + L"\\*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = fd.cFileName;
        if (name != L"." && name != L"..") visit(name, fd);
    } while (FindNextFileW(find, &fd));
    FindClose(find);
}

void listInto(const std::wstring& folder, const std::wstring& prefix, std::vector<std::wstring>& lines) {
    forEachEntry(folder, [&](const std::wstring& name, const WIN32_FIND_DATAW& fd) {
        const bool isFolder = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        lines.push_back(prefix + name + (isFolder ? L"\\" : L" " + std::to_wstring(fd.nFileSizeLow)));
        if (isFolder) listInto(folder + L"\\" + name, prefix + name + L"\\", lines);
    });
}

}  // namespace

std::wstring widen(const std::string& cp932) {
    const int length = MultiByteToWideChar(932, 0, cp932.c_str(), -1, nullptr, 0);
    std::wstring wide(length > 0 ? length : 1, L'\0');
    MultiByteToWideChar(932, 0, cp932.c_str(), -1, &wide[0], length);
    wide.resize(wide.size() - 1);
    return wide;
}

bool makeFolders(const std::wstring& folder) {
    for (std::wstring::size_type at = folder.find(L'\\', 3);; at = folder.find(L'\\', at + 1)) {
        const std::wstring part = folder.substr(0, at);
        if (!CreateDirectoryW(longForm(part).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
        if (at == std::wstring::npos) return true;
    }
}

bool copyTree(const std::wstring& from, const std::wstring& to) {
    if (!makeFolders(to)) return false;
    bool ok = true;
    forEachEntry(from, [&](const std::wstring& name, const WIN32_FIND_DATAW& fd) {
        const std::wstring source = from + L"\\" + name, target = to + L"\\" + name;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ok = copyTree(source, target) && ok;
        else
            ok = CopyFileW(longForm(source).c_str(), longForm(target).c_str(), FALSE) && ok;
    });
    return ok;
}

void removeTree(const std::wstring& folder) {
    forEachEntry(folder, [&](const std::wstring& name, const WIN32_FIND_DATAW& fd) {
        const std::wstring full = folder + L"\\" + name;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            removeTree(full);
        } else {
            SetFileAttributesW(longForm(full).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(longForm(full).c_str());
        }
    });
    RemoveDirectoryW(longForm(folder).c_str());
}

std::vector<std::wstring> listTree(const std::wstring& folder) {
    std::vector<std::wstring> lines;
    listInto(folder, L"", lines);
    std::sort(lines.begin(), lines.end());
    return lines;
}

}  // namespace e2e
