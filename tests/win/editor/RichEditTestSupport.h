// Support for the editor tests: a bare rich-edit control of the editor's class,
// and a watcher that answers message boxes shown while a test runs.
#pragma once
#include <windows.h>
#include <richedit.h>

#include <string>
#include <vector>

namespace editortest {

// A hidden multi-line RICHEDIT20A control, as the memo editor creates it.
class RichEdit {
public:
    RichEdit() {
        static HMODULE library = LoadLibraryA("riched20.dll");
        (void)library;
        hwnd_ = CreateWindowExA(0, "RICHEDIT20A", "",
                                WS_POPUP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_NOHIDESEL,
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

// While it lives, message boxes with `caption` are answered with `button`
// (from a timer of this thread, which runs inside the box's own loop); the
// texts they showed are kept.
class MessageBoxWatcher {
public:
    explicit MessageBoxWatcher(const char* caption, int button = IDOK)
        : caption_(caption), button_(button) {
        current() = this;
        timer_ = SetTimer(nullptr, 0, 50, onTimer);
    }
    ~MessageBoxWatcher() {
        KillTimer(nullptr, timer_);
        current() = nullptr;
    }
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;
    const std::vector<std::string>& texts() const { return texts_; }

private:
    static MessageBoxWatcher*& current() {
        static MessageBoxWatcher* watcher = nullptr;
        return watcher;
    }
    static void CALLBACK onTimer(HWND, UINT, UINT_PTR, DWORD) {
        MessageBoxWatcher* self = current();
        if (!self) return;
        HWND box = FindWindowA("#32770", self->caption_.c_str());
        if (!box) return;
        char text[1024] = "";
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        self->texts_.push_back(text);
        SendMessageA(box, WM_COMMAND, self->button_, 0);
    }

    std::string caption_;
    int button_;
    UINT_PTR timer_ = 0;
    std::vector<std::string> texts_;
};

}  // namespace editortest
