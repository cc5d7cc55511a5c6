#include "io/TextFiles.h"

#include <windows.h>
#include <richedit.h>

#include <cstdio>
#include <cstring>

#include "editor/RtfStream.h"
#include "io/IoMessages.h"
#include "io/TextCodec.h"
#include "settings/CommonDialogs.h"
#include "store/AtomicFile.h"
#include "ui/WideText.h"

namespace textfiles {
namespace {

// An RTF file larger than this is not read at all: its text could never fit.
const std::size_t MAX_RTF_FILE_BYTES = 64u * 1024 * 1024;

std::size_t textLimit(HWND edit) { return rtfstream::TextLimit(edit); }

void showNotWritten(HWND owner, const char* path) {
    char text[MAX_PATH + 128];
    std::snprintf(text, sizeof text, iomessages::NOT_WRITTEN_FORMAT, path);
    wide::messageBox(owner, text, iomessages::SAVE_PAGE_CAPTION, MB_OK | MB_ICONERROR);
}

bool fileSize(const char* path, std::size_t& size) {
    HANDLE file =
        CreateFileW(wide::from932(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER bytes{};
    bool ok = GetFileSizeEx(file, &bytes) != FALSE && bytes.QuadPart >= 0 &&
              static_cast<unsigned long long>(bytes.QuadPart) < (SIZE_MAX >> 1);
    CloseHandle(file);
    size = ok ? static_cast<std::size_t>(bytes.QuadPart) : 0;
    return ok;
}

HWND scratchOf(HWND edit) { return rtfstream::ScratchOf(edit); }

// A text file's characters, whatever it was written in (UTF-8, UTF-16, code page 932).
std::wstring decoded(const std::string& bytes) {
    const std::u16string text = textcodec::decodeTextFile(bytes);
    return std::wstring(text.begin(), text.end());
}

}  // namespace

PageFile ReadPageFile(HWND edit, const char* path, bool rtf, std::size_t limit, std::string& bytes) {
    bytes.clear();
    std::size_t size = 0;
    if (!fileSize(path, size)) return PageFile::UNREADABLE;
    // Every character the control holds came from at most four bytes of plain text.
    if (size > (rtf ? MAX_RTF_FILE_BYTES : 4 * limit + 4)) return PageFile::TOO_LARGE;
    if (!ReadWholeFile(path, bytes, size)) return PageFile::UNREADABLE;
    const std::size_t characters =
        rtf ? rtfstream::RtfCharacters(edit, bytes) : rtfstream::PlainTextCharacters(decoded(bytes));
    if (characters <= limit) return PageFile::READ;
    bytes.clear();
    return PageFile::TOO_LARGE;
}

void ReportNotRead(HWND owner, const char* path, PageFile result, std::size_t limit) {
    char text[MAX_PATH + 256];
    if (result == PageFile::TOO_LARGE)
        std::snprintf(text, sizeof text, iomessages::TOO_LARGE_FORMAT, path, static_cast<unsigned long>(limit));
    else
        std::snprintf(text, sizeof text, iomessages::NOT_READ_FORMAT, path);
    wide::messageBox(owner, text, iomessages::READ_CAPTION, MB_OK | MB_ICONEXCLAMATION);
}

void ShowPageFile(HWND edit, const std::string& bytes, bool rtf) {
    // new content: the page display stores it
    if (rtf)
        rtfstream::StreamInRtf(edit, bytes.c_str());
    else
        rtfstream::StreamInText(edit, decoded(bytes));
}

std::size_t LimitOfNewPage(HWND edit, int characters) {
    HWND scratch = scratchOf(edit);
    if (!scratch) return textLimit(edit);
    SendMessageW(scratch, EM_EXLIMITTEXT, 0, characters);
    const std::size_t limit = textLimit(scratch);
    DestroyWindow(scratch);
    return limit;
}

namespace {

bool loadFile(HWND edit, const char* path, bool rtf) {
    std::string bytes;
    const std::size_t limit = textLimit(edit);
    const PageFile result = ReadPageFile(edit, path, rtf, limit, bytes);
    if (result == PageFile::TOO_LARGE) ReportNotRead(GetAncestor(edit, GA_ROOT), path, result, limit);
    if (result != PageFile::READ) return false;
    ShowPageFile(edit, bytes, rtf);
    return true;
}

}  // namespace

bool LoadTextFile(HWND edit, const char* path) { return loadFile(edit, path, false); }

bool LoadRtfFile(HWND edit, const char* path) { return loadFile(edit, path, true); }

bool SaveTextFile(HWND edit, const char* path, bool* wroteUtf8) {
    const std::wstring text = rtfstream::EditorTextUnicode(edit);
    bool utf8 = false;
    const std::string bytes = textcodec::encodeTextFile(std::u16string(text.begin(), text.end()), utf8);
    if (wroteUtf8) *wroteUtf8 = utf8;
    return writeFileAtomically(path, bytes.data(), bytes.size());
}

bool SaveRtfFile(HWND edit, const char* path) { return WriteWholeFile(path, rtfstream::StreamOutRtf(edit).c_str()); }

bool SavePageAs(HWND edit, const char* path, int filter, bool* wroteUtf8) {
    if (wroteUtf8) *wroteUtf8 = false;
    return filter == dialogs::FILTER_RTF ? SaveRtfFile(edit, path) : SaveTextFile(edit, path, wroteUtf8);
}

bool SavePageToFile(HWND edit, HWND owner, std::string& path) {
    int filter = dialogs::chooseSaveFile(owner, path);
    if (filter == 0) return false;
    bool utf8 = false;
    if (SavePageAs(edit, path.c_str(), filter, &utf8)) {
        if (utf8) wide::messageBox(owner, iomessages::SAVED_AS_UTF8_TEXT, iomessages::SAVE_PAGE_CAPTION, MB_OK | MB_ICONINFORMATION);
        return true;
    }
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
    HANDLE file = CreateFileW(wide::from932(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file, &size) != FALSE && size.QuadPart >= 0 &&
              static_cast<unsigned long long>(size.QuadPart) <= maxBytes;
    if (ok) {
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
        std::size_t done = 0;
        while (ok && done < bytes.size()) {
            DWORD chunk = static_cast<DWORD>(bytes.size() - done < 0x10000000 ? bytes.size() - done : 0x10000000);
            DWORD got = 0;
            ok = ReadFile(file, &bytes[done], chunk, &got, nullptr) != FALSE && got > 0;
            done += got;
        }
    }
    CloseHandle(file);
    if (!ok) bytes.clear();
    return ok;
}

bool WriteWholeFile(const char* path, const char* text) { return writeFileAtomically(path, text, std::strlen(text)); }

}  // namespace textfiles
