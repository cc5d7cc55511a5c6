#pragma once
// The main window's frame: its child windows and the messages that arrange
// them (creation, layout, splitter, focus widening, notifications). The window
// procedure in MainWindow.cpp calls these handlers.

#include <windows.h>

namespace mainframe {

constexpr UINT_PTR BACKUP_TIMER = 1;
constexpr UINT_PTR BG_SAVE_TIMER = 2;

// Creation, steps 1 to 6: common controls, toolbar, page list, memo editor,
// input-method state, the two timers.
void createChildren(HWND window);
// Creation, steps 7 and 8: the first load of the book (and the automatic
// restore when it fails). False when the creation must stop here.
bool loadFirstBook(HWND window);
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
// WM_SETCURSOR; returns false when the default handling should run.
bool onSetCursor(HWND window, WPARAM cursorWindow, LPARAM hitTest);
LRESULT onDropFiles(HWND window, WPARAM drop);
// Shutdown step: the page list gets its own window procedure back.
void releaseChildren(HWND window);

}  // namespace mainframe
