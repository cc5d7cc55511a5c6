// qpctl's commands for scripts/bench-app.sh: timing the program from outside.
#include "tools/qpctl/BenchCommands.h"

#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "res/resource.h"
#include "search/SearchMessages.h"
#include "store/DataFile.h"
#include "store/PageTable.h"

namespace benchcommands {
namespace {

const int PAGE_LIST_ID = 1004;

HWND findMain() { return FindWindowA("QUILTPAD", nullptr); }

double nowMs() {
    LARGE_INTEGER frequency, count;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&count);
    return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

long long fileTimeTicks(const FILETIME& t) {
    return (static_cast<long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

HANDLE openProcessOf(HWND window, DWORD access) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid ? OpenProcess(access, FALSE, pid) : nullptr;
}

int fail(const char* what) {
    std::fprintf(stderr, "qpctl: %s\n", what);
    return 2;
}

int idleCommand(int seconds) {
    const double deadline = nowMs() + seconds * 1000.0;
    HWND window = nullptr;
    while (!(window = findMain()) || !IsWindowVisible(window)) {
        if (nowMs() > deadline) return fail("no shown Quiltpad window");
        Sleep(5);
    }
    HANDLE process = openProcessOf(window, PROCESS_QUERY_INFORMATION | SYNCHRONIZE);
    if (!process) return fail("cannot open the process");
    DWORD_PTR answer = 0;
    // answered only once the window's thread is back in its message loop
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_BLOCK, static_cast<UINT>(seconds) * 1000u, &answer);
    WaitForInputIdle(process, static_cast<DWORD>(seconds) * 1000u);
    FILETIME created, exited, kernel, user, now;
    GetProcessTimes(process, &created, &exited, &kernel, &user);
    GetSystemTimeAsFileTime(&now);
    CloseHandle(process);
    std::printf("start_ms=%.1f\n", (fileTimeTicks(now) - fileTimeTicks(created)) / 10000.0);
    return 0;
}

int exitCommand(int seconds) {
    HWND window = findMain();
    if (!window) return fail("no Quiltpad window");
    HANDLE process = openProcessOf(window, SYNCHRONIZE);
    if (!process) return fail("cannot open the process");
    const double start = nowMs();
    PostMessageA(window, WM_CLOSE, 0, 0);
    const DWORD waited = WaitForSingleObject(process, static_cast<DWORD>(seconds) * 1000u);
    const double elapsed = nowMs() - start;
    CloseHandle(process);
    if (waited != WAIT_OBJECT_0) return fail("the process did not end");
    std::printf("exit_ms=%.1f\n", elapsed);
    return 0;
}

LRESULT sendKey(HWND window, WPARAM key) {
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(window, WM_KEYDOWN, key, 1, SMTO_BLOCK, 30u * 60u * 1000u, &answer);
    return static_cast<LRESULT>(answer);
}

LRESULT selection(HWND tree) { return SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0); }

int switchCommand(int presses) {
    HWND window = findMain();
    HWND tree = window ? GetDlgItem(window, PAGE_LIST_ID) : nullptr;
    if (!tree) return fail("no page list");
    sendKey(tree, VK_HOME);
    int switched = 0;
    const double start = nowMs();
    for (int i = 0; i < presses; ++i) {
        const LRESULT before = selection(tree);
        sendKey(tree, VK_DOWN);
        if (selection(tree) != before) ++switched;
    }
    const double elapsed = nowMs() - start;
    std::printf("switch_ms=%.3f\nswitched=%d\n", presses > 0 ? elapsed / presses : 0.0, switched);
    return 0;
}

// A search of all memos for a word in no page, from the first page: one press of "次を検索"
// runs round the whole book back to the start page.
int searchCommand(const char* word) {
    HWND window = findMain();
    HWND tree = window ? GetDlgItem(window, PAGE_LIST_ID) : nullptr;
    if (!tree) return fail("no page list");
    sendKey(tree, VK_HOME);
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(window, WM_COMMAND, IDM_SEARCH, 0, SMTO_BLOCK, 60u * 1000u, &answer);
    HWND dialog = FindWindowA("#32770", "検索");
    if (!dialog) return fail("no search window");
    SendDlgItemMessageA(dialog, IDC_SEARCH_TEXT, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(word));
    for (int id = IDC_SEARCH_ALL; id <= IDC_SEARCH_THIS_MEMO; ++id)
        SendDlgItemMessageA(dialog, id, BM_SETCHECK, id == IDC_SEARCH_MEMOS ? BST_CHECKED : BST_UNCHECKED, 0);
    const double start = nowMs();
    SendMessageTimeoutA(dialog, WM_COMMAND, IDC_SEARCH_NEXT, 0, SMTO_BLOCK, 30u * 60u * 1000u, &answer);
    const double elapsed = nowMs() - start;
    char status[256] = {};
    SendDlgItemMessageA(dialog, IDC_SEARCH_STATUS, WM_GETTEXT, sizeof status, reinterpret_cast<LPARAM>(status));
    SendMessageTimeoutA(dialog, WM_COMMAND, IDCANCEL, 0, SMTO_BLOCK, 60u * 1000u, &answer);
    std::printf("search_ms=%.1f\nsearch_round=%d\n", elapsed, std::strcmp(status, search::BACK_AT_START_PAGE) == 0);
    return 0;
}

struct ReadCursor {
    const char* next;
    std::size_t left;
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

// A plain stream-in of each page's RTF into a shown rich edit: the floor under a page switch.
int streaminCommand(const char* path, int pages) {
    PageTable table;
    DataFileHeader header;
    VersionBlock version;
    if (!readDataFile(path, table, header, version)) return fail("cannot read the book");
    LoadLibraryA("RICHED20.DLL");
    HWND edit = CreateWindowExA(0, "RICHEDIT20A", "", WS_POPUP | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE, 0,
                                0, 800, 600, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!edit) return fail("no rich edit");
    SendMessageA(edit, EM_SETTARGETDEVICE, 0, 1);
    SendMessageA(edit, EM_EXLIMITTEXT, 0, header.textLimit);
    int streamed = 0;
    const double start = nowMs();
    for (int i = 0; i < table.count() && streamed < pages; ++i) {
        const std::string& rtf = table.recordAt(i).text;
        if (rtf.empty()) continue;
        ReadCursor cursor{rtf.c_str(), rtf.size() + 1};
        EDITSTREAM stream{};
        stream.dwCookie = reinterpret_cast<DWORD_PTR>(&cursor);
        stream.pfnCallback = readPiece;
        SendMessageA(edit, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
        ++streamed;
    }
    const double elapsed = nowMs() - start;
    DestroyWindow(edit);
    std::printf("streamin_ms=%.3f\nstreamed=%d\n", streamed > 0 ? elapsed / streamed : 0.0, streamed);
    return 0;
}

int bigbookCommand(const char* out, long bytes) {
    std::string rtf(EMPTY_PAGE_RTF, EMPTY_PAGE_RTF_HEAD_LENGTH);
    rtf += ' ';
    char line[64];
    for (long n = 1; static_cast<long>(rtf.size()) < bytes; ++n) {
        std::snprintf(line, sizeof line, "line %06ld of a very large page\\par\r\n", n);
        rtf += line;
    }
    rtf += "\\par\r\n}\r\n";
    PageTable table;
    const char* texts[2] = {rtf.c_str(), EMPTY_PAGE_RTF};
    for (int i = 0; i < 2; ++i) {
        PageRecord r;
        r.title = i == 0 ? "big" : "small";
        r.text = texts[i];
        r.order = i;
        r.parentOrder = -1;
        r.isExpanded = 1;
        table.appendRecord(std::move(r));
    }
    const DataFileHeader header = newFileHeader();
    if (!writeDataFile(out, makeVersionBlock(SaveKind::ExitData, 1), false, table, header))
        return fail("cannot write the book");
    return 0;
}

}  // namespace

int run(int argc, char** argv) {
    const std::string command = argv[1];
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 600;
    if (command == "idle") return idleCommand(seconds);
    if (command == "exit") return exitCommand(seconds);
    if (command == "switch" && argc > 2) return switchCommand(std::atoi(argv[2]));
    if (command == "streamin" && argc > 3) return streaminCommand(argv[2], std::atoi(argv[3]));
    if (command == "search" && argc > 2) return searchCommand(argv[2]);
    if (command == "bigbook" && argc > 3) return bigbookCommand(argv[2], std::atol(argv[3]));
    return -1;
}

}  // namespace benchcommands
