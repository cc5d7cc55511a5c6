// The brushes of the book's colour scheme: the eighteen main-window backgrounds.
// (The application puts a book's colours on the page list and the editor.)
#pragma once
#include <windows.h>

namespace colourscheme {

// The brush of a background index; the brushes are made on first use and live until deleteBrushes.
HBRUSH brushOf(int windowColourIndex);

// Makes the custom entry's brush anew from the given colour.
void setCustomColour(COLORREF colour);

// The custom entry's brush made anew from `custom`, then the window's background set to
// the brush of `windowColourIndex` (repainted).
void setWindowScheme(HWND mainWindow, int windowColourIndex, COLORREF custom);

// Sets the main window's class background to a brush and repaints the window.
void setWindowBackground(HWND mainWindow, int windowColourIndex);

// Deletes the eighteen brushes (shutdown); the window's class falls back to a system brush.
void deleteBrushes(HWND mainWindow);

}  // namespace colourscheme
