#include <windows.h>
#include <commctrl.h>
#include <richedit.h>
#include <windowsx.h>

#include "app/MenuState.h"

#include "app/AppState.h"
#include "app/Book.h"
#include "app/Commands.h"
#include "app/MainControls.h"
#include "res/resource.h"

namespace menustate {

namespace {

const int PAGE_POPUP = 1;
const int EDIT_POPUP = 2;

void enable(HMENU menu, UINT id, bool on) { EnableMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED)); }
void check(HMENU menu, UINT id, bool on) { CheckMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED)); }

bool selectedPageIsSecure() {
    const ItemHandle selected = gControls.pageList.GetSelection();
    const int index = selected ? gBook.pages.indexOfItem(selected) : -1;
    return index >= 0 && gBook.pages.recordAt(index).isSecure != 0;
}

// Where a context menu opened from the keyboard (no mouse point) shows: the selected item.
bool keyboardPointForList(HWND list, POINT& pt, HTREEITEM& item) {
    item = TreeView_GetSelection(list);
    if (!item) return false;
    RECT r;
    if (!TreeView_GetItemRect(list, item, &r, TRUE)) return false;
    pt = {(r.left + r.right) / 2, r.bottom};
    ClientToScreen(list, &pt);
    return true;
}

void showPageListMenu(HWND window, HWND list, LPARAM screenPoint) {
    POINT pt = {GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)};
    HTREEITEM item = nullptr;
    if (screenPoint == -1) {
        if (!keyboardPointForList(list, pt, item)) return;
    } else {
        TVHITTESTINFO hit = {};
        hit.pt = pt;
        ScreenToClient(list, &hit.pt);
        item = TreeView_HitTest(list, &hit);
        if (!item) return;
        gControls.pageList.Select(reinterpret_cast<ItemHandle>(item));
    }
    HMENU popup = GetSubMenu(GetMenu(window), PAGE_POPUP);
    TrackPopupMenu(popup, TPM_CENTERALIGN, pt.x, pt.y, 0, window, nullptr);
}

void showEditorMenu(HWND window, HWND edit, LPARAM screenPoint) {
    POINT pt = {GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)};
    if (screenPoint == -1) {
        pt = {0, 0};
        ClientToScreen(edit, &pt);
    }
    HMENU popup = GetSubMenu(GetMenu(window), EDIT_POPUP);
    TrackPopupMenu(popup, TPM_LEFTALIGN, pt.x, pt.y, 0, window, nullptr);
}

}  // namespace

void updateMenu(HWND window) {
    HMENU menu = GetMenu(window);
    if (!menu) return;
    HWND edit = gControls.memo.window();
    enable(menu, IDM_PASTE_PAGE, gBook.clipboard.count() > 0);
    const bool secure = selectedPageIsSecure();
    enable(menu, IDM_MAKE_SECURE, !secure);
    enable(menu, IDM_MAKE_ORDINARY, secure);

    CHARRANGE range = {0, 0};
    SendMessageW(edit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    const bool hasSelection = range.cpMin != range.cpMax;
    // nothing changes a read-only editor (the placeholder of a locked page)
    const bool writable = !gControls.memo.IsReadOnly();
    for (int id : commands::EDITOR_CHANGES) enable(menu, static_cast<UINT>(id), writable);
    enable(menu, IDM_CUT, writable && hasSelection);
    enable(menu, IDM_COPY, hasSelection);
    enable(menu, IDM_CLEAR, writable && hasSelection);
    enable(menu, IDM_UNDO, writable && SendMessageW(edit, EM_CANUNDO, 0, 0) != 0);
    enable(menu, IDM_REDO, writable && SendMessageW(edit, EM_CANREDO, 0, 0) != 0);
    enable(menu, IDM_PASTE, writable && SendMessageW(edit, EM_CANPASTE, 0, 0) != 0);

    check(menu, IDM_COPY_AS_TEXT, gControls.memo.copyAsText);
    check(menu, IDM_PASTE_AS_TEXT, gControls.memo.pasteAsText);
    check(menu, IDM_LIST_LINES, gControls.pageList.HasLines());
    check(menu, IDM_WORD_WRAP, !gControls.memo.noWrap);
    check(menu, IDM_LINK_DISPLAY, gControls.memo.urlDetection);
    check(menu, IDM_ALWAYS_ON_TOP, gApp.alwaysOnTop);
}

void showContextMenu(HWND window, HWND target, LPARAM screenPoint) {
    if (target == gControls.pageList.window())
        showPageListMenu(window, target, screenPoint);
    else if (target == gControls.memo.window())
        showEditorMenu(window, target, screenPoint);
}

}  // namespace menustate
