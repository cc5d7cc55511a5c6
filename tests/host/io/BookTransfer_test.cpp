// The book as a folder tree on disk and back.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "../store/TestBooks.h"
#include "io/BookExport.h"
#include "io/BookImport.h"
#include "io/FileSystem.h"
#include "io/TextCodec.h"

using namespace testbooks;

namespace {

const char STAMP[] = "20261207153000";

PageRecord record(const std::string& title, const std::string& text, bool folder, int order, int parentOrder) {
    PageRecord r;
    r.title = title;
    r.text = text;
    r.isFolder = folder ? 1 : 0;
    r.order = order;
    r.parentOrder = parentOrder;
    return r;
}

TEST(BookExport, WritesTheTreeWithCleanedAndNumberedNames) {
    TempFolder folder;
    PageTable table;
    // stored out of tree order on purpose: the export walks `order`
    table.appendRecord(record("T", "{\\rtf1 second}", false, 4, 2));
    table.appendRecord(record("a/b:c", "{\\rtf1 slash}", false, 0, -1));
    table.appendRecord(record("メモ帳", "{\\rtf1 jp}", false, 1, -1));
    table.appendRecord(record("Folder", "", true, 2, -1));
    table.appendRecord(record("T", "{\\rtf1 first}", false, 3, 2));
    table.appendRecord(record("CON", "{\\rtf1 device}", false, 5, -1));

    bookexport::BookExport exporter(table, nullptr);
    ASSERT_TRUE(exporter.exportFolder(-1, folder.path(), STAMP));
    const std::string top = folder.file(STAMP);
    EXPECT_EQ(top, exporter.report().topFolder);
    EXPECT_EQ(6, exporter.report().files);
    EXPECT_EQ("{\\rtf1 slash}", readFile(top + "/a_b_c.rtf"));
    EXPECT_EQ("{\\rtf1 jp}", readFile(iofs::joinPath(top, "メモ帳.rtf")));  // UTF-8 on disk
    EXPECT_EQ("{\\rtf1 device}", readFile(top + "/_CON.rtf"));
    EXPECT_TRUE(iofs::pathExists(top + "/Folder/Folder.rtf"));
    EXPECT_EQ("", readFile(top + "/Folder/Folder.rtf"));
    EXPECT_EQ("{\\rtf1 first}", readFile(top + "/Folder/T.rtf"));
    EXPECT_EQ("{\\rtf1 second}", readFile(top + "/Folder/T-(1).rtf"));

    // the same time stamp again, as within one second: a numbered top folder
    bookexport::BookExport again(table, nullptr);
    ASSERT_TRUE(again.exportFolder(-1, folder.path(), STAMP));
    EXPECT_EQ(folder.file(std::string(STAMP) + "-(1)"), again.report().topFolder);
}

TEST(BookExport, SecurePagesAreWrittenOnlyWhenTheirTextCanBeHad) {
    PageTable table;
    PageRecord secret = record("secret", "", false, 0, -1);
    secret.isSecure = 1;
    secret.cipher = "cipher bytes";
    table.appendRecord(secret);
    table.appendRecord(record("open", "{\\rtf1 open}", false, 1, -1));

    TempFolder withKey;
    bookexport::BookExport decrypting(table, [](const PageRecord& r, std::string& rtf) {
        rtf = "{\\rtf1 plain of " + r.cipher + "}";
        return true;
    });
    EXPECT_TRUE(decrypting.exportFolder(-1, withKey.path(), STAMP));
    EXPECT_EQ("{\\rtf1 plain of cipher bytes}", readFile(withKey.file(std::string(STAMP) + "/secret.rtf")));
    EXPECT_TRUE(table.recordAt(0).text.empty());  // never decrypted into the book

    TempFolder withoutKey;
    bookexport::BookExport skipping(table, nullptr);
    EXPECT_FALSE(skipping.exportFolder(-1, withoutKey.path(), STAMP));
    EXPECT_EQ(std::vector<std::string>{"secret"}, skipping.report().skipped);
    EXPECT_EQ(0, skipping.report().failures);
    EXPECT_FALSE(iofs::pathExists(withoutKey.file(std::string(STAMP) + "/secret.rtf")));
    EXPECT_TRUE(iofs::pathExists(withoutKey.file(std::string(STAMP) + "/open.rtf")));
}

TEST(BookImport, TextFilesAreReadAsCodePage932OrUtf8) {
    const std::string nihon932 = "\x93\xfa\x96\x7b";  // 日本 in code page 932
    const std::string nihonUtf8 = "\xE6\x97\xA5\xE6\x9C\xAC";
    const std::string bom = "\xEF\xBB\xBF";
    const struct {
        std::string bytes;
        std::string cp932;
    } cases[] = {
        {"plain ascii", "plain ascii"}, {nihon932, nihon932},      // not UTF-8: taken as it is
        {nihonUtf8, nihon932},          {bom + "abc", "abc"},      // the byte-order mark goes
        {bom + nihonUtf8, nihon932},    {"\xE6\x97", "\xE6\x97"},  // a cut UTF-8 character is no UTF-8
    };
    for (const auto& c : cases) EXPECT_EQ(c.cp932, textcodec::textFileToCp932(c.bytes)) << c.bytes;
    EXPECT_NE(std::string::npos, bookimport::pageTextOf(nihonUtf8 + "\nx", false).find("\\'93\\'fa\\'96\\'7b\\par"));
}

TEST(BookImport, UnicodeTextFilesKeepEveryCharacterAndCodePage932FilesTheirBytes) {
    const struct {
        std::string bytes;
        const char* rtf;
    } cases[] = {
        {std::string("\xFF\xFE\x3C\xD8\x63\xDF\r\0\n\0", 10), "\\u-10180?\\u-8349?\\par"},  // 🍣 in UTF-16LE
        {"\xC3\xA9\xE8\xA1\xA8", " \\u233?\\'95\\'5c\\par"},                                // é表 in UTF-8
        {"\x87\x90\x81\xe0", " \\'87\\'90\\'81\\'e0\\par"},  // ≒ by both its codes, as written
        {"\x85\x40", " \\'85\\'40\\par"},                    // no character: kept as it was
    };
    for (const auto& c : cases)
        EXPECT_NE(std::string::npos, bookimport::pageTextOf(c.bytes, false).find(c.rtf)) << c.rtf;
}

TEST(BookImport, FoldersOfTheSameTitleComeBackWithTheirOwnTexts) {
    TempFolder folder;
    PageTable table;
    table.appendRecord(record("F", "{\\rtf1 one}", true, 0, -1));
    table.appendRecord(record("F", "{\\rtf1 two}", true, 1, -1));
    table.appendRecord(record("p", "{\\rtf1 page}", false, 2, 1));
    bookexport::BookExport exporter(table, nullptr);
    ASSERT_TRUE(exporter.exportFolder(-1, folder.path(), STAMP));
    ASSERT_TRUE(iofs::directoryExists(folder.file(std::string(STAMP) + "/F-(1)")));

    PageTable back;
    bookimport::ImportReport report;
    ASSERT_TRUE(bookimport::importTree(exporter.report().topFolder, back, report));
    ASSERT_EQ(3, back.count());
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(table.recordAt(i).title, back.recordAt(i).title) << i;
        EXPECT_EQ(table.recordAt(i).text, back.recordAt(i).text) << i;
        EXPECT_EQ(table.recordAt(i).parentOrder, back.recordAt(i).parentOrder) << i;
    }
}

