#include "io/FileNames.h"

#include <cctype>
#include <cstddef>

namespace filenames {

namespace {

// The lead bytes the name cleaning passes over; 0xFD and 0xFE count too, as
// in the cleaning's own rule, though code page 932 uses neither.
bool isNameLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFE); }

// The second byte of a double-byte character.
bool isTrailByte(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }

const char* const DEVICE_NAMES[] = {
    "CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7",
    "COM8", "COM9", "LPT1", "LPT2", "LPT3", "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9",
};

bool sameIgnoringCase(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != b[i]) return false;
    return i == a.size() && !b[i];
}

// Positions of the last folder separator and the last dot after it, walking
// whole characters; npos when there is none.
void lastSeparatorAndDot(const std::string& path, std::size_t& separator, std::size_t& dot) {
    separator = std::string::npos;
    dot = std::string::npos;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(path[i]);
        if (isNameLeadByte(c)) {
            ++i;
        } else if (c == '\\' || c == '/') {
            separator = i;
            dot = std::string::npos;
        } else if (c == '.') {
            dot = i;
        }
    }
}

}  // namespace

bool isReplacedInName(unsigned char c) {
    if (c < 0x20) return true;
    switch (c) {
        case '"':
        case '*':
        case '/':
        case ':':
        case '<':
        case '>':
        case '?':
        case '\\':
        case '|':
            return true;
        default:
            return false;
    }
}

bool cleanFileName(std::string& name) {
    bool replaced = false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (c == '\r' && i + 1 < name.size() && name[i + 1] == '\n') {
            ++i;
        } else if (isNameLeadByte(c) && i + 1 < name.size() && isTrailByte(static_cast<unsigned char>(name[i + 1]))) {
            ++i;
        } else if (isNameLeadByte(c) || isReplacedInName(c)) {
            name[i] = '_';
            replaced = true;
        }
    }
    return replaced;
}

bool isReservedDeviceName(const std::string& name) {
    std::string stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    for (const char* device : DEVICE_NAMES)
        if (sameIgnoringCase(stem, device)) return true;
    return false;
}

std::string creatableBase(const std::string& title) {
    std::string cleaned = title;
    cleanFileName(cleaned);
    bool allReplaced = !title.empty();
    for (std::size_t i = 0; i < title.size() && allReplaced; ++i) allReplaced = cleaned[i] != title[i];
    return allReplaced || isReservedDeviceName(cleaned) ? "_" + title : title;
}

std::string titleOfPath(const std::string& path) {
    std::size_t separator = 0, dot = 0;
    lastSeparatorAndDot(path, separator, dot);
    const std::size_t start = separator == std::string::npos ? 0 : separator + 1;
    const std::size_t end = dot == std::string::npos ? path.size() : dot;
    return path.substr(start, end - start);
}

std::string extensionOf(const std::string& path) {
    std::size_t separator = 0, dot = 0;
    lastSeparatorAndDot(path, separator, dot);
    return dot == std::string::npos ? std::string() : path.substr(dot + 1);
}

int droppedFileType(const std::string& path) { return extensionOf(path) == "rtf" ? 2 : 1; }

}  // namespace filenames
