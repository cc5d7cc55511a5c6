#pragma once
// Font sizes are handled in pixels and kept by the rich-edit control in twips
// (1440 to the inch); the screen's pixels per inch links the two.

namespace twips {

inline int fromPixels(int pixels, int pixelsPerInch) {
    return pixelsPerInch > 0 ? pixels * 1440 / pixelsPerInch : pixels * 15;
}

inline int toPixels(int twips, int pixelsPerInch) {
    return pixelsPerInch > 0 ? pixelsPerInch * twips / 1440 : twips / 15;
}

}  // namespace twips
