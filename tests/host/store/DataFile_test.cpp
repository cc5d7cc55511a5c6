#include "store/DataFile.h"

#include <gtest/gtest.h>

#include <cstdint>

#include <dirent.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "TestBooks.h"
#include "store/PageTable.h"

using namespace testbooks;

namespace {

const char PAGE_TITLE[] = "ページ";

PageRecord page(int order, int parentOrder, const std::string& title, const std::string& text) {
    PageRecord r;
    r.order = order;
    r.parentOrder = parentOrder;
    r.title = title;
    r.text = text;
    return r;
}

// A folder with a plain page and a secure page in it, then a top-level page.
PageTable sampleBook() {
    PageTable table;
    PageRecord folder = page(0, -1, "フォルダ", EMPTY_PAGE_RTF);
    folder.isFolder = 1;
    folder.isExpanded = 1;
    table.appendRecord(folder);
    PageRecord plain = page(1, 0, "表ソ", "{\\rtf1 text\\par}");
    plain.selStart = 3;
    plain.selEnd = 9;
    plain.scrollH = -1;
    plain.scrollV = 120;
    table.appendRecord(plain);
    PageRecord secure = page(2, 0, "secret", "");
    secure.isSecure = 1;
    for (int i = 0; i < 32; ++i) secure.textHash[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 7);
    secure.cipher = std::string("\0\x01\xFFzz", 5) + std::string(11, 'c');
    secure.scrollV = 44;
    table.appendRecord(secure);
    table.appendRecord(page(3, -1, PAGE_TITLE, EMPTY_PAGE_RTF));
    return table;
}

// The version block and the header of a new book, laid out by hand.
Bytes handStart(const std::string& magic, std::int32_t extensionSize = 180) {
    Bytes b;
    b.padded(magic, 12).i32(0).i32(4242).zeros(12);
    b.i32(0).i32(0).i32(0xC0C0C0).u8(0).u8(1).u8(1).u8(0).u8(0).zeros(3).i32(0).i32(15);
    b.padded("ＭＳ ゴシック", 32).zeros(32).i32(0).i32(0).i32(0x20000).i32(extensionSize);
    return b;
}

Bytes& handHead(Bytes& b, int order, int parent, int titleLength, int textLength, int blockTotal) {
    return b.i32(order).i32(parent).u8(0).u8(0).zeros(2).i32(titleLength).i32(textLength).i32(blockTotal);
}

bool parse(const std::string& bytes, PageTable& table, DataFileHeader& header, VersionBlock& version,
           ReadReport* report = nullptr) {
    return parseDataFile(bytes.data(), bytes.size(), table, header, version, report);
}

TEST(DataFileWriter, NewThreePageBookIsLaidOutByteForByte) {
    PageTable table;
    table.appendRecord(page(0, -1, PAGE_TITLE, "{\\rtf1 welcome\\par}"));
    table.appendRecord(page(1, -1, PAGE_TITLE, EMPTY_PAGE_RTF));
    table.appendRecord(page(2, -1, PAGE_TITLE, EMPTY_PAGE_RTF));
    std::string file = buildDataFile(table, newFileHeader(), makeVersionBlock(SaveKind::ExitData, 4242), false);

    std::size_t expected = 324;
    for (int i = 0; i < 3; ++i) expected += 24 + table.recordAt(i).title.size() + 1 + table.recordAt(i).text.size() + 1;
    EXPECT_EQ(expected, file.size());

    Bytes hand = handStart("qpad300");
    hand.i32(300).i32(0).i32(0xFFFFFF).i32(0xFFFFFF).i32(0).zeros(128 + 32).i32(3);
    ASSERT_EQ(324u, hand.size());
    EXPECT_EQ(hand.str(), file.substr(0, 324));
    std::size_t at = 324;
    for (int i = 0; i < 3; ++i) {
        const PageRecord& r = table.recordAt(i);
        Bytes head;
        handHead(head, i, -1, static_cast<int>(r.title.size() + 1), static_cast<int>(r.text.size() + 1), 0);
        head.raw(r.title).u8(0).raw(r.text).u8(0);
        EXPECT_EQ(head.str(), file.substr(at, head.size())) << "record " << i;
        at += head.size();
    }
}

TEST(DataFileWriter, BlocksFollowTheScrollFlagAndSecurePages) {
    PageTable table = sampleBook();
    VersionBlock version = makeVersionBlock(SaveKind::Periodic, 7);
    std::string with = buildDataFile(table, newFileHeader(), version, true);
    std::string without = buildDataFile(table, newFileHeader(), version, false);
    EXPECT_EQ(1, i32At(with, 12)) << "save kind";
    EXPECT_EQ(7, i32At(with, 16)) << "book number";

    auto blockTotals = [](const std::string& file) {
        std::vector<int> totals;
        std::size_t at = 324;
        for (int k = 0; k < i32At(file, 320); ++k) {
            int total = i32At(file, at + 20);
            totals.push_back(total);
            bool secure = total == 48 || total == 72;
            int payload = secure ? i32At(file, at + 24 + total - 4) : i32At(file, at + 16);
            at += 24 + static_cast<std::size_t>(total) + static_cast<std::size_t>(i32At(file, at + 12)) +
                  static_cast<std::size_t>(payload);
        }
        EXPECT_EQ(file.size(), at);
        return totals;
    };
    EXPECT_EQ((std::vector<int>{24, 24, 72, 24}), blockTotals(with));
    EXPECT_EQ((std::vector<int>{0, 0, 48, 0}), blockTotals(without));

    // Block 1 of record 1: tag, size, then scrollH, scrollV, selStart, selEnd.
    std::size_t block = 324 + 24 + 24 + table.recordAt(0).title.size() + 1 + table.recordAt(0).text.size() + 1 + 24;
    EXPECT_EQ(1, i32At(with, block));
    EXPECT_EQ(16, i32At(with, block + 4));
    EXPECT_EQ(-1, i32At(with, block + 8));
    EXPECT_EQ(120, i32At(with, block + 12));
    EXPECT_EQ(3, i32At(with, block + 16));
    EXPECT_EQ(9, i32At(with, block + 20));
}

TEST(DataFileWriter, RecordsGoOutByOrderAndTheSameTableGivesTheSameBytes) {
    TempFolder folder;
    PageTable table;
    table.appendRecord(page(2, 1, "c", "3"));
    table.appendRecord(page(0, -1, "a", "1"));
    table.appendRecord(page(1, 0, "b", "2"));
    DataFileHeader header = newFileHeader();
    header.reserved20 = 99;  // fixed values are written whatever the header holds
    header.extensionSize = 0;
    VersionBlock version = makeVersionBlock(SaveKind::BeforeDelete, 3);
    ASSERT_TRUE(writeDataFile(folder.file("one.qpd"), version, false, table, header));
    ASSERT_TRUE(writeDataFile(folder.file("two.qpd"), version, false, table, header));
    std::string one = readFile(folder.file("one.qpd"));
    EXPECT_EQ(one, readFile(folder.file("two.qpd")));
    EXPECT_EQ(0, i32At(one, 32 + 20));
    EXPECT_EQ(180, i32At(one, 32 + 104));
    EXPECT_EQ(std::string(3, '\0'), one.substr(32 + 17, 3));

    PageTable back;
    DataFileHeader readHeader;
    VersionBlock readVersion;
    ASSERT_TRUE(readDataFile(folder.file("one.qpd"), back, readHeader, readVersion));
    ASSERT_EQ(3, back.count());
    EXPECT_EQ("a", back.recordAt(0).title);
    EXPECT_EQ("b", back.recordAt(1).title);
    EXPECT_EQ("c", back.recordAt(2).title);
    EXPECT_EQ(3, readVersion.bookNumber);
}

TEST(DataFileReader, RoundTripKeepsEveryField) {
    PageTable table = sampleBook();
    DataFileHeader header = newFileHeader();
    header.bookmark = 3;
    header.windowColourIndex = 10;
    header.customWindowColour = 0x123456;
    header.listLines = 1;
    header.pasteAsText = 1;
    header.standardFontHeight = 22;
    setFontFace(header, "Arial");
    header.memoBackColour = 0xABCDEF;
    header.passwordRegistered = 1;
    header.checkValue[0] = 0xEE;
    header.salt[31] = 0x77;
    std::string file = buildDataFile(table, header, makeVersionBlock(SaveKind::BeforeRestore, 32767), true);

    PageTable back;
    DataFileHeader h;
    VersionBlock v;
    ASSERT_TRUE(parse(file, back, h, v));
    EXPECT_EQ("qpad300", magicOf(v));
    EXPECT_EQ(2, v.saveKind);
    EXPECT_EQ(32767, v.bookNumber);
    EXPECT_EQ(3, h.bookmark);
    EXPECT_EQ(10, h.windowColourIndex);
    EXPECT_EQ(0x123456u, h.customWindowColour);
    EXPECT_EQ(1, h.listLines);
    EXPECT_EQ(1, h.pasteAsText);
    EXPECT_EQ(22, h.standardFontHeight);
    EXPECT_EQ("Arial", fontFaceOf(h));
    EXPECT_EQ(0xABCDEFu, h.memoBackColour);
    EXPECT_EQ(1, h.passwordRegistered);
    EXPECT_EQ(0xEE, h.checkValue[0]);
    EXPECT_EQ(0x77, h.salt[31]);
    ASSERT_EQ(table.count(), back.count());
    for (int i = 0; i < table.count(); ++i) {
        const PageRecord& a = table.recordAt(i);
        const PageRecord& b = back.recordAt(i);
        EXPECT_EQ(a.title, b.title);
        EXPECT_EQ(a.text, b.text);
        EXPECT_EQ(a.order, b.order);
        EXPECT_EQ(a.parentOrder, b.parentOrder);
        EXPECT_EQ(a.isFolder, b.isFolder);
        EXPECT_EQ(a.isExpanded, b.isExpanded);
        EXPECT_EQ(a.selStart, b.selStart);
        EXPECT_EQ(a.selEnd, b.selEnd);
        EXPECT_EQ(a.scrollH, b.scrollH);
        EXPECT_EQ(a.scrollV, b.scrollV);
        EXPECT_EQ(a.isSecure, b.isSecure);
        EXPECT_EQ(a.cipher, b.cipher);
        EXPECT_TRUE(a.textHash == b.textHash);
        EXPECT_EQ(NO_ITEM, b.item);
    }

    std::string noScroll = buildDataFile(table, header, makeVersionBlock(SaveKind::ExitData, 1), false);
    ASSERT_TRUE(parse(noScroll, back, h, v));
    EXPECT_EQ(0, back.recordAt(1).selEnd + back.recordAt(1).scrollV + back.recordAt(2).scrollV);
}

TEST(DataFileReader, UnknownBlockIsSkipped) {
    Bytes b = handStart("qpad300");
    b.i32(300).i32(0).i32(0xFFFFFF).i32(0xFFFFFF).i32(0).zeros(160).i32(1);
    handHead(b, 0, -1, 2, 4, 16 + 24).i32(2).i32(8).raw("PAYLOAD!");
    b.i32(1).i32(16).i32(5).i32(6).i32(7).i32(8).raw("T").u8(0).raw("abc").u8(0);
    PageTable table;
    DataFileHeader h;
    VersionBlock v;
    ASSERT_TRUE(parse(b.str(), table, h, v));
    ASSERT_EQ(1, table.count());
    EXPECT_EQ("T", table.recordAt(0).title);
    EXPECT_EQ("abc", table.recordAt(0).text);
    EXPECT_EQ(5, table.recordAt(0).scrollH);
    EXPECT_EQ(8, table.recordAt(0).selEnd);
}

TEST(DataFileReader, PreviousGenerationReadsItsShortExtension) {
    for (int extension : {16, 24}) {
        Bytes b = handStart("qpad200b1", extension);
        b.i32(200).i32(0x111111).i32(0x222222).i32(0x333333).zeros(static_cast<std::size_t>(extension - 16));
        b.i32(1);
        handHead(b, 0, -1, 2, 2, 0).raw("a").u8(0).raw("b").u8(0);
        PageTable table;
        DataFileHeader h;
        VersionBlock v;
        ReadReport report;
        ASSERT_TRUE(parse(b.str(), table, h, v, &report)) << report.problem;
        EXPECT_EQ("qpad200b1", report.magic);
        EXPECT_EQ(0x111111u, h.listTextColour);
        EXPECT_EQ(0x222222u, h.listBackColour);
        EXPECT_EQ(0x333333u, h.memoBackColour);
        EXPECT_EQ(0, h.passwordRegistered);
        EXPECT_EQ(1, table.count());
        EXPECT_EQ("b", table.recordAt(0).text);
    }
}

TEST(DataFileReader, OddValuesAreMadeUsable) {
    Bytes b;
    b.padded("qpad300", 12).i32(0).i32(1).zeros(12);
    b.i32(9).i32(18).i32(0).zeros(8).i32(0).i32(-20).zeros(64).i32(0).i32(0).i32(0).i32(180);
    b.zeros(180).i32(2);
    handHead(b, 0, 1, 1, 1, 0).u8(0).u8(0);  // parent names itself: top level
    handHead(b, 1, 7, 1, 1, 0).u8(0).u8(0);  // parent names no earlier record
    PageTable table;
    DataFileHeader h;
    VersionBlock v;
    ASSERT_TRUE(parse(b.str(), table, h, v));
    EXPECT_EQ(0, h.bookmark);
    EXPECT_EQ(0, h.windowColourIndex);
    EXPECT_EQ(20, h.standardFontHeight);
    EXPECT_EQ(-1, table.recordAt(0).parentOrder);
    EXPECT_EQ(-1, table.recordAt(1).parentOrder);
}

// A standard font height the editor cannot show (none, or one that overflows twips) is not used.
TEST(DataFileReader, StandardFontHeightIsOneTheFontChooserTakes) {
    const struct {
        std::int32_t stored, read;
    } cases[] = {{16, 16}, {-16, 16}, {1, 1}, {0, 15}, {INT32_MIN, 15}, {2184, 2184}, {2185, 2184}, {-5000000, 2184}};
    for (const auto& c : cases) {
        DataFileHeader header = newFileHeader();
        header.standardFontHeight = c.stored;
        PageTable table;
        DataFileHeader h;
        VersionBlock v;
        ASSERT_TRUE(
            parse(buildDataFile(sampleBook(), header, makeVersionBlock(SaveKind::ExitData, 1), true), table, h, v));
        EXPECT_EQ(c.read, h.standardFontHeight) << c.stored;
    }
}

TEST(DataFileReader, DamagedFilesAreRefusedAndSayWhere) {
    std::string good = buildDataFile(sampleBook(), newFileHeader(), makeVersionBlock(SaveKind::ExitData, 1), true);
    PageTable table;
    DataFileHeader h;
    VersionBlock v;
    for (std::size_t cut = 0; cut < good.size(); ++cut) {
        ReadReport report;
        EXPECT_FALSE(parse(good.substr(0, cut), table, h, v, &report)) << cut;
        EXPECT_EQ(0, table.count());
        EXPECT_FALSE(report.problem.empty());
    }

    auto damagedAt = [&](std::size_t offset, std::int32_t value) {
        std::string bad = good;
        for (int i = 0; i < 4; ++i)
            bad[offset + static_cast<std::size_t>(i)] =
                static_cast<char>((static_cast<std::uint32_t>(value) >> (8 * i)) & 0xFF);
        ReadReport report;
        EXPECT_FALSE(parse(bad, table, h, v, &report));
        return report;
    };
    ReadReport count = damagedAt(320, 1000000);
    EXPECT_EQ(320, count.problemOffset);
    EXPECT_NE(std::string::npos, count.problem.find("1000000"));
    EXPECT_FALSE(damagedAt(320, -1).problem.empty());
    ReadReport title = damagedAt(324 + 12, 0x7FFFFFF0);
    EXPECT_EQ(324 + 24 + 24, title.problemOffset) << title.problem;
    EXPECT_NE(std::string::npos, title.problem.find("record 0"));
    EXPECT_FALSE(damagedAt(324 + 16, -5).problem.empty());
    std::string bigBlock = good;
    bigBlock[324 + 24] = 3;  // an unknown tag whose size runs past the end
    bigBlock[324 + 28 + 3] = 0x7F;
    ReadReport block;
    EXPECT_FALSE(parse(bigBlock, table, h, v, &block));
    EXPECT_EQ(324 + 24, block.problemOffset) << block.problem;

    // Stray bytes after the last record do not lock the user out of the book.
    ReadReport trailing;
    ASSERT_TRUE(parse(good + "extra", table, h, v, &trailing));
    EXPECT_EQ(sampleBook().count(), table.count()) << "every counted record loads";
    EXPECT_EQ(5, trailing.extraBytes);
    EXPECT_EQ(static_cast<std::int64_t>(good.size()), trailing.extraOffset);
    EXPECT_TRUE(trailing.problem.empty());
}

TEST(DataFileDetection, EveryCode) {
    TempFolder folder;
    EXPECT_EQ(DATA_FILE_MISSING, detectDataFile(folder.file("none.qpd")));
    EXPECT_EQ(DATA_FILE_UNREACHABLE, detectDataFile(folder.file("no/such/folder.qpd")));
    EXPECT_EQ(DATA_FILE_UNUSABLE, detectDataFile(folder.path()));
    auto detect = [&](const std::string& bytes) {
        writeFile(folder.file("f.qpd"), bytes);
        return detectDataFile(folder.file("f.qpd"));
    };
    EXPECT_EQ(DATA_FILE_CURRENT, detect(Bytes().padded("qpad300", 32).str()));
    EXPECT_EQ(DATA_FILE_CURRENT, detect(Bytes().padded("qpad200b1", 40).str()));
    for (const char* older : {"quiltpad090", "quiltpad093", "quiltpad096", "quiltpad097", "quiltpad100", "qpad110.1"})
        EXPECT_EQ(DATA_FILE_OLDER, detect(Bytes().padded(older, 100).str())) << older;
    EXPECT_EQ(DATA_FILE_UNUSABLE, detect(std::string(32, '\0')));
    EXPECT_EQ(DATA_FILE_UNUSABLE, detect(Bytes().padded("qpad301", 32).str()));
    EXPECT_EQ(DATA_FILE_UNUSABLE, detect(Bytes().padded("qpad300", 31).str()));
    EXPECT_EQ(DATA_FILE_UNUSABLE, detect(std::string(32, 'q')));

    unsigned char first[32];
    writeFile(folder.file("f.qpd"), Bytes().padded("qpad300", 12).i32(3).i32(1234).zeros(16).str());
    ASSERT_TRUE(readFirst32(folder.file("f.qpd"), first));
    EXPECT_EQ(1234, decodeVersionBlock(first).bookNumber);
    EXPECT_FALSE(readFirst32(folder.file("none.qpd"), first));
    writeFile(folder.file("short.qpd"), "qpad300");
    EXPECT_FALSE(readFirst32(folder.file("short.qpd"), first));
    EXPECT_EQ(std::string(32, '\0'), std::string(reinterpret_cast<char*>(first), 32));
}

// No file may be left half-written, and a failed write leaves no litter.
TEST(DataFileWriter, FailedWritesLeaveTheOldFileAlone) {
    TempFolder folder;
    PageTable table = sampleBook();
    VersionBlock version = makeVersionBlock(SaveKind::ExitData, 1);
    EXPECT_FALSE(writeDataFile(folder.file("missing/book.qpd"), version, false, table, newFileHeader()));

    std::string target = folder.file("taken.qpd");
    ASSERT_EQ(0, mkdir(target.c_str(), 0755));
    writeFile(target + "/inside", "keep");
    EXPECT_FALSE(writeDataFile(target, version, false, table, newFileHeader()));
    EXPECT_EQ("keep", readFile(target + "/inside"));

    std::string book = folder.file("book.qpd");
    writeFile(book, "old");
    ASSERT_TRUE(writeDataFile(book, version, false, table, newFileHeader()));
    EXPECT_EQ(buildDataFile(table, newFileHeader(), version, false), readFile(book));

    std::vector<std::string> names;
    DIR* dir = opendir(folder.path().c_str());
    while (dirent* entry = readdir(dir)) names.push_back(entry->d_name);
    closedir(dir);
    EXPECT_EQ(4u, names.size()) << ". .. taken.qpd book.qpd and nothing else";
}

}  // namespace
