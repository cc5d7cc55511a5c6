#include "io/TextCodec.h"

#include <cerrno>
#include <iconv.h>

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
    bool convert(const std::string& in, std::string& out, char fallback, std::size_t (*skip)(const char*)) {
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
            if (errno != EILSEQ || !fallback) return false;
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

}  // namespace textcodec
