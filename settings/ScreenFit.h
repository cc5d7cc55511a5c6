// Keeps a saved window position usable: a settings file written on another
// machine (or with a monitor that has since gone) may place the main window
// where no monitor shows it.
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

// True when any monitor shows at least one pixel of the window.
bool isVisibleOnAny(const Placement& window, const std::vector<Rect>& monitors);

// The placement, unchanged when some monitor shows part of the window;
// otherwise the same size centred on the primary monitor's work area, its
// top-left corner kept inside that area when the window is the larger.
Placement keepOnScreen(const Placement& window, const std::vector<Rect>& monitors,
                       const Rect& primaryWorkArea);

}  // namespace screenfit
