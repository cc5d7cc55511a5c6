#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "io/Shortcut.h"

#include <cstdio>

#include "io/IoMessages.h"

namespace shortcut {

namespace {

std::string gDesktopOverride;

// Any file of that name counts as taken, readable or not: a link never replaces a file.
bool taken(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// folder\name.lnk, or empty when it does not fit a path.
std::string linkPathFor(const std::string& folder, const std::string& name) {
    char path[MAX_PATH] = {};
    if (folder.size() >= MAX_PATH) return std::string();
    lstrcpynA(path, folder.c_str(), MAX_PATH);
    if (!PathAppendA(path, name.c_str()) || !PathAddExtensionA(path, iomessages::SHORTCUT_EXTENSION))
        return std::string();
    return path;
}

std::string numberedName(int count) {
    char name[64];
    std::snprintf(name, sizeof name, iomessages::SHORTCUT_NUMBERED_FORMAT, count);
    return name;
}

std::string executablePath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

bool saveLink(IShellLinkA* link, const std::string& linkPath) {
    IPersistFile* file = nullptr;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) return false;
    WCHAR widePath[MAX_PATH] = {};
    bool saved = MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, widePath, MAX_PATH) > 0 &&
                 SUCCEEDED(file->Save(widePath, TRUE));
    file->Release();
    return saved;
}

}  // namespace

std::string desktopFolder() {
    if (!gDesktopOverride.empty()) return gDesktopOverride;
    IMalloc* allocator = nullptr;
    if (FAILED(SHGetMalloc(&allocator))) return std::string();
    LPITEMIDLIST list = nullptr;
    char path[MAX_PATH] = {};
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOPDIRECTORY, &list)) && list) {
        if (!SHGetPathFromIDListA(list, path)) path[0] = '\0';
        allocator->Free(list);
    }
    allocator->Release();
    return path;
}

void setDesktopFolder(const std::string& folder) { gDesktopOverride = folder; }

std::string freeName(const std::string& folder) {
    std::string name = iomessages::SHORTCUT_BASE_NAME;
    for (int count = 1; taken(linkPathFor(folder, name)); ++count) name = numberedName(count);
    return name;
}

bool createLink(const std::string& linkPath, const std::string& target, const std::string& workingDirectory) {
    const HRESULT com = CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    bool saved = false;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        link->SetPath(target.c_str());
        link->SetArguments("");
        link->SetWorkingDirectory(workingDirectory.c_str());
        saved = saveLink(link, linkPath);
        link->Release();
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return saved;
}

bool offerShortcut(HWND owner, const std::string& appFolder) {
    using namespace iomessages;
    if (MessageBoxA(owner, SHORTCUT_QUESTION, SHORTCUT_CAPTION, MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return false;
    const std::string folder = desktopFolder();
    const std::string name = folder.empty() ? std::string() : freeName(folder);
    const std::string linkPath = name.empty() ? std::string() : linkPathFor(folder, name);
    // A link that could not be written is said so, not confirmed.
    if (linkPath.empty() || !createLink(linkPath, executablePath(), appFolder)) {
        MessageBoxA(owner, SHORTCUT_FAILED_TEXT, SHORTCUT_CAPTION, MB_OK | MB_ICONWARNING);
        return true;
    }
    char text[512];
    std::snprintf(text, sizeof text, SHORTCUT_CREATED_FORMAT, name.c_str());
    MessageBoxA(owner, text, SHORTCUT_CAPTION, MB_OK | MB_ICONINFORMATION);
    return true;
}

}  // namespace shortcut
