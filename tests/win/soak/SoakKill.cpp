// Real kills: the soak runs in a child process and this process ends it with
// TerminateProcess at a random instant, most of them right before a file operation the
// parent drew (a write's, a move, a copy, a delete; in a start too). The child writes down,
// before it acts, each step, the books of its model, and every operation that changes a file
// (from the store's write seam: the file, and a hash of the bytes it gets). After the kill:
// every finished operation holds its bytes and nothing else changed; the data file and every
// slot hold a book (and save kind) the model allows there; every book that must still exist
// (the last saved, every backup, both books of a restore) is in some file; the settings file
// reads. The next child starts from the files found and first checks that the start cleared
// what the kill left. A child that ends by itself must end with 0; one that hangs is a difference.
//   QP_KILL_CAMPAIGN   kills to make (4 without it)
//   QP_KILL_FIRST_SEED the first child's seed (default 1)
#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "settings/IniSettings.h"
#include "soak/SoakDriver.h"
#include "store/AtomicFile.h"
#include "support/TestApp.h"
#include "tests/common/FileBytes.h"

namespace {

using namespace soak;
using atomicfaults::Operation;

std::string env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::uint64_t hashOf(const std::string& bytes) {
    std::uint64_t hash = 1469598103934665603ULL;
    for (unsigned char c : bytes) hash = (hash ^ c) * 1099511628211ULL;
    return hash;
}

// A file as the check sees it: there or not, and a hash of its bytes.
struct FileSeen {
    bool present = false;
    std::uint64_t hash = 0;
    bool operator==(const FileSeen& o) const { return present == o.present && (!present || hash == o.hash); }
};
using Files = std::map<std::string, FileSeen>;  // by the path in lower case

std::string key(std::string path) {
    for (char& c : path) c = c == '/' ? '\\' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return path;
}

// Every file below the data folder (the backup folder and the moved data folder are inside it).
void filesBelow(const std::string& folder, Files& files) {
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &found);
    for (BOOL more = h != INVALID_HANDLE_VALUE; more; more = FindNextFileA(h, &found)) {
        const std::string name = found.cFileName, path = folder + "\\" + name;
        if (name == "." || name == "..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            filesBelow(path, files);
        else
            files[key(path)] = {true, hashOf(testcommon::readFile(path))};
    }
    if (h != INVALID_HANDLE_VALUE) FindClose(h);
}

Files filesOf(const std::string& root) {
    Files files;
    filesBelow(root + "\\data", files);
    return files;
}

// A writer's temporary file ("…~12"): what it holds is nobody's book.
bool isTemporary(const std::string& path) {
    const std::string::size_type tilde = path.rfind('~');
    return tilde != std::string::npos && tilde + 1 < path.size() &&
           path.find_first_not_of("0123456789", tilde + 1) == std::string::npos;
}

std::string fileName(const std::string& path) { return path.substr(path.find_last_of('\\') + 1); }

// The file an operation is for: its folder and its temporary or waiting suffixes taken away.
std::string targetName(const std::string& path) {
    const std::string name = fileName(path);
    return name.substr(0, name.find('~'));
}

// The child's journal, flushed line by line: the steps, the model's books, and each file operation
// from the write seam. The program is frozen right before its `freezeAt`-th file operation (counted
// from the child's start, the program's own start included), as if the power went at that instant,
// and the parent is told.
class FileJournal : public Journal {
public:
    FileJournal(const std::string& path, long freezeAt)
        : file_(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr)) {
        InitializeCriticalSection(&lock_);
        self_ = this;
        freezeAt_ = freezeAt;
        atomicfaults::onOperation(before, done);
    }
    ~FileJournal() override {
        atomicfaults::onOperation(nullptr);
        CloseHandle(file_);
        DeleteCriticalSection(&lock_);
    }
    void failed(const std::string& what) override { line("F " + what); }
    void begin(long step, const Action& action) override {
        line("A " + std::to_string(step) + " " + kindName(action.kind));
    }
    void note(char what, const Book& book, int slot, SaveKind kind) override {
        const std::string text = serialise(book);
        if (text != last_) {
            line("B " + text);
            last_ = text;
            ++books_;
        }
        line(std::string(1, what) + " " + std::to_string(books_) + " " + std::to_string(slot) + " " +
             std::to_string(static_cast<int>(kind)));
    }

private:
    // On the operation's own thread: what it will do, then the stop when it is the one drawn.
    static void before(const atomicfaults::Event& e) {
        if (e.operation == Operation::Create) self_->line(std::string("O\t") + e.path);
        if (e.operation >= Operation::Replace) {
            const std::uint64_t hash = e.operation == Operation::Delete ? 0 : hashOf(testcommon::readFile(e.from));
            self_->line(std::string("W\t") + atomicfaults::nameOf(e.operation) + "\t" + std::to_string(hash) + "\t" +
                        e.path + "\t" + e.from);
        }
        if (e.counted != freezeAt_) return;
        self_->line(std::string("K\t") + atomicfaults::nameOf(e.operation) + "\t" + e.path);
        SetEvent(CreateEventA(nullptr, TRUE, FALSE, std::getenv("QP_KILL_EVENT")));
        Sleep(INFINITE);
    }
    static void done(const atomicfaults::Event&) { self_->line("D"); }

