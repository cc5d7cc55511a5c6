// A tree of folders and files on disk read back as a book: each directory a
// folder (its "<name>.rtf" the folder's own text when present), every other
// .rtf or .txt file a page titled by its name without the extension, each
// directory's entries in name order. RTF files are taken as they are; text
// files (code page 932, UTF-8 or UTF-16) become RTF keeping every character,
// those outside code page 932 as \uN escapes. The inverse of BookExport.
#pragma once

#include <string>
#include <vector>

#include "store/PageTable.h"

namespace bookimport {

struct ImportReport {
    int pages = 0;
    int folders = 0;
    std::vector<std::string> unreadable;  // paths that could not be read
};

// Fills the cleared table with the tree under `directory`, in tree order:
// `order` is the record's index, `parentOrder` its folder's (-1 at the top),
// folders open. False when the directory cannot be listed.
bool importTree(const std::string& directory, PageTable& table, ImportReport& report);

// A page's RTF from a file's bytes.
std::string pageTextOf(const std::string& bytes, bool isRtf);

}  // namespace bookimport
