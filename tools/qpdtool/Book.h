// A book as qpdtool sees it: any generation, read with the program's readers.
#pragma once

#include <string>

#include "store/DataFile.h"
#include "store/PageTable.h"

namespace qpdtool {

// Exit codes.
constexpr int EXIT_OK = 0;
constexpr int EXIT_USAGE = 1;
constexpr int EXIT_UNUSABLE = 2;
constexpr int EXIT_MISSING = 3;

struct Book {
    bool older = false;  // first or second generation: plain-text pages
    std::string magic;
    VersionBlock version;  // meaningful for the current generations only
    DataFileHeader header = newFileHeader();
    PageTable table;
    bool scrollBlocks = false;
    std::int64_t extraBytes = 0;  // after the last record (or page); not part of the book
};

// Prints the one-line failure "qpdtool: PATH: REASON" on stderr; returns `code`.
int fail(const std::string& path, const std::string& reason, int code);

// Reads any generation; on failure returns EXIT_UNUSABLE or EXIT_MISSING and
// a one-line reason.
int loadBook(const std::string& path, Book& book, std::string& reason);

// A converted older book gets a book number of its own, as in the program (0..32767).
std::int32_t freshBookNumber();

// Turns a loaded book into what the program would save: older plain-text
// pages become RTF, the records are numbered in tree order, and the version
// block carries the current magic.
void modernise(Book& book, std::int32_t freshBookNumber);

}  // namespace qpdtool
