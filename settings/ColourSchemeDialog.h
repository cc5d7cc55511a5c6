// The colour scheme dialog: the main window's background from the eighteen
// named colours (one of them the user's own), and the colours of the page list
// and the memo editor. Every change shows at once and belongs to the book.
#pragma once
#include <windows.h>

#include "store/DataFile.h"

namespace colourschemedialog {

// What the dialog recolours besides the main window's background; lent by the
// window that owns the page list and the editor.
struct SchemeTargets {
    HWND mainWindow = nullptr;
    void (*setListTextColour)(COLORREF colour) = nullptr;
    void (*setListBackColour)(COLORREF colour) = nullptr;
    void (*setMemoBackColour)(COLORREF colour) = nullptr;
};

// Runs the dialog modally on the header's scheme values; they change as the user goes.
void runColourSchemeDialog(HWND owner, DataFileHeader& header, const SchemeTargets& targets);

}  // namespace colourschemedialog
