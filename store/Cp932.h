// Small facts about code page 932 text.
#pragma once

#include <cstddef>
#include <string>

namespace cp932 {

// First byte of a double-byte character; its second byte may be any of
// 0x40..0xFC, including '\\', '{' and '}'.
inline bool isLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// The text cut to at most maxBytes bytes without splitting a double-byte character.
// A lead byte whose second byte is missing is dropped too, even from a short text:
// a lone lead byte at the end would swallow whatever a caller appends next.
inline std::string cutAt(const std::string& text, std::size_t maxBytes) {
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t step = isLeadByte(static_cast<unsigned char>(text[end])) ? 2 : 1;
        if (end + step > maxBytes || end + step > text.size()) break;
        end += step;
    }
    return text.substr(0, end);
}

// Appends one byte as an RTF hex escape (\'xx, lower case).
inline void appendRtfEscape(std::string& out, unsigned char c) {
    static const char HEX[] = "0123456789abcdef";
    out += "\\'";
    out += HEX[c >> 4];
    out += HEX[c & 15];
}

}  // namespace cp932
