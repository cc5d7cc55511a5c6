#include <windows.h>

#include "app/InstanceKey.h"

#include <cstdio>
#include <cwchar>

#include "io/TextCodec.h"
#include "store/FolderIdentity.h"
#include "ui/WideText.h"

namespace instancekey {

namespace {

// Upper case as the file system folds names, then a 64-bit FNV-1a of the UTF-16 units: a
// window property's name has at most 255 characters, a path may have more.
std::string hashOfFolded(std::wstring text) {
    if (!text.empty()) CharUpperBuffW(&text[0], static_cast<DWORD>(text.size()));
    unsigned long long hash = 1469598103934665603ULL;
    for (wchar_t c : text) {
        hash ^= static_cast<unsigned long long>(c);
        hash *= 1099511628211ULL;
    }
    char out[24];
    std::snprintf(out, sizeof out, "%016llX", hash);
    return out;
}

std::string hashOfFolded(const std::string& path) { return hashOfFolded(wide::from932(path)); }

}  // namespace

std::string forBook(const std::string& dataFilePath) {
    // the nearest folder that exists, by the path the file system resolves it to (its own
    // case, long names, a mapped drive as its share); the folders below it, not made yet, as
    // they are spelled: the same key before and after they are made
    std::string folder = dataFilePath.substr(0, dataFilePath.find_last_of('\\') + 1);
    std::string rest = dataFilePath.substr(folder.size());
    while (!folder.empty()) {
        fileidentity::FolderId id;
        if (fileidentity::identifyFolder(folder, id) == FileFault::None) {
            const std::u16string final16 = textcodec::utf8ToUtf16(id.finalPath);  // the final path comes in UTF-8
            std::wstring resolved(final16.begin(), final16.end());
            if (resolved.empty()) {  // the file system does not tell it: its volume and index
                wchar_t known[48];
                swprintf(known, 48, L"%08lX-%016llX", static_cast<unsigned long>(id.volume),
                         static_cast<unsigned long long>(id.index));
                resolved = known;
            }
            if (!resolved.empty() && resolved.back() == L'\\') resolved.pop_back();
            return "Quiltpad-" + hashOfFolded(resolved + L"\\" + wide::from932(rest));
        }
        // one folder up: the rest of the path goes with the name
        const std::string::size_type slash = folder.find_last_of('\\', folder.size() - 2);
        if (slash == std::string::npos || folder.size() <= 3) break;
        rest = folder.substr(slash + 1) + rest;
        folder = folder.substr(0, slash + 1);
    }
    return "Quiltpad-path-" + hashOfFolded(dataFilePath);
}

std::wstring mutexName(const std::string& key) { return L"Global\\" + wide::from932(key); }

namespace {
HANDLE gHeld = nullptr;
}  // namespace

bool hold(const std::string& key) {
    HANDLE mutex = CreateMutexW(nullptr, FALSE, mutexName(key).c_str());
    if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return false;
    }
    letGo();
    gHeld = mutex;
    return true;
}

void follow(HWND window, const std::string& oldKey, const std::string& newKey) {
    if (oldKey == newKey) return;
    HANDLE mutex = CreateMutexW(nullptr, FALSE, mutexName(newKey).c_str());
    letGo();
    gHeld = mutex;
    if (!window) return;
    RemovePropW(window, wide::from932(oldKey).c_str());
    SetPropW(window, wide::from932(newKey).c_str(), reinterpret_cast<HANDLE>(1));
}

void letGo() {
    if (gHeld) CloseHandle(gHeld);
    gHeld = nullptr;
}

}  // namespace instancekey
