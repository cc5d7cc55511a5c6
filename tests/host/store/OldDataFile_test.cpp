#include "store/OldDataFile.h"

#include <gtest/gtest.h>

#include "TestBooks.h"

using namespace testbooks;

namespace {

Bytes oldFile(const std::string& magic, int pages) {
    Bytes b;
    b.padded(magic, 12).i32(pages).zeros(84);
    return b;
}

Bytes& oldPage(Bytes& b, const std::string& title, const std::string& text) {
    return b.i32(static_cast<std::int32_t>(text.size() + 1)).padded(title, 64).raw(text).u8(0);
}

TEST(OldDataFile, FirstAndSecondGenerationsReadAsTopLevelPages) {
    TempFolder folder;
    for (const char* magic : {"quiltpad090", "quiltpad100", "qpad110.1"}) {
        Bytes b = oldFile(magic, 3);
        oldPage(b, "一", "first\r\nline");
        oldPage(b, "二", "");
        oldPage(b, "三", "表示");
        writeFile(folder.file("old.qpd"), b.str());
        PageTable table;
        ReadReport report;
        ASSERT_TRUE(readOldDataFile(folder.file("old.qpd"), table, &report)) << report.problem;
        EXPECT_EQ(magic, report.magic);
        ASSERT_EQ(3, table.count());
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(i, table.recordAt(i).order);
            EXPECT_EQ(-1, table.recordAt(i).parentOrder);
            EXPECT_EQ(0, table.recordAt(i).isFolder);
            EXPECT_EQ(1, table.recordAt(i).isExpanded);
        }
        EXPECT_EQ("一", table.recordAt(0).title);
        EXPECT_EQ("first\r\nline", table.recordAt(0).text);
        EXPECT_EQ("", table.recordAt(1).text);
        EXPECT_EQ("表示", table.recordAt(2).text);
    }
}

TEST(OldDataFile, FullTitleFieldAndTextUpToItsNul) {
    Bytes b = oldFile("quiltpad093", 2);
    std::string title64(64, 'T');
    b.i32(6).raw(title64).raw("ab").u8(0).raw("cd").u8(0);  // text stops at its first NUL
    oldPage(b, "next", "x");
    PageTable table;
    ASSERT_TRUE(parseOldDataFile(b.str().data(), b.size(), table));
    EXPECT_EQ(title64, table.recordAt(0).title);
    EXPECT_EQ("ab", table.recordAt(0).text);
    EXPECT_EQ("next", table.recordAt(1).title);
}

TEST(OldDataFile, DamagedOrForeignFilesAreRefused) {
    Bytes good = oldFile("quiltpad096", 2);
    oldPage(good, "a", "text a");
    oldPage(good, "b", "text b");
    PageTable table;
    for (std::size_t cut = 0; cut < good.size(); ++cut) {
        EXPECT_FALSE(parseOldDataFile(good.str().data(), cut, table)) << cut;
        EXPECT_EQ(0, table.count());
    }
    std::string bigCount = good.str();
    bigCount[15] = 0x10;
    ReadReport report;
    EXPECT_FALSE(parseOldDataFile(bigCount.data(), bigCount.size(), table, &report));
    EXPECT_EQ(12, report.problemOffset);
    std::string trailing = good.str() + "xy";
    ReadReport extra;
    EXPECT_TRUE(parseOldDataFile(trailing.data(), trailing.size(), table, &extra)) << "stray bytes keep the pages";
    EXPECT_EQ(2, table.count());
    EXPECT_EQ(2, extra.extraBytes);
    std::string current = Bytes().padded("qpad300", 200).str();
    EXPECT_FALSE(parseOldDataFile(current.data(), current.size(), table));

    TempFolder folder;
    ReadReport missing;
    EXPECT_FALSE(readOldDataFile(folder.file("none"), table, &missing));
    EXPECT_TRUE(missing.missing);
}

TEST(PlainTextRtf, EscapesAndParagraphs) {
    EXPECT_EQ(std::string(EMPTY_PAGE_RTF), plainTextToRtf(""));
    std::string rtf = plainTextToRtf("a{b}\\c\r\n2\n表\tｱ");
    std::string start(EMPTY_PAGE_RTF, 222 - 9);  // up to \fs23
    ASSERT_EQ(0u, rtf.find(start));
    EXPECT_EQ(" a\\{b\\}\\\\c\\par\r\n2\\par\r\n\\'95\\'5c\\tab \\'b1\\par\r\n}\r\n", rtf.substr(start.size()));
}

TEST(PlainTextRtf, CharactersOutsideCodePage932AreUnicodeEscapes) {
    EXPECT_EQ(plainTextToRtf("a{b}\\c\r\n2\n表\tｱ"), plainTextToRtf(u"a{b}\\c\r\n2\n表\tｱ"));
    const std::string rtf = plainTextToRtf(u"é\r\n🍣{x}表\r\nñ");
    EXPECT_EQ(" \\u233?\\par\r\n\\u-10180?\\u-8349?\\{x\\}\\'95\\'5c\\par\r\n\\u241?\\par\r\n}\r\n",
              rtf.substr(EMPTY_PAGE_RTF_HEAD_LENGTH));
}

}  // namespace
