#include "ui/Busy.h"

#include <utility>
#include <vector>

namespace busy {

namespace {

int gDepth = 0;     // operations in progress, nested
int gOwnDepth = 0;  // commands pass up to this depth (an operation's own steps)
int gUnsettled = 0;
int gSlotsInUse = 0;
std::vector<std::function<void()>> gWaiting;

}  // namespace

Operation::Operation() { ++gDepth; }

Operation::~Operation() {
    if (--gDepth > 0) return;
    // what waited may start operations of its own: it runs on a list of its own
    std::vector<std::function<void()>> waiting;
    waiting.swap(gWaiting);
    for (const auto& then : waiting) then();
}

Unsettled::Unsettled() { ++gUnsettled; }
Unsettled::~Unsettled() { --gUnsettled; }
SlotsInUse::SlotsInUse() { ++gSlotsInUse; }
SlotsInUse::~SlotsInUse() { --gSlotsInUse; }

OwnSteps::OwnSteps() : saved_(gOwnDepth) { gOwnDepth = gDepth; }
OwnSteps::~OwnSteps() { gOwnDepth = saved_; }

bool inProgress() { return gDepth > 0; }
bool refusesCommands() { return gDepth > gOwnDepth; }
bool bookUnsettled() { return gUnsettled > 0; }
bool slotsInUse() { return gSlotsInUse > 0; }

void whenIdle(std::function<void()> then) {
    if (gDepth == 0)
        then();
    else
        gWaiting.push_back(std::move(then));
}

}  // namespace busy
