// Support for the editor tests: a bare rich-edit control of the editor's class.
#pragma once
#include <windows.h>
#include <richedit.h>

#include <string>

namespace editortest {

// "日本語" in bold, then a plain paragraph "abc" (its \par is the control's
// final paragraph mark, which the plain text does not show).
inline const char FORMATTED_RTF[] =
    "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 MS Gothic;}}\r\n"
    "\\pard\\f0\\fs20\\b \\'93\\'fa\\'96\\'7b\\'8c\\'ea\\b0\\par\r\nabc\\par\r\n}\r\n";

inline std::string repeated(const std::string& piece, int times) {
    std::string all;
    for (int i = 0; i < times; ++i) all += piece;
    return all;
}

// A hidden multi-line RICHEDIT20A control, as the memo editor creates it.
class RichEdit {
public:
    RichEdit() {
        static HMODULE library = LoadLibraryA("riched20.dll");
        (void)library;
        hwnd_ = CreateWindowExA(0, "RICHEDIT20A", "", WS_POPUP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_NOHIDESEL,
                                0, 0, 400, 300, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        SendMessageA(hwnd_, EM_EXLIMITTEXT, 0, 131072);
    }
    ~RichEdit() {
        if (hwnd_) DestroyWindow(hwnd_);
    }
    RichEdit(const RichEdit&) = delete;
    RichEdit& operator=(const RichEdit&) = delete;
    HWND hwnd() const { return hwnd_; }

    void select(long start, long end) const { SendMessageA(hwnd_, EM_SETSEL, start, end); }
    // The character format of the selection, as the control reports it.
    CHARFORMAT2A format(long start, long end) const {
        select(start, end);
        CHARFORMAT2A cf{};
        cf.cbSize = sizeof cf;
        SendMessageA(hwnd_, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
        return cf;
    }
    bool isBold(long start, long end) const {
        CHARFORMAT2A cf = format(start, end);
        return (cf.dwMask & CFM_BOLD) && (cf.dwEffects & CFE_BOLD);
    }

private:
    HWND hwnd_ = nullptr;
};

}  // namespace editortest
