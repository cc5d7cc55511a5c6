// The data file stays the book this run read or wrote: before the book replaces it, the file
// is checked against the fingerprint taken at the load and after each save of the program's
// own. Another writer's version (a sync client, a copy from elsewhere) is never overwritten
// and never silently: it is copied aside under a name with the date and time, and the user
// chooses between it and this window's book.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

namespace datafileguard {

// What identifies one version of the file: where it is on its volume, its size, its last
// write and a hash of its first bytes (the header and the first records).
struct Fingerprint {
    bool present = false;
    std::uint64_t volume = 0, index = 0, size = 0, written = 0, headHash = 0;
    bool operator==(const Fingerprint& o) const {
        return present == o.present && volume == o.volume && index == o.index && size == o.size &&
               written == o.written && headHash == o.headHash;
    }
};

// The file's fingerprint now; `present` false when it is not there or cannot be opened.
Fingerprint take(const std::string& path);

// A copy of the file at `path` beside it: "quiltpad.qpd" -> "quiltpad.other.20261209-233400.qpd"
// ("-(1)" … when taken), never over a file; empty when it could not be copied.
std::string copyAside(const std::string& path);

// After a load of the data file (a new book: none there) or a save of the program's own into it.
void remember(const std::string& path);
// The fingerprint remembered last (not present: none).
const Fingerprint& remembered();
// Nothing remembered: a new book, another data file.
void forget();

enum class Verdict {
    OURS,          // still the file this run read or wrote (or gone): the save may replace it
    KEEP_OURS,     // another version, kept aside; the user keeps this window's book: save it
    LOADED_OTHER,  // another version, kept aside; the window now holds it: nothing to save
    WAIT,          // the question is already being asked: no save now
};

// The check before the book replaces the data file. `hasEdits`: the window holds edits not
// yet in any file, which makes keeping them the default answer.
Verdict check(HWND window, bool hasEdits);

// The name the other version was kept under by the last check that found one (for tests).
const std::string& lastKeptAside();

}  // namespace datafileguard
