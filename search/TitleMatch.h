#pragma once
// Finding the search text in a page title: byte by byte, in code page 932.

#include <cstddef>
#include <string>

namespace search {

// True when `text` occurs in the first `titleLength` bytes of `title`.
// Without `matchCase` the bytes 'a'-'z' count as 'A'-'Z' wherever they stand,
// the second byte of a double-byte character included, and other bytes only as
// themselves. Positions are bytes, so a match may begin inside a character;
// `down` tries them from the front, otherwise from the back. Empty texts and
// titles never match.
bool matchTitle(const std::string& text, const char* title, std::size_t titleLength, bool matchCase, bool down);

}  // namespace search
