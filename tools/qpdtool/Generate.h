// Synthetic books for tests and benchmarks: the same options and seed give
// the same bytes on every machine.
#pragma once

#include <cstdint>

#include "Book.h"

namespace qpdtool {

struct GenOptions {
    int pages = 0;
    int folders = 0;
    int textBytes = 2000;  // about this many bytes of RTF per page
    int secure = 0;        // pages stored as secure (random cipher bytes)
    std::uint64_t seed = 1;
    bool scroll = false;     // write block 1 with selection and scroll values
    bool expandAll = false;  // every folder with something inside opens (else about half)
};

// Fills a book of nested folders and pages in tree order.
void generateBook(const GenOptions& options, Book& book);

}  // namespace qpdtool
