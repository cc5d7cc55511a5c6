#include "editor/Clipboard.h"

#include <windows.h>
#include <richedit.h>

#include <cstring>

#include "editor/RtfStream.h"
#include "editor/RtfUnicode.h"
#include "store/Wide932.h"

namespace clipboard {
namespace {

const char PARAGRAPH_END[] = "\\par\r\n}\r\n";  // RTF that ends with a paragraph mark
const wchar_t TWO_LINE_BREAKS[] = L"\r\n\r\n";

// Opens the clipboard without an owner for the life of the object. Another
// program may hold it for a moment, so a few tries are made.
class OpenedClipboard {
public:
    OpenedClipboard() {
        for (int attempt = 0; attempt < 4 && !open_; ++attempt) {
            if (attempt > 0) Sleep(10);
            open_ = OpenClipboard(nullptr) != FALSE;
        }
    }
    ~OpenedClipboard() {
        if (open_) CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    bool isOpen() const { return open_; }

private:
    bool open_ = false;
};

// The zero-terminated string in a clipboard handle, never read past the block.
bool copyHandleText(HANDLE data, std::string& text) {
    if (!data) return false;
    const char* bytes = static_cast<const char*>(GlobalLock(data));
    if (!bytes) return false;
    SIZE_T size = GlobalSize(data);
    text.assign(bytes, strnlen(bytes, size));
    GlobalUnlock(data);
    return true;
}

// The same for the clipboard's Unicode text.
bool copyHandleText(HANDLE data, std::wstring& text) {
    if (!data) return false;
    const wchar_t* units = static_cast<const wchar_t*>(GlobalLock(data));
    if (!units) return false;
    SIZE_T size = GlobalSize(data) / sizeof(wchar_t);
    text.assign(units, wcsnlen(units, size));
    GlobalUnlock(data);
    return true;
}

template <class Text>
bool readFormat(UINT format, Text& text) {
    text.clear();
    if (!IsClipboardFormatAvailable(format)) return false;
    OpenedClipboard cb;
    if (!cb.isOpen()) return false;
    return copyHandleText(GetClipboardData(format), text);
}

// Puts `text` and its terminating zero in a global block the clipboard owns.
template <class Text>
bool writeFormat(const Text& text, UINT format, bool emptyFirst) {
    if (text.empty()) return false;
    OpenedClipboard cb;
    if (!cb.isOpen()) return false;
    const SIZE_T size = (text.size() + 1) * sizeof(text[0]);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block) return false;
    void* bytes = GlobalLock(block);
    if (!bytes) {
        GlobalFree(block);
        return false;
    }
    std::memcpy(bytes, text.c_str(), size);
    GlobalUnlock(block);
    if (emptyFirst) EmptyClipboard();
    if (!SetClipboardData(format, block)) {
        GlobalFree(block);
        return false;
    }
    return true;
}

bool endsWith(const std::string& text, const char* tail) {
    std::size_t n = std::strlen(tail);
    return text.size() >= n && text.compare(text.size() - n, n, tail) == 0;
}

bool endsWithBreak(const std::wstring& text) { return text.size() >= 2 && text.compare(text.size() - 2, 2, L"\r\n") == 0; }

void replaceSelection(HWND edit, const std::wstring& text) {
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

// The control's own paste, bypassing the subclass.
void ownPaste(HWND edit, WNDPROC previousProc) {
    if (previousProc)
        CallWindowProcW(previousProc, edit, WM_PASTE, 0, 0);
    else
        SendMessageW(edit, WM_PASTE, 0, 0);
}

// After pasting a text that ends with a line break, the control is also
// given "\r\n\r\n" pasted on its own, as the editor always has.
void pasteTwoLineBreaks(HWND edit, WNDPROC previousProc) {
    if (WriteClipboardUnicode(TWO_LINE_BREAKS, true)) ownPaste(edit, previousProc);
}

// RTF on the clipboard with paste-as-text on: insert its plain text, then
// put the RTF and the text back as they were. The text goes in as one replacement:
// the control's own paste of CF_TEXT took a line break whose CR and LF lay either
// side of the text's 2,048th byte for two.
void pasteRtfAsText(HWND edit, WNDPROC previousProc) {
    std::string rtf;
    std::wstring text;
    ReadClipboardFormat(RtfFormat(), rtf);
    ReadClipboardUnicode(text);
    if (!text.empty()) replaceSelection(edit, text);
    if (endsWith(rtf, PARAGRAPH_END)) pasteTwoLineBreaks(edit, previousProc);
    WriteClipboardFormat(rtf, RtfFormat());
    WriteClipboardUnicode(text, false);
}

// Plain text on the clipboard: inserted as one replacement, every character as it is (the page's
// RTF keeps what code page 932 lacks). A text that ends with a line break is followed by two
// more, as the editor always had it. The clipboard is left as the other program put it.
void pastePlainText(HWND edit) {
    std::wstring text;
    if (!ReadClipboardUnicode(text) || text.empty()) return;
    replaceSelection(edit, text);
    if (endsWithBreak(text)) replaceSelection(edit, TWO_LINE_BREAKS);
}

// The RTF the control put on the clipboard may hold a look-alike for a character code page 932
// lacks (u for u-umlaut); the Unicode text beside it holds the character, and the RTF gets it back.
void keepEveryCopiedCharacter() {
    std::string rtf;
    std::wstring text;
    if (!ReadClipboardFormat(RtfFormat(), rtf) || !ReadClipboardUnicode(text)) return;
    std::u16string paragraphs;  // as the RTF writes them: CR LF is one paragraph mark
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == L'\n' && i > 0 && text[i - 1] == L'\r')) paragraphs += static_cast<char16_t>(text[i]);
    const std::string kept = rtfunicode::keepEveryCharacter(rtf, paragraphs);
    if (kept == rtf) return;
    WriteClipboardFormat(kept, RtfFormat());  // empties the clipboard: the text goes back beside it
    WriteClipboardUnicode(text, false);
}

}  // namespace

