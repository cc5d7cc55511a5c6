// The RTF a rich edit control writes for its text can put down a look-alike for a character
// that the run's code page lacks (é as "e", ß as "s"): the character would be lost at the
// next store. Here such characters are written back as RTF Unicode escapes.
#pragma once

#include <string>

namespace rtfunicode {

// `rtf` as the control wrote it for `text` (its plain text, a paragraph ended by '\r', a
// line break by '\v'), with every character that code page 932 lacks and that the RTF does
// not hold as itself written as "\uN" and its fallback. The RTF comes back unchanged when all
// of `text` fits code page 932, or when the RTF's text cannot be matched with `text`
// character for character (a picture, a table): then nothing is guessed.
std::string keepEveryCharacter(const std::string& rtf, const std::u16string& text);

}  // namespace rtfunicode
