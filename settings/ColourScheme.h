// The colour scheme of the book: the main window's background brush and the
// colours of the page list and the memo editor.
#pragma once
#include <windows.h>

#include "store/DataFile.h"

namespace colourscheme {

// The brush of a background index; the brushes are made on first use and live until deleteBrushes.
HBRUSH brushOf(int windowColourIndex);

// Makes the custom entry's brush anew from the given colour.
void setCustomColour(COLORREF colour);

// Applies the header's scheme: main window background (repainted), page list text and
// background, memo editor background.
void applyScheme(HWND mainWindow, const DataFileHeader& header);

// Sets the main window's class background to a brush and repaints the window.
void setWindowBackground(HWND mainWindow, int windowColourIndex);

// Deletes the eighteen brushes (shutdown); the window's class falls back to a system brush.
void deleteBrushes(HWND mainWindow);

}  // namespace colourscheme
