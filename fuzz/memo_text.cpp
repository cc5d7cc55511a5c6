// The search's reading of a page's stored RTF: any bytes are read without
// harm, and a plain-text page that holds the search text is never ruled out,
// nor a page written from text of any character that holds it.
//   input: one flag byte (match case), the search text up to a NUL (also read
//   as UTF-16 units, two bytes each), the page's bytes
#include <cstdint>
#include <cstdlib>
#include <string>

#include "search/MemoText.h"
#include "store/OldDataFile.h"

namespace {

// Printable ASCII only, so a plain page around the search text keeps it whole.
std::string printable(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) out += static_cast<char>(0x20 + c % 0x5F);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const bool matchCase = data[0] & 1;
    const std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t nul = rest.find('\0');
    const std::string text = rest.substr(0, nul);
    const std::string page = nul == std::string::npos ? std::string() : rest.substr(nul + 1);

    search::memoMayContain(page, text, matchCase);
    bool ok = false;
    search::foldedMemoText(page, matchCase, ok);

    const std::string needle = printable(text);
    const std::string plain =
        "x" + printable(page.substr(0, page.size() / 2)) + needle + printable(page.substr(page.size() / 2));
    if (!needle.empty() && !search::memoMayContain(plain, needle, matchCase)) std::abort();

    std::u16string wide;
    for (std::size_t i = 0; i + 1 < text.size(); i += 2)
        wide +=
            static_cast<char16_t>(static_cast<unsigned char>(text[i]) | static_cast<unsigned char>(text[i + 1]) << 8);
    search::memoMayContain(page, wide, matchCase);
    search::foldedSearchText(wide, matchCase, ok);
    if (ok && !search::memoMayContain(plainTextToRtf(u"x" + wide + u"y"), wide, matchCase)) std::abort();
    return 0;
}
