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
};

extern MainControls gControls;
