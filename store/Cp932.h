// Small facts about code page 932 text.
#pragma once

#include <cstddef>
#include <string>

namespace cp932 {

// First byte of a double-byte character; its second byte may be any of
// 0x40..0xFC, including '\\', '{' and '}'.
inline bool isLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// The text cut to at most maxBytes bytes without splitting a double-byte character.
inline std::string cutAt(const std::string& text, std::size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return text;
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t step = isLeadByte(static_cast<unsigned char>(text[end])) && end + 1 < text.size() ? 2 : 1;
        if (end + step > maxBytes)
            break;
        end += step;
    }
    return text.substr(0, end);
}

// Appends one byte as an RTF hex escape (\'xx, lower case).
inline void appendRtfEscape(std::string& out, unsigned char c)
{
    static const char HEX[] = "0123456789abcdef";
    out += "\\'";
    out += HEX[c >> 4];
    out += HEX[c & 15];
}

} // namespace cp932
