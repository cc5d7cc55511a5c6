// Seeded sequences, their replayable scripts, the run from a fresh folder and the shrinking of a failure.
#include <windows.h>

#include "soak/SoakDriver.h"

#include <cstdlib>
#include <random>
#include <sstream>

namespace soak {

namespace {

struct KindInfo {
    Kind kind;
    const char* name;
    int weight;  // in the generated mix
};

const KindInfo KINDS[] = {
    {Kind::Select, "select", 12},
    {Kind::NextPage, "next", 3},
    {Kind::PreviousPage, "previous", 3},
    {Kind::NewPage, "new-page", 5},
    {Kind::NewFolder, "new-folder", 3},
    {Kind::Retitle, "retitle", 4},
    {Kind::RetitleEsc, "retitle-esc", 2},
    {Kind::Delete, "delete", 4},
    {Kind::CopyPage, "copy-page", 2},
    {Kind::PastePage, "paste-page", 2},
    {Kind::Bookmark, "bookmark", 2},
    {Kind::OpenBookmark, "open-bookmark", 1},
    {Kind::Collapse, "collapse", 1},
    {Kind::ResetFont, "reset-font", 1},
    {Kind::TextClipboard, "text-clipboard", 1},
    {Kind::Type, "type", 18},
    {Kind::Cut, "cut", 4},
    {Kind::Copy, "copy", 3},
    {Kind::Paste, "paste", 4},
    {Kind::Clear, "clear", 3},
    {Kind::Undo, "undo", 4},
    {Kind::Redo, "redo", 2},
    {Kind::Bold, "bold", 2},
    {Kind::Colour, "colour", 2},
    {Kind::DateStamp, "date", 2},
    {Kind::MakeSecure, "make-secure", 3},
    {Kind::MakeOrdinary, "make-ordinary", 2},
    {Kind::Tick, "tick", 5},
    {Kind::BackupTick, "backup-tick", 1},
    {Kind::Exit, "exit", 1},
    {Kind::Kill, "kill", 1},
    {Kind::Restore, "restore", 2},
    {Kind::Check, "check", 0},
    {Kind::Drag, "drag", 5},
    {Kind::LongPage, "long-page", 1},
    {Kind::PasteUnicode, "paste-unicode", 2},
    {Kind::PasteEmpty, "paste-empty", 2},
    {Kind::SecondCopy, "second-copy", 1},
    {Kind::SavePage, "save-page", 1},
    {Kind::MoveData, "move-data", 1},
    {Kind::SaveAll, "save-all", 1},
};

constexpr int CHECK_EVERY = 25;

}  // namespace

const char* kindName(Kind kind) {
    for (const KindInfo& k : KINDS)
        if (k.kind == kind) return k.name;
    return "?";
}

bool kindFromName(const std::string& name, Kind& kind) {
    for (const KindInfo& k : KINDS)
        if (name == k.name) {
            kind = k.kind;
            return true;
        }
    return false;
}

// A step on one line: its kind, its three numbers and, when given, its text in hex after an "x".
std::string scriptOf(const std::vector<Action>& actions) {
    std::string script;
    for (const Action& a : actions) {
        script += std::string(kindName(a.kind)) + " " + std::to_string(a.a) + " " + std::to_string(a.b) + " " +
                  std::to_string(a.c);
        if (a.textGiven) {
            script += " x";
            for (unsigned char c : a.text) script += "0123456789abcdef"[c >> 4], script += "0123456789abcdef"[c & 15];
        }
        script += "\n";
    }
    return script;
}

std::vector<Action> parseScript(const std::string& script) {
    std::vector<Action> actions;
    std::istringstream in(script);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string name;
        Action a;
        if (!(words >> name) || !kindFromName(name, a.kind)) continue;
        std::string text;
        words >> a.a >> a.b >> a.c >> text;
        a.textGiven = !text.empty() && text[0] == 'x';
        for (std::size_t at = 1; a.textGiven && at + 1 < text.size(); at += 2)
            a.text += static_cast<char>(std::stoi(text.substr(at, 2), nullptr, 16));
        actions.push_back(a);
    }
    return actions;
}

