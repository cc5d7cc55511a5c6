#include "io/TextCodec.h"

#include <cstddef>

#include "io/TextCodecPlatform.h"
#include "store/Cp932.h"

namespace textcodec {

namespace {

const char BYTE_ORDER_MARK[] = "\xEF\xBB\xBF";

bool isContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Length of the well-formed sequence at `i`, 0 when there is none.
std::size_t sequenceLength(const std::string& s, std::size_t i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // bounds of the second byte
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        if (c == 0xE0) low = 0xA0;
        if (c == 0xED) high = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        if (c == 0xF0) low = 0x90;
        if (c == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (i + length > s.size()) return 0;
    const unsigned char second = static_cast<unsigned char>(s[i + 1]);
    if (second < low || second > high) return 0;
    for (std::size_t k = 2; k < length; ++k)
        if (!isContinuation(static_cast<unsigned char>(s[i + k]))) return 0;
    return length;
}

const char16_t REPLACEMENT = 0xFFFD;

bool isHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool isLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// Units of the character at `i`: 2 for a surrogate pair, else 1.
std::size_t unitsAt(const std::u16string& text, std::size_t i) {
    return isHighSurrogate(text[i]) && i + 1 < text.size() && isLowSurrogate(text[i + 1]) ? 2 : 1;
}

bool isValidTrail(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

// A line of code page 932 that does not read as a whole, character by
// character: one that is no character becomes U+FFFD.
void appendEachCp932Character(const std::string& line, std::u16string& out) {
    std::u16string piece;
    for (std::size_t i = 0; i < line.size();) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        const bool pair =
            cp932::isLeadByte(c) && i + 1 < line.size() && isValidTrail(static_cast<unsigned char>(line[i + 1]));
        const std::size_t length = pair ? 2 : 1;
        if (c < 0x80)
            out += static_cast<char16_t>(c);
        else if (cp932ToUtf16(line.substr(i, length), piece))
            out += piece;
        else
            out += REPLACEMENT;
        i += length;
    }
}

// Code page 932 that may hold bytes which are no character: read line by line
// (a line feed is never the second byte of a character), and a line that does
// not read, character by character.
std::u16string cp932Leniently(const std::string& bytes) {
    std::u16string out;
    if (cp932ToUtf16(bytes, out)) return out;
    std::u16string piece;
    for (std::size_t start = 0; start < bytes.size();) {
        const std::size_t feed = bytes.find('\n', start);
        const std::size_t end = feed == std::string::npos ? bytes.size() : feed + 1;
        const std::string line = bytes.substr(start, end - start);
        if (cp932ToUtf16(line, piece))
            out += piece;
        else
            appendEachCp932Character(line, out);
        start = end;
    }
    return out;
}

// UTF-16 file bytes after their two-byte mark; an odd last byte is dropped.
std::u16string utf16FileText(const std::string& bytes, bool bigEndian) {
    std::u16string out;
    out.reserve(bytes.size() / 2);
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const unsigned first = static_cast<unsigned char>(bytes[i]), second = static_cast<unsigned char>(bytes[i + 1]);
        out += static_cast<char16_t>(bigEndian ? first << 8 | second : second << 8 | first);
    }
    return out;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

bool isUtf8(const std::string& bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = sequenceLength(bytes, i);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

std::string textFileToCp932(const std::string& bytes) {
    std::string converted;
    if (bytes.compare(0, 3, BYTE_ORDER_MARK) == 0)
        return utf8ToCp932(bytes.substr(3), converted) ? converted : bytes.substr(3);
    bool ascii = true;
    for (char c : bytes) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii || !isUtf8(bytes)) return bytes;
    return utf8ToCp932(bytes, converted) ? converted : bytes;
}

bool utf16ToCp932(const std::u16string& text, std::string& out) {
    // a character fits when its bytes read back as itself: the same rule on
    // every platform, whatever its converter maps one way
    std::u16string back;
    if (platform::encodeCp932(text, out) && cp932ToUtf16(out, back) && back == text) return true;
    out.clear();
    return false;
}

std::size_t firstOutsideCp932(const std::u16string& text) {
    std::string bytes;
    if (utf16ToCp932(text, bytes)) return std::u16string::npos;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t units = unitsAt(text, i);
        if (text[i] >= 0x80 && !utf16ToCp932(text.substr(i, units), bytes)) return i;
        i += units;
    }
    return std::u16string::npos;
}

std::string utf16ToUtf8(const std::u16string& text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (std::size_t i = 0; i < text.size();) {
        const char16_t u = text[i];
        if (unitsAt(text, i) == 2) {
            appendUtf8(out, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            i += 2;
            continue;
        }
        appendUtf8(out, isHighSurrogate(u) || isLowSurrogate(u) ? REPLACEMENT : u);
        ++i;
    }
    return out;
}

std::u16string utf8ToUtf16(const std::string& utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t length = sequenceLength(utf8, i);
        if (length == 0) {
            out += REPLACEMENT;
            ++i;
            continue;
        }
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) c = c << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        if (c >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
        i += length;
    }
    return out;
}

TextFileKind textFileKind(const std::string& bytes) {
    if (bytes.compare(0, 3, BYTE_ORDER_MARK) == 0) return TextFileKind::UTF8;
    if (bytes.compare(0, 2, "\xFF\xFE") == 0) return TextFileKind::UTF16LE;
    if (bytes.compare(0, 2, "\xFE\xFF") == 0) return TextFileKind::UTF16BE;
    bool ascii = true;
    for (char c : bytes) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    return !ascii && isUtf8(bytes) ? TextFileKind::UTF8 : TextFileKind::CP932;
}

std::u16string decodeTextFile(const std::string& bytes) {
    switch (textFileKind(bytes)) {
        case TextFileKind::UTF8:
            return utf8ToUtf16(bytes.compare(0, 3, BYTE_ORDER_MARK) == 0 ? bytes.substr(3) : bytes);
        case TextFileKind::UTF16LE:
            return utf16FileText(bytes, false);
        case TextFileKind::UTF16BE:
            return utf16FileText(bytes, true);
        default:
            return cp932Leniently(bytes);
    }
}

std::string encodeTextFile(const std::u16string& text, bool& wroteUtf8) {
    std::string bytes;
    wroteUtf8 = !utf16ToCp932(text, bytes);
    if (wroteUtf8) bytes = BYTE_ORDER_MARK + utf16ToUtf8(text);
    return bytes;
}

}  // namespace textcodec
