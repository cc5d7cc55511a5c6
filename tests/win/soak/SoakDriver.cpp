// The driver's life: a fresh program folder, the checks against the disk, exit
// and restart, a forced kill, the restore dialog, and the timers fired at once.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include "soak/SoakDriver.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "app/Lifecycle.h"
#include "res/resource.h"
#include "soak/SoakDialogs.h"
#include "store/DataFile.h"
#include "tests/common/FileBytes.h"

namespace soak {

namespace {

constexpr int SLOTS = 4;

const char INI[] =
    "[WINDOW]\r\nBgSaveInterval = 0\r\nDeleteDialog = 1\r\nDateString = 0\r\nAutoEdit = 0\r\nAutoDate = 0\r\n"
    "AutoBookmark = 0\r\nExitBookmark = 0\r\nParentSec = 0\r\n"
    "[SETTING]\r\nBackupFileSize = 4\r\nBackupInterval = 600\r\nTimeBackup = 1\r\nExitBackup = 1\r\n"
    "DeleteBackup = 1\r\n[HOWTOWINDOW]\r\nVisible = 0\r\n";

// The book the soak starts from, written as a user's earlier run would have left it.
Book firstBook() {
    Book b;
    const struct {
        int depth;
        bool folder;
        const char* title;
    } shape[] = {{0, false, "はじめに"}, {0, true, "Folder"}, {1, false, "中のページ"}, {0, false, "最後のページ"}};
    for (const auto& s : shape) {
        Node n;
        n.id = b.nextId++;
        n.depth = s.depth;
        n.folder = s.folder;
        n.title = s.title;
        b.nodes.push_back(n);
    }
    return b;
}

bool writeBook(const std::string& path, const Book& book) {
    PageTable table;
    std::vector<int> orderAtDepth;
    for (int i = 0; i < static_cast<int>(book.nodes.size()); ++i) {
        const Node& n = book.nodes[i];
        table.addPage(NO_ITEM, n.folder ? "" : EMPTY_PAGE_RTF, n.title, n.folder);
        PageRecord& r = table.recordAt(i);
        r.order = i;
        orderAtDepth.resize(static_cast<std::size_t>(n.depth) + 1);
        orderAtDepth[n.depth] = i;
        r.parentOrder = n.depth == 0 ? -1 : orderAtDepth[n.depth - 1];
        r.isExpanded = book.hasChildren(i) ? 1 : 0;
    }
    return writeDataFile(path, makeVersionBlock(SaveKind::ExitData, 1), false, table, newFileHeader());
}

struct FileCopy {
    std::string path, bytes;
    FILETIME written{};
};

std::vector<FileCopy> filesBelow(const std::string& folder) {
    std::vector<FileCopy> files;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return files;
    do {
        const std::string name = fd.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = folder + "\\" + name;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            for (FileCopy& f : filesBelow(path)) files.push_back(std::move(f));
        } else {
            files.push_back({path, testcommon::readFile(path), fd.ftLastWriteTime});
        }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return files;
}

void putBack(const std::string& folder, const std::vector<FileCopy>& files) {
    for (const FileCopy& f : filesBelow(folder)) DeleteFileA(f.path.c_str());
    for (const FileCopy& f : files) {
        testcommon::writeFile(f.path, f.bytes);
        HANDLE h = CreateFileA(f.path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            SetFileTime(h, nullptr, nullptr, &f.written);
            CloseHandle(h);
        }
    }
}

}  // namespace

Driver::Driver() {
    dataFile_ = folder_.file("data\\quiltpad.qpd");
    backupFolder_ = folder_.file("data\\backup");
    CreateDirectoryA(folder_.file("data").c_str(), nullptr);
    testcommon::writeFile(folder_.file("data\\quiltpad.ini"), INI);
    s_.book = firstBook();
    writeBook(dataFile_, s_.book);
    savedBook_ = s_.book;
    answerer_ = new Answerer(*this);
    answerer_->begin(Plan());
    window_ = testapp::createMainWindowIn(folder_.path());
    if (!window_) fail("the main window was not created");
    stopRealTimers();
    afterLoad(0);
}

Driver::~Driver() {
    if (window_) testapp::destroyMainWindow(window_);
    delete answerer_;
}

void Driver::fail(const std::string& what) {
    if (failure_.empty()) failure_ = what;
}

// The driver decides when a minute has passed.
void Driver::stopRealTimers() {
    KillTimer(window_, lifecycle::BACKUP_TIMER);
    KillTimer(window_, lifecycle::BG_SAVE_TIMER);
}

void Driver::command(int id) {
    SendMessageA(window_, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    testapp::pumpMessages();
}

HWND Driver::tree() const { return GetDlgItem(window_, IDC_PAGE_LIST); }
HWND Driver::editor() const { return GetDlgItem(window_, IDC_MEMO_EDITOR); }

std::vector<HTREEITEM> Driver::items() const {
    std::vector<HTREEITEM> all;
    HWND t = tree();
    HTREEITEM item = TreeView_GetRoot(t);
    while (item) {
        all.push_back(item);
        HTREEITEM next = TreeView_GetChild(t, item);
        while (!next && item) {
            next = TreeView_GetNextSibling(t, item);
            if (!next) item = TreeView_GetParent(t, item);
        }
        item = next;
    }
    return all;
}

// For tracing a replay only: where the list's titles first part from the model's.
std::string Driver::traceList() const {
    const std::vector<HTREEITEM> all = items();
    for (std::size_t i = 0; i < all.size() && i < s_.book.nodes.size(); ++i) {
        char text[300] = {};
        TVITEMA tv = {};
        tv.mask = TVIF_TEXT;
        tv.hItem = all[i];
        tv.pszText = text;
        tv.cchTextMax = sizeof text;
        TreeView_GetItem(tree(), &tv);
        if (text != s_.book.nodes[i].title) return "; the list parts from the model at " + std::to_string(i);
    }
    if (all.size() != s_.book.nodes.size()) return "; the list has another size";
    const int at = s_.book.indexOf(s_.selected);
    if (at < 0 || s_.locked) return "";
    GETTEXTLENGTHEX len = {GTL_DEFAULT, 1200};
    const LRESULT n = SendMessageW(editor(), EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&len), 0);
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    GETTEXTEX get = {static_cast<DWORD>((n + 1) * sizeof(wchar_t)), GT_DEFAULT, 1200, nullptr, nullptr};
    text.resize(static_cast<std::size_t>(
        SendMessageW(editor(), EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(&text[0]))));
    return text == s_.book.nodes[at].text ? "" : "; the editor parts from the model";
}

void Driver::clickItem(int index) {
    const std::vector<HTREEITEM> all = items();
    if (index >= static_cast<int>(all.size())) {
        fail("the page list has " + std::to_string(all.size()) + " items, the model " +
             std::to_string(s_.book.nodes.size()));
        return;
    }
    TreeView_SelectItem(tree(), all[index]);
    testapp::pumpMessages();
}

// The page at `index` is shown: a secure one asks for the password unless it was given.
void Driver::show(int index, std::uint32_t answer) {
    const Node& n = s_.book.nodes[index];
    s_.selected = n.id;
    s_.undo.clear();
    s_.redo.clear();
    s_.locked = false;
    if (!n.secure || s_.authenticated) return;
    expected_.push_back("auth");
    if (opens(passwordAnswerOf(answer))) s_.authenticated = true;
    else s_.locked = true;
}

// Every load: the password must be given again, the bookmarked page (or the first) is shown.
void Driver::afterLoad(std::uint32_t answer) {
    s_.authenticated = false;
    if (!s_.book.anySecure()) s_.book.registration = 0;
    s_.book.bookmark = s_.book.nodes.at(static_cast<std::size_t>(s_.book.savedBookmark())).id;
    show(s_.book.indexOf(s_.book.bookmark), answer);
}

void Driver::compareDataFile(const Book& expected, const char* when) {
    ++counters_.checks;
    const std::string difference = firstDifference(expected, readDisk(dataFile_, PASSWORD));
    if (!difference.empty()) fail(std::string("data file ") + when + ": " + difference);
    else savedBook_ = expected;
}

void Driver::tickNow() {
    lifecycle::backgroundSaveTick(window_, WM_TIMER, lifecycle::BG_SAVE_TIMER, GetTickCount());
}

void Driver::tickInDialog() {
    tickNow();
    compareDataFile(midState_, "saved by a tick inside a dialog");
}

// A slot whose bytes changed during the action holds the book as it was before it.
void Driver::checkSlots(const Book& expected) {
    for (int slot = 0; slot < SLOTS; ++slot) {
        char name[32];
        wsprintfA(name, "\\backup%02d.qpd", slot);
        const std::string path = backupFolder_ + name;
        const std::string bytes = testcommon::readFile(path);
        if (bytes.empty() || bytes == slotBytes_[slot]) continue;
        slotBytes_[slot] = bytes;
        ++counters_.slotChecks;
        const std::string difference = firstDifference(expected, readDisk(path, PASSWORD));
        if (!difference.empty()) fail("backup slot " + std::to_string(slot) + ": " + difference);
        slotBooks_[slot] = expected;
    }
}

void Driver::restart(bool kill, std::uint32_t answer) {
    std::vector<FileCopy> disk;
    if (kill) disk = filesBelow(folder_.file("data"));
    testapp::destroyMainWindow(window_);
    window_ = nullptr;
    if (kill) {
        putBack(folder_.file("data"), disk);
        s_.book = savedBook_;
        ++counters_.kills;
    } else {
        compareDataFile(s_.book, "after exit");
        checkSlots(s_.book);
        ++counters_.restarts;
    }
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
    s_.hasClip = false;
    s_.hasPageClip = false;
    midState_ = s_.book;
    window_ = testapp::createMainWindowIn(folder_.path());
    if (!window_) {
        fail("the main window was not created again");
        return;
    }
    stopRealTimers();
    afterLoad(answer);
    tickNow();
    compareDataFile(s_.book, "after restart");
}

void Driver::restore(const Action& action) {
    const Book before = s_.book;
    command(IDM_RESTORE);
    stopRealTimers();
    expected_.push_back("restore");
    const int slot = answerer_->chosenSlot();
    if (slot < 0) return;  // no line, or "キャンセル"
    expected_.push_back("restore question");
    if (!(action.c / 5 % 4)) return;  // the question was cancelled
    expected_.push_back("restored");
    if (!slotBooks_.count(slot)) {
        fail("restored slot " + std::to_string(slot) + " was never written");
        return;
    }
    compareDataFile(before, "before the restore");
    s_.book = slotBooks_[slot];
    afterLoad(action.a);
}

void Driver::lifeAction(const Action& action) {
    switch (action.kind) {
        case Kind::Tick:
        case Kind::Check:
            tickNow();
            compareDataFile(s_.book, "after a tick");
            break;
        case Kind::BackupTick:
            lifecycle::backupTick(window_, WM_TIMER, lifecycle::BACKUP_TIMER, GetTickCount());
            break;
        case Kind::Exit:
        case Kind::Kill:
            restart(action.kind == Kind::Kill, action.a);
            break;
        case Kind::Restore:
            restore(action);
            break;
        case Kind::Drag:
            drag(action);
            break;
        default:
            break;
    }
}

Plan Driver::planFor(const Action& action) const {
    Plan plan;
    plan.password = passwordAnswerOf(action.a);
    plan.tickInFirstDialog = (action.a / 5) % 3 == 0;
    plan.confirm = action.kind == Kind::Restore ? (action.c / 5 % 4) != 0 : (action.c % 4) != 0;
    plan.restore = (action.c % 5) != 0;
    plan.line = action.b;
    return plan;
}

bool Driver::run(const Action& action) {
    if (!failure_.empty() || !window_) return false;
    ++counters_.steps;
    ++counters_.byKind[static_cast<int>(action.kind)];
    expected_.clear();
    midState_ = s_.book;
    const Book before = s_.book;
    answerer_->begin(planFor(action));
    if (action.kind >= Kind::Tick) lifeAction(action);
    else if (action.kind >= Kind::MakeSecure) secureAction(action);
    else if (action.kind >= Kind::Type) editorAction(action);
    else pageListAction(action);
    testapp::pumpMessages();
    if (action.kind != Kind::Kill && action.kind != Kind::Exit) checkSlots(before);
    std::vector<std::string> seen = answerer_->seen(), wanted = expected_;
    static const bool trace = std::getenv("QP_SOAK_TRACE") != nullptr;
    if (trace) {
        std::printf("step %ld %s %u %u %u: %zu items, shown %d%s%s, dialogs", counters_.steps, kindName(action.kind),
                    action.a, action.b, action.c,
                    s_.book.nodes.size(), s_.book.indexOf(s_.selected), s_.locked ? " locked" : "",
                    s_.authenticated ? " authenticated" : "");
        for (const std::string& w : seen) std::printf(" [%s]", w.c_str());
        std::printf("%s\n", traceList().c_str());
    }
    counters_.dialogs += static_cast<long>(seen.size());
    std::sort(seen.begin(), seen.end());
    std::sort(wanted.begin(), wanted.end());
    if (seen != wanted) {
        std::string text = "dialogs: expected";
        for (const std::string& w : wanted) text += " [" + w + "]";
        text += ", shown";
        for (const std::string& w : seen) text += " [" + w + "]";
        fail(text);
    }
    return failure_.empty();
}

}  // namespace soak
