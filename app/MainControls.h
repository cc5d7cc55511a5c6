#pragma once
// The main window's child windows, created by its creation handler and living
// until the main window is destroyed.

#include <windows.h>

#include "editor/MemoEditor.h"
#include "pagelist/PageListControl.h"

struct MainControls {
    HWND toolbar = nullptr;
    HWND tooltip = nullptr;
    PageListControl pageList;
    MemoEditor memo;
    int dpi = 0;  // the display scale the children are sized for (the main window's monitor's); 0 before
};

extern MainControls gControls;

namespace maincontrols {

// The scale the main window is sized for; the session's before its first creation.
int dpi();

// WM_DPICHANGED: the main window is now on a monitor of the scale `dpi`. The toolbar is
// made anew at that scale, the page list's icons and font, the editor's margins and
// text follow, and the window takes the rectangle Windows suggests for the new scale.
void followDpi(HWND mainWindow, int dpi, const RECT& suggested);

}  // namespace maincontrols
