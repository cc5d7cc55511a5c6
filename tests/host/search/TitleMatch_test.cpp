#include <gtest/gtest.h>

#include <string>

#include "search/TitleMatch.h"

namespace {

struct TitleCase {
    const char* text;
    const char* title;
    bool matchCase;
    bool match;
};

TEST(TitleMatch, FoldsOnlyLatinLowerCaseBytesAndComparesBytes) {
    const TitleCase cases[] = {
        {"note", "My NOTES", false, true}, {"note", "My NOTES", true, false},
        {"NOTE", "my notes", false, true},                                  // the title folds too
        {"Note", "Note", true, true},      {"E", "\x83\x65", true, false},  // the second byte 0x65 of テ is no E...
        {"E", "\x83\x65", false, true},                                     // ...until the case is folded, byte by byte
        {"\x65", "\x83\x65", true, true},  // byte positions: a match inside a character
        {"\x83", "\x83\x65", true, true},  {"\xe0", "\xc0", false, false},  // bytes above 0x7F are left alone
        {"@", "`", false, false},                                           // and so are the neighbours of the letters
        {"[", "{", false, false},          {"aa", "aaa", true, true},       // overlapping positions
        {"", "title", false, false},                                        // empty texts never match
        {"a", "", false, false},           {"long text", "short", false, false},
    };
    for (const TitleCase& c : cases) {
        const std::string title = c.title;
        for (bool down : {true, false}) {
            EXPECT_EQ(search::matchTitle(c.text, title.c_str(), title.size(), c.matchCase, down), c.match)
                << c.text << " in " << c.title << (down ? " down" : " up");
        }
    }
}

TEST(TitleMatch, LooksOnlyAtTheGivenLength) {
    const char title[] = "abcdef";
    EXPECT_FALSE(search::matchTitle("ef", title, 4, true, true));
    EXPECT_TRUE(search::matchTitle("cd", title, 4, true, false));
}

}  // namespace
