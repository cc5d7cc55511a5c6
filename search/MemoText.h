#pragma once
// Telling from a page's stored RTF, without the editor, that its text cannot
// hold the search text, so the search need not show the page to look.
//
// The answer errs only one way: "may hold it" whenever the editor's own find
// could possibly match. The text is read as the editor would hold it (groups
// that are not text left out, escapes decoded, runs in other character sets
// taken as "any character"), and both sides are folded more coarsely than the
// editor compares: case (unless asked to match it), the width of letters,
// digits and katakana, hiragana against katakana, voiced marks, and every
// punctuation mark against every other.
//
// Characters outside code page 932 (\uN on the page) are themselves, a
// character beyond U+FFFF its two UTF-16 units, folded the same way: their
// width and kana forms as the code page's twin, simple case pairs together
// (é with É, ς with Σ), combining marks, Hebrew and Arabic points and format
// characters left out; a letter whose case is no simple pair (ſ, µ, the
// Kelvin sign, most scripts beyond Latin, Greek, Cyrillic and Armenian) is
// "any character" when case is ignored.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace search {

// A character of folded text; ANY_CHARACTER matches every character.
using FoldedChar = std::uint32_t;
constexpr FoldedChar ANY_CHARACTER = 0xFFFFFFFFu;

// The characters the editor would show for `rtf` (plain text when it is not
// RTF), folded as above. Empty and `ok` false when the RTF cannot be read.
std::vector<FoldedChar> foldedMemoText(std::string_view rtf, bool matchCase, bool& ok);

// The search text folded the same way; `ok` false when it cannot be (empty,
// a cut double-byte character, a control character other than tab).
std::vector<FoldedChar> foldedSearchText(const std::string& text, bool matchCase, bool& ok);

// The same for a search text of any character, as UTF-16; `ok` false when it
// is empty (or only marks that are left out) or holds a control character
// other than tab. A character of code page 932 folds as its code would above.
std::vector<FoldedChar> foldedSearchText(const std::u16string& text, bool matchCase, bool& ok);

// False only when the editor's find cannot find `text` in the page `rtf`;
// true for a search text that cannot be folded. The folded text is kept
// between calls with the same text, for the many pages of one search.
bool memoMayContain(std::string_view rtf, const std::string& text, bool matchCase);
bool memoMayContain(std::string_view rtf, const std::u16string& text, bool matchCase);

}  // namespace search
