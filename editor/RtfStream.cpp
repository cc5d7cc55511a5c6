#include "editor/RtfStream.h"

#include <windows.h>
#include <richedit.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "settings/CommonDialogs.h"
#include "store/AtomicFile.h"

namespace rtfstream {
namespace {

const UINT CP_SHIFT_JIS = 932;
// An RTF file larger than this is not read at all: its text could never fit.
const std::size_t MAX_RTF_FILE_BYTES = 64u * 1024 * 1024;

// The stream-in cookie: a cursor over the text and its terminating zero.
struct ReadCursor {
    const char* next;
    std::size_t left;  // bytes still to deliver, the terminating zero included
};

DWORD CALLBACK readPiece(DWORD_PTR cookie, LPBYTE out, LONG wanted, LONG* given) {
    ReadCursor* cursor = reinterpret_cast<ReadCursor*>(cookie);
    std::size_t n = wanted > 0 ? static_cast<std::size_t>(wanted) : 0;
    if (n > cursor->left) n = cursor->left;
    std::memcpy(out, cursor->next, n);
    cursor->next += n;
    cursor->left -= n;
    *given = static_cast<LONG>(n);
    return 0;
}

DWORD CALLBACK countPiece(DWORD_PTR cookie, LPBYTE, LONG size, LONG* taken) {
    *reinterpret_cast<std::size_t*>(cookie) += static_cast<std::size_t>(size);
    *taken = size;
    return 0;
}

// The stream-out cookie: a zero-terminated buffer and its capacity.
struct AppendBuffer {
    char* bytes;
    std::size_t capacity;
};

DWORD CALLBACK appendPiece(DWORD_PTR cookie, LPBYTE piece, LONG size, LONG* taken) {
    AppendBuffer* buffer = reinterpret_cast<AppendBuffer*>(cookie);
    std::size_t end = strnlen(buffer->bytes, buffer->capacity - 1);
    std::size_t room = buffer->capacity - 1 - end;
    std::size_t n = static_cast<std::size_t>(size) < room ? static_cast<std::size_t>(size) : room;
    std::memcpy(buffer->bytes + end, piece, n);
    buffer->bytes[end + n] = '\0';
    *taken = size;  // every byte is taken, even what no longer fits
    return 0;
}

void streamIn(HWND edit, const char* rtf, std::size_t length) {
    ReadCursor cursor{rtf, length + 1};
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&cursor);
    stream.pfnCallback = readPiece;
    SendMessageA(edit, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
}

std::size_t characterCount(HWND edit) {
    GETTEXTLENGTHEX how{};
    how.flags = GTL_PRECISE | GTL_NUMCHARS;
    how.codepage = 1200;  // UTF-16 units, as the text limit counts them
    LRESULT n = SendMessageA(edit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0);
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

std::size_t textLimit(HWND edit) {
    return static_cast<std::size_t>(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0));
}

// Characters the control holds for a plain text: CR LF becomes one paragraph mark.
std::size_t plainTextCharacters(const std::string& text) {
    int units = MultiByteToWideChar(CP_SHIFT_JIS, 0, text.data(), static_cast<int>(text.size()),
                                    nullptr, 0);
    std::size_t breaks = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos;
         at = text.find("\r\n", at + 2))
        ++breaks;
    return units > 0 ? static_cast<std::size_t>(units) - breaks : 0;
}

// Characters an RTF text gives, measured in a hidden control of the editor's
// class that has no text limit of its own.
std::size_t rtfCharacters(HWND edit, const std::string& rtf) {
    char className[64] = "";
    GetClassNameA(edit, className, sizeof className);
    HWND scratch = CreateWindowExA(0, className, "", WS_POPUP | ES_MULTILINE, 0, 0, 0, 0,
                                   nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!scratch) return static_cast<std::size_t>(-1);
    SendMessageA(scratch, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    streamIn(scratch, rtf.c_str(), rtf.size());
    std::size_t n = characterCount(scratch);
    DestroyWindow(scratch);
    return n;
}

void showTooLarge(HWND edit, const char* path) {
    char text[MAX_PATH + 256];
    std::snprintf(text, sizeof text,
                  "ファイルが大きすぎるため読み込めません。\r\n%s\r\n\r\n"
                  "1ページに入る文字数は%lu文字までです。",
                  path, static_cast<unsigned long>(textLimit(edit)));
    MessageBoxA(GetAncestor(edit, GA_ROOT), text, "ファイルの読み込み", MB_OK | MB_ICONEXCLAMATION);
}

void showNotWritten(HWND owner, const char* path) {
    char text[MAX_PATH + 128];
    std::snprintf(text, sizeof text, "ファイルに書き込めませんでした。\r\n%s", path);
    MessageBoxA(owner, text, "ページの保存", MB_OK | MB_ICONERROR);
}

bool fileSize(const char* path, std::size_t& size) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER bytes{};
    bool ok = GetFileSizeEx(file, &bytes) != FALSE && bytes.QuadPart >= 0 &&
              static_cast<unsigned long long>(bytes.QuadPart) < (SIZE_MAX >> 1);
    CloseHandle(file);
    size = ok ? static_cast<std::size_t>(bytes.QuadPart) : 0;
    return ok;
}

enum class Loaded { OK, FAILED, TOO_LARGE };

// Reads a file for the editor: too large when it holds more than `maxBytes`.
Loaded readForEditor(const char* path, std::size_t maxBytes, std::string& bytes) {
    std::size_t size = 0;
    if (!fileSize(path, size)) return Loaded::FAILED;
    if (size > maxBytes) return Loaded::TOO_LARGE;
    return ReadWholeFile(path, bytes, size) ? Loaded::OK : Loaded::FAILED;
}

}  // namespace

