// Whether two paths name one folder (or one file) by what the file system says, never by
// their text: another letter case, an 8.3 short name, a trailing backslash, a second drive
// letter for the same place all name the same folder.
#pragma once

#include <cstdint>
#include <string>

#include "store/FileReader.h"

namespace fileidentity {

struct FolderId {
    std::uint64_t volume = 0;  // the volume's serial number
    std::uint64_t index = 0;   // the folder's file index on that volume
    std::string finalPath;     // the path the file system resolves it to (UTF-8), when it tells it
};

// What the folder is; the fault when it cannot be reached (FileFault::NoFolder when it
// is not there), FileFault::None on success.
FileFault identifyFolder(const std::string& folder, FolderId& id);

// Both folders can be reached and are one.
bool sameFolder(const std::string& a, const std::string& b);

// Two file paths name one place: the same folder and the same name (compared without
// regard to case). The file itself need not exist (a data file is replaced at every save).
bool sameFile(const std::string& a, const std::string& b);

}  // namespace fileidentity
