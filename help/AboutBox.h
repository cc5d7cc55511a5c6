// The about box: product name, version, rights notice and description.
#pragma once
#include <windows.h>

namespace aboutbox {

// Runs the about box modally over `owner`.
void runAboutBox(HWND owner);

// The unnumbered text static of an open about box (the rights notice), or null.
HWND noticeStatic(HWND dialog);

}  // namespace aboutbox
