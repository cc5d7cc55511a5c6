#pragma once
// The main window's frame: its child windows and the messages that arrange
// them (creation, layout, splitter, focus widening, notifications). The window
// procedure in MainWindow.cpp calls these handlers.

#include <windows.h>

namespace mainframe {

// Creation, steps 1 to 5: common controls, toolbar, page list, memo editor,
// input-method state. (Timers and the first load belong to the lifecycle.)
void createChildren(HWND window);
// Creation, step 9 (without the instance-key property, which MainWindow sets):
// dropped files accepted, focus to the page list.
void finishCreation(HWND window);

LRESULT onSize(HWND window, WPARAM sizeType, LPARAM size);
LRESULT onSetFocus(HWND window);
LRESULT onGetMinMaxInfo(LPARAM info);
LRESULT onNotify(HWND window, LPARAM header);
LRESULT onContextMenu(HWND window, WPARAM wParam, LPARAM lParam);
LRESULT onInitMenuPopup(HWND window, WPARAM menu, LPARAM lParam);
LRESULT onMouseMove(HWND window, LPARAM point);
LRESULT onLButtonDown(HWND window, LPARAM point);
LRESULT onLButtonUp(HWND window, LPARAM point);
LRESULT onCaptureChanged(HWND window, LPARAM newCapture);
LRESULT onCancelMode(HWND window);
// WM_SETCURSOR; returns false when the default handling should run.
bool onSetCursor(HWND window, WPARAM cursorWindow, LPARAM hitTest);
LRESULT onDropFiles(HWND window, WPARAM drop);

}  // namespace mainframe
