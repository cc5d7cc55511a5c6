// Cleanup of the RTF revision mark \deleted before a save: one mark per
// plain page and save, never in the user's own text, never in secure pages.
#pragma once

#include <cstddef>
#include <string>

#include "store/PageTable.h"

// Position of the "}" that closes the group open at start, or -1. Backslash
// escapes are not considered. With start 1 on a text that begins with "{" it
// finds the end of the document's outermost group. Any depth of nesting is
// fine: it counts braces instead of recursing.
std::ptrdiff_t findGroupEnd(const char* text, std::size_t length, std::size_t start);
std::ptrdiff_t findGroupEnd(const std::string& text, std::size_t start);

// The save's trigger over the editor's RTF (streamed out by the caller): true
// when "deleted" occurs before the end of the outermost group.
bool rtfHasDeletionMark(const std::string& rtf);

// Byte position of the first \deleted control word directly followed by the
// backslash of another control word (the position of its "d"), or -1. Text
// the user typed never matches: a typed backslash is stored doubled.
std::ptrdiff_t findDeletionMark(const std::string& text);

// Removes the 8 bytes "deleted\" of the first mark inside the outermost group
// of one text; true when it removed one.
bool stripDeletionMark(std::string& text);

// Runs stripDeletionMark over every plain record; secure records are left
// alone. Returns the number of records changed, -1 when a text's place could
// not be read (the records before it may have changed).
int stripDeletionMarks(PageTable& table);
