// The program's windows are wide-character windows. Texts that a file keeps in
// code page 932 (titles, paths, settings, the program's own messages, which are
// compiled as code page 932) reach them through these helpers.
#pragma once
#include <windows.h>

#include <string>

#include "store/Wide932.h"

namespace wide {

// A window's text, whole; and its text set from code page 932.
std::wstring windowText(HWND window);
void setWindowText(HWND window, const std::string& text);

// A message box whose text and caption are code page 932 texts (or a wide text).
int messageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags);
int messageBox(HWND owner, const std::wstring& text, const std::string& caption, UINT flags);

// A refusal naming the first character of `text` that code page 932 cannot hold:
// `format` (code page 932) with its "%s" replaced by the character and its code
// ("「é」 (U+00E9)").
std::wstring refusalNaming(const char* format, const std::wstring& text);

// A string resource of the program as code page 932; empty when missing.
std::string loadString(UINT id);

}  // namespace wide
