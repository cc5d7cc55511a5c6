// Text encodings at the edge of the book: files brought in from elsewhere
// may be UTF-8; the book is code page 932.
#pragma once

#include <string>

namespace textcodec {

// Well-formed UTF-8 (no overlong forms, no surrogates, nothing past U+10FFFF).
bool isUtf8(const std::string& bytes);

// A text file's bytes as code page 932: UTF-8 when they start with its
// byte-order mark (which is dropped) or are well-formed UTF-8 with at least
// one non-ASCII byte; otherwise they are code page 932 already.
std::string textFileToCp932(const std::string& bytes);

// UTF-8 to code page 932; a character code page 932 lacks becomes "?".
// False when the input is not UTF-8.
bool utf8ToCp932(const std::string& utf8, std::string& cp932);
// Code page 932 to UTF-8; false when a byte is no code page 932 character.
bool cp932ToUtf8(const std::string& cp932, std::string& utf8);

}  // namespace textcodec
