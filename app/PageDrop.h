// Moving pages by drag and drop in the page list, as the main window sees it:
// the page list moves the items, this brings the book up to date.
#pragma once
#include <windows.h>
#include <commctrl.h>

namespace pagedrop {

// TVN_BEGINDRAG: the page list starts the drag; the dragged item's parent is remembered.
void begin(HWND window, const NMTREEVIEWW& info);
// WM_MOUSEMOVE (main window client coordinates) while a page is dragged.
void track(HWND window, LPARAM point);
// The capture was lost (WM_CAPTURECHANGED to another window, WM_CANCELMODE): the drag
// ends without a move and the list shows the editor's page again.
void cancel(HWND window);
// WM_LBUTTONUP: the drop; the page records get the new items, an emptied
// folder a new page, and the shown page is selected again.
void end(HWND window);

}  // namespace pagedrop
