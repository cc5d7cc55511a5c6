#include "editor/RtfStream.h"

#include <windows.h>
#include <richedit.h>

#include <cstring>
#include <vector>

#include "editor/RtfUnicode.h"
#include "store/Wide932.h"

namespace rtfstream {
namespace {

const UINT CP_SHIFT_JIS = 932;

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

// The stream-out cookie: a zero-terminated buffer, its capacity and where its text ends
// (kept, so a long text is not measured again for every piece).
struct AppendBuffer {
    char* bytes;
    std::size_t capacity;
    std::size_t end;
};

DWORD CALLBACK appendPiece(DWORD_PTR cookie, LPBYTE piece, LONG size, LONG* taken) {
    AppendBuffer* buffer = reinterpret_cast<AppendBuffer*>(cookie);
    const std::size_t end = buffer->end;
    std::size_t room = buffer->capacity - 1 - end;
    std::size_t n = static_cast<std::size_t>(size) < room ? static_cast<std::size_t>(size) : room;
    std::memcpy(buffer->bytes + end, piece, n);
    buffer->bytes[end + n] = '\0';
    buffer->end = end + n;
    *taken = size;  // every byte is taken, even what no longer fits
    return 0;
}

// RTF goes in with its terminating zero, which ends the control's reading;
// plain text goes in without it.
void streamIn(HWND edit, const char* bytes, std::size_t length, WPARAM format = SF_RTF) {
    ReadCursor cursor{bytes, format == SF_RTF ? length + 1 : length};
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&cursor);
    stream.pfnCallback = readPiece;
    SendMessageW(edit, EM_STREAMIN, format, reinterpret_cast<LPARAM>(&stream));
}

std::size_t textLimit(HWND edit) { return static_cast<std::size_t>(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0)); }

// New content counts as a change to the page, whatever the control's own flag
// says after replacing everything; the page display clears the flag itself
// once it has shown a page as stored.
void markChanged(HWND edit) { SendMessageW(edit, EM_SETMODIFY, TRUE, 0); }

// The control's text in UTF-16 units; the buffer is wiped, as it may hold a secure page's text.
std::wstring unicodeText(HWND edit, DWORD flags, std::size_t units) {
    std::vector<wchar_t> buffer(units + 1, L'\0');
    GETTEXTEX how{};
    how.cb = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    how.flags = flags;
    how.codepage = 1200;
    SendMessageW(edit, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&how), reinterpret_cast<LPARAM>(buffer.data()));
    buffer.back() = L'\0';
    std::wstring text(buffer.data());
    SecureZeroMemory(buffer.data(), buffer.size() * sizeof(wchar_t));
    return text;
}

}  // namespace

std::size_t TextLimit(HWND edit) { return textLimit(edit); }

