// qpctl: a small remote control for scripts. Waits for the main window of Quiltpad,
// sends it commands, finds its dialogs, or closes it.
//   qpctl wait [seconds]           exit 0 once a window of the class QUILTPAD exists
//   qpctl close [seconds]          posts WM_CLOSE to it and waits until it is gone
//   qpctl command ID               posts the menu command ID to it
//   qpctl rect CAPTION [seconds]   waits for a visible window titled CAPTION and prints
//                                  "left top width height" of it
//   qpctl press CAPTION ID         posts the command ID (a button) to the window titled CAPTION
//   qpctl ready CAPTION [seconds]  waits until the window titled CAPTION has painted itself and
//                                  each of its push buttons is visible on it; prints the buttons
//   qpctl set CAPTION ID TEXT      sets the text of control ID anywhere inside the window titled CAPTION
//   qpctl check CAPTION ID 0|1     sets the check of control ID anywhere inside that window
//   qpctl text CAPTION ID          prints the text of control ID (0xFFFF: a message box's text)
//   qpctl select CAPTION ID N      selects line N of list box ID inside the window titled CAPTION
//   qpctl type TEXT                types TEXT into the editor at its caret
//   qpctl clip [TEXT]              puts TEXT (empty without it) on the clipboard as another program's text
//   qpctl endsession [force]       asks it whether the session may end (prints 1 or 0); with
//                                  "force" it is then told the session ends (WM_ENDSESSION TRUE)
//   qpctl idle|exit|switch|streamin|bigbook ...   the benchmark's timings (BenchCommands.h)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/qpctl/BenchCommands.h"

static HWND findMain() { return FindWindowA("QUILTPAD", nullptr); }

static bool waitFor(bool present, int seconds) {
    for (int i = 0; i < seconds * 10; ++i) {
        if ((findMain() != nullptr) == present) return true;
        Sleep(100);
    }
    return false;
}

struct Titled {
    std::string caption;
    HWND found;
};

static BOOL CALLBACK findTitled(HWND window, LPARAM param) {
    auto* titled = reinterpret_cast<Titled*>(param);
    char caption[256] = {};
    GetWindowTextA(window, caption, sizeof caption);
    if (!IsWindowVisible(window) || titled->caption != caption) return TRUE;
    titled->found = window;
    return FALSE;
}

static HWND waitForTitled(const char* caption, int seconds) {
    Titled titled = {caption, nullptr};
    for (int i = 0; i < seconds * 10 && !titled.found; ++i) {
        EnumWindows(findTitled, reinterpret_cast<LPARAM>(&titled));
        if (!titled.found) Sleep(100);
    }
    return titled.found;
}

struct Painted {
    HWND window;
    bool pending = false;  // some part of the window still waits for its paint
    int buttons = 0;       // push buttons seen whole on the window
    bool hidden = false;   // a push button that cannot be seen
};

static BOOL CALLBACK checkChild(HWND child, LPARAM param) {
    auto* painted = reinterpret_cast<Painted*>(param);
    RECT update = {};
    if (IsWindowVisible(child) && GetUpdateRect(child, &update, FALSE)) painted->pending = true;
    char name[32] = {};
    GetClassNameA(child, name, sizeof name);
    const LONG type = GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK;
    if (std::strcmp(name, "Button") != 0 || (type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON)) return TRUE;
    if (!IsWindowVisible(GetParent(child))) return TRUE;  // on a tab page not shown now
    RECT button = {}, client = {};
    GetWindowRect(child, &button);
    GetClientRect(painted->window, &client);
    MapWindowPoints(painted->window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    const bool inside = button.left >= client.left && button.top >= client.top && button.right <= client.right &&
                        button.bottom <= client.bottom;
    if (IsWindowVisible(child) && inside)
        ++painted->buttons;
    else
        painted->hidden = true;
    return TRUE;
}

// Once the window's thread has handled everything sent before (its dialog set up), every part
// of it has had its paint and its push buttons are visible: the window can be photographed.
static int readyCommand(const char* caption, int seconds) {
    HWND window = waitForTitled(caption, seconds);
    if (!window) return 2;
    for (int i = 0; i < seconds * 10; ++i, Sleep(100)) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
        Painted painted{window};
        RECT update = {};
        painted.pending = GetUpdateRect(window, &update, FALSE) != FALSE;
        EnumChildWindows(window, checkChild, reinterpret_cast<LPARAM>(&painted));
        if (painted.pending || painted.hidden) continue;
        std::printf("%d\n", painted.buttons);
        return 0;
    }
    std::fprintf(stderr, "qpctl: \"%s\" has not painted its buttons\n", caption);
    return 3;
}

struct ById {
    int id;
    HWND found;
};

static BOOL CALLBACK findById(HWND window, LPARAM param) {
    auto* byId = reinterpret_cast<ById*>(param);
    if (GetDlgCtrlID(window) != byId->id) return TRUE;
    byId->found = window;
    return FALSE;
}

