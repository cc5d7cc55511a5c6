// Code page 932 text and wide characters, converted with code page 932 named
// explicitly: the system's code page is never used, so the program reads the
// same on a Japanese, an English or a UTF-8 Windows. Windows side only.
#pragma once

#include <string>

namespace wide {

// Code page 932 bytes as wide characters.
std::wstring from932(const std::string& text);
std::wstring from932(const char* text);

// Wide characters as code page 932 bytes; false when a character does not fit
// (`out` then holds '?' in its place), so callers can refuse instead of storing '?'.
bool to932(const std::wstring& text, std::string& out);
// The same for callers that only show or compare the text.
std::string to932(const std::wstring& text);

// The first character of `text` that code page 932 cannot hold (a surrogate
// pair is one character), empty when every character fits.
std::wstring firstOutside932(const std::wstring& text);

}  // namespace wide
