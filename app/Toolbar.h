#pragma once
// The main window's toolbar: nine buttons (seven commands, two blank slots)
// with their tooltips.

#include <windows.h>

#include "res/resource.h"

namespace toolbar {

constexpr int CONTROL_ID = IDC_TOOLBAR;
constexpr int BLANK_ID = IDM_BLANK;  // the blank slots; no handler knows this id
constexpr int BUTTON_COUNT = 9;
constexpr int IMAGE_COUNT = 7;
constexpr int IMAGE_WIDTH = 40;  // at 96 dots per inch; larger displays get larger images
constexpr int IMAGE_HEIGHT = 36;

struct ButtonSpec {
    int image;  // -2 (no image) for a blank slot
    int command;
    bool check;     // a check button (always on top)
    int tipString;  // string resource of the tooltip, 0 for none
};
extern const ButtonSpec BUTTONS[BUTTON_COUNT];

struct Toolbar {
    HWND window = nullptr;
    HWND tooltip = nullptr;
};

// The size of a button image at the display scale `dpi`.
int imageWidth(int dpi);
int imageHeight(int dpi);

// Creates the toolbar with its images, buttons and tooltips along the top of `parent`,
// sized for the display scale `dpi`.
Toolbar create(HWND parent, int dpi);

// Height of the toolbar's window rectangle.
int height(HWND toolbar);

}  // namespace toolbar
