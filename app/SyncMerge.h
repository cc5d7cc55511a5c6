// One book on two PCs through a synced folder. When both wrote it at once, the sync client
// leaves a conflicted copy beside the data file; the program finds it, offers to merge it page by
// page into the open book (the default answer), and loses no edit of either side.
// The base of the merge is the book as this PC last read it (MergeBase).
#pragma once
#include <windows.h>

#include <string>

namespace syncmerge {

// Looks beside the data file for a conflicted copy of this book (the names sync clients give it,
// the same book number) and offers to merge each one; at the start and whenever the data file is
// looked at from outside. A copy the user declined is not offered again in this run.
void offerMerges(HWND window);

// Merges the copy at `path` into the window's book: a backup slot keeps the book from before, the
// merged book is saved and shown, the copy is renamed aside ("quiltpad.merged.<stamp>.qpd") and
// the user is told what was added, changed and kept twice. `origin` names the other side.
bool mergeCopy(HWND window, const std::string& path, const std::string& origin);

}  // namespace syncmerge
