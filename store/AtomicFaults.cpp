#include "store/AtomicFile.h"

#include <atomic>

// One count for the whole process: a save may open several writers in turn.
namespace atomicfaults {

const char* nameOf(Operation operation) {
    static const char* const NAMES[] = {"create", "write", "flush", "close", "replace", "move", "copy", "delete"};
    return NAMES[static_cast<int>(operation)];
}

#ifdef QUILT_NO_WRITE_SEAM
// The release: nothing counted, nothing failed, no hook to call.
void onOperation(void (*)(const Event&), void (*)(const Event&)) {}
void failOperation(long) {}
long operationsCounted() { return 0; }
bool nextOperationFails(Operation, const std::string&, const std::string&) { return false; }
void operationDone(Operation, const std::string&, const std::string&) {}
#else
namespace {
std::atomic<long> gFailAt{0};
std::atomic<long> gCounted{0};
std::atomic<void (*)(const Event&)> gBefore{nullptr};
std::atomic<void (*)(const Event&)> gDone{nullptr};
}  // namespace

void onOperation(void (*before)(const Event&), void (*done)(const Event&)) {
    gBefore = before;
    gDone = done;
}

void failOperation(long failAt) {
    gFailAt = failAt;
    gCounted = 0;
}

long operationsCounted() { return gCounted; }

bool nextOperationFails(Operation operation, const std::string& path, const std::string& from) {
    const long now = ++gCounted;
    if (void (*hook)(const Event&) = gBefore) hook(Event{now, operation, path, from});
    return gFailAt > 0 && now == gFailAt;
}

void operationDone(Operation operation, const std::string& path, const std::string& from) {
    if (void (*hook)(const Event&) = gDone) hook(Event{gCounted, operation, path, from});
}
#endif

}  // namespace atomicfaults
