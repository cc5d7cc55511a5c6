// The driver's life: a fresh program folder, the checks against the disk, exit
// and restart, a forced kill, the restore dialog, and the timers fired at once.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include "soak/SoakDriver.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/AppState.h"
#include "app/Book.h"
#include "app/Lifecycle.h"
#include "res/dialogs/SearchWindow.h"
#include "settings/AppPaths.h"
#include "settings/IniSettings.h"
#include "res/resource.h"
#include "soak/SoakDialogs.h"
#include "store/DataFile.h"
#include "tests/common/FileBytes.h"
#include "app/InstanceKey.h"

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

// The files as they were when the process ended. The process is gone, and with it the
// book it held open. False when a file could not be put back.
bool putBack(const std::string& folder, const std::vector<FileCopy>& files) {
    gBook = ::Book();
    bool all = true;
    for (const FileCopy& f : filesBelow(folder)) DeleteFileA(f.path.c_str());
    for (const FileCopy& f : files) {
        all = testcommon::writeFile(f.path, f.bytes) && all;
        HANDLE h = CreateFileA(f.path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            SetFileTime(h, nullptr, nullptr, &f.written);
            CloseHandle(h);
        }
    }
    return all;
}

}  // namespace

std::string dataFileNamedIn(const std::string& programFolder) {
    std::string folder;
    ini::findIniValue(testcommon::readFile(programFolder + "\\data\\quiltpad.ini"), "SETTING", "QpdDirPath", folder);
    return (folder.empty() ? programFolder + "\\data" : folder) + "\\quiltpad.qpd";
}

std::string movedDataFolder(const std::string& programFolder) { return programFolder + "\\data\\moved"; }

std::vector<std::string> halfWritten(const std::vector<std::string>& folders) {
    std::vector<std::string> names;
    for (const std::string& folder : folders) {
        WIN32_FIND_DATAA found;
        HANDLE h = FindFirstFileA((folder + "\\*~*").c_str(), &found);
        for (BOOL more = h != INVALID_HANDLE_VALUE; more; more = FindNextFileA(h, &found))
            if (std::strchr(found.cFileName, '~')) names.push_back(found.cFileName);  // not by its short name
        if (h != INVALID_HANDLE_VALUE) FindClose(h);
    }
    return names;
}

Resume freshFolder(const std::string& programFolder) {
    Resume resume;
    const std::string data = programFolder + "\\data";
    CreateDirectoryA(data.c_str(), nullptr);
    testcommon::writeFile(data + "\\quiltpad.ini", INI);
    resume.book = firstBook();
    writeBook(data + "\\quiltpad.qpd", resume.book);
    return resume;
}

Driver::Driver() : own_(new testapp::TempFolder) {
    root_ = own_->path();
    s_.book = freshFolder(root_).book;
    start(root_);
}

Driver::Driver(const std::string& programFolder, const Resume& resume, Journal* journal) : journal_(journal) {
    root_ = programFolder;
    backupFolder_ = programFolder + "\\data\\backup";  // the slots are read before the start
    s_.book = resume.book.nodes.empty() ? freshFolder(root_).book : resume.book;
    slots_ = resume.slots;
    for (const auto& slot : slots_) {
        slotBytes_[slot.first] = testcommon::readFile(slotPath(slot.first));
        note('L', slot.second.book, slot.first, slot.second.kind);
    }
    start(root_);
    for (int slot = 0; slot < SLOTS; ++slot) {  // a restore cut by the kill is finished by the start
        const std::string bytes = testcommon::readFile(slotPath(slot));
        if (bytes == slotBytes_[slot]) continue;
        const auto waiting = resume.waiting.find(slot);
        SaveKind kind;
        std::string why = "no restore was waiting for it";
        if (waiting == resume.waiting.end() || matchFile(slotPath(slot), {waiting->second.book}, kind, why) < 0 ||
            kind != SaveKind::BeforeRestore) {
            fail("backup slot " + std::to_string(slot) + " changed at the start: " + why);
            break;
        }
        slots_[slot] = waiting->second;
        slotBytes_[slot] = bytes;
        note('L', slots_[slot].book, slot, kind);
    }
    // the start took away what a killed write had left half-written where the book is kept (a
    // move's write cut in the folder not taken stays there until that folder is the data folder)
    for (const std::string& name : halfWritten({dataFile_.substr(0, dataFile_.rfind('\\')), backupFolder_}))
        fail("a half-written file was left after the start: " + name);
}

