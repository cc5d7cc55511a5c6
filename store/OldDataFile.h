// Reader of the first- and second-generation data files: a flat list of
// plain-text pages, no folders, no settings.
//
//   0    12  magic ("quiltpad090" ... "quiltpad100", "qpad110.1")
//   12   4   number of pages n
//   16   84  not used
//   100  ... n pages: int text length L (with NUL), 64-byte title, L bytes of text
#pragma once

#include <cstddef>
#include <string>

#include "store/DataFile.h"
#include "store/PageTable.h"

constexpr std::size_t OLD_HEADER_SIZE = 100;
constexpr std::size_t OLD_TITLE_SIZE = 64;

// Fills the cleared table with top-level pages holding their plain text.
// False when the file cannot be opened, is not of an older generation, or is
// damaged (a page list that ends early, a length past the end); the table is
// then empty. Bytes after the last page are counted in the report.
bool readOldDataFile(const std::string& path, PageTable& table, ReadReport* report = nullptr);
bool parseOldDataFile(const void* data, std::size_t size, PageTable& table, ReadReport* report = nullptr);

// Plain code page 932 text as RTF with the empty page's header and font
// table: line breaks become \par, non-ASCII bytes \'xx escapes. The program
// converts through the memo editor instead; this serves qpdtool.
std::string plainTextToRtf(const std::string& text);
// The same for text of any character: text that code page 932 holds gives
// the bytes above; each character outside it is written as \uN escapes (one
// for each UTF-16 unit, N signed as RTF counts) with a "?" each for readers
// that know no \u, so such a reader still sees the rest.
std::string plainTextToRtf(const std::u16string& text);
