// Leaving the program every way it can be left, and a new user's first session
// from start to restart, checked on the files the program writes.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "E2eSupport.h"
#include "res/resource.h"
#include "store/DataFile.h"

namespace {

// Counts the files that were completed in a folder (created, or renamed into
// place by an atomic write) from its construction on.
class FolderWatch {
public:
    explicit FolderWatch(const std::string& folder) {
        dir_ = CreateFileA(folder.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
        overlapped_.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        arm();
    }
    ~FolderWatch() {
        if (dir_ != INVALID_HANDLE_VALUE) {
            CancelIo(dir_);
            CloseHandle(dir_);
        }
        CloseHandle(overlapped_.hEvent);
    }
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    bool ok() const { return armed_; }
    // Takes in what has happened until a second passes without news.
    int completed(const std::string& name) {
        while (armed_ && WaitForSingleObject(overlapped_.hEvent, 1000) == WAIT_OBJECT_0) {
            DWORD bytes = 0;
            if (!GetOverlappedResult(dir_, &overlapped_, &bytes, FALSE)) break;
            take(bytes);
            arm();
        }
        return counts_[name];
    }

private:
    void arm() {
        ResetEvent(overlapped_.hEvent);
        armed_ = dir_ != INVALID_HANDLE_VALUE &&
                 ReadDirectoryChangesW(dir_, buffer_, sizeof buffer_, FALSE, FILE_NOTIFY_CHANGE_FILE_NAME, nullptr,
                                       &overlapped_, nullptr);
    }
    void take(DWORD bytes) {
        if (bytes == 0) counts_["(overflow)"]++;
        for (DWORD at = 0; at < bytes;) {
            const auto* info = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(buffer_ + at);
            std::string name;
            for (DWORD i = 0; i < info->FileNameLength / sizeof(WCHAR); ++i)
                name += static_cast<char>(info->FileName[i]);
            if (info->Action == FILE_ACTION_ADDED || info->Action == FILE_ACTION_RENAMED_NEW_NAME) counts_[name]++;
            if (info->NextEntryOffset == 0) break;
            at += info->NextEntryOffset;
        }
    }

    HANDLE dir_ = INVALID_HANDLE_VALUE;
    OVERLAPPED overlapped_ = {};
    alignas(DWORD) BYTE buffer_[16384] = {};
    bool armed_ = false;
    std::map<std::string, int> counts_;
};

// The program's page list from outside: labels and images travel through a
// buffer in the program's own memory.
class RemoteTree {
public:
    RemoteTree(HWND window, DWORD processId) : tree_(GetDlgItem(window, IDC_PAGE_LIST)) {
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
        if (process_) memory_ = VirtualAllocEx(process_, nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    ~RemoteTree() {
        if (memory_) VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    RemoteTree(const RemoteTree&) = delete;
    RemoteTree& operator=(const RemoteTree&) = delete;

    bool ok() const { return tree_ && memory_; }
    HWND window() const { return tree_; }

    HTREEITEM next(HTREEITEM item, UINT relation) const {
        return reinterpret_cast<HTREEITEM>(
            SendMessageA(tree_, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
    }
    HTREEITEM selection() const { return next(nullptr, TVGN_CARET); }
    void select(HTREEITEM item) const {
        SendMessageA(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    }

    // Every item in tree order (each item, then its children, then its next sibling).
    std::vector<HTREEITEM> inOrder() const {
        std::vector<HTREEITEM> items;
        for (HTREEITEM item = next(nullptr, TVGN_ROOT); item;) {
            items.push_back(item);
            if (HTREEITEM child = next(item, TVGN_CHILD)) {
                item = child;
                continue;
            }
            while (item && !next(item, TVGN_NEXT)) item = next(item, TVGN_PARENT);
            if (item) item = next(item, TVGN_NEXT);
        }
        return items;
    }

    std::string title(HTREEITEM item, int* image = nullptr) const {
        TVITEMA tv = {};
        tv.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_IMAGE;
        tv.hItem = item;
        tv.pszText = static_cast<char*>(memory_) + 1024;
        tv.cchTextMax = 260;
        char text[261] = {};
        if (!WriteProcessMemory(process_, memory_, &tv, sizeof tv, nullptr)) return "(unwritable)";
        SendMessageA(tree_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(memory_));
        ReadProcessMemory(process_, memory_, &tv, sizeof tv, nullptr);
        ReadProcessMemory(process_, static_cast<char*>(memory_) + 1024, text, 260, nullptr);
        if (image) *image = tv.iImage;
        return text;
    }

    HTREEITEM find(const std::string& wanted) const {
        for (HTREEITEM item : inOrder())
            if (title(item) == wanted) return item;
        return nullptr;
    }

private:
    HWND tree_;
    HANDLE process_ = nullptr;
    void* memory_ = nullptr;
};

void command(HWND window, int id) { SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

void type(HWND window, const char* text) {
    SendMessageA(GetDlgItem(window, IDC_MEMO_EDITOR), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
}

std::string editorText(HWND window) {
    char text[4096] = {};
    SendMessageA(GetDlgItem(window, IDC_MEMO_EDITOR), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

// Retitles the selected item the way a user does: F2, type, Enter.
void retitle(HWND window, const RemoteTree& tree, const char* title) {
    command(window, IDM_EDIT_TITLE);
    HWND edit = reinterpret_cast<HWND>(SendMessageA(tree.window(), TVM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(edit, nullptr);
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(title));
    SendMessageA(tree.window(), TVM_ENDEDITLABELNOW, FALSE, 0);
}

// A message box of the program with this caption, waited for; null when none comes.
HWND waitForBox(DWORD processId, const char* caption) {
    for (int i = 0; i < 200; ++i) {
        HWND box = FindWindowA("#32770", caption);
        DWORD owner = 0;
        if (box) GetWindowThreadProcessId(box, &owner);
        if (box && owner == processId && IsWindowVisible(box)) return box;
        Sleep(50);
    }
    return nullptr;
}

// Prepares the program folder with a settings file and starts the program.
HWND startWith(e2e::ProgramCopy& program, const std::string& settings) {
    CreateDirectoryA(program.path("data").c_str(), nullptr);
    if (!settings.empty() && !e2e::writeFile(program.path("data\\quiltpad.ini"), settings)) return nullptr;
    if (!program.start()) return nullptr;
    HWND window = program.waitForMainWindow();
    for (int i = 0; window && i < 400 && !IsWindowVisible(window); ++i) Sleep(50);
    return window;
}

// No background save may come between the test's steps.
const char QUIET[] = "[WINDOW]\r\nBgSaveInterval=-1\r\n";

struct Book {
    PageTable table;
    DataFileHeader header;
    VersionBlock version;
    bool read = false;
};

Book readBook(const std::string& path) {
    Book book;
    book.read = readDataFile(path, book.table, book.header, book.version);
    return book;
}

// ---- every way out writes the book and the settings, once

enum class Way { ExitCommand, CloseBox, SessionEnd };

class ExitTest : public testing::TestWithParam<Way> {};

TEST_P(ExitTest, WritesTheBookAndTheSettingsOnce) {
    e2e::ProgramCopy program;
    HWND window = startWith(program, QUIET);
    ASSERT_NE(window, nullptr);
    type(window, "written at exit ");
    FolderWatch watch(program.path("data"));
    ASSERT_TRUE(watch.ok());

    switch (GetParam()) {
        case Way::ExitCommand:
            PostMessageA(window, WM_COMMAND, IDM_EXIT, 0);
            break;  // what Ctrl+W sends
        case Way::CloseBox:
            PostMessageA(window, WM_CLOSE, 0, 0);
            break;
        case Way::SessionEnd: {
            DWORD_PTR answer = 0;
            SendMessageTimeoutA(window, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 10000, &answer);
            EXPECT_NE(answer, 0u) << "the program refused to let the session end";
            SendMessageTimeoutA(window, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 10000, &answer);
            break;
        }
    }
    ASSERT_EQ(program.waitForExit(), 0);
    EXPECT_EQ(watch.completed("quiltpad.qpd"), 1);
    EXPECT_EQ(watch.completed("quiltpad.ini"), 1);

    const Book book = readBook(program.path("data\\quiltpad.qpd"));
    ASSERT_TRUE(book.read);
    EXPECT_EQ(magicOf(book.version), "qpad300");
    EXPECT_EQ(book.version.saveKind, static_cast<int>(SaveKind::ExitData));
    ASSERT_EQ(book.table.count(), 3);
    EXPECT_NE(book.table.recordAt(0).text.find("written at exit"), std::string::npos);
    const std::string ini = e2e::readFile(program.path("data\\quiltpad.ini"));
    EXPECT_EQ(ini.compare(0, 32, "[SOFTWARE]\r\nSoftID = qpad300\r\n[W"), 0) << ini;
}

std::string wayName(const testing::TestParamInfo<Way>& info) {
    switch (info.param) {
        case Way::ExitCommand:
            return "ExitCommand";
        case Way::CloseBox:
            return "CloseBox";
        default:
            return "SessionEnd";
    }
}

INSTANTIATE_TEST_SUITE_P(EveryWay, ExitTest, testing::Values(Way::ExitCommand, Way::CloseBox, Way::SessionEnd),
                         wayName);

// ---- the window's placement

TEST(ExitPlacement, MinimisedOrMaximisedWindowSavesItsRestoredRectangle) {
    const struct {
        int command;
        const char* maximize;
    } cases[] = {{IDM_MINIMIZE, "0"}, {IDM_MAXIMIZE, "1"}};
    for (const auto& c : cases) {
        e2e::ProgramCopy program;
        HWND window =
            startWith(program, "[WINDOW]\r\nPosX=60\r\nPosY=50\r\nWidth=660\r\nHeight=470\r\nBgSaveInterval=-1\r\n");
        ASSERT_NE(window, nullptr);
        command(window, c.command);
        EXPECT_TRUE(c.command == IDM_MINIMIZE ? IsIconic(window) : IsZoomed(window)) << c.command;
        PostMessageA(window, WM_COMMAND, IDM_EXIT, 0);
        ASSERT_EQ(program.waitForExit(), 0);
        const std::string ini = e2e::readFile(program.path("data\\quiltpad.ini"));
        const std::string expected =
            std::string("[WINDOW]\r\nPosX = 60\r\nPosY = 50\r\nWidth = 660\r\nHeight = 470\r\n") +
            "TvWidthPer = 25\r\nMaximize = " + c.maximize + "\r\n";
        EXPECT_NE(ini.find(expected), std::string::npos) << c.command << "\n" << ini;
    }
}

TEST(ExitPlacement, AlwaysOnTopIsNotKeptForTheNextStart) {
    e2e::ProgramCopy program;
    HWND window = startWith(program, QUIET);
    ASSERT_NE(window, nullptr);
    HWND toolbar = GetDlgItem(window, IDC_TOOLBAR);
    EXPECT_EQ(SendMessageA(toolbar, TB_ISBUTTONCHECKED, IDM_ALWAYS_ON_TOP, 0), 0);
    command(window, IDM_ALWAYS_ON_TOP);
    EXPECT_NE(SendMessageA(toolbar, TB_ISBUTTONCHECKED, IDM_ALWAYS_ON_TOP, 0), 0);
    PostMessageA(window, WM_COMMAND, IDM_EXIT, 0);
    ASSERT_EQ(program.waitForExit(), 0);

    ASSERT_TRUE(program.start());
    window = program.waitForMainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(SendMessageA(GetDlgItem(window, IDC_TOOLBAR), TB_ISBUTTONCHECKED, IDM_ALWAYS_ON_TOP, 0), 0);
    EXPECT_FALSE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(program.close(), 0);
}

// ---- a new user's first session

TEST(Acceptance, ANewUsersFirstSessionIsThereAfterARestart) {
    e2e::ProgramCopy program;
    HWND window = startWith(program, QUIET);
    ASSERT_NE(window, nullptr);
    {
        RemoteTree tree(window, program.processId());
        ASSERT_TRUE(tree.ok());
        ASSERT_EQ(tree.inOrder().size(), 3u);

        // a folder with two pages, both typed in; the folder and its first page retitled
        command(window, IDM_ADD_FOLDER);
        const HTREEITEM firstPage = tree.selection();
        const HTREEITEM folder = tree.next(firstPage, TVGN_PARENT);
        ASSERT_NE(folder, nullptr);
        type(window, "牛乳とパン milk");
        command(window, IDM_ADD_PAGE);
        const HTREEITEM secondPage = tree.selection();
        EXPECT_EQ(tree.next(secondPage, TVGN_PARENT), folder);
        EXPECT_EQ(tree.title(secondPage), "ページ (6)");
        type(window, "二ページ目 second");
        tree.select(firstPage);
        retitle(window, tree, "買い物メモ");
        tree.select(folder);
        retitle(window, tree, "仕事");

        // copy the folder, paste it (at the top level, beside the original)
        command(window, IDM_COPY_PAGE);
        command(window, IDM_PASTE_PAGE);
        const HTREEITEM copy = tree.selection();
        ASSERT_NE(copy, folder);
        EXPECT_EQ(tree.title(copy), "仕事");

        // delete the third page of the first start, confirming the question
        const std::vector<HTREEITEM> items = tree.inOrder();
        ASSERT_EQ(items.size(), 9u);
        tree.select(items[2]);
        PostMessageA(window, WM_COMMAND, IDM_DELETE_PAGE, 0);
        HWND box = waitForBox(program.processId(), "削除");
        ASSERT_NE(box, nullptr);
        char question[256] = {};
        SendMessageA(GetDlgItem(box, 0xFFFF), WM_GETTEXT, sizeof question, reinterpret_cast<LPARAM>(question));
        EXPECT_STREQ(question, "このページを削除します、本当によろしいですか？");
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        for (int i = 0; i < 100 && IsWindow(box); ++i) Sleep(50);
        SendMessageA(window, WM_NULL, 0, 0);
        ASSERT_EQ(tree.inOrder().size(), 8u);

        // the bookmark on the second page of the copy; the window moved
        const HTREEITEM marked = tree.next(tree.next(copy, TVGN_CHILD), TVGN_NEXT);
        ASSERT_NE(marked, nullptr);
        tree.select(marked);
        command(window, IDM_SET_BOOKMARK);
        SetWindowPos(window, nullptr, 70, 60, 720, 520, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    PostMessageA(window, WM_COMMAND, IDM_EXIT, 0);
    ASSERT_EQ(program.waitForExit(), 0);

    const Book book = readBook(program.path("data\\quiltpad.qpd"));
    ASSERT_TRUE(book.read);
    const struct {
        const char* title;
        int parent;
        int isFolder;
        const char* text;
    } expected[] = {
        {"ページ", -1, 0, nullptr},   {"ページ", -1, 0, nullptr},     {"仕事", -1, 1, nullptr},
        {"買い物メモ", 2, 0, "milk"}, {"ページ (6)", 2, 0, "second"}, {"仕事", -1, 1, nullptr},
        {"買い物メモ", 5, 0, "milk"}, {"ページ (6)", 5, 0, "second"},
    };
    ASSERT_EQ(book.table.count(), 8);
    for (int i = 0; i < 8; ++i) {
        const PageRecord& r = book.table.recordAt(i);
        EXPECT_EQ(r.title, expected[i].title) << i;
        EXPECT_EQ(r.parentOrder, expected[i].parent) << i;
        EXPECT_EQ(r.isFolder, expected[i].isFolder) << i;
        if (expected[i].text) {
            EXPECT_NE(r.text.find(expected[i].text), std::string::npos) << i;
        }
    }
    EXPECT_EQ(book.header.bookmark, 7);
    const std::string ini = e2e::readFile(program.path("data\\quiltpad.ini"));
    EXPECT_NE(ini.find("[WINDOW]\r\nPosX = 70\r\nPosY = 60\r\nWidth = 720\r\nHeight = 520\r\n"), std::string::npos)
        << ini;

    // the next start opens on the bookmark, with every text as typed
    ASSERT_TRUE(program.start());
    window = program.waitForMainWindow();
    ASSERT_NE(window, nullptr);
    {
        RemoteTree tree(window, program.processId());
        ASSERT_TRUE(tree.ok());
        const std::vector<HTREEITEM> items = tree.inOrder();
        ASSERT_EQ(items.size(), 8u);
        for (size_t i = 0; i < items.size(); ++i) EXPECT_EQ(tree.title(items[i]), expected[i].title) << i;
        EXPECT_EQ(tree.selection(), items[7]);
        int image = -1;
        tree.title(items[7], &image);
        EXPECT_EQ(image, 4);
        EXPECT_EQ(editorText(window), "二ページ目 second");
        tree.select(items[3]);
        EXPECT_EQ(editorText(window), "牛乳とパン milk");
    }
    EXPECT_EQ(program.close(), 0);
}

}  // namespace
