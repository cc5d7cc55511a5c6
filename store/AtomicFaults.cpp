#include "store/AtomicFile.h"

#include <atomic>

// One count for the whole process: a save may open several writers in turn.
namespace atomicfaults {

namespace {
std::atomic<long> gFailAt{0};
std::atomic<long> gCounted{0};
std::atomic<void (*)(long)> gHook{nullptr};
}  // namespace

void onOperation(void (*hook)(long counted)) { gHook = hook; }

void failOperation(long failAt) {
    gFailAt = failAt;
    gCounted = 0;
}

long operationsCounted() { return gCounted; }

bool nextOperationFails() {
    const long now = ++gCounted;
    if (void (*hook)(long) = gHook) hook(now);
    return gFailAt > 0 && now == gFailAt;
}

}  // namespace atomicfaults