void Driver::start(const std::string& programFolder) {
    dataFile_ = dataFileNamedIn(programFolder);
    ownFiles_ = {dataFile_};
    backupFolder_ = programFolder + "\\data\\backup";
    savedBook_ = s_.book;
    note('V', s_.book);
    answerer_ = new Answerer(*this);
    Action start;
    start.a = 5;  // the right password, as afterLoad(0) expects
    answerer_->begin(planFor(start));
    // the running program's mark, as its start makes it: a second copy finds it and hands over
    window_ = testapp::createMainWindowIn(programFolder);
    if (!window_) fail("the main window was not created");
    instancekey::hold(gApp.paths.instanceKey);  // as the start takes it; a move of the data folder follows it
    stopRealTimers();
    afterLoad(0);
}

std::string Driver::slotPath(int slot) const {
    char name[32];
    wsprintfA(name, "\\backup%02d.qpd", slot);
    return backupFolder_ + name;
}

void Driver::note(char what, const Book& book, int slot, SaveKind kind) {
    if (journal_) journal_->note(what, book, slot, kind);
}

Driver::~Driver() {
    if (journal_ && window_ && failure_.empty() && !slotKeys_.empty()) expectBackup(SaveKind::ExitData);  // the exit
    if (window_) testapp::destroyMainWindow(window_);
    instancekey::letGo();
    delete answerer_;
}

void Driver::fail(const std::string& what) {
    if (!failure_.empty() || afterEnd_) return;
    failure_ = what;
    if (journal_) journal_->failed(what);  // before the exit writes a book the model does not know
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
    return richEditText(editor()) == s_.book.nodes[at].text ? "" : "; the editor parts from the model";
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
    if (opens(passwordAnswerOf(answer)))
        s_.authenticated = true;
    else
        s_.locked = true;
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
    if (!difference.empty())
        fail(std::string("data file ") + when + ": " + difference);
    else
        savedBook_ = expected;
    note('V', expected);
}

void Driver::tickNow() { lifecycle::backgroundSaveTick(window_, WM_TIMER, lifecycle::BG_SAVE_TIMER, GetTickCount()); }

// Nothing starts inside a dialog of the program: a tick there writes nothing.
void Driver::tickInDialog() {
    tickNow();
    compareDataFile(savedBook_, "after a tick inside a dialog");
    note('M', s_.book);  // still the book in memory: a backup later in the step writes it
}

// Each slot holds what the model says: the book and the save kind of the last backup that
// landed there. One that vanished, emptied, or holds another book is a difference.
void Driver::checkSlots() {
    for (int slot = 0; slot < SLOTS; ++slot) {
        const std::string bytes = testcommon::readFile(slotPath(slot));
        const auto model = slots_.find(slot);
        if (model == slots_.end()) {
            if (!bytes.empty())
                fail("backup slot " + std::to_string(slot) + " was written, the model has no backup there");
            continue;
        }
        if (bytes.size() < VERSION_BLOCK_SIZE) fail("backup slot " + std::to_string(slot) + " vanished or emptied");
        if (bytes == slotBytes_[slot]) continue;
        slotBytes_[slot] = bytes;
        ++counters_.slotChecks;
        const DiskBook disk = readDisk(slotPath(slot), PASSWORD);
        const std::string difference = firstDifference(model->second.book, disk);
        if (!difference.empty()) fail("backup slot " + std::to_string(slot) + ": " + difference);
        if (disk.kind != model->second.kind)
            fail("backup slot " + std::to_string(slot) + ": save kind " + std::to_string(static_cast<int>(disk.kind)) +
                 ", the model " + std::to_string(static_cast<int>(model->second.kind)));
    }
}

// The slot a backup goes to: the first free one, else the one written longest ago, the lowest
// number among equals; the ages are the file system's, taken as the step began.
int Driver::backupSlot() const {
    int chosen = 0;
    for (int slot = 0; slot < SLOTS; ++slot) {
        if (slotKeys_[slot] < 0) return slot;
        if (slotKeys_[slot] < slotKeys_[chosen]) chosen = slot;
    }
    return chosen;
}

