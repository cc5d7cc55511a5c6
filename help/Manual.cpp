#include <windows.h>
#include <shellapi.h>

#include "help/Manual.h"
#include "store/Wide932.h"

namespace manual {

namespace {

ShellExecuteFunction gShellExecute = ShellExecuteA;

}  // namespace

void open(HWND owner, const std::string& appFolder) {
    const std::string page = appFolder + "\\help.html";
    if (GetFileAttributesW(wide::from932(page).c_str()) == INVALID_FILE_ATTRIBUTES) return;
    gShellExecute(owner, nullptr, page.c_str(), nullptr, nullptr, SW_SHOWNORMAL);  // the result is not used
}

void setShellExecute(ShellExecuteFunction function) { gShellExecute = function ? function : ShellExecuteA; }

}  // namespace manual
