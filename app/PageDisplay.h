// Keeps the memo editor and the page table in step: one page is shown at a time,
// the one selected in the page list. (The whole book in and out: BookLoad.h.)
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <string>

#include "store/PageTable.h"

namespace pagedisplay {

// The page whose text the editor holds: set only by showPage, together with the editor's
// content, and cleared while the editor holds nothing that may be stored. Every store of
// the editor (a page switch, the ticks, the exit, a save of all pages, a drop, an import,
// the standard-font walk) goes into this page and never into the list's selection.
ItemHandle shownItem();
// Stores the editor's text, selection and scroll position into the page it holds.
void storeShownPage();
// Stores the page the editor holds, then shows the item's record there (asking for the
// password first for a secure page); from then on the editor holds that page.
void showPage(ItemHandle item, HWND owner);
// The shown page's own text in the editor: a locked secure page asks for the password
// again. False when it stays locked (the editor holds only the placeholder).
bool unlockShownPage(HWND owner);
// The page the editor holds is going away (a deletion, a new book): nothing is stored into
// it, and nothing at all until the next showPage.
void forgetShownPage();
// A drop re-created the items: the editor's page keeps its identity under its new handle.
void shownItemMoved(ItemHandle from, ItemHandle to);

// The program's own change flag of the shown page: set by the editor's change
// notifications and by every command that changes text or format, cleared only when
// the page is stored or shown. (The control's modified flag is not set by every change.)
void markChanged();
// Whether the shown page changed since it was shown or stored.
bool hasChanges();
// Gives an emptied folder (or the emptied top level, NO_ITEM) the page "自動追加ページ".
void addPageIfEmpty(ItemHandle folder);

// Page list notifications.
void onSelectionChanged(const NMTREEVIEWW& info);
void onTitleEdited(const NMTVDISPINFOW& info);
// Memo editor link click.
void openLink(const ENLINK& link);

// The text of a secure page that may not be shown.
extern const char LOCKED_PAGE_RTF[];
// What stands for a page whose text cannot be read from the data file.
extern const char UNREADABLE_PAGE_RTF[];

// Where link clicks go; tests replace it to see the resolved target.
using ShellOpen = void (*)(HWND owner, const char* verb, const std::string& target);
void setShellOpen(ShellOpen open);

}  // namespace pagedisplay
