#include <windows.h>

#include "app/OpenMarker.h"

#include <cstdio>
#include <sstream>

#include "app/AppMessages.h"
#include "app/AppState.h"
#include "io/TextCodec.h"
#include "ui/WideText.h"

namespace openmarker {

namespace {

constexpr char MARKER_NAME[] = "inuse.txt";
constexpr DWORD MARKER_LIMIT = 4096;  // anything longer is not a marker

std::string gWritten;  // the marker this run wrote, where
Marker gMine;
bool gClaimed = false;  // this run opened its book with a marker (the program, not a tool or test)

std::string utf8(const std::wstring& text) { return textcodec::utf16ToUtf8(std::u16string(text.begin(), text.end())); }
std::wstring wideOf(const std::string& text) {
    const std::u16string t = textcodec::utf8ToUtf16(text);
    return std::wstring(t.begin(), t.end());
}

bool readMarker(const std::string& path, std::string& bytes) {
    HANDLE file = CreateFileW(wide::from932(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    char buffer[MARKER_LIMIT];
    DWORD got = 0;
    const bool read = ReadFile(file, buffer, sizeof buffer, &got, nullptr) != FALSE;
    CloseHandle(file);
    bytes.assign(buffer, got);
    return read;
}

bool writeMarker(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileW(wide::from932(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    CloseHandle(file);
    return ok;
}

std::wstring nameOf(BOOL (WINAPI* get)(LPWSTR, LPDWORD)) {
    wchar_t name[256] = {};
    DWORD size = 256;
    return get(name, &size) ? std::wstring(name) : std::wstring();
}

bool warnedAndOpened(const Marker& other) {
    const std::wstring text = wide::from932(appmessages::OPEN_ON_ANOTHER_PC_TEXT) + other.machine +
                              wide::from932(appmessages::OPEN_ON_ANOTHER_PC_USER) + other.user +
                              wide::from932(appmessages::OPEN_ON_ANOTHER_PC_SINCE) + other.since +
                              wide::from932(appmessages::OPEN_ON_ANOTHER_PC_QUESTION);
    return wide::messageBox(nullptr, text, gApp.title, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON1 | MB_SETFOREGROUND) ==
           IDYES;
}

}  // namespace

std::string pathFor(const std::string& dataFile) {
    const std::string::size_type slash = dataFile.find_last_of('\\');
    return (slash == std::string::npos ? std::string() : dataFile.substr(0, slash + 1)) + MARKER_NAME;
}

std::string format(const Marker& m) {
    return "machine=" + utf8(m.machine) + "\r\nuser=" + utf8(m.user) + "\r\nsince=" + utf8(m.since) +
           "\r\nprocess=" + std::to_string(m.process) + "\r\n";
}

bool parse(const std::string& text, Marker& m) {
    std::istringstream lines(text);
    std::string line;
    bool machine = false;
    m = Marker();
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string::size_type eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        if (key == "machine") m.machine = wideOf(value), machine = !value.empty();
        else if (key == "user") m.user = wideOf(value);
        else if (key == "since") m.since = wideOf(value);
        else if (key == "process") m.process = std::strtoul(value.c_str(), nullptr, 10);
    }
    return machine;
}

Marker ofThisRun() {
    Marker m;
    m.machine = nameOf(GetComputerNameW);
    m.user = nameOf(GetUserNameW);
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t since[32];
    std::swprintf(since, 32, L"%04u/%02u/%02u %02u:%02u", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute);
    m.since = since;
    m.process = GetCurrentProcessId();
    return m;
}

bool claim(const std::string& dataFile) {
    release();
    const std::string path = pathFor(dataFile);
    const Marker self = ofThisRun();
    std::string bytes;
    Marker found;
    // another PC's marker: warned, opened by default; this PC's is a leftover (no window here holds the book)
    if (readMarker(path, bytes) && parse(bytes, found) && CompareStringOrdinal(found.machine.c_str(), -1, self.machine.c_str(), -1, TRUE) != CSTR_EQUAL &&
        !warnedAndOpened(found))
        return false;
    moveTo(dataFile);
    return true;
}

void moveTo(const std::string& dataFile) {
    release();
    gClaimed = true;
    const std::string path = pathFor(dataFile);
    const Marker self = ofThisRun();
    // a folder not made yet (a first start) or read-only: no marker, the book opens all the same
    if (writeMarker(path, format(self))) {
        gWritten = path;
        gMine = self;
    }
}

void follow(const std::string& dataFile) {
    if (gClaimed) moveTo(dataFile);
}

void afterSave(const std::string& dataFile) {
    if (gClaimed && gWritten.empty()) moveTo(dataFile);
}

void release() {
    if (gWritten.empty()) return;
    std::string bytes;
    Marker found;
    // another PC's start may have taken it over meanwhile: its marker stays
    if (readMarker(gWritten, bytes) && parse(bytes, found) && found == gMine) DeleteFileW(wide::from932(gWritten).c_str());
    gWritten.clear();
}

std::wstring holderText(const std::string& dataFile) {
    std::string bytes;
    Marker found;
    if (!readMarker(pathFor(dataFile), bytes) || !parse(bytes, found)) return std::wstring();
    return found.user + L" (" + found.machine + L", " + found.since + L")";
}

}  // namespace openmarker
