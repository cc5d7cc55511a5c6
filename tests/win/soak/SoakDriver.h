// A random user of the real main window. Each action is what a user does with
// the window's controls, menus (by command id) and dialogs; beside it the model
// of the book changes by what the action means. The data file and each backup
// slot written are compared with the model.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "soak/SoakModel.h"
#include "support/TestApp.h"
#include "soak/SoakDialogs.h"

namespace soak {

enum class Kind {
    Select, NextPage, PreviousPage, NewPage, NewFolder, Retitle, RetitleEsc, Delete, CopyPage, PastePage,
    Bookmark, OpenBookmark, Collapse, Type, Cut, Copy, Paste, Clear, Undo, Redo, Bold, Colour, DateStamp,
    ResetFont, TextClipboard,
    MakeSecure, MakeOrdinary, Tick, BackupTick, Exit, Kill, Restore, Check, Drag,
    Count
};

const char* kindName(Kind kind);
bool kindFromName(const std::string& name, Kind& kind);

// One step: the kind and three numbers that choose its targets and answers when it runs.
struct Action {
    Kind kind = Kind::Check;
    std::uint32_t a = 0, b = 0, c = 0;
};

std::string scriptOf(const std::vector<Action>& actions);
std::vector<Action> parseScript(const std::string& script);

struct Counters {
    long steps = 0, restarts = 0, kills = 0, checks = 0, slotChecks = 0, dialogs = 0;
    long byKind[static_cast<int>(Kind::Count)] = {};
};

// What the session sees besides the book: selection, password state, clipboards, undo.
struct Session {
    Book book;
    int selected = 0;  // node id
    bool locked = false;         // the shown page is a secure page left unopened
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

class Driver {
public:
    Driver();
    ~Driver();
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;

    // Runs one action; false once a difference was found (see `failure`).
    bool run(const Action& action);
    const std::string& failure() const { return failure_; }
    const Counters& counters() const { return counters_; }

    // For the dialog answerer.
    void tickInDialog();

private:
    friend class Answerer;
    void start();
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
    void checkSlots(const Book& expected);
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

    testapp::TempFolder folder_;
    std::string dataFile_, backupFolder_;
    HWND window_ = nullptr;
    Session s_;
    Book midState_;
    Book savedBook_;  // what the data file holds, as last compared
    std::vector<std::string> expected_;  // the dialogs this action must show  // what a tick inside this action's password dialog must save
    std::map<int, Book> slotBooks_;
    std::map<int, std::string> slotBytes_;
    std::string failure_;
    Counters counters_;
    class Answerer* answerer_ = nullptr;
};

// Runs a sequence from a fresh program folder; returns the failure ("" when none)
// and the number of steps run through `stepsRun`.
std::string runSequence(const std::vector<Action>& actions, Counters* totals = nullptr, int* stepsRun = nullptr);

// A seeded sequence with the action mix of the soak.
std::vector<Action> generate(std::uint32_t seed, int steps);

// The shortest sequence found that still fails (removing runs, then single steps), within `budget` replays.
std::vector<Action> shrink(std::vector<Action> failing, int budget);

}  // namespace soak
