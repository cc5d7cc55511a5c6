// qpdtool salvage: a new book from the records of one that cannot be read.
#pragma once

#include <string>

namespace qpdtool {

// Writes OUT from BOOK: a book that reads is copied byte for byte; a damaged
// one gives every record that still reads whole. BOOK itself is never
// written. Prints what was kept and lost; returns an exit code.
int salvageCommand(const std::string& book, const std::string& out);

}  // namespace qpdtool
