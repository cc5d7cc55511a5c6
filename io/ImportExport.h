// Pages from files and files from pages: reading a text or RTF file into a
// new page (by command or by dropping files on the main window), saving the
// shown page as a file, and saving the whole book as a folder tree.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "store/DataFile.h"
#include "store/PageTable.h"

namespace importexport {

// File types for reading a page (as filenames::droppedFileType gives them);
// any other value reads plain text.
constexpr int FILE_TEXT = 1;
constexpr int FILE_RTF = 2;

// What the commands need from the program's shell.
struct Shell {
    // The memo editor as it is now: showing another page may put a fresh
    // control in the place of one that held a very long page.
    HWND (*editor)() = nullptr;
    ItemHandle (*selectedItem)() = nullptr;  // NO_ITEM when none
    // The page list label and the record's title of an item.
    void (*setTitle)(ItemHandle item, const std::string& title) = nullptr;
    bool autoEdit = false;  // edit a new page's title at once
    const PageTable* book = nullptr;
    const DataFileHeader* header = nullptr;  // the book's password registration
    // Stores the editor into the shown page and numbers the tree into the
    // records, so that `order` and `parentOrder` are current.
    void (*storeAndNumber)() = nullptr;
    // The shown page's own text in the editor: a locked secure page asks for
    // the password. False when it stays locked.
    bool (*unlockShownPage)(HWND window) = nullptr;
};

// Adds a page with the add-page command and fills it from the file: plain
// text or RTF, titled by the file name without folder and extension. The file
// is read first: one that cannot be read, or whose text would not fit a page,
// is reported and no page is added. False, with the shown page untouched, when
// nothing was read or no page was added.
bool importFile(int fileType, const std::string& path, HWND window, const Shell& shell);

// WM_DROPFILES: each file in turn becomes a page; "rtf" files (the extension
// compared case-sensitively) are read as RTF. A file that cannot be read is
// reported and the others still come in. The caller releases the drop.
void filesDropped(HWND window, HDROP drop, const Shell& shell);

// The three commands: read a page, save this page, save all pages.
void readPage(HWND window, const Shell& shell);
// Save this page reports a file it could not write; a locked secure page is
// saved only once the password is given.
void savePage(HWND window, const Shell& shell);
void saveAllPages(HWND window, const Shell& shell);

}  // namespace importexport
