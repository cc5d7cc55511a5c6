// A drag in the page list as the main window receives it: the tree view's
// drag-begins notification, then mouse moves and the release at the main window.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "app/MainControls.h"

namespace dragmessages {

// The middle of an item's label, in the page list's client coordinates.
inline POINT labelPoint(ItemHandle item) {
    RECT r = {};
    TreeView_GetItemRect(gControls.pageList.window(), reinterpret_cast<HTREEITEM>(item), &r, TRUE);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The drag button as this thread sees it: a drag begins only while it is down.
inline void setButtonDown(bool down) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_LBUTTON] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

inline void begin(HWND mainWindow, ItemHandle item) {
    setButtonDown(true);
    NMTREEVIEWW info = {};
    info.hdr.hwndFrom = gControls.pageList.window();
    info.hdr.idFrom = PageListControl::CONTROL_ID;
    info.hdr.code = TVN_BEGINDRAGW;
    info.itemNew.mask = TVIF_HANDLE;
    info.itemNew.hItem = reinterpret_cast<HTREEITEM>(item);
    info.ptDrag = labelPoint(item);
    SendMessageA(mainWindow, WM_NOTIFY, PageListControl::CONTROL_ID, reinterpret_cast<LPARAM>(&info));
}

// `inList`: page list client coordinates.
inline void moveTo(HWND mainWindow, POINT inList) {
    MapWindowPoints(gControls.pageList.window(), mainWindow, &inList, 1);
    SendMessageA(mainWindow, WM_MOUSEMOVE, 0, MAKELPARAM(inList.x, inList.y));
}

inline void release(HWND mainWindow) {
    setButtonDown(false);
    SendMessageA(mainWindow, WM_LBUTTONUP, 0, 0);
}

}  // namespace dragmessages
