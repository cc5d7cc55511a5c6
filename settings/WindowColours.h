// The eighteen background colours of the main window, by index; index 10 is the
// custom colour the user picks.
#pragma once

#include <cstdint>

namespace windowcolours {

constexpr int COUNT = 18;
constexpr int CUSTOM_INDEX = 10;
constexpr std::uint32_t DEFAULT_CUSTOM = 0x00C0C0C0;  // RGB(192,192,192)

// 0x00BBGGRR of an index; the custom entry gives `custom`. Out-of-range indexes give entry 0.
std::uint32_t colourOf(int index, std::uint32_t custom);

// Japanese name of an index, and the index shown at a display position of the chooser list.
const char* nameOf(int index);
int indexAtDisplayPosition(int position);
// The display position of an index; -1 for none.
int displayPositionOf(int index);

}  // namespace windowcolours