// QP_SOAK_WITHOUT: kinds left out of the mix, "cut,clear" (to look past a fault being fixed), and
// "outside" (nothing from outside inside dialogs), "drag-delete" (no Delete while dragging).
bool leftOut(const char* name) {
    const char* without = std::getenv("QP_SOAK_WITHOUT");
    return (std::string(",") + (without ? without : "") + ",").find(std::string(",") + name + ",") != std::string::npos;
}

std::vector<Action> generate(std::uint32_t seed, int steps) {
    std::mt19937 random(seed);
    std::vector<int> weights;
    for (const KindInfo& k : KINDS) weights.push_back(leftOut(k.name) ? 0 : k.weight);
    std::discrete_distribution<int> kinds(weights.begin(), weights.end());
    std::vector<Action> actions;
    for (int i = 0; i < steps; ++i) {
        Action a;
        a.kind = (i + 1) % CHECK_EVERY == 0 ? Kind::Check : KINDS[kinds(random)].kind;
        a.a = random();
        a.b = random();
        a.c = random();
        actions.push_back(a);
    }
    return actions;
}

namespace {

std::string runWith(Driver& driver, const std::vector<Action>& actions, Counters* totals, int* stepsRun,
                    std::vector<Action>* resolved) {
    int step = 0;
    for (const Action& a : actions) {
        if (!driver.run(a)) break;
        ++step;
    }
    Action exit;
    exit.kind = Kind::Exit;
    if (driver.failure().empty()) driver.run(exit);  // the last exit is checked too
    if (stepsRun) *stepsRun = step;
    if (totals) {
        const Counters& c = driver.counters();
        totals->steps += c.steps;
        totals->restarts += c.restarts;
        totals->kills += c.kills;
        totals->checks += c.checks;
        totals->slotChecks += c.slotChecks;
        totals->dialogs += c.dialogs;
        for (int k = 0; k < static_cast<int>(Kind::Count); ++k) totals->byKind[k] += c.byKind[k];
        totals->inDialog += c.inDialog;
    }
    if (resolved) *resolved = driver.resolved();
    return driver.failure();
}

}  // namespace

std::string runSequence(const std::vector<Action>& actions, Counters* totals, int* stepsRun,
                        std::vector<Action>* resolved) {
    Driver driver;
    return runWith(driver, actions, totals, stepsRun, resolved);
}

std::string runResumed(const std::string& programFolder, const Resume& resume, Journal& journal,
                       const std::vector<Action>& actions) {
    Driver driver(programFolder, resume, &journal);
    return runWith(driver, actions, nullptr, nullptr, nullptr);
}

namespace {

// The kind of a failure, without the details that change as steps are removed.
std::string category(const std::string& failure) {
    const std::size_t colon = failure.find(':');
    return failure.substr(0, colon);
}

}  // namespace

std::vector<Action> shrink(std::vector<Action> failing, int budget) {
    int steps = 0;
    std::vector<Action> resolved;
    const std::string wanted = category(runSequence(failing, nullptr, &steps, &resolved));
    if (wanted.empty()) return failing;
    failing = resolved;  // the steps as they were taken, up to the failing one
    for (std::size_t chunk = failing.size() / 2; chunk >= 1 && budget > 0; chunk /= 2) {
        for (std::size_t at = 0; at + chunk <= failing.size() && budget > 0;) {
            std::vector<Action> shorter(failing.begin(), failing.begin() + static_cast<std::ptrdiff_t>(at));
            shorter.insert(shorter.end(), failing.begin() + static_cast<std::ptrdiff_t>(at + chunk), failing.end());
            --budget;
            const std::string got = runSequence(shorter, nullptr, &steps);
            if (!got.empty() && category(got) == wanted) {
                shorter.resize(std::min(shorter.size(), static_cast<std::size_t>(steps) + 1));
                failing = shorter;
            } else {
                at += chunk;
            }
        }
    }
    return failing;
}

}  // namespace soak