// Before the command that writes a backup: where it goes, what it holds (a kill may cut it).
void Driver::expectBackup(SaveKind kind) { note('E', s_.book, backupSlot(), kind); }

void Driver::predictBackup(SaveKind kind, const Book& book) {
    const int chosen = backupSlot();
    slots_[chosen] = {book, kind};
    slotKeys_[chosen] = INT64_MAX;  // written now: the newest
    note('L', book, chosen, kind);
}

void Driver::restart(bool kill, std::uint32_t answer) {
    if (kill) {
        const std::vector<FileCopy> disk = filesBelow(dataFolder());
        testapp::destroyMainWindow(window_);
        window_ = nullptr;
        if (!putBack(dataFolder(), disk)) fail("the files of the killed program could not be put back");
        s_.book = savedBook_;
        ++counters_.kills;
    } else {
        expectBackup(SaveKind::ExitData);
        testapp::destroyMainWindow(window_);
        window_ = nullptr;
        compareDataFile(s_.book, "after exit");
        predictBackup(SaveKind::ExitData, s_.book);
        checkSlots();
        ++counters_.restarts;
    }
    reopen(answer);
}

void Driver::reopen(std::uint32_t answer) {
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
    s_.hasClip = false;
    s_.hasPageClip = false;
    midState_ = s_.book;
    window_ = testapp::createMainWindowIn(root_);
    if (!window_) {
        fail("the main window was not created again");
        return;
    }
    stopRealTimers();
    ownFiles_ = {dataFile_};
    afterLoad(answer);
    tickNow();
    compareDataFile(s_.book, "after restart");
}

// The process ended at the moment the files were taken: the shutdown's later writes are undone.
// The data file and every slot must hold one of the books that could be there, never a mix; the
// model goes on from what they hold. A restore cut off keeps both its books somewhere on disk.
void Driver::killAndMatch(const std::vector<FileCopy>& disk, const std::vector<Book>& candidates, const Book& before) {
    testapp::destroyMainWindow(window_);
    window_ = nullptr;
    if (!putBack(dataFolder(), disk)) fail("the files of the ended program could not be put back");
    dataFile_ = dataFileNamedIn(root_);  // a session end inside a move of the data folder: either one
    ++counters_.kills;
    const Book lastSaved = savedBook_;
    SaveKind kind;
    std::string why;
    const int data = matchFile(dataFile_, candidates, kind, why);
    if (data < 0) return fail("data file after the session end: " + why);
    std::vector<Book> held = {candidates[static_cast<std::size_t>(data)]};  // every book some file holds
    s_.book = savedBook_ = held.front();
    for (int slot = 0; slot < SLOTS; ++slot) {
        std::vector<Book> could = candidates;
        if (slots_.count(slot)) could.insert(could.begin(), slots_[slot].book);
        if (testcommon::readFile(slotPath(slot)).empty()) {
            if (slots_.count(slot)) fail("backup slot " + std::to_string(slot) + " vanished at the session end");
            continue;
        }
        const int at = matchFile(slotPath(slot), could, kind, why);
        if (at < 0) return fail("backup slot " + std::to_string(slot) + " after the session end: " + why);
        slots_[slot] = {could[static_cast<std::size_t>(at)], kind};
        held.push_back(slots_[slot].book);
        slotBytes_[slot] = testcommon::readFile(slotPath(slot));
    }
    if (now_.kind == Kind::Restore && !pending_.empty()) {
        // the restored book was on disk and stays there; the one from before may lose its unsaved edits
        const auto kept = [&](const Book& book) {
            for (const Book& h : held)
                if (sameBook(h, book)) return true;
            return false;
        };
        if (!kept(pending_.front())) return fail("a restore cut off by the session end lost the restored book");
        if (!kept(before) && !kept(lastSaved))
            return fail("a restore cut off by the session end lost the book from before");
    }
    reopen(now_.a);  // the start's password is asked inside the step and answered by its plan
}

