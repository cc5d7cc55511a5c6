// The menus' enable and check rules, and the two context menus.
#pragma once
#include <windows.h>

namespace menustate {

// Greys, enables and checks the items of the whole menu bar (any popup opening).
void updateMenu(HWND window);

// WM_CONTEXTMENU: popup 1 over a page-list item (selecting it first), popup 2 over the editor.
void showContextMenu(HWND window, HWND target, LPARAM screenPoint);

}  // namespace menustate
