// Small facts about code page 932 text.
#pragma once

#include <string>

namespace cp932 {

// First byte of a double-byte character; its second byte may be any of
// 0x40..0xFC, including '\\', '{' and '}'.
inline bool isLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
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
