#include "io/TextCodec.h"

#include <cstddef>

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

}  // namespace textcodec
