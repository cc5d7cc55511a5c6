// One rule for the whole program: while an operation is in progress, nothing
// else starts. An operation is a command, a modal dialog of the program or a
// search step; it may hand the message loop to others while it waits (a
// dialog, a message box, a file chooser). What arrives meanwhile (a click in a
// tool window, a timer tick, a drag, a session end, a close from outside) asks
// here first and is refused or waits until the operation is over.
#pragma once

#include <functional>

namespace busy {

// An operation in progress for as long as it lives; operations nest.
class Operation {
public:
    Operation();
    ~Operation();
    Operation(const Operation&) = delete;
    Operation& operator=(const Operation&) = delete;
};

// Held while the book in memory is not one that may be written over the data
// file: a restore between keeping the book from before and the data file
// holding the restored one. A session that ends meanwhile writes no book.
class Unsettled {
public:
    Unsettled();
    ~Unsettled();
    Unsettled(const Unsettled&) = delete;
    Unsettled& operator=(const Unsettled&) = delete;
};

// Held while the restore dialog is open: a backup written meanwhile could take
// the very slot the user is choosing or restoring. A session that ends then
// writes no backup (the data file, when it may be written, holds the book).
class SlotsInUse {
public:
    SlotsInUse();
    ~SlotsInUse();
    SlotsInUse(const SlotsInUse&) = delete;
    SlotsInUse& operator=(const SlotsInUse&) = delete;
};

// The commands an operation sends itself while it runs (the page an import
// fills is added by the add-page command) pass; anything that starts inside
// them (a dialog's message loop) is refused again.
class OwnSteps {
public:
    OwnSteps();
    ~OwnSteps();
    OwnSteps(const OwnSteps&) = delete;
    OwnSteps& operator=(const OwnSteps&) = delete;

private:
    int saved_;
};

bool inProgress();       // some operation is in progress
bool refusesCommands();  // a command given now would run inside another operation
bool bookUnsettled();
bool slotsInUse();

// Runs `then` once no operation is in progress any more: at once when none is.
void whenIdle(std::function<void()> then);

}  // namespace busy
