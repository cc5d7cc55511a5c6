// Keeps a saved window position usable: a settings file written on another
// machine (or with a monitor that has since gone, or edited by hand) may place
// the main window where no monitor shows it, or make it larger than the screen.
#pragma once

#include <cstdint>
#include <vector>

namespace screenfit {

struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// A window's saved top-left corner and size, as the settings file holds them.
struct Placement {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// The placement fitted to one monitor's work area: the area that shows the most of
// the window, or the primary one when none shows any (the window is then centred
// there). A size larger than the area shrinks to it, one below `minSize` grows to
// it, and the window moves so that all of it, title bar first, lies on the area.
// A window that fits and lies on an area stays as it was.
Placement keepOnScreen(const Placement& window, const std::vector<Rect>& workAreas, const Rect& primaryWorkArea,
                       int32_t minSize);

}  // namespace screenfit
