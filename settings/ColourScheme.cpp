#include <windows.h>

#include "settings/ColourScheme.h"

#include "settings/WindowColours.h"

namespace colourscheme {

namespace {

HBRUSH gBrushes[windowcolours::COUNT] = {};

int validIndex(int index) { return (index >= 0 && index < windowcolours::COUNT) ? index : 0; }

}  // namespace

HBRUSH brushOf(int windowColourIndex) {
    const int index = validIndex(windowColourIndex);
    if (gBrushes[index] == nullptr)
        gBrushes[index] = CreateSolidBrush(windowcolours::colourOf(index, windowcolours::DEFAULT_CUSTOM));
    return gBrushes[index];
}

void setCustomColour(COLORREF colour) {
    HBRUSH old = gBrushes[windowcolours::CUSTOM_INDEX];
    gBrushes[windowcolours::CUSTOM_INDEX] = CreateSolidBrush(colour & 0x00FFFFFF);
    if (old) DeleteObject(old);
}

void setWindowBackground(HWND mainWindow, int windowColourIndex) {
    if (!mainWindow) return;
    SetClassLongPtrW(mainWindow, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(brushOf(windowColourIndex)));
    InvalidateRect(mainWindow, nullptr, TRUE);
}

void setWindowScheme(HWND mainWindow, int windowColourIndex, COLORREF custom) {
    // the class may still hold the old custom brush: switch it over before that brush goes
    setWindowBackground(mainWindow, 0);
    setCustomColour(custom);
    setWindowBackground(mainWindow, windowColourIndex);
}

void deleteBrushes(HWND mainWindow) {
    if (mainWindow)
        SetClassLongPtrW(mainWindow, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(GetSysColorBrush(COLOR_BTNFACE)));
    for (HBRUSH& brush : gBrushes) {
        if (brush) DeleteObject(brush);
        brush = nullptr;
    }
}

}  // namespace colourscheme