void StreamInRtf(HWND edit, const char* rtf) {
    // An RTF text never holds more characters than bytes, so only a long one
    // can meet the text limit, where the control would silently drop the rest.
    std::size_t length = std::strlen(rtf);
    std::size_t limit = textLimit(edit);
    if (length <= limit) {
        streamIn(edit, rtf, length);
        return;
    }
    SendMessageA(edit, EM_EXLIMITTEXT, 0, static_cast<LPARAM>(length));
    streamIn(edit, rtf, length);
    std::size_t held = characterCount(edit);
    SendMessageA(edit, EM_EXLIMITTEXT, 0, static_cast<LPARAM>(held > limit ? held : limit));
}

std::size_t RtfLength(HWND edit) {
    std::size_t count = 0;
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&count);
    stream.pfnCallback = countPiece;
    SendMessageA(edit, EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    return count;
}

void StreamOutRtf(HWND edit, char* buffer, std::size_t capacity) {
    if (!buffer || capacity == 0) return;
    AppendBuffer target{buffer, capacity};
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&target);
    stream.pfnCallback = appendPiece;
    SendMessageA(edit, EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&stream));
}

std::string StreamOutRtf(HWND edit) {
    std::vector<char> buffer(RtfLength(edit) + 1, '\0');
    StreamOutRtf(edit, buffer.data(), buffer.size());
    return std::string(buffer.data());
}

std::size_t TextByteLength(HWND edit) {
    GETTEXTLENGTHEX how{};
    how.flags = GTL_USECRLF | GTL_PRECISE | GTL_NUMBYTES;
    how.codepage = CP_SHIFT_JIS;
    LRESULT n = SendMessageA(edit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0);
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

std::string EditorText(HWND edit) {
    std::vector<char> buffer(TextByteLength(edit) + 1, '\0');
    GETTEXTEX how{};
    how.cb = static_cast<DWORD>(buffer.size());
    how.flags = GT_USECRLF;
    how.codepage = CP_SHIFT_JIS;
    SendMessageA(edit, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&how),
                 reinterpret_cast<LPARAM>(buffer.data()));
    buffer.back() = '\0';
    return std::string(buffer.data());
}

bool LoadTextFile(HWND edit, const char* path) {
    // Every character the control holds came from at most two bytes.
    std::size_t limit = textLimit(edit);
    std::string text;
    Loaded result = readForEditor(path, 2 * limit + 2, text);
    if (result == Loaded::OK && plainTextCharacters(text) > limit) result = Loaded::TOO_LARGE;
    if (result == Loaded::TOO_LARGE) showTooLarge(edit, path);
    if (result != Loaded::OK) return false;
    SetWindowTextA(edit, text.c_str());
    return true;
}

bool LoadRtfFile(HWND edit, const char* path) {
    std::string rtf;
    Loaded result = readForEditor(path, MAX_RTF_FILE_BYTES, rtf);
    if (result == Loaded::OK && rtfCharacters(edit, rtf) > textLimit(edit))
        result = Loaded::TOO_LARGE;
    if (result == Loaded::TOO_LARGE) showTooLarge(edit, path);
    if (result != Loaded::OK) return false;
    StreamInRtf(edit, rtf.c_str());
    return true;
}

bool SaveTextFile(HWND edit, const char* path) {
    return WriteWholeFile(path, EditorText(edit).c_str());
}

bool SaveRtfFile(HWND edit, const char* path) {
    return WriteWholeFile(path, StreamOutRtf(edit).c_str());
}

bool SavePageAs(HWND edit, const char* path, int filter) {
    return filter == dialogs::FILTER_RTF ? SaveRtfFile(edit, path) : SaveTextFile(edit, path);
}

bool SavePageToFile(HWND edit, HWND owner, std::string& path) {
    int filter = dialogs::chooseSaveFile(owner, path);
    if (filter == 0) return false;
    if (SavePageAs(edit, path.c_str(), filter)) return true;
    showNotWritten(owner, path.c_str());
    return false;
}

bool ReadWholeFile(const char* path, char* buffer, std::size_t capacity) {
    std::string bytes;
    if (!buffer || capacity == 0 || !ReadWholeFile(path, bytes, capacity - 1)) return false;
    std::memcpy(buffer, bytes.c_str(), bytes.size() + 1);
    return true;
}

bool ReadWholeFile(const char* path, std::string& bytes, std::size_t maxBytes) {
    bytes.clear();
    HANDLE file = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file, &size) != FALSE && size.QuadPart >= 0 &&
              static_cast<unsigned long long>(size.QuadPart) <= maxBytes;
    if (ok) {
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
        std::size_t done = 0;
        while (ok && done < bytes.size()) {
            DWORD chunk = static_cast<DWORD>(
                bytes.size() - done < 0x10000000 ? bytes.size() - done : 0x10000000);
            DWORD got = 0;
            ok = ReadFile(file, &bytes[done], chunk, &got, nullptr) != FALSE && got > 0;
            done += got;
        }
    }
    CloseHandle(file);
    if (!ok) bytes.clear();
    return ok;
}

bool WriteWholeFile(const char* path, const char* text) {
    return writeFileAtomically(path, text, std::strlen(text));
}

}  // namespace rtfstream
