#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "io/Shortcut.h"

#include <cstdio>

#include "io/IoMessages.h"
#include "ui/WideText.h"

namespace shortcut {

namespace {

std::string gDesktopOverride;

// Any file of that name counts as taken, readable or not: a link never replaces a file.
bool taken(const std::string& path) { return GetFileAttributesW(wide::from932(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

// folder\name.lnk, or empty when it does not fit a path.
std::string linkPathFor(const std::string& folder, const std::string& name) {
    wchar_t path[MAX_PATH] = {};
    const std::wstring wideFolder = wide::from932(folder);
    if (wideFolder.size() >= MAX_PATH) return std::string();
    lstrcpynW(path, wideFolder.c_str(), MAX_PATH);
    if (!PathAppendW(path, wide::from932(name).c_str()) ||
        !PathAddExtensionW(path, wide::from932(iomessages::SHORTCUT_EXTENSION).c_str()))
        return std::string();
    return wide::to932(path);
}

std::string numberedName(int count) {
    char name[64];
    std::snprintf(name, sizeof name, iomessages::SHORTCUT_NUMBERED_FORMAT, count);
    return name;
}

std::wstring executablePath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

bool saveLink(IShellLinkW* link, const std::string& linkPath) {
    IPersistFile* file = nullptr;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) return false;
    const std::wstring widePath = wide::from932(linkPath);
    bool saved = !widePath.empty() && SUCCEEDED(file->Save(widePath.c_str(), TRUE));
    file->Release();
    return saved;
}

}  // namespace

std::string desktopFolder() {
    if (!gDesktopOverride.empty()) return gDesktopOverride;
    IMalloc* allocator = nullptr;
    if (FAILED(SHGetMalloc(&allocator))) return std::string();
    LPITEMIDLIST list = nullptr;
    wchar_t path[MAX_PATH] = {};
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOPDIRECTORY, &list)) && list) {
        if (!SHGetPathFromIDListW(list, path)) path[0] = L'\0';
        allocator->Free(list);
    }
    allocator->Release();
    std::string folder;
    return wide::to932(path, folder) ? folder : std::string();  // a desktop code page 932 cannot spell: no link
}

void setDesktopFolder(const std::string& folder) { gDesktopOverride = folder; }

std::string freeName(const std::string& folder) {
    std::string name = iomessages::SHORTCUT_BASE_NAME;
    for (int count = 1; taken(linkPathFor(folder, name)); ++count) name = numberedName(count);
    return name;
}

bool createLink(const std::string& linkPath, const std::wstring& target, const std::string& workingDirectory) {
    const HRESULT com = CoInitialize(nullptr);
    IShellLinkW* link = nullptr;
    bool saved = false;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link)))) {
        link->SetPath(target.c_str());
        link->SetArguments(L"");
        link->SetWorkingDirectory(wide::from932(workingDirectory).c_str());
        saved = saveLink(link, linkPath);
        link->Release();
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return saved;
}

bool offerShortcut(HWND owner, const std::string& appFolder) {
    using namespace iomessages;
    if (wide::messageBox(owner, SHORTCUT_QUESTION, SHORTCUT_CAPTION, MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return false;
    const std::string folder = desktopFolder();
    const std::string name = folder.empty() ? std::string() : freeName(folder);
    const std::string linkPath = name.empty() ? std::string() : linkPathFor(folder, name);
    // A link that could not be written is said so, not confirmed.
    if (linkPath.empty() || !createLink(linkPath, executablePath(), appFolder)) {
        wide::messageBox(owner, SHORTCUT_FAILED_TEXT, SHORTCUT_CAPTION, MB_OK | MB_ICONWARNING);
        return true;
    }
    char text[512];
    std::snprintf(text, sizeof text, SHORTCUT_CREATED_FORMAT, name.c_str());
    wide::messageBox(owner, text, SHORTCUT_CAPTION, MB_OK | MB_ICONINFORMATION);
    return true;
}

}  // namespace shortcut
