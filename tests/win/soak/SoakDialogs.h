// The soak's answers to the program's dialogs: found by caption (and, for the
// restore dialog, by its list), answered as the current action planned.
#pragma once
#include <windows.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace soak {

class Driver;

// The book's password, and one that is not.
extern const char* const PASSWORD;
extern const char* const WRONG_PASSWORD;

// How a password question is answered: the right password, a wrong one first and
// then the right one, Cancel, or a wrong one first and then Cancel.
enum class PasswordAnswer { Right, WrongThenRight, Cancel, WrongThenCancel };
PasswordAnswer passwordAnswerOf(std::uint32_t choice);
inline bool opens(PasswordAnswer a) { return a == PasswordAnswer::Right || a == PasswordAnswer::WrongThenRight; }

// What comes from outside while the first dialog of a step is up: 次を検索 in the search
// window, a session end refused (WM_QUERYENDSESSION, then WM_ENDSESSION with FALSE), one
// forced through (WM_ENDSESSION with TRUE: the process ends right after), an outside WM_CLOSE.
// A restore's line given as the slot it shows (SLOT_CHOSEN + slot), as a run records it.
constexpr std::uint32_t SLOT_CHOSEN = 0xFFFF0000u;

enum class Outside { SearchNext, SessionEnd, ForcedSessionEnd, Close, None };

struct Plan {
    PasswordAnswer password = PasswordAnswer::Cancel;
    bool tickInFirstDialog = false;
    Outside outside = Outside::None;
    std::size_t outsideIn = 0;  // in the step's first, second, ... dialog
    bool confirm = true;        // delete confirmation, restore question
    std::uint32_t line = 0;     // restore list line, modulo the lines
    bool restore = true;        // "復元する" or "キャンセル" in the restore dialog
    std::string saveTo;         // the file name given to a save dialog
    std::string dataFolder;     // chosen in the settings dialog, empty: the default
    std::string exportTo;       // the folder chosen in the folder browser
};

class Answerer {
public:
    explicit Answerer(Driver& driver);
    ~Answerer();
    Answerer(const Answerer&) = delete;
    Answerer& operator=(const Answerer&) = delete;

    // A new action: the plan, and forget what was seen.
    void begin(const Plan& plan);
    // The dialogs answered since `begin`, by name ("auth", "register", "delete", "restore", ...).
    const std::vector<std::string>& seen() const { return seen_; }
    const Plan& plan() const { return plan_; }
    int chosenSlot() const { return chosenSlot_; }
    bool savedAll() const { return savedAll_; }  // the save-all said every page was saved

private:
    static void CALLBACK onTimer(HWND, UINT, UINT_PTR, DWORD);
    static BOOL CALLBACK visit(HWND window, LPARAM self);
    bool answer(HWND dialog);
    void answerPassword(HWND dialog, bool registration);
    void answerRestore(HWND dialog);
    void answerSave(HWND dialog);
    void press(HWND dialog, int id);

    Driver& driver_;
    Plan plan_;
    UINT_PTR timer_ = 0;
    std::set<HWND> answered_;
    std::vector<std::string> seen_;
    int chosenSlot_ = -1;
    bool savedAll_ = false;
};

}  // namespace soak
