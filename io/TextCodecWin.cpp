#include <windows.h>

#include "io/TextCodec.h"
#include "io/TextCodecPlatform.h"

namespace textcodec {

namespace {

bool toWide(UINT codePage, const std::string& in, std::wstring& wide) {
    wide.clear();
    if (in.empty()) return true;
    const int size = static_cast<int>(in.size());
    const int count = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, in.data(), size, nullptr, 0);
    if (count <= 0) return false;
    wide.resize(static_cast<std::size_t>(count));
    return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, in.data(), size, &wide[0], count) == count;
}

bool fromWide(UINT codePage, const std::wstring& wide, std::string& out) {
    out.clear();
    if (wide.empty()) return true;
    const int size = static_cast<int>(wide.size());
    // code page 932 puts its own "?" for characters it lacks; UTF-8 lacks none
    const int count = WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (count <= 0) return false;
    out.resize(static_cast<std::size_t>(count));
    return WideCharToMultiByte(codePage, 0, wide.data(), size, &out[0], count, nullptr, nullptr) == count;
}

}  // namespace

bool utf8ToCp932(const std::string& utf8, std::string& cp932) {
    std::wstring wide;
    return isUtf8(utf8) && toWide(CP_UTF8, utf8, wide) && fromWide(932, wide, cp932);
}

bool cp932ToUtf8(const std::string& cp932, std::string& utf8) {
    std::wstring wide;
    return toWide(932, cp932, wide) && fromWide(CP_UTF8, wide, utf8);
}

static_assert(sizeof(wchar_t) == sizeof(char16_t), "a wide character is one UTF-16 unit");

bool cp932ToUtf16(const std::string& cp932, std::u16string& out) {
    std::wstring wide;
    const bool read = toWide(932, cp932, wide);
    out.assign(wide.begin(), wide.end());
    if (!read) out.clear();
    return read;
}

namespace platform {

bool encodeCp932(const std::u16string& text, std::string& out) {
    out.clear();
    if (text.empty()) return true;
    const std::wstring wide(text.begin(), text.end());
    const int size = static_cast<int>(wide.size());
    // no best fit: é must not quietly become e; a character the code page
    // lacks sets usedDefault instead
    BOOL usedDefault = FALSE;
    const UINT flags = WC_NO_BEST_FIT_CHARS;
    const int count = WideCharToMultiByte(932, flags, wide.data(), size, nullptr, 0, nullptr, &usedDefault);
    if (count <= 0 || usedDefault) return false;
    out.resize(static_cast<std::size_t>(count));
    const int written = WideCharToMultiByte(932, flags, wide.data(), size, &out[0], count, nullptr, &usedDefault);
    if (written == count && !usedDefault) return true;
    out.clear();
    return false;
}

}  // namespace platform

}  // namespace textcodec
