#include "settings/WindowColours.h"

namespace windowcolours {

namespace {

struct Entry {
    const char* name;
    unsigned char r, g, b;
};

// by index
const Entry TABLE[COUNT] = {
    {"空", 137, 189, 222},       {"濃空", 133, 162, 255},   {"薄紫", 200, 175, 230},     {"藤", 162, 148, 200},
    {"若葉", 160, 224, 160},     {"深山葵", 115, 191, 130}, {"青磁", 109, 168, 149},     {"小淡紅", 254, 198, 197},
    {"紅梅", 223, 130, 138},     {"岩鼠", 211, 211, 211},   {"カスタム", 192, 192, 192}, {"瑠璃唐草", 191, 224, 255},
    {"亜麻色", 214, 198, 175},   {"女郎花", 244, 244, 192}, {"薄萌葱", 206, 228, 174},   {"薄桜", 253, 239, 242},
    {"白百合色", 222, 243, 222}, {"白菫色", 234, 237, 247},
};

const int DISPLAY_ORDER[COUNT] = {11, 0, 1, 17, 2, 3, 16, 14, 4, 5, 6, 15, 7, 8, 13, 12, 9, 10};

}  // namespace

std::uint32_t colourOf(int index, std::uint32_t custom) {
    if (index < 0 || index >= COUNT) index = 0;
    if (index == CUSTOM_INDEX) return custom & 0x00FFFFFF;
    const Entry& e = TABLE[index];
    return static_cast<std::uint32_t>(e.r) | (static_cast<std::uint32_t>(e.g) << 8) |
           (static_cast<std::uint32_t>(e.b) << 16);
}

const char* nameOf(int index) { return (index >= 0 && index < COUNT) ? TABLE[index].name : ""; }

int indexAtDisplayPosition(int position) { return (position >= 0 && position < COUNT) ? DISPLAY_ORDER[position] : -1; }

int displayPositionOf(int index) {
    for (int position = 0; position < COUNT; ++position)
        if (DISPLAY_ORDER[position] == index) return position;
    return -1;
}

}  // namespace windowcolours
