#include <windows.h>

#include "store/Wide932.h"

namespace wide {

std::wstring from932(const std::string& text) {
    if (text.empty()) return std::wstring();
    const int size = static_cast<int>(text.size());
    const int count = MultiByteToWideChar(932, 0, text.data(), size, nullptr, 0);
    if (count <= 0) return std::wstring();
    std::wstring out(static_cast<size_t>(count), L'\0');
    MultiByteToWideChar(932, 0, text.data(), size, &out[0], count);
    return out;
}

std::wstring from932(const char* text) { return from932(std::string(text ? text : "")); }

bool to932(const std::wstring& text, std::string& out) {
    out.clear();
    if (text.empty()) return true;
    const int size = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    // no best fit: é must not quietly become e
    const int count = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (count <= 0) return false;
    out.resize(static_cast<size_t>(count));
    WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, text.data(), size, &out[0], count, "?", &usedDefault);
    return !usedDefault;
}

std::string to932(const std::wstring& text) {
    std::string out;
    to932(text, out);
    return out;
}

std::wstring firstOutside932(const std::wstring& text) {
    std::string ignored;
    for (size_t i = 0; i < text.size();) {
        const bool pair = IS_HIGH_SURROGATE(text[i]) && i + 1 < text.size() && IS_LOW_SURROGATE(text[i + 1]);
        const std::wstring one = text.substr(i, pair ? 2 : 1);
        if (!to932(one, ignored)) return one;
        i += one.size();
    }
    return std::wstring();
}

}  // namespace wide
