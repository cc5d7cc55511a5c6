// Rescue of damaged books: whole records are kept, nothing is invented.
#include <gtest/gtest.h>

#include "store/Salvage.h"

#include "TestBooks.h"

namespace {

PageTable bookOf(int records) {
    PageTable table;
    for (int k = 0; k < records; ++k) {
        PageRecord r;
        r.order = k;
        r.parentOrder = k % 3 == 0 ? -1 : k - 1;
        r.isFolder = k % 3 == 0 ? 1 : 0;
        r.title = "page " + std::to_string(k);
        r.text = "{\\rtf1 text of page " + std::to_string(k) + std::string(static_cast<std::size_t>(k * 5), 'x') + "}";
        table.appendRecord(r);
    }
    return table;
}

// Where each record ends in the file.
std::vector<std::size_t> recordEnds(const std::string& file, int count) {
    std::vector<std::size_t> ends;
    std::size_t at = RECORD_LIST_OFFSET;
    for (int k = 0; k < count; ++k) {
        PageRecord r;
        EXPECT_TRUE(parseRecordAt(file.data(), file.size(), at, r, at));
        ends.push_back(at);
    }
    return ends;
}

}  // namespace

TEST(Salvage, CutAnywhereInTheLastRecordsKeepsEveryWholeRecordBefore) {
    const int n = 7;
    const std::string file = buildDataFile(bookOf(n), newFileHeader(), makeVersionBlock(SaveKind::ExitData, 5), true);
    const std::vector<std::size_t> ends = recordEnds(file, n);
    for (std::size_t cut = ends[n - 4]; cut < file.size(); ++cut) {
        Salvage s;
        std::string why;
        ASSERT_TRUE(salvageDataFile(file.data(), cut, s, why)) << cut;
        int whole = 0;
        while (whole < n && ends[static_cast<std::size_t>(whole)] <= cut) ++whole;
        ASSERT_EQ(whole, s.table.count()) << "cut at " << cut;
        for (int k = 0; k < whole; ++k) EXPECT_EQ("page " + std::to_string(k), s.table.recordAt(k).title);
        EXPECT_TRUE(s.scrollBlocks);
        ASSERT_FALSE(s.spans.empty());
        EXPECT_FALSE(s.spans.back().kept) << "the cut records are named as lost";
        EXPECT_EQ(whole, s.spans.back().firstRecord);
        EXPECT_EQ(n - 1, s.spans.back().lastRecord);
    }
}

TEST(Salvage, AWrongLengthMidFileLosesOnlyThatRecord) {
    const int n = 6;
    std::string file = buildDataFile(bookOf(n), newFileHeader(), makeVersionBlock(SaveKind::ExitData, 5), false);
    const std::vector<std::size_t> ends = recordEnds(file, n);
    struct Case {
        const char* name;
        std::size_t field;  // offset in record 2's head
        char value;
    };
    const Case cases[] = {
        {"title length far too long", 12 + 3, 0x7F},
        {"text length a little too long", 16, 0x60},
        {"block total gone wrong", 20, 0x30},
    };
    for (const Case& c : cases) {
        std::string bad = file;
        bad[ends[1] + c.field] = c.value;
        Salvage s;
        std::string why;
        ASSERT_TRUE(salvageDataFile(bad.data(), bad.size(), s, why)) << c.name;
        std::vector<std::string> titles;
        for (int k = 0; k < s.table.count(); ++k) titles.push_back(s.table.recordAt(k).title);
        EXPECT_EQ((std::vector<std::string>{"page 0", "page 1", "page 3", "page 4", "page 5"}), titles) << c.name;
        // page 3 was a top-level folder; page 4's parent is page 3, now at 2
        EXPECT_EQ(2, s.table.recordAt(3).parentOrder) << c.name;
        EXPECT_EQ(3, s.table.recordAt(3).order) << c.name;
        ASSERT_EQ(3u, s.spans.size()) << c.name;
        EXPECT_EQ(2, s.spans[1].firstRecord);
        EXPECT_EQ(2, s.spans[1].lastRecord);
        EXPECT_EQ(ends[1], s.spans[1].begin);
        EXPECT_EQ(ends[2], s.spans[1].end);
    }
    // a parent that was lost puts its child at the top level
    std::string lostParent = file;
    lostParent[ends[2] + 15] = 0x7F;  // record 3, the folder of page 4
    Salvage s;
    std::string why;
    ASSERT_TRUE(salvageDataFile(lostParent.data(), lostParent.size(), s, why));
    ASSERT_EQ(5, s.table.count());
    EXPECT_EQ("page 4", s.table.recordAt(3).title);
    EXPECT_EQ(-1, s.table.recordAt(3).parentOrder);
}

TEST(Salvage, NothingToSalvageWithoutAHeader) {
    const std::string file = buildDataFile(bookOf(2), newFileHeader(), makeVersionBlock(SaveKind::ExitData, 5), false);
    Salvage s;
    std::string why;
    EXPECT_FALSE(salvageDataFile(file.data(), 200, s, why));
    EXPECT_FALSE(why.empty());
    ASSERT_TRUE(salvageDataFile(file.data(), RECORD_LIST_OFFSET - 4, s, why)) << "no count: an empty book";
    EXPECT_EQ(0, s.table.count());
}

TEST(Salvage, OlderGenerationsKeepThePagesBeforeTheDamage) {
    testbooks::Bytes b;
    b.padded("quiltpad100", 12).i32(3).zeros(84);
    b.i32(4).padded("one", 64).raw("abc").u8(0);
    b.i32(2).padded("two", 64).raw("d").u8(0);
    b.i32(900).padded("three", 64).raw("cut short");
    Salvage s;
    std::string why;
    ASSERT_TRUE(salvageOldDataFile(b.str().data(), b.str().size(), s, why));
    ASSERT_EQ(2, s.table.count());
    EXPECT_EQ("two", s.table.recordAt(1).title);
    EXPECT_EQ("d", s.table.recordAt(1).text);
    ASSERT_EQ(2u, s.spans.size());
    EXPECT_EQ(2, s.spans[1].firstRecord);
    EXPECT_EQ(2, s.spans[1].lastRecord);
}