// A book of 1,000 pages in nested folders, titled so that name order is tree order.
PageTable generatedBook() {
    PageTable table;
    std::vector<int> openFolders;  // orders of the folders the next record may go into
    for (int order = 0; order < 1000; ++order) {
        const bool folder = order % 9 == 0;
        if (order % 23 == 0 && !openFolders.empty()) openFolders.pop_back();
        const int parent = openFolders.empty() ? -1 : openFolders.back();
        char title[32];
        std::snprintf(title, sizeof title, "ページ%04d", order);
        std::string text = folder && order % 2 ? "" : "{\\rtf1 text " + std::to_string(order * 7919) + "\\par}";
        table.appendRecord(record(title, text, folder, order, parent));
        if (folder) openFolders.push_back(order);
    }
    return table;
}

TEST(BookImport, AnExportedBookComesBackWithTheSameTreeTitlesAndTexts) {
    TempFolder folder;
    const PageTable book = generatedBook();
    bookexport::BookExport exporter(book, nullptr);
    ASSERT_TRUE(exporter.exportFolder(-1, folder.path(), STAMP));

    PageTable back;
    bookimport::ImportReport report;
    ASSERT_TRUE(bookimport::importTree(exporter.report().topFolder, back, report));
    EXPECT_TRUE(report.unreadable.empty());
    ASSERT_EQ(book.count(), back.count());
    for (int i = 0; i < book.count(); ++i) {
        const PageRecord& a = book.recordAt(i);
        const PageRecord& b = back.recordAt(i);
        ASSERT_EQ(a.title, b.title) << i;
        EXPECT_EQ(a.isFolder, b.isFolder) << i;
        EXPECT_EQ(a.order, b.order) << i;
        EXPECT_EQ(a.parentOrder, b.parentOrder) << i;
        EXPECT_EQ(a.text, b.text) << i;
    }
}

}  // namespace
