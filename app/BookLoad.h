// The whole book in and out of the window: reading a data file of any generation
// (or starting a new book) into the page list and editor, and writing the window's
// book into the data file or a backup slot.
#pragma once
#include <windows.h>

#include <string>

#include "store/DataFile.h"
#include "store/PageTable.h"

namespace bookload {

// Loads a data file into the page list and editor. False when the file is unusable or
// damaged, or cannot be reached; the window is then unchanged. `unreachable`, when
// given, gets the reason when the file or its folder could not be reached (FileFault::None
// for an unusable or damaged file): a book may well be there. With `missingFolderIsEmpty`
// a folder that is not there counts as one without a book (the data folder beside the
// program, which an unpacked zip lacks; the first save makes it).
bool loadIntoUi(HWND mainWindow, const std::string& path, FileFault* unreachable = nullptr,
                bool missingFolderIsEmpty = false);
// Writes the book to a data file or backup slot; the caller stores the shown page first.
// Refused (false) while the page list lacks pages of the book read (bookIncomplete).
bool saveFromUi(const std::string& path, SaveKind kind);
// One backup of the window's book into the slot rotation; the caller stores the shown page first.
bool makeBackup(SaveKind kind);
// True after a load whose page list could not be built for every page: until a book is
// read whole, nothing is written.
bool bookIncomplete();

// The header's colours on the window: background brush, page list and editor colours.
void applyColours(HWND mainWindow, const DataFileHeader& header);

// The welcome text of a new book's first page.
std::string welcomeRtf();
// Turns the plain texts of an older book into RTF through the editor.
void convertOldTexts(PageTable& table);
// True when the editor's RTF holds a deletion mark inside its outermost group.
bool editorHasDeletionMark();

}  // namespace bookload
