#include "io/TextCodec.h"

#include <cerrno>
#include <iconv.h>

#include "io/TextCodecPlatform.h"

namespace textcodec {

namespace {

class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (ok()) iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts all of `in`; a character the target lacks becomes `fallback`
    // (skipping `skip(in)` bytes) or, without one, fails the conversion.
    // `gap`, when given, first converts what the converter refuses (appending
    // to `out`, returning the bytes it read; 0 when it cannot either).
    using Gap = std::size_t (*)(const char* at, std::size_t left, std::string& out);
    bool convert(const std::string& in, std::string& out, char fallback, std::size_t (*skip)(const char*),
                 Gap gap = nullptr) {
        out.clear();
        if (!ok()) return false;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* source = const_cast<char*>(in.data());
        std::size_t left = in.size();
        char buffer[4096];
        while (left > 0) {
            char* target = buffer;
            std::size_t room = sizeof buffer;
            const std::size_t result = iconv(cd_, &source, &left, &target, &room);
            out.append(buffer, static_cast<std::size_t>(target - buffer));
            if (result != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
            if (errno != EILSEQ) return false;
            if (const std::size_t used = gap ? gap(source, left, out) : 0) {
                source += used;
                left -= used;
                continue;
            }
            if (!fallback) return false;
            const std::size_t step = skip(source);
            out += fallback;
            source += step;
            left -= step < left ? step : left;
        }
        return true;
    }

private:
    iconv_t cd_;
};

// Bytes of the UTF-8 character that starts here (the input is well-formed).
std::size_t utf8CharLength(const char* at) {
    const unsigned char c = static_cast<unsigned char>(*at);
    return c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
}

// UTF-16 as the little-endian bytes iconv reads and writes, whatever the host's order.
std::string littleEndianBytes(const std::u16string& text) {
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (char16_t u : text) {
        bytes += static_cast<char>(u & 0xFF);
        bytes += static_cast<char>(u >> 8);
    }
    return bytes;
}

std::u16string fromLittleEndian(const std::string& bytes) {
    std::u16string text;
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        text +=
            static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
    return text;
}

// Windows reads the single byte 0x80 of code page 932 as U+0080 and writes
// it back; iconv knows neither way.
std::size_t byte80ToUtf16(const char* at, std::size_t, std::string& out) {
    if (static_cast<unsigned char>(*at) != 0x80) return 0;
    out += '\x80';
    out += '\0';
    return 1;
}

std::size_t utf16ToByte80(const char* at, std::size_t left, std::string& out) {
    if (left < 2 || static_cast<unsigned char>(at[0]) != 0x80 || at[1] != 0) return 0;
    out += '\x80';
    return 2;
}

}  // namespace

bool utf8ToCp932(const std::string& utf8, std::string& cp932) {
    if (!isUtf8(utf8)) return false;
    static Iconv converter("CP932", "UTF-8");
    return converter.convert(utf8, cp932, '?', utf8CharLength);
}

bool cp932ToUtf8(const std::string& cp932, std::string& utf8) {
    static Iconv converter("UTF-8", "CP932");
    return converter.convert(cp932, utf8, 0, nullptr);
}

bool cp932ToUtf16(const std::string& cp932, std::u16string& out) {
    out.clear();
    thread_local Iconv converter("UTF-16LE", "CP932");
    std::string bytes;
    if (!converter.convert(cp932, bytes, 0, nullptr, byte80ToUtf16)) return false;
    out = fromLittleEndian(bytes);
    return true;
}

namespace platform {

bool encodeCp932(const std::u16string& text, std::string& out) {
    thread_local Iconv converter("CP932", "UTF-16LE");
    return converter.convert(littleEndianBytes(text), out, 0, nullptr, utf16ToByte80);
}

}  // namespace platform

}  // namespace textcodec
