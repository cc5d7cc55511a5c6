#include "store/Cp932.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct CutCase {
    const char* name;
    std::string text;
    std::size_t maxBytes;
    std::string expected;
};

// 表 is 0x95 0x5C: its second byte is a backslash, which a byte-wise cut would keep alone.
const CutCase CUT_CASES[] = {
    {"short text stays", "D:\\表", 5, "D:\\表"},
    {"cut before a character that would be split", "D:\\表", 4, "D:\\"},
    {"ascii cut at the limit", "abcdef", 3, "abc"},
    {"zero bytes", "表", 0, ""},
    {"lone lead byte at the end of a short text goes", std::string("ab\x95"), 10, "ab"},
    {"lone lead byte at the end of a long text goes", std::string("abc\x95"), 4, "abc"},
    {"only a lead byte", std::string("\x95"), 1, ""},
    {"half-width katakana is one byte", std::string("\xB1\xB2\xB3"), 2, std::string("\xB1\xB2")},
};

TEST(Cp932, CutNeverSplitsACharacterNorLeavesALoneLeadByte) {
    for (const CutCase& c : CUT_CASES) EXPECT_EQ(cp932::cutAt(c.text, c.maxBytes), c.expected) << c.name;
}

}  // namespace
