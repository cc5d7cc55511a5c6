#include <gtest/gtest.h>

#include <string>

#include "search/MemoText.h"
#include "store/OldDataFile.h"

namespace {

// A page as the editor writes it: font table, colour table, then the text.
std::string page(const std::string& body, const char* font = "\\f0\\fnil\\fcharset128 \\'82\\'6c\\'82\\'72 Gothic;") {
    return std::string("{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{") + font +
           "}}{\\colortbl ;\\red0\\green0\\blue0;}{\\*\\generator Riched20 10.0;}\\viewkind4\\uc1\\pard\\f0\\fs20 " +
           body + "\\par\r\n}";
}

struct MemoCase {
    std::string rtf;
    const char* text;
    bool matchCase;
    bool may;
};

TEST(MemoText, RulesOutOnlyPagesTheEditorCannotMatch) {
    const MemoCase cases[] = {
        {page("Meeting notes"), "notes", true, true},
        {page("Meeting notes"), "NOTES", false, true},
        {page("Meeting notes"), "NOTES", true, false},
        {page("Meeting notes"), "agenda", false, false},
        {page("Meet\\b ing\\b0  notes"), "meeting", false, true},             // formatting between letters
        {page("first\\par\r\nsecond"), "second", true, true},                 // RTF line breaks are not text
        {page("\\'83\\'81\\'83\\'82 memo"), "\x83\x81\x83\x82", true, true},  // メモ from escapes
        {page("\\'83\\'81\\'83\\'82"), "\x83\x82\x83\x81", true, false},
        {page("\\'82\\'df\\'82\\'e0"), "\x83\x81\x83\x82", true, true},  // hiragana for katakana
        {page("\xd2\xd3"), "\x83\x81\x83\x82", true, true},              // half-width katakana
        {page("\\'83\\'4b"), "\x83\x4a", true, true},                    // ガ for カ: voiced marks fold
        {page("\\'82\\'60\\'82\\'82c"), "abc", false, true},             // full-width letters
        {page("a-b"), "a!b", true, true},                                // punctuation folds together
        {page("x\\u12354?y"), "x\x82\xa0y", true, true},                 // a character outside the code page
        {page("{\\*\\fldinst HYPERLINK \"http://q\"}{\\fldrslt link}"), "link", true, true},
        // a field's instruction is never text; its result is shown by some editors only
        {page("a{\\*\\fldinst HYPERLINK \"x\"}b"), "ab", true, true},
        {page("a{\\*\\fldinst HYPERLINK \"x\"}b"), "HYPERLINK", false, false},
        {page("see {\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt here}} now"), "see  now", true, true},
        {page("see {\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt here}} now"), "see here now", true, true},
        {page("a{\\*\\bkmkstart mark}b{\\*\\bkmkend mark}c"), "abc", true, true},  // bookmark names are no text
        {page("a{\\*\\bkmkstart mark}b"), "mark", false, false},
        {page("a{\\*\\unknown {\\b nested} words}b"), "ab", true, true},  // an ignorable group is skipped whole
        {page("a{\\*\\unknown {\\b nested} words}b"), "nested", false, false},
        {page("{\\uc2 x\\u12354\\'82\\'a0}\\u12354?z"), "x\x82\xa0\x82\xa0z", true, true},  // a fallback count ends with its group
        {page("{{{a}b}c}"), "abc", true, true},
        // a picture may be one character or none, hidden text found or not: never ruled out
        {page("a{\\pict\\wmetafile8 6e6f746573}b"), "zz", true, true},
        {page("a{\\*\\shppict{\\pict\\pngblip 00}}b"), "zz", true, true},
        {page("a{\\v hidden}b"), "zz", true, true},
        {page("a\\v0 b"), "zz", true, false},
        {page("\\'e9t", "\\f0\\fnil\\fcharset0 Arial;"), "t", true, true},  // a Western run keeps its bytes apart
        {page("\\'e9t", "\\f0\\fnil\\fcharset0 Arial;"), "\xe9\x74", true, true},
        {page("a\\{b\\}"), "a{b}", true, true},
        {page("Tab\\tab here"), "Tab\there", true, true},
        {page("anything"), "", true, true},         // empty text: the editor decides
        {"{\\rtf1 unbalanced", "zzz", true, true},  // unreadable RTF: shown
        {"plain text, not RTF", "text", true, true},
        {"plain text, not RTF", "page", true, false},
    };
    for (const MemoCase& c : cases)
        EXPECT_EQ(search::memoMayContain(c.rtf, c.text, c.matchCase), c.may) << c.rtf << " / " << c.text;
}

struct UnicodeCase {
    std::string rtf;
    std::u16string text;
    bool matchCase;
    bool may;
};

TEST(MemoText, ASearchTextOfAnyCharacterRulesOutOnlyPagesWithoutIt) {
    const UnicodeCase cases[] = {
        {page("\\u-10180?\\u-8349? dinner"), u"🍣", true, true},  // a surrogate pair as its two escapes
        {page("sushi"), u"🍣", false, false},
        {page("\\u-10180?\\u-8350?"), u"🍣", false, false},  // 🍢
        {page("caf\\u233?"), u"café", true, true},
        {page("CAF\\u201?"), u"café", false, true},
        {page("CAF\\u201?"), u"café", true, false},
        {page("cafe"), u"café", false, false},
        {page("\\'95\\'5c\\'8e\\'a6"), u"表示", true, true},
        {page("\\u34920?\\u31034?"), u"表示", true, true},  // code page 932 characters as escapes
        {page("\\u34920?"), u"裏", true, false},
        {page("\\u962?"), u"σ", false, true},  // final sigma
        {page("s"), u"ſ", false, true},        // long s: any character when case is ignored
        {page("\\u383?"), u"S", false, true},
        {page("\\u12436?"), u"ヴ", true, true},   // ゔ, which the code page lacks
        {page("\\'fa\\'55"), u"¦", true, true},   // ￤, its full-width twin
        {page("a\\u8205?b"), u"ab", true, true},  // a zero-width joiner is passed over
        {page("\\u-10916?\\u-21139?"), u"한국", true, true},
        {page("\\u-10916?"), u"한국", true, false},
        {page("anything"), u"a\x01", true, true},  // a control character: the editor decides
    };
    for (const UnicodeCase& c : cases) EXPECT_EQ(search::memoMayContain(c.rtf, c.text, c.matchCase), c.may) << c.rtf;

    // a page written from either case of a letter may hold the other
    const std::u16string pairs[][2] = {
        {u"é", u"É"}, {u"ÿ", u"Ÿ"}, {u"ŀ", u"Ŀ"},      {u"ž", u"Ž"},      {u"ǆ", u"Ǆ"}, {u"ı", u"I"},
        {u"ſ", u"S"}, {u"µ", u"Μ"}, {u"k", u"\u212A"}, {u"å", u"\u212B"}, {u"ς", u"Σ"}, {u"ά", u"Ά"},
        {u"ϊ", u"Ϊ"}, {u"ђ", u"Ђ"}, {u"ӂ", u"Ӂ"},      {u"ա", u"Ա"},      {u"ḁ", u"Ḁ"}, {u"ỳ", u"Ỳ"},
        {u"ß", u"ẞ"}, {u"ⓐ", u"Ⓐ"}, {u"ⅺ", u"Ⅺ"},      {u"𐐨", u"𐐀"},
    };
    for (const auto& pair : pairs)
        for (int i = 0; i < 2; ++i) {
            const std::string rtf = plainTextToRtf(u"x" + pair[i] + u"y");
            EXPECT_TRUE(search::memoMayContain(rtf, pair[i], true)) << rtf;
            EXPECT_TRUE(search::memoMayContain(rtf, u"x" + pair[1 - i] + u"y", false)) << rtf;
        }
}

}  // namespace
