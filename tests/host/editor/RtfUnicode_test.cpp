#include <gtest/gtest.h>

#include <string>

#include "editor/RtfUnicode.h"

namespace {

const char HEAD[] = "{\\rtf1\\ansi\\ansicpg932\\uc1{\\fonttbl{\\f0\\fcharset128 \\'82\\'6c;}}{\\*\\generator x;}\\f0 ";

// What a writer put down for a text, and what must be kept of it.
TEST(RtfUnicode, LookAlikesBecomeUnicodeEscapesAndNothingElseIsTouched) {
    const struct {
        const char* name;
        std::string body;
        std::u16string text;
        std::string kept;  // empty: the RTF comes back as it was
    } cases[] = {
        {"accent and sharp s written as letters", "cafe Strase\\par}", u"caf\u00e9 Stra\u00dfe",
         "caf\\u233? Stra\\u223?e\\par}"},
        {"escapes already right", "\\u-10180?\\u-8349? \\'95\\'5c\\par}", u"\U0001F363 \u8868", ""},
        {"all of it fits code page 932", "\\'95\\'5ce\\par}", u"\u8868e", ""},
        {"a text that does not match is not guessed at", "abc\\par}", u"ab\u00e9d", ""},
        {"\\uc0 and a digit after it", "{\\uc0 e5}\\par}", u"\u00e95", "{\\uc0 \\u233 5}\\par}"},
        {"a fallback is not text", "\\u233?e\\tab x\\line y\\par}", u"\u00e9\u00e9\tx\vy",
         "\\u233?\\u233?\\tab x\\line y\\par}"},
    };
    for (const auto& c : cases) {
        const std::string rtf = HEAD + c.body;
        const std::string expected = c.kept.empty() ? rtf : HEAD + c.kept;
        EXPECT_EQ(expected, rtfunicode::keepEveryCharacter(rtf, c.text)) << c.name;
    }
}

}  // namespace
