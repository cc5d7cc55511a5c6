// The standard font of the book (face, height, colour) and its imposition on
// every page and folder at once.
#pragma once
#include <windows.h>

#include <string>

#include "store/DataFile.h"

namespace standardfontdialog {

// What an apply button imposes on every page: bits of these.
constexpr int APPLY_FONT = 1;
constexpr int APPLY_COLOUR = 2;

// Goes through every page with the header's standard font; given by the window that shows the book.
using ApplyToAllPages = void (*)(HWND owner, int apply);

// Runs the dialog modally. The face, height and colour chosen are kept in the
// header whether or not they are applied; an apply button, once confirmed,
// runs `applyToAllPages` and closes the dialog.
void runStandardFontDialog(HWND owner, DataFileHeader& header, ApplyToAllPages applyToAllPages);

// The header's face as text (the field need not end in a NUL).
std::string standardFontFaceOf(const DataFileHeader& header);

}  // namespace standardfontdialog
