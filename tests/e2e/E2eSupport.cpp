#include <windows.h>

#include "E2eSupport.h"

#include "store/DataFile.h"
#include "tests/common/RemoveTree.h"

#include <fstream>
#include <sstream>

namespace e2e {

namespace {

std::string executableFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s = path;
    return s.substr(0, s.find_last_of('\\'));
}

const char SHORTCUT_CAPTION[] = "ショートカットの作成";

struct FindData {
    DWORD processId;
    std::string className;
    std::string caption;  // empty: any
    HWND found;
};

BOOL CALLBACK findProc(HWND window, LPARAM param) {
    auto* data = reinterpret_cast<FindData*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    char caption[256] = {};
    GetWindowTextA(window, caption, sizeof caption);
    if (pid == data->processId && data->className == className &&
        (data->caption.empty() || (data->caption == caption && IsWindowVisible(window)))) {
        data->found = window;
        return FALSE;
    }
    return TRUE;
}

std::wstring widenAnsi(const std::string& text) {
    wchar_t wide[MAX_PATH * 2] = {};
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide, MAX_PATH * 2);
    return wide;
}

std::string temporaryFolder() {
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    return base;
}

}  // namespace

ProgramCopy::ProgramCopy() : ProgramCopy(temporaryFolder()) {}

ProgramCopy::ProgramCopy(const std::string& base) {
    static int counter = 0;
    do {
        folder_ = base + (base.empty() || base.back() == '\\' ? "" : "\\") + "qpe2e" +
                  std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter);
    } while (!CreateDirectoryA(folder_.c_str(), nullptr) && GetLastError() == ERROR_ALREADY_EXISTS);
    CopyFileA((executableFolder() + "\\quiltpad.exe").c_str(), path("quiltpad.exe").c_str(), FALSE);
    wideFolder_ = runFolder_ = widenAnsi(folder_);
}

ProgramCopy::ProgramCopy(const std::wstring& folder, const std::wstring& package)
    : wideFolder_(folder), runFolder_(folder) {
    char ansi[MAX_PATH * 2] = {};
    WideCharToMultiByte(CP_ACP, 0, folder.c_str(), -1, ansi, sizeof ansi, nullptr, nullptr);
    folder_ = ansi;
    e2e::removeTree(folder);
    copyTree(package, folder);
}

ProgramCopy::~ProgramCopy() {
    if (process_.hProcess) {
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) kill();
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }
    e2e::removeTree(wideFolder_);
}

bool ProgramCopy::start(int showCommand) {
    if (process_.hProcess) {
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
        process_ = {};
    }
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = static_cast<WORD>(showCommand);
    std::wstring commandLine = L"\"" + runFolder_ + L"\\quiltpad.exe\"";
    return CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, runFolder_.c_str(), &si,
                          &process_) != 0;
}

HWND ProgramCopy::waitForMainWindow(DWORD timeoutMs) {
    const DWORD startTick = GetTickCount();
    for (;;) {
        // the window is shown once its creation (children, first load) is complete
        HWND window = findMainWindow(process_.dwProcessId);
        if (window && IsWindowVisible(window)) return window;
        if (HWND question = findDialog(process_.dwProcessId, SHORTCUT_CAPTION)) {
            if (shortcutQuestions_++ == 0) askedBeforeShown_ = !(window && IsWindowVisible(window));
            SendMessageA(question, WM_COMMAND, IDCANCEL, 0);
        }
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0) return nullptr;
        if (GetTickCount() - startTick > timeoutMs) return nullptr;
        Sleep(50);
    }
}

long ProgramCopy::waitForExit(DWORD timeoutMs) {
    if (WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return static_cast<long>(code);
}

long ProgramCopy::close(DWORD timeoutMs) {
    HWND window = findMainWindow(process_.dwProcessId);
    if (window) PostMessageA(window, WM_CLOSE, 0, 0);
    return waitForExit(timeoutMs);
}

void ProgramCopy::kill() {
    if (process_.hProcess) {
        TerminateProcess(process_.hProcess, 99);
        WaitForSingleObject(process_.hProcess, 5000);
    }
}

HWND findMainWindow(DWORD processId) {
    FindData data = {processId, "QUILTPAD", "", nullptr};
    EnumWindows(findProc, reinterpret_cast<LPARAM>(&data));
    return data.found;
}

HWND findDialog(DWORD processId, const std::string& caption) {
    FindData data = {processId, "#32770", caption, nullptr};
    EnumWindows(findProc, reinterpret_cast<LPARAM>(&data));
    return data.found;
}

namespace {

struct FindBox {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK visitBox(HWND window, LPARAM param) {
    auto* find = reinterpret_cast<FindBox*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char cls[32] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (pid != find->processId || std::string(cls) != "#32770" || !IsWindowVisible(window)) return TRUE;
    find->found = window;
    return FALSE;
}

}  // namespace

namespace {
BOOL CALLBACK addStaticText(HWND child, LPARAM all) {
    char cls[16] = {}, text[2048] = {};
    GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") != 0) return TRUE;
    GetWindowTextA(child, text, sizeof text);
    *reinterpret_cast<std::string*>(all) += std::string(text) + "\n";
    return TRUE;
}
}  // namespace

std::string boxText(HWND box) {
    char text[2048] = {};
    if (GetDlgItem(box, 0xFFFF)) {
        GetWindowTextA(GetDlgItem(box, 0xFFFF), text, sizeof text);
        return text;
    }
    std::string all;
    EnumChildWindows(box, addStaticText, reinterpret_cast<LPARAM>(&all));
    return all;
}

std::string answerBox(DWORD processId, int button) {
    FindBox find = {processId, nullptr};
    for (int i = 0; i < 400 && !find.found; ++i, Sleep(50)) EnumWindows(visitBox, reinterpret_cast<LPARAM>(&find));
    if (!find.found) return std::string();
    char text[2048] = {};
    GetWindowTextA(GetDlgItem(find.found, 0xFFFF), text, sizeof text);
    PostMessageA(find.found, WM_COMMAND, button, 0);
    Sleep(300);  // the box goes before the next one is looked for
    return text;
}

bool writeBook(const std::string& path, int pages, int textBytes) {
    PageTable table;
    for (int i = 0; i < pages; ++i)
        table.addPage(static_cast<ItemHandle>(i + 1), "{\\rtf1 " + std::string(textBytes, 'a') + "}",
                      "p" + std::to_string(i), false);
    for (int i = 0; i < table.count(); ++i) table.recordAt(i).order = i, table.recordAt(i).parentOrder = -1;
    return writeDataFile(path, makeVersionBlock(SaveKind::ExitData, 1), true, table, newFileHeader());
}

int pagesIn(const std::string& path) {
    PageTable table;
    DataFileHeader header;
    VersionBlock version;
    ReadReport report;
    if (!readDataFile(path, table, header, version, &report) || !report.problem.empty()) return -1;
    return table.count();
}

bool anyFile(const std::string& pattern) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    return true;
}

void setWriteTime(const std::string& path, WORD year) {
    SYSTEMTIME at = {year, 6, 0, 1, 12, 0, 0, 0};
    FILETIME time;
    SystemTimeToFileTime(&at, &time);
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFileTime(file, nullptr, nullptr, &time);
    CloseHandle(file);
}

bool fileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void removeTree(const std::string& folder) { testcommon::removeTree(folder); }

}  // namespace e2e
