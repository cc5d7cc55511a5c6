// The usage window: a small modeless tool window with three built-in texts,
// made once at start-up and destroyed only at exit.
#pragma once
#include <windows.h>

namespace usagewindow {

// Makes the window without owner at (x, y) with its own size, hidden. Its check
// box "次回から起動時に表示しない" starts as the opposite of `visibleAtStart`,
// and the text of "簡単な使い方" is shown. Null on failure.
HWND create(int x, int y, bool visibleAtStart);

// Shows the window: at start-up beside the main window without taking its
// focus, for the command in front with the focus.
void show(HWND window, bool activate);

// The setting for the next start: shown unless the check box is ticked.
bool visibleNextTime(HWND window);

}  // namespace usagewindow