void Driver::restoring(int slot) {
    now_.b = SLOT_CHOSEN + static_cast<std::uint32_t>(slot);
    if (sessionEnded_) return;  // a line chosen after a forced session end: the process is gone, nothing restores
    if (slots_.count(slot)) {
        pending_.push_back(slots_[slot].book);
        note('P', slots_[slot].book);
        note('E', s_.book, slot, SaveKind::BeforeRestore);  // the book from before takes the slot
    }
}

// The restore list as the model has it: one line a slot, from its file's time, oldest at the top.
void Driver::checkRestoreLines(HWND list) {
    static const char* const LABELS[] = {"終了時のデータ", "定期データ", "復元前のデータ", "削除前のデータ"};
    std::vector<std::string> expected, shown;
    for (const auto& slot : slots_) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        FILETIME local;
        SYSTEMTIME t;
        if (!GetFileAttributesExA(slotPath(slot.first).c_str(), GetFileExInfoStandard, &data)) continue;
        FileTimeToLocalFileTime(&data.ftLastWriteTime, &local);
        FileTimeToSystemTime(&local, &t);
        char line[128];
        wsprintfA(line, "%04d/%02d/%02d　%02d:%02d　backup%02d.qpd　%s", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                  slot.first, LABELS[static_cast<int>(slot.second.kind)]);
        expected.push_back(line);
    }
    std::sort(expected.begin(), expected.end());
    for (LRESULT i = 0, n = SendMessageA(list, LB_GETCOUNT, 0, 0); i < n; ++i) {
        char text[512] = {};
        if (SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0) < static_cast<LRESULT>(sizeof text))
            SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        shown.push_back(text);
    }
    if (shown == expected) return;
    std::string text = "restore list: the model";
    for (const std::string& e : expected) text += " [" + e + "]";
    text += ", shown";
    for (const std::string& e : shown) text += " [" + e + "]";
    fail(text);
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
    if (!slots_.count(slot)) return fail("restored slot " + std::to_string(slot) + " was never written");
    // the data file holds the book from before, or already the restored one
    const Book restored = slots_[slot].book;
    SaveKind kind;
    std::string why;
    ++counters_.checks;
    const int held = matchFile(dataFile_, {restored, before}, kind, why);
    if (held < 0) return fail("data file after the restore: " + why);
    savedBook_ = held == 0 ? restored : before;
    note('V', savedBook_);
    slots_[slot] = {before, SaveKind::BeforeRestore};
    slotKeys_[slot] = INT64_MAX;  // written now: the newest, for an exit backup later in the step
    note('L', before, slot, SaveKind::BeforeRestore);
    s_.book = restored;
    afterLoad(action.a);
}

// The data folder moved in the settings dialog, to the other folder or back: the book is
// written into both, and from then on into the new one. A data file there that this run
// neither read nor wrote is kept aside under another name, and the user is told, unless it is
// a copy of this book's data file byte for byte.
void Driver::moveData(const Action&) {
    const Plan& plan = answerer_->plan();
    const std::string to = (plan.dataFolder.empty() ? dataFolder() : plan.dataFolder) + "\\quiltpad.qpd";
    CreateDirectoryA(movedDataFolder(root_).c_str(), nullptr);
    expected_.push_back("settings");
    // (a byte-for-byte copy of this book's data file is replaced without a word)
    const bool other = plan.confirm && !ownFiles_.count(to) && GetFileAttributesA(to.c_str()) != INVALID_FILE_ATTRIBUTES &&
                       testcommon::readFile(to) != testcommon::readFile(dataFile_);
    if (other) expected_.push_back("folder told");
    if (plan.confirm) note('P', s_.book);
    command(IDM_SETTINGS);
    stopRealTimers();
    if (!plan.confirm || sessionEnded_) return;  // cancelled, or the process ended with the dialog open
    const std::string from = dataFile_;
    dataFile_ = to;
    ownFiles_.insert(to);
    compareDataFile(s_.book, "after the data folder moved");
    if (dataFileNamedIn(root_) != to) fail("the settings file does not name the new data folder");
    if (firstDifference(s_.book, readDisk(from, PASSWORD)) != "") fail("the old data folder does not hold the book");
}

