#include "store/DeletionMarks.h"

#include <cstring>

#include "store/Cp932.h"

namespace {

const char MARK_WORD[] = "deleted";
constexpr std::size_t MARK_WORD_LENGTH = sizeof MARK_WORD - 1;

bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

}  // namespace

std::ptrdiff_t findGroupEnd(const char* text, std::size_t length, std::size_t start) {
    std::size_t depth = 0;
    for (std::size_t i = start; i < length; ++i) {
        if (text[i] == '{') {
            ++depth;
        } else if (text[i] == '}') {
            if (depth == 0) return static_cast<std::ptrdiff_t>(i);
            --depth;
        }
    }
    return -1;
}

std::ptrdiff_t findGroupEnd(const std::string& text, std::size_t start) {
    return findGroupEnd(text.data(), text.size(), start);
}

bool rtfHasDeletionMark(const std::string& rtf) {
    // Multibyte-aware: a match never starts on the second byte of a character.
    const std::size_t n = rtf.size();
    std::ptrdiff_t found = -1;
    for (std::size_t i = 0; i + MARK_WORD_LENGTH <= n; ++i) {
        if (std::memcmp(rtf.data() + i, MARK_WORD, MARK_WORD_LENGTH) == 0) {
            found = static_cast<std::ptrdiff_t>(i);
            break;
        }
        if (cp932::isLeadByte(static_cast<unsigned char>(rtf[i]))) ++i;
    }
    if (found < 0) return false;
    // The editor's buffer is scanned with its terminating NUL; the NUL is no brace.
    return found < findGroupEnd(rtf, 1);
}

std::ptrdiff_t findDeletionMark(const std::string& text) {
    // Walks the RTF token by token, so that an escaped backslash ("\\") and
    // the second byte of a double-byte character are never taken for the
    // start of a control word.
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\\') {
            std::size_t word = i + 1;
            std::size_t end = word;
            while (end < n && isAsciiLetter(text[end])) ++end;
            if (end == word) {  // a control symbol: \\ \{ \} \' and the like
                i += 2;
                continue;
            }
            if (end - word == MARK_WORD_LENGTH && text.compare(word, MARK_WORD_LENGTH, MARK_WORD) == 0 && end < n &&
                text[end] == '\\')
                return static_cast<std::ptrdiff_t>(word);
            i = end;
        } else if (cp932::isLeadByte(c)) {
            i += 2;
        } else {
            ++i;
        }
    }
    return -1;
}

bool stripDeletionMark(std::string& text) {
    std::ptrdiff_t mark = findDeletionMark(text);
    if (mark < 0 || mark >= findGroupEnd(text, 1)) return false;
    // "deleted\" goes; the backslash in front of it now starts the next word.
    text.erase(static_cast<std::size_t>(mark), MARK_WORD_LENGTH + 1);
    return true;
}

int stripDeletionMarks(PageTable& table) {
    int changed = 0;
    PlaceWindow window;  // texts at their places are read in file order, a window at a time
    std::string text;
    for (int i = 0; i < table.count(); ++i) {
        PageRecord& record = table.recordAt(i);
        if (record.isSecure != 0) continue;
        if (!loadText(record, text, &window)) return -1;
        if (!stripDeletionMark(text)) continue;
        setText(record, text);  // only a changed text is held
        ++changed;
    }
    return changed;
}
