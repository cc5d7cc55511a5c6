// Real kills: the soak runs in a child process and this process ends it with
// TerminateProcess at a random instant, most of them inside a write. The child writes
// each step down before it acts, flushed; after the kill the data file and every slot
// must hold a book the child's model held since its last completed save (old or new,
// never a mix, never unreadable), the settings file must read, and the next start must
// clear what the cut write left. The next child goes on from the books found.
//   QP_KILL_CAMPAIGN   kills to make (4 without it)
//   QP_KILL_FIRST_SEED the first child's seed (default 1)
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include "settings/IniSettings.h"
#include "soak/SoakDriver.h"
#include "store/AtomicFile.h"
#include "support/TestApp.h"
#include "tests/common/FileBytes.h"

namespace {

using namespace soak;

std::string env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The child's journal: a book is written whole the first time it differs from the last one.
// Once the program has started, it is frozen at its `freezeAt`-th write operation from there (the
// counter of the atomic writes moved), as if the power went at that instant, and the parent is told.
class FileJournal : public Journal {
public:
    FileJournal(const std::string& path, long freezeAt)
        : file_(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr)),
          freezeAt_(freezeAt) {}
    ~FileJournal() override { CloseHandle(file_); }
    void started() override {
        if (freezeAt_ <= 0) return;
        static long target = 0;
        target = atomicfaults::operationsCounted() + freezeAt_;
        // on the writer's own thread, right before the operation: nothing of it has happened
        atomicfaults::onOperation([](long counted) {
            if (counted != target) return;
            SetEvent(CreateEventA(nullptr, TRUE, FALSE, std::getenv("QP_KILL_EVENT")));
            Sleep(INFINITE);
        });
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
    void line(const std::string& text) {
        const std::string bytes = text + "\n";
        DWORD written = 0;
        WriteFile(file_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        FlushFileBuffers(file_);
    }
    HANDLE file_;
    long freezeAt_;
    std::string last_;
    int books_ = 0;
};

// What the parent reads back from a journal.
struct Reading {
    std::vector<Book> candidates;  // the books the data file may hold
    std::map<int, Slot> slots;     // each slot as the model last had it
    std::string cutStep;           // the step that was running, empty when none
    std::string failure;           // a difference the child found itself
};

Reading readJournal(const std::string& path) {
    Reading r;
    std::vector<Book> books(1);
    std::ifstream in(path.c_str(), std::ios::binary);
    std::string line;
    std::vector<std::pair<char, int>> notes;
    std::size_t lastSaved = 0;
    while (std::getline(in, line)) {
        if (line.size() < 2) continue;
        if (line[0] == 'B') {
            books.emplace_back();
            if (!parseBook(line.substr(2), books.back())) books.pop_back();  // cut in the middle: never used
        } else if (line[0] == 'F') {
            r.failure = line.substr(2);
        } else if (line[0] == 'A') {
            r.cutStep = line.substr(line.find(' ', 2) + 1);
        } else {
            std::istringstream words(line.substr(2));
            int book = 0, slot = -1, kind = 0;
            words >> book >> slot >> kind;
            if (book <= 0 || book >= static_cast<int>(books.size())) continue;
            if (line[0] == 'S') r.cutStep.clear();
            if (line[0] == 'V') lastSaved = notes.size();
            if (line[0] == 'L') r.slots[slot] = {books[book], static_cast<SaveKind>(kind)};
            notes.emplace_back(line[0], book);
        }
    }
    for (std::size_t i = lastSaved; i < notes.size(); ++i)
        if (notes[i].first != 'L') r.candidates.push_back(books[notes[i].second]);
    return r;
}

// Every folder a write of the book may be cut in.
std::vector<std::string> halfWritten(const std::string& root) {
    return soak::halfWritten({root + "\\data", root + "\\data\\backup", movedDataFolder(root)});
}

// The copies a restore cut off left waiting to replace their slots.
std::vector<std::string> waitingCopies(const std::string& root) {
    std::vector<std::string> names;
    for (const std::string& name : halfWritten(root))
        if (name.find("~before") != std::string::npos) names.push_back(name);
    return names;
}

void writeResume(const std::string& path, const Resume& resume) {
    std::string text = "B " + serialise(resume.book) + "\n";
    for (const Book& b : resume.could) text += "C " + serialise(b) + "\n";
    for (const auto& s : resume.slots)
        text += "L " + std::to_string(s.first) + " " + std::to_string(static_cast<int>(s.second.kind)) + " " +
                serialise(s.second.book) + "\n";
    testcommon::writeFile(path, text);
}

Resume readResume(const std::string& path) {
    Resume resume;
    std::istringstream in(testcommon::readFile(path));
    std::string line;
    while (std::getline(in, line)) {
        if (line.compare(0, 2, "B ") == 0) parseBook(line.substr(2), resume.book);
        Book could;
        if (line.compare(0, 2, "C ") == 0 && parseBook(line.substr(2), could)) resume.could.push_back(could);
        if (line.compare(0, 2, "L ") != 0) continue;
        std::istringstream words(line.substr(2));
        int slot = 0, kind = 0;
        words >> slot >> kind;
        std::string rest;
        std::getline(words, rest);
        Slot s;
        s.kind = static_cast<SaveKind>(kind);
        if (parseBook(rest.substr(1), s.book)) resume.slots[slot] = s;
    }
    return resume;
}

// After a kill: every file holds a book that could be there. Fills `next` with them.
std::string checkAfterKill(const std::string& root, const Reading& r, Resume& next) {
    const std::string data = root + "\\data";
    SaveKind kind;
    std::string why;
    const int at = matchFile(dataFileNamedIn(root), r.candidates, kind, why);
    if (at < 0) return "data file: " + why;
    next.book = r.candidates[static_cast<std::size_t>(at)];
    next.slots.clear();
    // a start finishes a restore cut before it, at any moment until its journal says so: a slot
    // may then hold the book from before that restore, and still may while a waiting copy is left
    const std::vector<Book> earlier = next.could;
    next.could = r.candidates;
    if (!waitingCopies(root).empty()) next.could.insert(next.could.end(), earlier.begin(), earlier.end());
    for (int slot = 0; slot < 4; ++slot) {
        char name[32];
        wsprintfA(name, "\\backup\\backup%02d.qpd", slot);
        std::vector<Book> could = r.candidates;
        could.insert(could.end(), earlier.begin(), earlier.end());
        const auto model = r.slots.find(slot);
        if (model != r.slots.end()) could.insert(could.begin(), model->second.book);
        if (testcommon::readFile(data + name).empty()) {
            if (model != r.slots.end()) return "backup slot " + std::to_string(slot) + " vanished";
            continue;
        }
        const int held = matchFile(data + name, could, kind, why);
        if (held < 0) return "backup slot " + std::to_string(slot) + ": " + why;
        next.slots[slot] = {could[static_cast<std::size_t>(held)], kind};
    }
    std::string value;
    if (!ini::findIniValue(testcommon::readFile(data + "\\quiltpad.ini"), "SETTING", "BackupFileSize", value) ||
        value != "4")
        return "the settings file does not read: BackupFileSize \"" + value + "\"";
    return std::string();
}

// The child: the soak in the folder the parent names, frozen at the write operation it names.
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
    int kills = 0, inWrite = 0, ended = 0, differences = 0;
    std::map<std::string, int> byStep, byFile;
};

// One child: started, ended at its instant, and its folder checked. False on a difference.
bool oneKill(const std::string& root, std::mt19937& random, std::uint32_t seed, Resume& resume, Tally& t) {
    writeResume(root + "\\resume.txt", resume);
    const bool inWrite = random() % 4 != 0;
    const std::string event = "qp-soak-frozen-" + std::to_string(GetCurrentProcessId());
    HANDLE frozen = CreateEventA(nullptr, TRUE, FALSE, event.c_str());
    ResetEvent(frozen);
    SetEnvironmentVariableA("QP_KILL_CHILD", root.c_str());
    SetEnvironmentVariableA("QP_KILL_SEED", std::to_string(seed).c_str());
    SetEnvironmentVariableA("QP_KILL_AT_OP", inWrite ? std::to_string(1 + random() % 80).c_str() : "0");
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
    // in a job of its own: a second copy of the program it started goes with it
    HANDLE job = CreateJobObjectA(nullptr, nullptr);
    const BOOL started =
        CreateProcessA(self, &line[0], nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr, nullptr, &si, &pi) &&
        AssignProcessToJobObject(job, pi.hProcess) && ResumeThread(pi.hThread) != static_cast<DWORD>(-1);
    SetEnvironmentVariableA("QP_KILL_CHILD", nullptr);
    SetEnvironmentVariableA("QP_SOAK_WITHOUT", more.empty() ? nullptr : more.c_str());  // the mix of this process
    CloseHandle(out);
    if (!started) return CloseHandle(job), ADD_FAILURE() << "the child did not start", false;
    HANDLE both[] = {pi.hProcess, frozen};
    const DWORD waited =
        inWrite ? WaitForMultipleObjects(2, both, FALSE, 300000) : WaitForSingleObject(pi.hProcess, random() % 2500);
    const bool ended = waited == WAIT_OBJECT_0;
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
    const Reading reading = readJournal(root + "\\journal.txt");
    const std::vector<std::string> cut = halfWritten(root);
    std::string difference = reading.failure.empty() ? "" : "the child: " + reading.failure;
    if (ended) {
        ++t.ended;
    } else {
        ++t.kills;
        ++t.byStep[reading.cutStep.empty() ? "between steps" : reading.cutStep];
        if (!cut.empty()) ++t.inWrite;
        for (const std::string& name : cut) ++t.byFile[name.substr(0, name.find('~'))];
    }
    if (reading.candidates.empty()) {  // cut before the program started: the folder as it was
        if (resume.book.nodes.empty()) testapp::removeTree(root + "\\data");
        return true;
    }
    if (difference.empty()) difference = checkAfterKill(root, reading, resume);
    if (difference.empty()) return true;
    ++t.differences;
    std::printf("kill: seed %u%s, cut in %s: %s\n", seed, inWrite ? " (in a write)" : "", reading.cutStep.c_str(),
                difference.c_str());
    const std::string keep = env("QP_SOAK_OUT");
    if (!keep.empty()) {
        const std::string to = keep + "\\kill-" + std::to_string(seed);
        CreateDirectoryA(to.c_str(), nullptr);
        for (const char* name : {"\\journal.txt", "\\child.txt", "\\resume.txt"})
            CopyFileA((root + name).c_str(), (to + name).c_str(), FALSE);
    }
    return false;
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
        if (!oneKill(folder->path(), random, seed, resume, t)) {  // a difference: go on in a fresh folder
            folder = std::make_unique<testapp::TempFolder>();
            resume = Resume();
        }
        if (t.kills % 50 == 0 || t.kills == kills) {
            std::printf("kill: %d kills (%d inside a write), %d children ended on their own, %d differences\n", t.kills,
                        t.inWrite, t.ended, t.differences);
            std::fflush(stdout);
        }
    }
    std::printf("kill: cut in");
    for (const auto& s : t.byStep) std::printf(" %s %d,", s.first.c_str(), s.second);
    std::printf("\nkill: half-written files left");
    for (const auto& f : t.byFile) std::printf(" %s %d,", f.first.c_str(), f.second);
    std::printf("\n");
    EXPECT_EQ(t.differences, 0);
    if (kills >= 100) {
        EXPECT_GE(t.inWrite * 2, t.kills);
    }
}

}  // namespace
