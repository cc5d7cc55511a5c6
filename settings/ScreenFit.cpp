#include "settings/ScreenFit.h"

#include <algorithm>

namespace screenfit {

// 64-bit arithmetic throughout: the saved numbers are whatever a hand-edited
// file holds, and their sums must not overflow.
namespace {

int64_t overlap(int64_t from1, int64_t to1, int64_t from2, int64_t to2) {
    return std::max<int64_t>(0, std::min(to1, to2) - std::max(from1, from2));
}

// The area showing the most of the window; null when none shows any of it.
const Rect* bestArea(const Placement& w, const std::vector<Rect>& areas) {
    const Rect* best = nullptr;
    int64_t bestShown = 0;
    for (const Rect& a : areas) {
        const int64_t shown = overlap(w.x, int64_t(w.x) + w.width, a.left, a.right) *
                              overlap(w.y, int64_t(w.y) + w.height, a.top, a.bottom);
        if (shown > bestShown) {
            best = &a;
            bestShown = shown;
        }
    }
    return best;
}

int64_t clampTo(int64_t v, int64_t low, int64_t high) { return std::max(low, std::min(v, high)); }

}  // namespace

Placement keepOnScreen(const Placement& window, const std::vector<Rect>& workAreas, const Rect& primaryWorkArea,
                       int32_t minSize) {
    // a window of no size (or less than the smallest) is looked for at the smallest size
    Placement probe = window;
    probe.width = std::max(window.width, minSize);
    probe.height = std::max(window.height, minSize);
    const Rect* shown = bestArea(probe, workAreas);
    const Rect& area = shown ? *shown : primaryWorkArea;
    const int64_t areaWidth = std::max<int64_t>(0, int64_t(area.right) - area.left);
    const int64_t areaHeight = std::max<int64_t>(0, int64_t(area.bottom) - area.top);
    const int64_t width = clampTo(window.width, std::min<int64_t>(minSize, areaWidth), areaWidth);
    const int64_t height = clampTo(window.height, std::min<int64_t>(minSize, areaHeight), areaHeight);
    int64_t x = window.x;
    int64_t y = window.y;
    if (!shown) {  // off every monitor: centred on the primary one
        x = area.left + (areaWidth - width) / 2;
        y = area.top + (areaHeight - height) / 2;
    }
    Placement placed;
    placed.x = int32_t(clampTo(x, area.left, area.right - width));
    placed.y = int32_t(clampTo(y, area.top, area.bottom - height));
    placed.width = int32_t(width);
    placed.height = int32_t(height);
    return placed;
}

}  // namespace screenfit