UINT RtfFormat() { return RegisterClipboardFormatW(L"Rich Text Format"); }

bool ReadClipboardUnicode(std::wstring& text) { return readFormat(CF_UNICODETEXT, text); }

bool WriteClipboardUnicode(const std::wstring& text, bool emptyFirst) {
    return writeFormat(text, CF_UNICODETEXT, emptyFirst);
}

bool ReadClipboardText(std::string& text) {
    std::wstring unicode;
    const bool read = ReadClipboardUnicode(unicode);
    text = wide::to932(unicode);
    return read;
}

bool WriteClipboardText(const std::string& text, bool emptyFirst) {
    return WriteClipboardUnicode(wide::from932(text), emptyFirst);
}

std::size_t ClipboardTextLength() {
    std::string text;
    ReadClipboardText(text);
    return text.size();
}

bool ReadClipboardFormat(UINT format, std::string& text) { return readFormat(format, text); }

bool WriteClipboardFormat(const std::string& text, UINT format) { return writeFormat(text, format, true); }

std::size_t ClipboardFormatLength(UINT format) {
    std::string text;
    readFormat(format, text);
    return text.size();
}

bool CopyAsTextStep(bool copyAsText) {
    if (!copyAsText) {
        keepEveryCopiedCharacter();
        return false;
    }
    std::wstring text;
    if (ReadClipboardUnicode(text) && !text.empty()) WriteClipboardUnicode(text, true);
    return true;
}

bool PasteStep(HWND edit, WNDPROC previousProc, bool pasteAsText) {
    bool hasRtf = IsClipboardFormatAvailable(RtfFormat()) != FALSE;
    if (hasRtf && pasteAsText) {
        pasteRtfAsText(edit, previousProc);
        return true;
    }
    if (hasRtf || !IsClipboardFormatAvailable(CF_UNICODETEXT)) return false;
    pastePlainText(edit);
    return true;
}

std::size_t PasteCharacters(HWND edit, bool pasteAsText) {
    std::string rtf;
    std::wstring text;
    const bool hasText = ReadClipboardUnicode(text);
    const bool hasRtf = ReadClipboardFormat(RtfFormat(), rtf);
    if (hasRtf && !pasteAsText) return rtfstream::RtfCharacters(edit, rtf);  // the control's own RTF paste
    if (!hasText) return 0;
    const bool extraBreaks = hasRtf ? endsWith(rtf, PARAGRAPH_END) : endsWithBreak(text);
    return rtfstream::PlainTextCharacters(text) + (extraBreaks ? 2 : 0);
}

}  // namespace clipboard
