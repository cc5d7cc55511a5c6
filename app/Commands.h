// The command handler: every menu item, accelerator, toolbar button and context
// menu arrives here as a command id.
#pragma once
#include <windows.h>

#include "io/ImportExport.h"
#include "res/resource.h"

namespace commands {

// The shell as the page import and export see it.
importexport::Shell ioShell();

// Runs the command; false for an id the program does not know (it goes on to DefWindowProcA).
// A command is an operation: while one runs (or a page is dragged) no other starts; a
// known command given meanwhile is refused.
bool handleCommand(HWND window, int id, LPARAM lParam);

// A command that an operation gives as one of its own steps: it runs although
// that operation is in progress.
void sendOwnCommand(HWND window, int id);

// Commands that change the editor's text or formatting: they do nothing, and their
// menu items are grey, while the editor is read-only.
inline constexpr int EDITOR_CHANGES[] = {
    IDM_UNDO, IDM_REDO,        IDM_CUT,       IDM_PASTE,       IDM_CLEAR,           IDM_FACE,
    IDM_SIZE, IDM_BOLD,        IDM_ITALIC,    IDM_STRIKE_OUT,  IDM_UNDERLINE,       IDM_TEXT_COLOUR,
    IDM_FONT, IDM_LAST_COLOUR, IDM_LAST_FONT, IDM_INSERT_DATE, IDM_RESET_PAGE_FONT,
};

inline bool changesEditor(int id) {
    for (int editing : EDITOR_CHANGES)
        if (editing == id) return true;
    return false;
}

}  // namespace commands
