// A random user of the real main window. Each action is what a user does with
// the window's controls, menus (by command id) and dialogs; beside it the model
// of the book changes by what the action means. The data file and each backup
// slot written are compared with the model.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "soak/SoakModel.h"
#include "support/TestApp.h"
#include "soak/SoakDialogs.h"

namespace soak {

struct FileCopy {
    std::string path, bytes;
    FILETIME written{};
};

enum class Kind {
    Select,
    NextPage,
    PreviousPage,
    NewPage,
    NewFolder,
    Retitle,
    RetitleEsc,
    Delete,
    CopyPage,
    PastePage,
    Bookmark,
    OpenBookmark,
    Collapse,
    Type,
    Cut,
    Copy,
    Paste,
    Clear,
    Undo,
    Redo,
    Bold,
    Colour,
    DateStamp,
    ResetFont,
    TextClipboard,
    LongPage,
    PasteUnicode,
    PasteEmpty,
    MakeSecure,
    MakeOrdinary,
    Tick,
    BackupTick,
    Exit,
    Kill,
    Restore,
    Check,
    Drag,
    SecondCopy,
    SavePage,
    MoveData,
    SaveAll,
    Count
};

const char* kindName(Kind kind);
bool kindFromName(const std::string& name, Kind& kind);

// One step: the kind and three numbers that choose its targets and answers when it runs.
// A run writes each step down resolved: the numbers reduced to the item, the selection and
// the answers they chose, and the text typed or given as a title, so that a replay does
// not depend on the driver's tables.
struct Action {
    Kind kind = Kind::Check;
    std::uint32_t a = 0, b = 0, c = 0;
    std::string text;  // code page 932, when given: else chosen from the driver's tables by `a` or `b`
    bool textGiven = false;
};

std::string scriptOf(const std::vector<Action>& actions);
std::vector<Action> parseScript(const std::string& script);

struct Counters {
    long steps = 0, restarts = 0, kills = 0, checks = 0, slotChecks = 0, dialogs = 0, inDialog = 0;
    long byKind[static_cast<int>(Kind::Count)] = {};
};

// What the session sees besides the book: selection, password state, clipboards, undo.
struct Session {
    Book book;
    int selected = 0;     // node id
    bool locked = false;  // the shown page is a secure page left unopened
    bool authenticated = false;
    int nextRegistration = 1;
    bool hasClip = false;
    std::wstring clip;
    bool clipIsText = false;  // copied with copy-as-text on: no RTF beside it
    bool hasPageClip = false;
    std::vector<Node> pageClip;
    int pageClipRegistration = 0;  // the registration its secure texts are encrypted under
    std::vector<std::wstring> undo, redo;
};

// What a child of the real-kill campaign writes down, flushed, before it acts (SoakKill.cpp).
class Journal {
public:
    virtual ~Journal() = default;
    virtual void failed(const std::string& what) = 0;
    virtual void begin(long step, const Action& action) = 0;
    // 'S' the book after a step, 'V' a save of it was read back, 'P' it may be written next,
    // 'L' slot `slot` holds it with `kind`, 'E' a backup of it with `kind` is going to slot `slot`.
    virtual void note(char what, const Book& book, int slot = -1, SaveKind kind = SaveKind::ExitData) = 0;
};

// Where a driver starts in an existing program folder: the book its data file holds and the slots.
struct Resume {
    Book book;
    std::map<int, Slot> slots;
    std::map<int, Slot> waiting;  // the book from before a cut restore, beside its slot: the start may put it there
};

// A program folder as a user's earlier run left it (the settings, the first book); where the
// driver starts from in it.
Resume freshFolder(const std::string& programFolder);

class Driver {
public:
    // A fresh program folder of its own, or `programFolder` resumed as `resume` says.
    Driver();
    Driver(const std::string& programFolder, const Resume& resume, Journal* journal);
    ~Driver();
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;

    // Runs one action; false once a difference was found (see `failure`).
    bool run(const Action& action);
    const std::string& failure() const { return failure_; }
    const Counters& counters() const { return counters_; }
    const std::vector<Action>& resolved() const { return resolved_; }