    void line(const std::string& text) {
        const std::string bytes = text + "\n";
        DWORD written = 0;
        EnterCriticalSection(&lock_);
        WriteFile(file_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        FlushFileBuffers(file_);
        LeaveCriticalSection(&lock_);
    }
    static FileJournal* self_;
    static long freezeAt_;
    HANDLE file_;
    CRITICAL_SECTION lock_;
    std::string last_;
    int books_ = 0;
};
FileJournal* FileJournal::self_ = nullptr;
long FileJournal::freezeAt_ = 0;

// An operation that changes a file, as the journal has it.
struct Change {
    std::string op, path, from;  // keys
    std::uint64_t hash = 0;      // of the bytes `from` held
};

// What the parent reads back from a journal.
struct Reading {
    bool begun = false;            // the child's model got as far as the data file it reads
    std::vector<Book> candidates;  // the books the data file may hold
    std::map<int, Slot> slots;     // each slot as the model last had it
    std::map<int, std::vector<Slot>> incoming;  // the backups of the step under way, by slot
    std::set<int> slotsNoted;                   // slots the child's model took over (a waiting book settled)
    std::vector<std::pair<std::string, Book>> mustExist;  // what, and the book some file must hold
    std::vector<Book> eitherOf;                           // a restore's book from before, or the last saved one
    bool restoreRan = false;
    std::string cutStep;   // the step that was running, empty when none
    std::string failure;   // a difference the child found itself
    std::string stoppedAt; // the operation the child was stopped before, empty for a timed kill
    Files expected;        // every file as the finished operations left it
    std::set<std::string> writing;  // temporary files of writes not finished: anything may be there
    bool cut = false;      // `pending` had begun and had not finished
    Change pending;
};

bool isSlotName(const std::string& name, int& slot) {
    if (name.size() != 12 || name.compare(0, 6, "backup") != 0 || name.compare(8, 4, ".qpd") != 0) return false;
    slot = (name[6] - '0') * 10 + (name[7] - '0');
    return slot >= 0 && slot < 4;
}

// The finished operation changes the files it names.
void apply(Reading& r, const Change& c) {
    if (c.op == "delete") {
        r.expected[c.path] = FileSeen();
        r.writing.erase(c.path);
        return;
    }
    r.expected[c.path] = {true, c.hash};
    if (c.op != "copy") {
        r.expected[c.from] = FileSeen();
        r.writing.erase(c.from);
    }
}

Reading readJournal(const std::string& path, const Files& atStart, const Resume& resume) {
    Reading r;
    r.expected = atStart;
    std::vector<Book> books(1);
    std::ifstream in(path.c_str(), std::ios::binary);
    std::string line;
    std::vector<std::pair<char, int>> notes;
    std::size_t lastSaved = 0;
    Book saved;
    bool dataChanged = false;           // a write of the data file finished since the last read-back
    std::set<int> slotChanged;          // slots written since the model last noted them
    bool restoring = false;
    Book restored, restoredFrom, savedThen;
    while (std::getline(in, line)) {
        if (line.size() < 1) continue;
        const char what = line[0];
        if (what == 'O' || what == 'W' || what == 'K') {
            std::vector<std::string> f;
            std::istringstream fields(line);
            for (std::string field; std::getline(fields, field, '\t');) f.push_back(field);
            if (what == 'O' && f.size() >= 2) r.writing.insert(key(f[1]));
            if (what == 'K' && f.size() >= 3) r.stoppedAt = f[1] + " " + targetName(f[2]);
            if (what == 'W' && f.size() >= 4) {
                r.pending = {f[1], key(f[3]), f.size() > 4 ? key(f[4]) : std::string(), std::stoull(f[2])};
                r.cut = true;  // until its "D": one that failed changed nothing, as one never begun
            }
            continue;
        }
        if (what == 'D') {
            if (!r.cut) continue;
            apply(r, r.pending);
            r.cut = false;
            const std::string name = fileName(r.pending.path);
            int slot = -1;
            if (name == "quiltpad.qpd") dataChanged = true;
            if (isSlotName(name, slot)) slotChanged.insert(slot);
            continue;
        }
        if (line.size() < 2) continue;
        if (what == 'B') {
            books.emplace_back();
            if (!parseBook(line.substr(2), books.back())) books.pop_back();  // cut in the middle: never used
        } else if (what == 'F') {
            r.failure = line.substr(2);
        } else if (what == 'A') {
            r.cutStep = line.substr(line.find(' ', 2) + 1);
            r.incoming.clear();
            if (r.cutStep == "restore") r.restoreRan = true;
        } else {
            std::istringstream words(line.substr(2));
            int book = 0, slot = -1, kind = 0;
            words >> book >> slot >> kind;
            if (book <= 0 || book >= static_cast<int>(books.size())) continue;
            const Book& b = books[static_cast<std::size_t>(book)];
            if (what == 'S') {
                r.cutStep.clear();
                restoring = false;
            }
            if (what == 'V') {
                lastSaved = notes.size();
                saved = b;
                dataChanged = false;
                r.begun = true;
            }
            if (what == 'L') {
                r.slots[slot] = {b, static_cast<SaveKind>(kind)};
                if (r.begun) r.slotsNoted.insert(slot);  // after the start, not the slots it was given
                slotChanged.erase(slot);
            }
            if (what == 'E') {
                r.incoming[slot].push_back({b, static_cast<SaveKind>(kind)});
                if (kind == static_cast<int>(SaveKind::BeforeRestore) && r.slots.count(slot)) {
                    restoring = true;
                    restored = r.slots[slot].book;
                    restoredFrom = b;
                    savedThen = saved;
                }
            }
            notes.emplace_back(what, book);
        }
    }
    for (std::size_t i = lastSaved; i < notes.size(); ++i)
        if (notes[i].first != 'L' && notes[i].first != 'E') r.candidates.push_back(books[notes[i].second]);
    // what must still be somewhere: the book last saved, unless a newer one took its place; every
    // backup, unless one being written took its slot; both books of a restore under way
    const auto cutAt = [&](const std::string& name) { return r.cut && fileName(r.pending.path) == name; };
    if (r.begun && !dataChanged && !cutAt("quiltpad.qpd")) r.mustExist.push_back({"the book last saved", saved});
    for (const auto& s : r.slots) {
        char name[16];
        wsprintfA(name, "backup%02d.qpd", s.first);
        if (!slotChanged.count(s.first) && !cutAt(name))
            r.mustExist.push_back({"the backup of slot " + std::to_string(s.first), s.second.book});
    }
    for (const auto& w : resume.waiting)  // the data file holding the same book, the start may drop it
        if (!r.slotsNoted.count(w.first) && !sameBook(w.second.book, resume.book))
            r.mustExist.push_back({"the book from before a restore cut earlier (slot " + std::to_string(w.first) + ")",
                                   w.second.book});
    if (restoring) {
        r.mustExist.push_back({"the book a restore under way loads", restored});
        r.eitherOf = {restoredFrom, savedThen};
    }
    return r;
}

void writeResume(const std::string& path, const Resume& resume) {
    std::string text = "B " + serialise(resume.book) + "\n";
    const auto slotLines = [&](const char* tag, const std::map<int, Slot>& slots) {
        for (const auto& s : slots)
            text += std::string(tag) + " " + std::to_string(s.first) + " " +
                    std::to_string(static_cast<int>(s.second.kind)) + " " + serialise(s.second.book) + "\n";
    };
    slotLines("L", resume.slots);
    slotLines("W", resume.waiting);
    testcommon::writeFile(path, text);
}

Resume readResume(const std::string& path) {
    Resume resume;
    std::istringstream in(testcommon::readFile(path));
    std::string line;
    while (std::getline(in, line)) {
        if (line.compare(0, 2, "B ") == 0) parseBook(line.substr(2), resume.book);
        if (line.compare(0, 2, "L ") != 0 && line.compare(0, 2, "W ") != 0) continue;
        std::istringstream words(line.substr(2));
        int slot = 0, kind = 0;
        words >> slot >> kind;
        std::string rest;
        std::getline(words, rest);
        Slot s;
        s.kind = static_cast<SaveKind>(kind);
        if (parseBook(rest.substr(1), s.book)) (line[0] == 'L' ? resume.slots : resume.waiting)[slot] = s;
    }
    return resume;
}

std::string describe(const FileSeen& f) { return f.present ? "bytes " + std::to_string(f.hash) : "no file"; }

// Every finished operation holds its bytes, the one cut holds the old or the new, and no file
// changed without an operation of the journal.
std::string checkFiles(const std::string& root, const Reading& r) {
    const Files now = filesOf(root);
    std::set<std::string> paths;
    for (const Files* files : {&now, &r.expected})
        for (const auto& f : *files) paths.insert(f.first);
    const std::string data = key(root + "\\data\\");
    for (const std::string& path : paths) {
        if (path.compare(0, data.size(), data) != 0 || r.writing.count(path)) continue;
        const auto at = now.find(path), was = r.expected.find(path);
        const FileSeen seen = at == now.end() ? FileSeen() : at->second;
        const FileSeen wanted = was == r.expected.end() ? FileSeen() : was->second;
        if (seen == wanted) continue;
        if (r.cut && path == r.pending.path) {
            if (r.pending.op == "copy") continue;  // a copy ended midway holds a part of its source
            if (seen == (r.pending.op == "delete" ? FileSeen() : FileSeen{true, r.pending.hash})) continue;
        }
        if (r.cut && path == r.pending.from && r.pending.op != "copy" && !seen.present) continue;
        return fileName(path) + ": " + describe(seen) + " where the finished operations left " + describe(wanted) +
               (r.cut ? " (the " + r.pending.op + " of " + fileName(r.pending.path) + " was cut)" : "");
    }
    return std::string();
}

std::vector<DiskBook> booksHeld(const std::string& root) {
    std::vector<DiskBook> held;
    for (const auto& f : filesOf(root))
        if (!isTemporary(f.first) && fileName(f.first).find(".qpd") != std::string::npos) {
            DiskBook disk = readDisk(f.first, PASSWORD);
            if (disk.error.empty()) held.push_back(std::move(disk));
        }
    return held;
}

bool heldBy(const std::vector<DiskBook>& held, const Book& book) {
    for (const DiskBook& disk : held)
        if (firstDifference(book, disk).empty()) return true;
    return false;
}

std::string kindText(SaveKind kind) { return "save kind " + std::to_string(static_cast<int>(kind)); }

// The first of `allowed` the file holds, book and save kind; -1 and `why` when none.
int matchSlot(const std::string& path, const std::vector<Slot>& allowed, std::string& why) {
    for (std::size_t i = 0; i < allowed.size(); ++i) {
        SaveKind kind;
        std::string difference;
        if (matchFile(path, {allowed[i].book}, kind, difference) < 0) {
            if (why.empty()) why = difference;
        } else if (kind != allowed[i].kind) {
            if (why.empty() || i == 0) why = kindText(kind) + ", the model " + kindText(allowed[i].kind);
        } else {
            return static_cast<int>(i);
        }
    }
    if (allowed.empty()) why = "no backup could be there";
    return -1;
}

// After a kill: every file holds a book (and save kind) that could be there, and every book that
// must exist is somewhere. Fills `next` with where the next child starts.
std::string checkBooks(const std::string& root, const Reading& r, const Files& atStart, const Resume& resume,
                       Resume& next) {
    const std::string dataFile = dataFileNamedIn(root);
    SaveKind kind;
    std::string why;
    const int at = matchFile(dataFile, r.candidates, kind, why);
    if (at < 0) return "data file: " + why;
    const auto was = atStart.find(key(dataFile));
    const bool unchanged = was != atStart.end() && filesOf(root)[key(dataFile)] == was->second;
    if (kind != SaveKind::ExitData && !(kind == SaveKind::BeforeRestore && (r.restoreRan || unchanged)))
        return "data file: " + kindText(kind) + " where no restore ran";
    next.book = r.candidates[static_cast<std::size_t>(at)];
    next.slots.clear();
    next.waiting.clear();
    const std::string backup = root + "\\data\\backup\\";
    for (int slot = 0; slot < 4; ++slot) {
        char name[16];
        wsprintfA(name, "backup%02d.qpd", slot);
        // the model's backup, one of the step under way, the book from before a restore cut earlier
        std::vector<Slot> allowed, waiting;
        const auto model = r.slots.find(slot), earlier = resume.waiting.find(slot);
        if (model != r.slots.end()) allowed.push_back(model->second);
        const auto incoming = r.incoming.find(slot);
        if (incoming != r.incoming.end())
            for (const Slot& in : incoming->second) (in.kind == SaveKind::BeforeRestore ? waiting : allowed).push_back(in);
        if (earlier != resume.waiting.end() && !r.slotsNoted.count(slot)) waiting.push_back(earlier->second);
        allowed.insert(allowed.end(), waiting.begin(), waiting.end());
        const std::string path = backup + name;
        if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
            if (model != r.slots.end()) return std::string("backup slot ") + name + " vanished";
        } else {
            why.clear();
            const int held = matchSlot(path, allowed, why);
            if (held < 0) return std::string("backup slot ") + name + ": " + why;
            next.slots[slot] = allowed[static_cast<std::size_t>(held)];
        }
        const std::string before = path + "~before";
        if (GetFileAttributesA(before.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
        why.clear();
        const int held = matchSlot(before, waiting, why);
        if (held < 0) return std::string("the book from before a restore beside ") + name + ": " + why;
        next.waiting[slot] = waiting[static_cast<std::size_t>(held)];
    }
    const std::vector<DiskBook> held = booksHeld(root);
    for (const auto& must : r.mustExist)
        if (!heldBy(held, must.second)) return must.first + " is in no file";
    if (!r.eitherOf.empty() && !heldBy(held, r.eitherOf[0]) && !heldBy(held, r.eitherOf[1]))
        return "the book from before the restore under way is in no file";
    std::string value;
    if (!ini::findIniValue(testcommon::readFile(root + "\\data\\quiltpad.ini"), "SETTING", "BackupFileSize", value) ||
        value != "4")
        return "the settings file does not read: BackupFileSize \"" + value + "\"";
    return std::string();
}

// The child: the soak in the folder the parent names, frozen at the file operation it names.
TEST(SoakKill, Child) {
    const std::string root = env("QP_KILL_CHILD");
    if (root.empty()) GTEST_SKIP() << "run by SoakKill.Campaign";
    FileJournal journal(root + "\\journal.txt", std::atol(env("QP_KILL_AT_OP").c_str()));
    const std::string failure =
        runResumed(root, readResume(root + "\\resume.txt"), journal,
                   generate(static_cast<std::uint32_t>(std::atol(env("QP_KILL_SEED").c_str())), 400));
    EXPECT_EQ(failure, "");
}

struct Tally {
    int kills = 0, inWrite = 0, ended = 0, unchecked = 0, differences = 0;
    std::map<std::string, int> byStep, byFile;
};

struct Child {
    bool ended = false, hung = false;
    DWORD exitCode = 0;
};

// Starts the child in a job of its own (a second copy of the program it started goes with it),
// waits for the operation drawn (`aimed`) or `wait` ms, then ends whatever is left of it.
Child runChild(const std::string& root, std::uint32_t seed, long freezeAt, DWORD wait) {
    Child child;
    const std::string event = "qp-soak-frozen-" + std::to_string(GetCurrentProcessId());
    HANDLE frozen = CreateEventA(nullptr, TRUE, FALSE, event.c_str());
    ResetEvent(frozen);
    SetEnvironmentVariableA("QP_KILL_CHILD", root.c_str());
    SetEnvironmentVariableA("QP_KILL_SEED", std::to_string(seed).c_str());
    SetEnvironmentVariableA("QP_KILL_AT_OP", std::to_string(freezeAt).c_str());
    SetEnvironmentVariableA("QP_KILL_EVENT", event.c_str());
    // the simulated kill and the forced session end among the actions from outside put files
    // back, not to be cut by a real one
    static const std::string more = env("QP_SOAK_WITHOUT");  // a campaign may narrow the mix further
    SetEnvironmentVariableA("QP_SOAK_WITHOUT", ("kill,outside," + more).c_str());
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string line = std::string("\"") + self + "\" --gtest_filter=SoakKill.Child";
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE out = CreateFileA((root + "\\child.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0,
                             nullptr);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = si.hStdError = out;
    PROCESS_INFORMATION pi = {};
    HANDLE job = CreateJobObjectA(nullptr, nullptr);
    const BOOL started =
        CreateProcessA(self, &line[0], nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr, nullptr, &si, &pi) &&
        AssignProcessToJobObject(job, pi.hProcess) && ResumeThread(pi.hThread) != static_cast<DWORD>(-1);
    SetEnvironmentVariableA("QP_KILL_CHILD", nullptr);
    SetEnvironmentVariableA("QP_SOAK_WITHOUT", more.empty() ? nullptr : more.c_str());  // the mix of this process
    CloseHandle(out);
    if (!started) {
        CloseHandle(job);
        CloseHandle(frozen);
        ADD_FAILURE() << "the child did not start";
        child.ended = true;
        child.exitCode = 1;
        return child;
    }
    HANDLE both[] = {pi.hProcess, frozen};
    const DWORD waited = freezeAt ? WaitForMultipleObjects(2, both, FALSE, wait) : WaitForSingleObject(pi.hProcess, wait);
    child.ended = waited == WAIT_OBJECT_0;
    child.hung = freezeAt && waited == WAIT_TIMEOUT;
    if (child.ended) GetExitCodeProcess(pi.hProcess, &child.exitCode);
    TerminateJobObject(job, 9);
    WaitForSingleObject(pi.hProcess, INFINITE);
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION alive = {};
    while (QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &alive, sizeof alive, nullptr) &&
           alive.ActiveProcesses > 0)
        Sleep(10);
    CloseHandle(job);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    CloseHandle(frozen);
    return child;
}

// One child: started, ended at its instant, and its folder checked. False on a difference.
bool oneKill(const std::string& root, std::mt19937& random, std::uint32_t seed, Resume& resume, Tally& t) {
    if (resume.book.nodes.empty()) resume = freshFolder(root);
    writeResume(root + "\\resume.txt", resume);
    const Files atStart = filesOf(root);
    // three in four stopped right before a file operation, a quarter of those within the start
    const bool aimed = random() % 4 != 0;
    const long freezeAt = !aimed ? 0 : random() % 4 == 0 ? 1 + random() % 3 : 1 + random() % 80;
    const Child child = runChild(root, seed, freezeAt, aimed ? 300000 : random() % 2500);
    const Reading r = readJournal(root + "\\journal.txt", atStart, resume);
    std::string difference = r.failure.empty() ? "" : "the child: " + r.failure;
    if (child.hung) difference = "the child neither reached file operation " + std::to_string(freezeAt) + " nor ended";
    if (child.ended && child.exitCode != 0 && difference.empty())
        difference = "the child ended by itself with exit code " + std::to_string(child.exitCode);
    if (difference.empty() && !r.begun) {  // stopped before its model read the data file: nothing to hold it to
        ++t.unchecked;
        return true;
    }
    if (child.ended) {
        ++t.ended;
    } else if (!child.hung) {
        ++t.kills;
        ++t.byStep[r.cutStep.empty() ? "between steps" : r.cutStep];
        // inside a write: stopped at an operation, or a timed kill that cut one
        std::string file = !r.stoppedAt.empty() ? r.stoppedAt.substr(r.stoppedAt.find(' ') + 1)
                           : r.cut             ? targetName(r.pending.path)
                           : !r.writing.empty() ? targetName(*r.writing.begin())
                                                : "";
        if (!file.empty()) {
            ++t.inWrite;
            ++t.byFile[file];
        }
    }
    if (difference.empty()) difference = checkFiles(root, r);
    Resume next = resume;
    if (difference.empty()) difference = checkBooks(root, r, atStart, resume, next);
    if (difference.empty()) {
        resume = next;
        return true;
    }
    ++t.differences;
    std::printf("kill: seed %u%s, cut in %s%s: %s\n", seed,
                aimed ? (" (before file operation " + std::to_string(freezeAt) + ")").c_str() : "",
                r.cutStep.empty() ? "between steps" : r.cutStep.c_str(),
                r.stoppedAt.empty() ? "" : (", stopped before the " + r.stoppedAt).c_str(), difference.c_str());
    const std::string keep = env("QP_SOAK_OUT");
    if (!keep.empty()) {
        const std::string to = keep + "\\kill-" + std::to_string(seed);
        CreateDirectoryA(to.c_str(), nullptr);
        for (const char* name : {"\\journal.txt", "\\child.txt", "\\resume.txt"})
            CopyFileA((root + name).c_str(), (to + name).c_str(), FALSE);
    }
    return false;
}

void printTally(const Tally& t) {
    std::printf("kill: %d kills (%d inside a write), %d unchecked, %d children ended on their own, %d differences\n",
                t.kills, t.inWrite, t.unchecked, t.ended, t.differences);
    std::fflush(stdout);
}

TEST(SoakKill, Campaign) {
    // a few in the test command; a campaign of QP_KILL_CAMPAIGN kills in scripts/soak.sh
    const int kills = std::max(4, std::atoi(env("QP_KILL_CAMPAIGN").c_str()));
    const std::uint32_t first = static_cast<std::uint32_t>(std::max(1, std::atoi(env("QP_KILL_FIRST_SEED").c_str())));
    std::mt19937 random(first);
    Tally t;
    auto folder = std::make_unique<testapp::TempFolder>();
    Resume resume;
    for (std::uint32_t seed = first; t.kills < kills; ++seed) {
        const int before = t.kills;
        if (!oneKill(folder->path(), random, seed, resume, t)) {  // a difference: go on in a fresh folder
            folder = std::make_unique<testapp::TempFolder>();
            resume = Resume();
        }
        if (t.kills != before && (t.kills % 50 == 0 || t.kills == kills)) printTally(t);
    }
    std::printf("kill: cut in");
    for (const auto& s : t.byStep) std::printf(" %s %d,", s.first.c_str(), s.second);
    std::printf("\nkill: stopped inside the operations of");
    for (const auto& f : t.byFile) std::printf(" %s %d,", f.first.c_str(), f.second);
    std::printf("\n");
    EXPECT_EQ(t.differences, 0);
    if (kills >= 100) {
        EXPECT_GE(t.inWrite * 2, t.kills);
    }
}

}  // namespace
