// Text at qpdtool's edge: code page 932 in the book, UTF-8 and JSON outside.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace qpdtool {

// Bytes that are no code page 932 character become U+FFFD.
std::string cp932ToUtf8(const std::string& text);
// A JSON string literal, quotes included, of code page 932 text.
std::string jsonString(const std::string& cp932);
std::string lowerHex(const void* bytes, std::size_t size);

}  // namespace qpdtool
