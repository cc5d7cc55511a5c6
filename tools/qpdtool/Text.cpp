#include "Text.h"

#include "store/Cp932.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace qpdtool {

namespace {

const char REPLACEMENT[] = "\xEF\xBF\xBD";

#ifdef _WIN32
// One character (one or two bytes) at a time, so that a bad byte costs only itself.
bool convertChar(const char* in, std::size_t size, std::string& out) {
    wchar_t wide[2];
    int count = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, in, static_cast<int>(size), wide, 2);
    if (count <= 0) return false;
    char utf8[8];
    int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, count, utf8, sizeof utf8, nullptr, nullptr);
    if (bytes <= 0) return false;
    out.append(utf8, static_cast<std::size_t>(bytes));
    return true;
}
#else
class Converter {
public:
    Converter() : cd_(iconv_open("UTF-8", "CP932")) {}
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    bool convert(const char* in, std::size_t size, std::string& out) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) return false;
        char buffer[16];
        char* source = const_cast<char*>(in);
        char* target = buffer;
        std::size_t left = size, room = sizeof buffer;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd_, &source, &left, &target, &room) == static_cast<std::size_t>(-1) || left != 0) return false;
        out.append(buffer, static_cast<std::size_t>(target - buffer));
        return true;
    }

private:
    iconv_t cd_;
};
#endif

}  // namespace

std::string cp932ToUtf8(const std::string& text) {
#ifndef _WIN32
    static Converter converter;
#endif
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n;) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            ++i;
            continue;
        }
        std::size_t width = (cp932::isLeadByte(c) && i + 1 < n) ? 2 : 1;
#ifdef _WIN32
        bool ok = convertChar(text.data() + i, width, out);
#else
        bool ok = converter.convert(text.data() + i, width, out);
#endif
        if (!ok) out += REPLACEMENT;
        i += width;
    }
    return out;
}

std::string jsonString(const std::string& cp932) {
    static const char HEX[] = "0123456789abcdef";
    std::string utf8 = cp932ToUtf8(cp932);
    std::string out;
    out.reserve(utf8.size() + utf8.size() / 8 + 2);
    out.push_back('"');
    for (unsigned char c : utf8) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20) {
                    out += "\\u00";
                    out.push_back(HEX[c >> 4]);
                    out.push_back(HEX[c & 15]);
                } else {
                    out.push_back(static_cast<char>(c));
                }
        }
    }
    out.push_back('"');
    return out;
}

std::string lowerHex(const void* bytes, std::size_t size) {
    static const char HEX[] = "0123456789abcdef";
    const unsigned char* p = static_cast<const unsigned char*>(bytes);
    std::string out;
    out.reserve(size * 2);
    for (std::size_t i = 0; i < size; ++i) {
        out.push_back(HEX[p[i] >> 4]);
        out.push_back(HEX[p[i] & 15]);
    }
    return out;
}

}  // namespace qpdtool
