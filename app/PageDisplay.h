// Keeps the memo editor and the page table in step: one page is shown at a time,
// the one selected in the page list. Also loads a whole book into the window and
// saves the window's book into a data file or a backup slot.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <string>

#include "store/DataFile.h"
#include "store/PageTable.h"

namespace pagedisplay {

// Stores the editor's text, selection and scroll position into the item's record.
void storeEditorToPage(ItemHandle item);
// Shows the item's record in the editor (asking for the password first for a secure page).
void showPage(ItemHandle item, HWND owner);
// Gives an emptied folder (or the emptied top level, NO_ITEM) the page "自動追加ページ".
void addPageIfEmpty(ItemHandle folder);

// Page list notifications.
void onSelectionChanged(const NMTREEVIEWA& info);
void onTitleEdited(const NMTVDISPINFOA& info);
// Memo editor link click.
void openLink(const ENLINK& link);

// Loads a data file into the page list and editor. False when the file is unusable or
// damaged; the window is then unchanged.
bool loadIntoUi(HWND mainWindow, const std::string& path);
// Writes the book to a data file or backup slot; the caller stores the shown page first.
bool saveFromUi(const std::string& path, SaveKind kind);

// The welcome text of a new book's first page.
std::string welcomeRtf();
// The text of a secure page that may not be shown.
extern const char LOCKED_PAGE_RTF[];

// Turns the plain texts of an older book into RTF through the editor.
void convertOldTexts(PageTable& table);
// True when the editor's RTF holds a deletion mark inside its outermost group.
bool editorHasDeletionMark();

// Where link clicks go; tests replace it to see the resolved target.
using ShellOpen = void (*)(HWND owner, const char* verb, const std::string& target);
void setShellOpen(ShellOpen open);

}  // namespace pagedisplay
