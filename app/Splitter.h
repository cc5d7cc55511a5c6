#pragma once
// Layout of the main window's panes and the splitter between them.

#include <windows.h>

namespace splitter {

// WM_SIZE: places the page list and the memo editor (not while minimised), then the toolbar.
void layout(HWND window, WPARAM sizeType, int width, int height);

// Asks for a new layout at the current client size: posted (runs after the
// current message) or sent (runs now).
void postRelayout(HWND window);
void sendRelayout(HWND window);

// The mouse over the main window's client area.
void onMouseMove(HWND window, int x, int y);
void onButtonDown(HWND window, int x, int y);
void onButtonUp(HWND window);
// WM_SETCURSOR in the client area: true when the sizing cursor was set.
bool setCursor(HWND window);

// Focus widening of the page list (only while AutoView is on).
void widen();
void narrow();
// Back to the idle, unwidened state of a new main window.
void reset();
// The share to save as TvWidthPer: without the focus widening.
int restingPercent();
bool isDragging();

}  // namespace splitter