// A control by its id anywhere below the window titled `caption` (tab pages are child dialogs).
static HWND controlIn(const char* caption, int id) {
    HWND window = waitForTitled(caption, 5);
    if (!window) return nullptr;
    ById byId = {id, nullptr};
    EnumChildWindows(window, findById, reinterpret_cast<LPARAM>(&byId));
    return byId.found;
}

static int usage() {
    std::fprintf(stderr,
                 "usage: qpctl wait|close [seconds] | command ID | rect CAPTION [seconds] | ready CAPTION [seconds]"
                 " | press CAPTION ID | set|check CAPTION ID X | text CAPTION ID | select CAPTION ID N"
                 " | clip [TEXT] | endsession [force] | idle|exit [seconds] | switch N"
                 " | streamin BOOK N | search WORD | bigbook OUT BYTES\n");
    return 1;
}

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    const std::string verb = argv[1];
    const int timed = benchcommands::run(argc, argv);
    if (timed >= 0) return timed;
    if (verb == "wait" || verb == "close") {
        const int seconds = argc > 2 ? std::atoi(argv[2]) : 30;
        if (verb == "wait") {
            if (waitFor(true, seconds)) return 0;
            std::fprintf(stderr, "qpctl: no Quiltpad window after %d s\n", seconds);
            return 2;
        }
        HWND window = findMain();
        if (!window) {
            std::fprintf(stderr, "qpctl: no Quiltpad window\n");
            return 2;
        }
        PostMessageA(window, WM_CLOSE, 0, 0);
        return waitFor(false, seconds) ? 0 : 2;
    }
    if (verb == "command" && argc == 3) {
        HWND window = findMain();
        if (!window) return 2;
        return PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(std::atoi(argv[2])), 0) ? 0 : 2;
    }
    if (verb == "type" && argc == 3) {
        // as typed into the editor: each character of TEXT (code page 932) at the caret
        HWND window = findMain();
        HWND editor = window ? GetDlgItem(window, 1000) : nullptr;
        if (!editor) return 2;
        wchar_t text[1024] = {};
        MultiByteToWideChar(932, 0, argv[2], -1, text, 1024);
        for (const wchar_t* c = text; *c; ++c) SendMessageW(editor, WM_CHAR, *c, 1);
        return 0;
    }
    if (verb == "rect" && argc >= 3) {
        HWND window = waitForTitled(argv[2], argc > 3 ? std::atoi(argv[3]) : 10);
        RECT r = {};
        if (!window || !GetWindowRect(window, &r)) return 2;
        std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        return 0;
    }
    if (verb == "ready" && argc >= 3) return readyCommand(argv[2], argc > 3 ? std::atoi(argv[3]) : 10);
    if (verb == "press" && argc == 4) {
        HWND window = waitForTitled(argv[2], 5);
        if (!window) return 2;
        return PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(std::atoi(argv[3])), 0) ? 0 : 2;
    }
    if (verb == "select" && argc == 5) {
        HWND control = controlIn(argv[2], static_cast<int>(std::strtol(argv[3], nullptr, 0)));
        return control && SendMessageA(control, LB_SETCURSEL, std::atoi(argv[4]), 0) != LB_ERR ? 0 : 2;
    }
    if (verb == "clip") {
        const std::string text = argc > 2 ? argv[2] : "";
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
        char* bytes = block ? static_cast<char*>(GlobalLock(block)) : nullptr;
        if (!bytes || !OpenClipboard(nullptr)) return 2;
        std::memcpy(bytes, text.c_str(), text.size() + 1);
        GlobalUnlock(block);
        EmptyClipboard();
        const bool put = SetClipboardData(CF_TEXT, block) != nullptr;
        CloseClipboard();
        return put ? 0 : 2;
    }
    if (verb == "endsession") {
        HWND window = findMain();
        DWORD_PTR mayEnd = 0;
        if (!window ||
            !SendMessageTimeoutA(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &mayEnd))
            return 2;
        std::printf("%d\n", mayEnd ? 1 : 0);
        if (argc > 2 && std::string(argv[2]) == "force")
            SendMessageTimeoutA(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 10000, &mayEnd);
        return 0;
    }
    if ((verb == "set" && argc == 5) || (verb == "check" && argc == 5) || (verb == "text" && argc == 4)) {
        HWND control = controlIn(argv[2], static_cast<int>(std::strtol(argv[3], nullptr, 0)));
        if (!control) return 2;
        if (verb == "set") return SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4])) ? 0 : 2;
        if (verb == "check") {
            SendMessageA(control, BM_SETCHECK, std::atoi(argv[4]) ? BST_CHECKED : BST_UNCHECKED, 0);
            return 0;
        }
        char text[2048] = {};
        // WM_GETTEXT itself: GetWindowText does not ask a control of another process
        SendMessageA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
        std::printf("%s\n", text);
        return 0;
    }
    return usage();
}