std::size_t PlainTextCharacters(const std::string& text) {
    int units = MultiByteToWideChar(CP_SHIFT_JIS, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::size_t breaks = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++breaks;
    return units > 0 ? static_cast<std::size_t>(units) - breaks : 0;
}

// Measured in a hidden control of the editor's class that has no text limit of its own.
std::size_t RtfCharacters(HWND edit, const std::string& rtf) {
    HWND scratch = ScratchOf(edit);
    if (!scratch) return static_cast<std::size_t>(-1);
    SendMessageW(scratch, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    streamIn(scratch, rtf.c_str(), rtf.size());
    std::size_t n = CharacterCount(scratch);
    DestroyWindow(scratch);
    return n;
}

std::size_t CharacterCount(HWND edit) {
    GETTEXTLENGTHEX how{};
    how.flags = GTL_PRECISE | GTL_NUMCHARS;
    how.codepage = 1200;  // UTF-16 units, as the text limit counts them
    LRESULT n = SendMessageW(edit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0);
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

void StreamInRtf(HWND edit, const char* rtf) {
    // An RTF text never holds more characters than bytes, so only a long one
    // can meet the text limit, where the control would silently drop the rest.
    std::size_t length = std::strlen(rtf);
    std::size_t limit = textLimit(edit);
    if (length <= limit) {
        streamIn(edit, rtf, length);
    } else {
        SendMessageW(edit, EM_EXLIMITTEXT, 0, static_cast<LPARAM>(length));
        streamIn(edit, rtf, length);
        std::size_t held = CharacterCount(edit);
        SendMessageW(edit, EM_EXLIMITTEXT, 0, static_cast<LPARAM>(held > limit ? held : limit));
    }
    markChanged(edit);
}

void StreamInText(HWND edit, const std::string& text) { StreamInText(edit, wide::from932(text.c_str())); }

void StreamInText(HWND edit, const std::wstring& text) {
    const std::size_t units = wcslen(text.c_str());
    streamIn(edit, reinterpret_cast<const char*>(text.c_str()), units * sizeof(wchar_t), SF_TEXT | SF_UNICODE);
    markChanged(edit);
}

std::size_t PlainTextCharacters(const std::wstring& text) {
    std::size_t breaks = 0;
    for (std::size_t at = text.find(L"\r\n"); at != std::wstring::npos; at = text.find(L"\r\n", at + 2)) ++breaks;
    return text.size() - breaks;
}

HWND ScratchOf(HWND edit) {
    wchar_t className[64] = L"";
    GetClassNameW(edit, className, 64);
    return CreateWindowExW(0, className, L"", WS_POPUP | ES_MULTILINE, 0, 0, 0, 0, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

std::size_t RtfLength(HWND edit) {
    std::size_t count = 0;
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&count);
    stream.pfnCallback = countPiece;
    SendMessageW(edit, EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    return count;
}

void StreamOutRtf(HWND edit, char* buffer, std::size_t capacity) {
    if (!buffer || capacity == 0) return;
    AppendBuffer target{buffer, capacity, strnlen(buffer, capacity - 1)};
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&target);
    stream.pfnCallback = appendPiece;
    SendMessageW(edit, EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&stream));
}

std::string StreamOutRtf(HWND edit) {
    std::vector<char> buffer(RtfLength(edit) + 1, '\0');
    StreamOutRtf(edit, buffer.data(), buffer.size());
    std::string rtf(buffer.data());
    SecureZeroMemory(buffer.data(), buffer.size());  // it may be a secure page's plain text
    // the control may have written a look-alike for a character code page 932 lacks; the
    // text as the RTF writes it: a paragraph ends with '\r', a line break is '\v'
    std::wstring units = unicodeText(edit, GT_DEFAULT, CharacterCount(edit));
    std::u16string text(units.begin(), units.end());
    std::string kept = rtfunicode::keepEveryCharacter(rtf, text);
    SecureZeroMemory(&units[0], units.size() * sizeof(wchar_t));
    SecureZeroMemory(&text[0], text.size() * sizeof(char16_t));
    if (kept.size() != rtf.size() || kept != rtf) SecureZeroMemory(&rtf[0], rtf.size());
    return kept;
}

std::size_t TextByteLength(HWND edit) {
    GETTEXTLENGTHEX how{};
    how.flags = GTL_USECRLF | GTL_PRECISE | GTL_NUMBYTES;
    how.codepage = CP_SHIFT_JIS;
    LRESULT n = SendMessageW(edit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0);
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

std::string EditorText(HWND edit) {
    std::vector<char> buffer(TextByteLength(edit) + 1, '\0');
    GETTEXTEX how{};
    how.cb = static_cast<DWORD>(buffer.size());
    how.flags = GT_USECRLF;
    how.codepage = CP_SHIFT_JIS;
    SendMessageW(edit, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&how), reinterpret_cast<LPARAM>(buffer.data()));
    buffer.back() = '\0';
    return std::string(buffer.data());
}

std::wstring EditorTextUnicode(HWND edit) {
    return unicodeText(edit, GT_USECRLF, 2 * CharacterCount(edit));  // CR LF at most doubles
}

void ReplaceSelectionUnicode(HWND edit, const std::wstring& text) {
    SETTEXTEX how{};
    how.flags = ST_SELECTION;
    how.codepage = 1200;
    // A piece that begins with "{\rtf" would be read as RTF: a first "{" goes in alone. Only
    // then: a first CR LF split in two would become two line breaks.
    const std::size_t first = (!text.empty() && text[0] == L'{') ? 1 : 0;
    for (const std::wstring& piece : {text.substr(0, first), text.substr(first)})
        if (!piece.empty())
            SendMessageW(edit, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how), reinterpret_cast<LPARAM>(piece.c_str()));
}

}  // namespace rtfstream