    // For the dialog answerer.
    void tickInDialog();
    void inDialog(HWND dialog);  // something from outside the dialog, as the plan says
    void checkRestoreLines(HWND list);
    void restoring(int slot);

private:
    friend class Answerer;
    void start(const std::string& programFolder);
    void note(char what, const Book& book, int slot = -1, SaveKind kind = SaveKind::ExitData);
    std::string dataFolder() const { return root_ + "\\data"; }
    std::string slotPath(int slot) const;
    int backupSlot() const;
    void expectBackup(SaveKind kind);
    void predictBackup(SaveKind kind, const Book& book);
    void checkShown();
    void afterStep(const Action& action, const Book& before);
    void killAndMatch(const std::vector<FileCopy>& disk, const std::vector<Book>& candidates, const Book& before);
    void closedInDialog();
    void otherWriter();
    void openSearch();
    void searchNext();
    void secondCopy();
    void savePage(const Action& action);
    void moveData(const Action& action);
    void saveAll(const Action& action);
    void pasteOwn(const std::wstring& text);
    int selectionAfterDelete(int at) const;
    void stopRealTimers();
    void fail(const std::string& what);
    void tickNow();
    Plan planFor(const Action& action) const;
    void command(int id);
    HWND tree() const;
    HWND editor() const;
    std::vector<HTREEITEM> items() const;
    std::string traceList() const;
    void clickItem(int index);
    void expectDialogs(int count);
    void show(int index, std::uint32_t answer);
    void afterLoad(std::uint32_t answer);
    void compareDataFile(const Book& expected, const char* when);
    void checkSlots();
    void reopen(std::uint32_t answer);
    void setEditorSelection(int from, int to);
    void editorAction(const Action& action);
    void pageListAction(const Action& action);
    void secureAction(const Action& action);
    void lifeAction(const Action& action);
    void deletePage(const Action& action);
    void addPage(const Action& action, int selected);
    void retitle(const Action& action, bool cancel);
    void restore(const Action& action);
    void restart(bool kill, std::uint32_t answer);
    void drag(const Action& action);
    void pushUndo();
    void waitForClipboard();
    void clipboardAction(Kind kind, int from, int to);

    std::unique_ptr<testapp::TempFolder> own_;
    std::string root_, dataFile_, backupFolder_;
    std::set<std::string> ownFiles_;  // the data files this run of the program read or wrote
    Journal* journal_ = nullptr;
    Action now_;  // the step running, resolved as it goes
    std::vector<Action> resolved_;
    std::vector<Book> pending_;           // books a write inside this step may carry
    std::vector<std::int64_t> slotKeys_;  // each slot's last write at the start of the step, -1: free
    std::vector<FileCopy> endedAt_;       // the files when a forced session end ended the process
    std::map<int, Slot> slotsAtEnd_;      // and the model's slots then
    bool sessionEnded_ = false, closeAsked_ = false;
    bool afterEnd_ = false;  // the process is gone: what the step still models does not count
    HWND window_ = nullptr;
    Session s_;
    Book midState_;
    Book savedBook_;  // what the data file holds, as last compared
    std::vector<std::string>
        expected_;  // the dialogs this action must show  // what a tick inside this action's password dialog must save
    std::map<int, Slot> slots_;
    std::map<int, std::string> slotBytes_;
    std::string failure_;
    Counters counters_;
    class Answerer* answerer_ = nullptr;
};

// Runs a sequence from a fresh program folder; returns the failure ("" when none)
// and the number of steps run through `stepsRun`.
std::string runSequence(const std::vector<Action>& actions, Counters* totals = nullptr, int* stepsRun = nullptr,
                        std::vector<Action>* resolved = nullptr);

// The same, in a program folder resumed as `resume` says, writing to `journal`; steps until
// `steps` or a failure. Used by the child of the real-kill campaign.
std::string runResumed(const std::string& programFolder, const Resume& resume, Journal& journal,
                       const std::vector<Action>& actions);

// The data file the settings file of a program folder names, and the other folder a move
// of the data folder goes to (inside the program's own, so that the files below it are all).
std::string dataFileNamedIn(const std::string& programFolder);
std::string movedDataFolder(const std::string& programFolder);

// The half-written files left directly in these folders.
std::vector<std::string> halfWritten(const std::vector<std::string>& folders);

// Whether QP_SOAK_WITHOUT leaves a kind or a variant out of the mix.
bool leftOut(const char* name);

// A seeded sequence with the action mix of the soak.
std::vector<Action> generate(std::uint32_t seed, int steps);

// The shortest sequence found that still fails (removing runs, then single steps), within `budget` replays.
std::vector<Action> shrink(std::vector<Action> failing, int budget);

}  // namespace soak
