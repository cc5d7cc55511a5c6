// The names sync clients give a second copy of the book when two PCs wrote it at once:
//   Syncthing              quiltpad.sync-conflict-20261210-101500-ABCDEFG.qpd
//   Dropbox                quiltpad (Taro's conflicted copy 2026-12-10).qpd
//   Nextcloud, ownCloud    quiltpad (conflicted copy 2026-12-10 101500).qpd
//   OneDrive               quiltpad-LAPTOP.qpd
//   Google Drive           quiltpad (1).qpd
// Only the name is judged here; a copy counts when it also reads as this book.
#pragma once

#include <string>

namespace conflictcopies {

struct Copy {
    bool conflicted = false;
    std::string client;  // "Syncthing", "Dropbox", "Nextcloud", "OneDrive", "Google Drive"
    std::string origin;  // the device or machine the name tells, else its date; may be empty
};

// `name`: a file name without folder; `book`: the data file's name ("quiltpad.qpd"). Letter case
// does not matter, as on Windows.
Copy judge(const std::string& name, const std::string& book);

}  // namespace conflictcopies
