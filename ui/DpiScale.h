#pragma once
// Sizes given in pixels at 96 dots per inch, the scale at which the windows were
// drawn, taken to a display of another scale.

namespace dpi {

constexpr int BASE = 96;

// `pixelsAt96` at `dpi`, rounded to the nearest pixel (halves away from zero).
constexpr int scale(int pixelsAt96, int dpi) {
    const long long product = static_cast<long long>(pixelsAt96) * dpi;
    return static_cast<int>(product >= 0 ? (product + BASE / 2) / BASE : -((-product + BASE / 2) / BASE));
}

}  // namespace dpi