// 全てのページを保存: the password first when one is registered and not given, then a folder; every
// page and folder lands there as its RTF text (a folder's may be empty), or the closing message
// says that some did not.
void Driver::saveAll(const Action& action) {
    const std::string folder = answerer_->plan().exportTo;
    testapp::removeTree(folder);
    CreateDirectoryA(folder.c_str(), nullptr);
    const bool asks = s_.book.registration && !s_.authenticated, opened = opens(passwordAnswerOf(action.a));
    if (asks) expected_.push_back("auth");
    if (asks && !opened) expected_.push_back("save all refused");
    if (!asks || opened) expected_.insert(expected_.end(), {"choose folder", "save all done"});
    command(IDM_SAVE_ALL_RTF);
    if (asks && opened) s_.authenticated = true;
    if (afterEnd_ || (asks && !opened)) return;
    std::size_t files = 0;
    for (const FileCopy& f : filesBelow(folder)) {
        if (!f.bytes.empty() && f.bytes.compare(0, 5, "{\\rtf") != 0) fail("save-all wrote a file that is not RTF: " + f.path);
        ++files;
    }
    if (answerer_->savedAll() != (files == s_.book.nodes.size()))
        fail("save-all wrote " + std::to_string(files) + " files for " + std::to_string(s_.book.nodes.size()) +
             " pages and said " + (answerer_->savedAll() ? "all were saved" : "some were not"));
}

void Driver::lifeAction(const Action& action) {
    switch (action.kind) {
        case Kind::Check:
            otherWriter();
            [[fallthrough]];
        case Kind::Tick:
            tickNow();
            compareDataFile(s_.book, "after a tick");
            break;
        case Kind::BackupTick:
            expectBackup(SaveKind::Periodic);
            lifecycle::backupTick(window_, WM_TIMER, lifecycle::BACKUP_TIMER, GetTickCount());
            predictBackup(SaveKind::Periodic, s_.book);
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
        case Kind::SecondCopy:
            secondCopy();
            break;
        case Kind::SavePage:
            savePage(action);
            break;
        case Kind::MoveData:
            moveData(action);
            break;
        case Kind::SaveAll:
            saveAll(action);
            break;
        default:
            break;
    }
}

Plan Driver::planFor(const Action& action) const {
    Plan plan;
    plan.password = passwordAnswerOf(action.a);
    plan.tickInFirstDialog = (action.a / 5) % 3 == 0;
    const std::uint32_t outside = action.a / 75 % 10;  // in four steps of ten
    plan.outside = outside < 6 ? Outside::None : static_cast<Outside>(outside - 6);
    plan.outsideIn = action.a / 750 % 4;
    if (journal_ || leftOut("outside")) plan.outside = Outside::None;
    if (plan.outside == Outside::ForcedSessionEnd && leftOut("forced-end")) plan.outside = Outside::None;
    plan.confirm = action.kind == Kind::Restore ? (action.c / 5 % 4) != 0 : (action.c % 4) != 0;
    plan.restore = (action.c % 5) != 0;
    plan.line = action.b;
    plan.saveTo = root_ + "\\saved.txt";
    plan.exportTo = root_ + "\\export";
    // to the other folder, or back to the default
    plan.dataFolder = dataFile_ == movedDataFolder(root_) + "\\quiltpad.qpd" ? "" : movedDataFolder(root_);
    return plan;
}

// Each slot's last-write time, -1 for a free one.
static std::vector<std::int64_t> slotAges(const std::vector<std::string>& paths) {
    std::vector<std::int64_t> keys;
    for (const std::string& path : paths) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
            keys.push_back(-1);
            continue;
        }
        keys.push_back(static_cast<std::int64_t>(data.ftLastWriteTime.dwHighDateTime) << 32 |
                       data.ftLastWriteTime.dwLowDateTime);
    }
    return keys;
}

