// qpdtool export / import: a book as a tree of folders and RTF files, and back.
#pragma once

#include <string>
#include <vector>

namespace qpdtool {

// export BOOK DIR [--password P]: the whole book under DIR/<time stamp>, as
// the program's "save all pages" writes it. Secure pages are written only
// with the right password; otherwise each is skipped with a warning.
int exportCommand(const std::vector<std::string>& args);

// import DIR BOOK: the tree under DIR becomes a new book.
int importCommand(const std::string& directory, const std::string& bookPath);

}  // namespace qpdtool
