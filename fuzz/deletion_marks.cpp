// findGroupEnd against a literal recursive reading of its rule, and the
// cleanup's promises: it removes exactly "deleted\" after a control-word
// backslash inside the outermost group, or nothing; secure records stay.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "store/DeletionMarks.h"

namespace {

// The rule as written: at "}" return its position, at "{" recurse and go on
// after what the call returns. Inputs are small, so the depth is too.
long recursiveGroupEnd(const std::string& text, std::size_t start) {
    for (std::size_t i = start; i < text.size(); ++i) {
        if (text[i] == '}') return static_cast<long>(i);
        if (text[i] == '{') {
            long end = recursiveGroupEnd(text, i + 1);
            if (end < 0) return -1;
            i = static_cast<std::size_t>(end);
        }
    }
    return -1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 8192) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (std::size_t start : {std::size_t(0), std::size_t(1), size / 2})
        if (findGroupEnd(text, start) != recursiveGroupEnd(text, start)) std::abort();

    std::string stripped = text;
    bool changed = stripDeletionMark(stripped);
    std::ptrdiff_t mark = findDeletionMark(text);
    if (changed) {
        std::size_t b = static_cast<std::size_t>(mark);
        if (mark < 1 || text[b - 1] != '\\' || text.compare(b, 8, "deleted\\") != 0 || mark >= findGroupEnd(text, 1) ||
            stripped != text.substr(0, b) + text.substr(b + 8))
            std::abort();
    } else if (stripped != text || (mark >= 0 && mark < findGroupEnd(text, 1))) {
        std::abort();
    }

    PageTable table;
    table.addPage(1, text, "plain", false);
    table.addPage(2, text, "secure", false);
    table.recordAt(1).isSecure = 1;
    table.recordAt(1).cipher = text;
    int count = stripDeletionMarks(table);
    if (count != (changed ? 1 : 0) || table.recordAt(0).text != stripped || table.recordAt(1).text != text ||
        table.recordAt(1).cipher != text)
        std::abort();
    return 0;
}
