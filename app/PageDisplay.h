// Keeps the memo editor and the page table in step: one page is shown at a time,
// the one selected in the page list. (The whole book in and out: BookLoad.h.)
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <string>

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

// The text of a secure page that may not be shown.
extern const char LOCKED_PAGE_RTF[];

// Where link clicks go; tests replace it to see the resolved target.
using ShellOpen = void (*)(HWND owner, const char* verb, const std::string& target);
void setShellOpen(ShellOpen open);

}  // namespace pagedisplay
