// The search window: a modeless tool window that finds text in page titles and
// page texts across the book, one occurrence per press of "次を検索".
#pragma once
#include <windows.h>

#include <string>

#include "editor/MemoEditor.h"
#include "pagelist/PageListControl.h"
#include "settings/IniSettings.h"
#include "store/PageTable.h"

namespace search {

// The long-lived objects the search works on. Selecting a page in the list
// stores the old page and shows the new one before Select returns.
struct SearchHost {
    PageListControl* list = nullptr;
    MemoEditor* memo = nullptr;
    PageTable* pages = nullptr;
    IniSettings::SearchWindow* options = nullptr;  // target, case, direction: stored as clicked
};

// Creates the window hidden, without owner, with its top-left corner at the
// saved position. The search starts afresh.
HWND createSearchWindow(const SearchHost& host);
// The search command: shows the window with `text` in the search box, all of
// it selected, and the focus there.
void showSearchWindow(const std::wstring& text);

// Off: every page the search passes is shown and searched by the editor, none
// is ruled out from its stored text (a baseline for measuring).
void setRuleOut(bool on);

}  // namespace search
