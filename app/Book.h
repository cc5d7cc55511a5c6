// The open book: its page table, the data-file header and version values,
// and the page clipboard. (Which page the editor holds: pagedisplay::shownItem.)
#pragma once

#include <cstdint>

#include "store/DataFile.h"
#include "store/PageTable.h"

struct Book {
    PageTable pages;
    PageTable clipboard;  // the page clipboard of copy and paste; never saved
    // The password registration the clipboard's secure texts are encrypted under: a restore
    // may load a book that has none or another one before they are pasted.
    DataFileHeader clipboardRegistration = newFileHeader();
    DataFileHeader header = newFileHeader();
    std::int32_t bookNumber = 0;  // tells backups of this book from others
};

extern Book gBook;
