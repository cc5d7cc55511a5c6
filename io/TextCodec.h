// Text encodings at the edge of the book. Text inside the program is UTF-16;
// the data file and the page RTF are code page 932, and files brought in from
// elsewhere may be code page 932, UTF-8 or UTF-16.
#pragma once

#include <cstddef>
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

// Code page 932 to UTF-16; false (and `out` empty) when a byte sequence is no
// code page 932 character.
bool cp932ToUtf16(const std::string& cp932, std::u16string& out);

// UTF-16 to code page 932; false (and `out` empty) when any character is not
// in code page 932. Nothing is replaced by a look-alike or by "?": a
// character fits only when its bytes read back as the same character, so é
// (no "e"), ¥ (no "\") and 〜 (no "～") do not fit. A surrogate without its
// partner never fits.
bool utf16ToCp932(const std::u16string& text, std::string& out);

// Where the first character that code page 932 cannot hold starts (a
// surrogate pair is one character, at its first unit); npos when all fit.
std::size_t firstOutsideCp932(const std::u16string& text);

// UTF-16 to UTF-8; a surrogate without its partner becomes U+FFFD.
std::string utf16ToUtf8(const std::u16string& text);
// UTF-8 to UTF-16; each byte that starts no well-formed character becomes U+FFFD.
std::u16string utf8ToUtf16(const std::string& utf8);

// How a text file's bytes are read:
//   EF BB BF ...  UTF-8 (the byte-order mark dropped)
//   FF FE ...     UTF-16 little-endian (the mark dropped, an odd last byte too)
//   FE FF ...     UTF-16 big-endian (the same)
//   otherwise     UTF-8 when well-formed with a non-ASCII byte, else code page 932.
enum class TextFileKind { CP932, UTF8, UTF16LE, UTF16BE };
TextFileKind textFileKind(const std::string& bytes);

// A text file's bytes as text, read as textFileKind says, never failing and
// never losing what follows a bad byte: in code page 932 a byte that starts
// no character becomes U+FFFD, in UTF-8 each byte that starts no well-formed
// character.
std::u16string decodeTextFile(const std::string& bytes);

// Text as a file's bytes: code page 932 when every character fits
// (`wroteUtf8` false), else UTF-8 with its byte-order mark (`wroteUtf8` true).
std::string encodeTextFile(const std::u16string& text, bool& wroteUtf8);

}  // namespace textcodec
