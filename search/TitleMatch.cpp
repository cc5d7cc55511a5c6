#include "search/TitleMatch.h"

namespace search {

namespace {

char fold(char c, bool matchCase) { return (!matchCase && c >= 'a' && c <= 'z') ? static_cast<char>(c - 0x20) : c; }

bool equalAt(const std::string& text, const char* title, std::size_t at, bool matchCase) {
    for (std::size_t i = 0; i < text.size(); ++i)
        if (fold(text[i], matchCase) != fold(title[at + i], matchCase)) return false;
    return true;
}

}  // namespace

bool matchTitle(const std::string& text, const char* title, std::size_t titleLength, bool matchCase, bool down) {
    if (text.empty() || titleLength == 0 || titleLength < text.size()) return false;
    const std::size_t last = titleLength - text.size();
    for (std::size_t n = 0; n <= last; ++n) {
        if (equalAt(text, title, down ? n : last - n, matchCase)) return true;
    }
    return false;
}

}  // namespace search
