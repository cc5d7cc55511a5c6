#include "store/DeletionMarks.h"

#include <gtest/gtest.h>

namespace {

const std::string HEAD = "{\\rtf1\\ansi{\\fonttbl{\\f0 x;}}";

TEST(FindGroupEnd, MatchesBracesAndSurvivesDeepNesting) {
    std::string rtf = "{\\rtf1{a{b}}c}tail}";
    EXPECT_EQ(13, findGroupEnd(rtf, 1));
    EXPECT_EQ(11, findGroupEnd(rtf, 7));
    EXPECT_EQ(-1, findGroupEnd("{{", 1));
    EXPECT_EQ(-1, findGroupEnd("", 1));
    EXPECT_EQ(-1, findGroupEnd("{}", 5));
    EXPECT_EQ(4, findGroupEnd("{\\{}}", 1)) << "escapes are not considered";

    std::string deep(1000000, '{');
    EXPECT_EQ(-1, findGroupEnd(deep, 1));
    deep += std::string(1000000, '}');
    EXPECT_EQ(1999999, findGroupEnd(deep, 1));
}

TEST(DeletionMarks, TriggerLooksInsideTheOutermostGroup) {
    EXPECT_TRUE(rtfHasDeletionMark(HEAD + "\\deleted\\f0 x}"));
    EXPECT_TRUE(rtfHasDeletionMark(HEAD + "typed deleted}")) << "the trigger is a plain search";
    EXPECT_FALSE(rtfHasDeletionMark(HEAD + "x}\\deleted\\f0"));
    EXPECT_FALSE(rtfHasDeletionMark(HEAD + "nothing}"));
    EXPECT_FALSE(rtfHasDeletionMark(""));
}

TEST(DeletionMarks, OnlyTheControlWordFollowedByAnotherGoes) {
    struct Case {
        std::string text, after;
    } cases[] = {
        {HEAD + "\\deleted\\f0 x}", HEAD + "\\f0 x}"},
        {HEAD + "\\deleted\\f0 a\\deleted\\f1 b}", HEAD + "\\f0 a\\deleted\\f1 b}"},
        {HEAD + "x}\\deleted\\f0", ""},          // after the outermost group
        {HEAD + "typed deleted\\\\ here}", ""},  // the user's text and backslash
        {HEAD + "\\\\deleted\\\\}", ""},         // the user's "\deleted\"
        {HEAD + "\\deleted x}", ""},             // followed by a space
        {HEAD + "\\deleted1\\f0}", ""},          // followed by a digit
        {HEAD + "\\deletedx\\f0}", ""},          // a longer word
        {HEAD + "\x95\\deleted\\f0}", ""},       // the backslash is the second byte of 表
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        bool changed = stripDeletionMark(text);
        EXPECT_EQ(!c.after.empty(), changed) << c.text;
        EXPECT_EQ(c.after.empty() ? c.text : c.after, text);
    }
}

TEST(DeletionMarks, OnePerPlainRecordAndSave) {
    PageTable table;
    table.addPage(1, HEAD + "\\deleted\\f0 a\\deleted\\f1 b}", "two marks", false);
    table.addPage(2, HEAD + "\\deleted\\f0 a}", "secure", false);
    table.recordAt(1).isSecure = 1;
    table.recordAt(1).cipher = "\\deleted\\";
    table.addPage(3, HEAD + "none}", "none", false);
    EXPECT_EQ(1, stripDeletionMarks(table));
    EXPECT_EQ(HEAD + "\\f0 a\\deleted\\f1 b}", table.recordAt(0).text);
    EXPECT_EQ(HEAD + "\\deleted\\f0 a}", table.recordAt(1).text);
    EXPECT_EQ("\\deleted\\", table.recordAt(1).cipher);
    EXPECT_EQ(1, stripDeletionMarks(table));
    EXPECT_EQ(HEAD + "\\f0 a\\f1 b}", table.recordAt(0).text);
    EXPECT_EQ(0, stripDeletionMarks(table));
}

}  // namespace
