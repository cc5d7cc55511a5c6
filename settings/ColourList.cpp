#include "settings/ColourList.h"

namespace colourlist {

void rememberRecentColour(Colours& colours, std::uint32_t colour) {
    int k = COUNT - 1;
    for (int i = 0; i < COUNT; ++i) {
        if (colours[i] == colour) {
            k = i;
            break;
        }
    }
    for (int i = k; i > 0; --i) colours[i] = colours[i - 1];
    colours[0] = colour;
}

}  // namespace colourlist
