// Support for the editor tests: a bare rich-edit control of the editor's class.
#pragma once
#include <windows.h>
#include <richedit.h>

#include <string>

#include "store/Wide932.h"

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

// Code page 932 text into a wide control, whatever the system's code page.
inline void setText(HWND edit, const char* text) { SetWindowTextW(edit, wide::from932(text).c_str()); }
inline void replaceSelection(HWND edit, BOOL undoable, const char* text) {
    SendMessageW(edit, EM_REPLACESEL, undoable, reinterpret_cast<LPARAM>(wide::from932(text).c_str()));
}

// A hidden multi-line rich edit control of the memo editor's class.
class RichEdit {
public:
    RichEdit() {
        static HMODULE library = LoadLibraryA("riched20.dll");
        (void)library;
        hwnd_ = CreateWindowExW(0, L"RichEdit20W", L"", WS_POPUP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_NOHIDESEL,
                                0, 0, 400, 300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        SendMessageA(hwnd_, EM_EXLIMITTEXT, 0, 131072);
        // the editor's own default is not bold; the bare control's ("System" on an English system) is
        CHARFORMAT2W plain{};
        plain.cbSize = sizeof plain;
        plain.dwMask = CFM_BOLD;
        SendMessageW(hwnd_, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&plain));
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