bool Driver::run(const Action& action) {
    if (!failure_.empty() || !window_) return false;
    if (journal_) journal_->begin(counters_.steps, action);
    ++counters_.steps;
    ++counters_.byKind[static_cast<int>(action.kind)];
    expected_.clear();
    pending_.clear();
    now_ = action;
    now_.a %= 3000;  // the password answer, the tick, the drag's variant, what comes from outside and when
    if (action.kind == Kind::Delete || action.kind == Kind::ResetFont || action.kind == Kind::Restore) now_.c %= 20;
    sessionEnded_ = closeAsked_ = afterEnd_ = false;
    std::vector<std::string> paths;
    for (int slot = 0; slot < SLOTS; ++slot) paths.push_back(slotPath(slot));
    slotKeys_ = slotAges(paths);
    midState_ = s_.book;
    const Book before = s_.book;
    const Plan plan = planFor(action);
    if (plan.outside == Outside::SearchNext) openSearch();  // a user opens it before the command
    // the user comes back to the main window (from the search window, or after a start)
    if (GetActiveWindow() != window_) SetActiveWindow(window_);
    answerer_->begin(plan);
    if (action.kind >= Kind::Tick)
        lifeAction(action);
    else if (action.kind >= Kind::MakeSecure)
        secureAction(action);
    else if (action.kind >= Kind::Type)
        editorAction(action);
    else
        pageListAction(action);
    testapp::pumpMessages();
    resolved_.push_back(now_);
    afterStep(action, before);
    note('S', s_.book);
    return failure_.empty();
}

