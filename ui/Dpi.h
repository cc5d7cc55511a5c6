#pragma once
// The display's scale as the program sees it. Windows 10 (1607 and later) tells
// each window the scale of the monitor it is on; older systems have one scale for
// the whole session, read from the screen's device context.

#include <windows.h>

#include "ui/DpiScale.h"

namespace dpi {

// The scale of the session (the primary monitor's at logon).
int ofSystem();

// The scale of the monitor `window` is on; the session's on systems that do not tell.
int ofWindow(HWND window);

}  // namespace dpi
