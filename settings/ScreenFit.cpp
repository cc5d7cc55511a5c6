#include "settings/ScreenFit.h"

#include <algorithm>

namespace screenfit {

// 64-bit arithmetic throughout: the saved numbers are whatever a hand-edited
// file holds, and their sums must not overflow.
bool isVisibleOnAny(const Placement& window, const std::vector<Rect>& monitors) {
    const int64_t left = window.x;
    const int64_t top = window.y;
    const int64_t right = left + window.width;
    const int64_t bottom = top + window.height;
    for (const Rect& m : monitors) {
        if (std::max<int64_t>(left, m.left) < std::min<int64_t>(right, m.right) &&
            std::max<int64_t>(top, m.top) < std::min<int64_t>(bottom, m.bottom))
            return true;
    }
    return false;
}

Placement keepOnScreen(const Placement& window, const std::vector<Rect>& monitors,
                       const Rect& primaryWorkArea) {
    if (isVisibleOnAny(window, monitors)) return window;
    const Rect& area = primaryWorkArea;
    const int64_t x = int64_t(area.left) + ((int64_t(area.right) - area.left) - window.width) / 2;
    const int64_t y = int64_t(area.top) + ((int64_t(area.bottom) - area.top) - window.height) / 2;
    Placement placed = window;
    placed.x = int32_t(std::max<int64_t>(x, area.left));
    placed.y = int32_t(std::max<int64_t>(y, area.top));
    return placed;
}

}  // namespace screenfit