void Driver::afterStep(const Action& action, const Book& before) {
    std::vector<std::string> seen = answerer_->seen(), wanted = expected_;
    static const bool trace = std::getenv("QP_SOAK_TRACE") != nullptr;
    if (trace) {
        std::printf("step %ld %s %u %u %u: %zu items, shown %d%s%s, dialogs", counters_.steps, kindName(action.kind),
                    now_.a, now_.b, now_.c, s_.book.nodes.size(), s_.book.indexOf(s_.selected),
                    s_.locked ? " locked" : "", s_.authenticated ? " authenticated" : "");
        for (const std::string& w : seen) std::printf(" [%s]", w.c_str());
        std::printf("%s\n", window_ && IsWindow(window_) ? traceList().c_str() : "");
    }
    if (sessionEnded_) {  // the process ended inside the dialog: what it did and showed after does not count
        afterEnd_ = false;
        slots_ = slotsAtEnd_;
        std::vector<Book> candidates = pending_;
        candidates.insert(candidates.end(), {savedBook_, before, midState_});
        killAndMatch(endedAt_, candidates, before);
        return;
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
    if (closeAsked_ && !IsWindow(window_)) return closedInDialog();
    if (action.kind != Kind::Kill && action.kind != Kind::Exit) checkSlots();
    checkShown();
}

// The window closed by an outside WM_CLOSE once the step's dialogs were done: an exit.
// Another program tries to write the data file while the program runs: refused (the program
// holds it open for its pages' texts), and the save that follows loses nothing.
void Driver::otherWriter() {
    HANDLE file = CreateFileA(dataFile_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    CloseHandle(file);
    fail("another program could open the data file for writing");
}

// The start's password is asked inside the step and answered by its plan.
void Driver::closedInDialog() { restart(false, now_.a); }

// What the user sees after every step: the model's page selected in the list, its text in the editor.
void Driver::checkShown() {
    if (!failure_.empty() || !window_) return;
    const int at = s_.book.indexOf(s_.selected);
    const std::vector<HTREEITEM> all = items();
    const HTREEITEM selection = TreeView_GetSelection(tree());
    if (!selection) return fail("no page is selected");
    if (at < 0 || at >= static_cast<int>(all.size()) || all[at] != selection) {
        const auto it = std::find(all.begin(), all.end(), selection);
        return fail("the list selects item " + std::to_string(it - all.begin()) + ", the model " + std::to_string(at));
    }
    if (s_.locked) return;
    // Undo is offered exactly when the model has a step to take back: never one from before a reset
    if ((SendMessageA(editor(), EM_CANUNDO, 0, 0) != 0) != !s_.undo.empty())
        return fail(s_.undo.empty() ? "the editor offers an undo the model does not have"
                                    : "the editor offers no undo, the model has " + std::to_string(s_.undo.size()));
    std::wstring text = richEditText(editor());
    std::wstring model = s_.book.nodes[at].text;
    for (std::wstring* t : {&text, &model})
        for (std::size_t i; (i = t->find(L"\r\n")) != std::wstring::npos;) t->erase(i + 1, 1);
    if (text == model) return;
    // from a little before the first character that differs
    const std::size_t first = std::mismatch(text.begin(), text.begin() + std::min(text.size(), model.size()),
                                            model.begin()).first - text.begin();
    const std::size_t from = first < 40 ? 0 : first - 40;
    fail("the editor shows \"" + toCp932(text.substr(from, 200)) + "\" on item " + std::to_string(at) +
         ", the model \"" + toCp932(model.substr(from, 200)) + "\"" +
         (from ? " (from character " + std::to_string(from) + ")" : ""));
}

// Something from outside while the first dialog of a step is up.
void Driver::inDialog(HWND) {
    ++counters_.inDialog;
    switch (answerer_->plan().outside) {
        case Outside::SearchNext:
            searchNext();
            break;
        case Outside::SessionEnd:
            if (SendMessageA(window_, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF))
                fail("the program agreed to end the session inside a dialog");
            SendMessageA(window_, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
            break;
        case Outside::ForcedSessionEnd:
            if (journal_) break;  // under a real kill the files are not put back
            SendMessageA(window_, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
            SendMessageA(window_, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
            endedAt_ = filesBelow(dataFolder());
            slotsAtEnd_ = slots_;
            sessionEnded_ = afterEnd_ = true;
            break;
        case Outside::Close:
            PostMessageA(window_, WM_CLOSE, 0, 0);
            closeAsked_ = true;
            break;
        case Outside::None:
            break;
    }
}

// The search window, open with a text most books hold, moved where it covers nothing a drag points at.
void Driver::openSearch() {
    if (gApp.searchWindow && IsWindowVisible(gApp.searchWindow)) return;
    SendMessageA(window_, WM_COMMAND, IDM_SEARCH, 0);
    if (!gApp.searchWindow) return;
    SetDlgItemTextA(gApp.searchWindow, IDC_SEARCH_TEXT, "ペ");
    RECT search, main;
    GetWindowRect(gApp.searchWindow, &search);
    GetWindowRect(window_, &main);
    SetWindowPos(gApp.searchWindow, nullptr, main.right, main.bottom - (search.bottom - search.top), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // back to the main window, and let the activation settle: one arriving late would end a
    // drag of this step as a lost capture does
    SetForegroundWindow(window_);
    for (int i = 0; i < 20; ++i, Sleep(10)) testapp::pumpMessages();
}

// 次を検索 in the search window opened before the step, if a user could click it.
void Driver::searchNext() {
    HWND search = gApp.searchWindow;
    if (!search) return;
    HWND next = GetDlgItem(search, IDC_SEARCH_NEXT);
    if (IsWindowVisible(search) && IsWindowEnabled(search) && IsWindowEnabled(next)) SendMessageA(next, BM_CLICK, 0, 0);
}

// A second copy of the program started on the same folder: it hands over to this one and
// ends, writing nothing.
void Driver::secondCopy() {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string program = self;
    program = program.substr(0, program.find_last_of('\\') + 1) + "quiltpad.exe";
    const std::string copy = root_ + "\\quiltpad.exe";
    if (GetFileAttributesA(copy.c_str()) == INVALID_FILE_ATTRIBUTES && !CopyFileA(program.c_str(), copy.c_str(), TRUE))
        return;  // no program beside the tests: nothing to start
    const std::vector<FileCopy> before = filesBelow(dataFolder());
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string line = "\"" + copy + "\"";
    if (!CreateProcessA(copy.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, root_.c_str(), &si, &pi))
        return fail("a second copy could not be started");
    const DWORD started = GetTickCount();
    while (MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, 100, QS_ALLINPUT) != WAIT_OBJECT_0 &&
           GetTickCount() - started < 30000)
        testapp::pumpMessages();
    if (WaitForSingleObject(pi.hProcess, 0) != WAIT_OBJECT_0) {
        TerminateProcess(pi.hProcess, 1);
        fail("a second copy of the program did not end");
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    const std::vector<FileCopy> after = filesBelow(dataFolder());
    bool same = before.size() == after.size();
    for (std::size_t i = 0; same && i < before.size(); ++i) same = before[i].bytes == after[i].bytes;
    if (!same) fail("a second copy of the program changed the files of the book");
}

}  // namespace soak
