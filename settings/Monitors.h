// The monitors attached now, for fitting a saved window position to them.
#pragma once
#include <windows.h>

#include <cstdint>

#include "settings/ScreenFit.h"

namespace monitors {

// `screenfit::keepOnScreen` over the work areas of the monitors attached now.
screenfit::Placement keepOnScreen(const screenfit::Placement& window, int32_t minSize);

// Moves a tool window (it keeps its own size) to its saved top-left corner: a corner where
// no monitor shows the window any more (another machine, a monitor gone) is fitted onto
// one, as the main window's is; a corner that shows it is kept.
void placeToolWindow(HWND window, int32_t x, int32_t y);

}  // namespace monitors
