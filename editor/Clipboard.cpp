#include "editor/Clipboard.h"

#include <windows.h>
#include <richedit.h>

#include <cstring>

#include "editor/RtfStream.h"

namespace clipboard {
namespace {

const char PARAGRAPH_END[] = "\\par\r\n}\r\n";  // RTF that ends with a paragraph mark
const char TWO_LINE_BREAKS[] = "\r\n\r\n";

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

bool readFormat(UINT format, std::string& text) {
    text.clear();
    if (!IsClipboardFormatAvailable(format)) return false;
    OpenedClipboard cb;
    if (!cb.isOpen()) return false;
    return copyHandleText(GetClipboardData(format), text);
}

// Puts `text` and its terminating zero in a global block the clipboard owns.
bool writeFormat(const std::string& text, UINT format, bool emptyFirst) {
    if (text.empty()) return false;
    OpenedClipboard cb;
    if (!cb.isOpen()) return false;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (!block) return false;
    char* bytes = static_cast<char*>(GlobalLock(block));
    if (!bytes) {
        GlobalFree(block);
        return false;
    }
    std::memcpy(bytes, text.c_str(), text.size() + 1);
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

// The control's own paste, bypassing the subclass.
void ownPaste(HWND edit, WNDPROC previousProc) {
    if (previousProc)
        CallWindowProcA(previousProc, edit, WM_PASTE, 0, 0);
    else
        SendMessageA(edit, WM_PASTE, 0, 0);
}

// After pasting a text that ends with a line break, the control is also
// given "\r\n\r\n" pasted on its own, as the editor always has.
void pasteTwoLineBreaks(HWND edit, WNDPROC previousProc) {
    if (WriteClipboardText(TWO_LINE_BREAKS, true)) ownPaste(edit, previousProc);
}

// RTF on the clipboard with paste-as-text on: insert its plain text, then
// put the RTF and the text back as they were. The text goes in as one replacement:
// the control's own paste of CF_TEXT took a line break whose CR and LF lay either
// side of the text's 2,048th byte for two.
void pasteRtfAsText(HWND edit, WNDPROC previousProc) {
    std::string rtf, text;
    ReadClipboardFormat(RtfFormat(), rtf);
    ReadClipboardText(text);
    if (!text.empty()) SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
    if (endsWith(rtf, PARAGRAPH_END)) pasteTwoLineBreaks(edit, previousProc);
    WriteClipboardFormat(rtf, RtfFormat());
    WriteClipboardText(text, false);
}

// Plain text on the clipboard: inserted as the page can hold it, in code page 932 (the text
// the system gives for CF_TEXT), so what shows is what is stored: the editor's own paste would
// show characters outside it and lose them when the page is stored. A text that ends
// with a line break is followed by two more, as the editor always had it. The clipboard is
// left as the other program put it (its Unicode text included).
void pastePlainText(HWND edit) {
    std::string text;
    if (!ReadClipboardText(text) || text.empty()) return;
    SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
    if (endsWith(text, "\r\n")) SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(TWO_LINE_BREAKS));
}

}  // namespace

UINT RtfFormat() { return RegisterClipboardFormatA("Rich Text Format"); }

bool ReadClipboardText(std::string& text) { return readFormat(CF_TEXT, text); }

bool WriteClipboardText(const std::string& text, bool emptyFirst) { return writeFormat(text, CF_TEXT, emptyFirst); }

std::size_t ClipboardTextLength() { return ClipboardFormatLength(CF_TEXT); }

bool ReadClipboardFormat(UINT format, std::string& text) { return readFormat(format, text); }

bool WriteClipboardFormat(const std::string& text, UINT format) { return writeFormat(text, format, true); }

std::size_t ClipboardFormatLength(UINT format) {
    std::string text;
    readFormat(format, text);
    return text.size();
}

bool CopyAsTextStep(bool copyAsText) {
    if (!copyAsText) return false;
    std::string text;
    if (ReadClipboardText(text) && !text.empty()) WriteClipboardText(text, true);
    return true;
}

bool PasteStep(HWND edit, WNDPROC previousProc, bool pasteAsText) {
    bool hasRtf = IsClipboardFormatAvailable(RtfFormat()) != FALSE;
    if (hasRtf && pasteAsText) {
        pasteRtfAsText(edit, previousProc);
        return true;
    }
    if (hasRtf || !IsClipboardFormatAvailable(CF_TEXT)) return false;
    pastePlainText(edit);
    return true;
}

std::size_t PasteCharacters(HWND edit, bool pasteAsText) {
    std::string text, rtf;
    const bool hasText = ReadClipboardText(text);
    const bool hasRtf = ReadClipboardFormat(RtfFormat(), rtf);
    if (hasRtf && !pasteAsText) return rtfstream::RtfCharacters(edit, rtf);  // the control's own RTF paste
    if (!hasText) return 0;
    const bool extraBreaks = hasRtf ? endsWith(rtf, PARAGRAPH_END) : endsWith(text, "\r\n");
    return rtfstream::PlainTextCharacters(text) + (extraBreaks ? 2 : 0);
}

}  // namespace clipboard
