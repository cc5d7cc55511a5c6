// Page texts that stay in the data file: read as places, copied by a save,
// pointing into the new file after it; a place that cannot be read fails the
// save and leaves the old file.
#include <gtest/gtest.h>

#include <dirent.h>
#include <unistd.h>

#include "TestBooks.h"
#include "store/AtomicFile.h"
#include "store/DataFile.h"
#include "store/DeletionMarks.h"
#include "store/TextSource.h"

using namespace testbooks;

namespace {

// Plain pages (one empty), a folder and a secure page: every kind of content.
PageTable sampleBook() {
    PageTable table;
    const char* texts[] = {"{\\rtf1 first\\par}", "", "{\\rtf1 \\'83\\'79 third\\par}", EMPTY_PAGE_RTF};
    for (int i = 0; i < 4; ++i) table.addPage(NO_ITEM, texts[i], "p" + std::to_string(i), i == 1);
    PageRecord secure;
    secure.isSecure = 1;
    secure.cipher = std::string("\0\x01\xFFzz", 5) + std::string(27, 'c');
    table.appendRecord(secure);
    for (int i = 0; i < table.count(); ++i) {
        table.recordAt(i).order = i;
        table.recordAt(i).parentOrder = -1;
    }
    return table;
}

struct Book {
    PageTable table;
    DataFileHeader header = newFileHeader();
    VersionBlock version = makeVersionBlock(SaveKind::ExitData, 77);
};

bool readPlaced(const std::string& path, Book& book) {
    const TextSourcePtr source = openTextSource(path);
    return source && readDataFile(source, book.table, book.header, book.version);
}

std::string textOf(const PageRecord& record) {
    std::string text;
    EXPECT_TRUE(record.isSecure ? loadCipher(record, text) : loadText(record, text));
    return text;
}

// Every record holds no bytes, only places in a file of `size` bytes.
void expectOnlyPlaces(const PageTable& table, std::uint64_t size) {
    for (int i = 0; i < table.count(); ++i) {
        const PageRecord& r = table.recordAt(i);
        EXPECT_TRUE(r.text.empty() && r.cipher.empty()) << i;
        const bool empty = !r.isSecure && textLength(r) == 0;
        EXPECT_EQ(r.place.source != nullptr, !empty) << i;
        if (r.place.source) EXPECT_EQ(r.place.source->size(), size) << i;
    }
}

// The file whose medium went away: its size is known, nothing reads.
class GoneSource : public TextSource {
public:
    GoneSource(const std::string& path, std::uint64_t size) : TextSource(path, size) {}
    bool read(std::uint64_t, void*, std::size_t) const override { return false; }
};

int filesIn(const std::string& folder) {
    int count = 0;
    DIR* dir = opendir(folder.c_str());
    while (dirent* entry = dir ? readdir(dir) : nullptr) count += entry->d_name[0] != '.';
    if (dir) closedir(dir);
    return count;
}

}  // namespace

TEST(TextPlaces, ABookReadFromItsFileHoldsPlacesWithTheSameTextsAndWritesTheSameBytes) {
    TempFolder folder;
    const std::string path = folder.file("book.qpd");
    Book written;
    written.table = sampleBook();
    ASSERT_TRUE(writeDataFile(path, written.version, true, written.table, written.header));
    Book placed;
    ASSERT_TRUE(readPlaced(path, placed));
    const std::string file = readFile(path);
    expectOnlyPlaces(placed.table, file.size());
    ASSERT_EQ(placed.table.count(), written.table.count());
    for (int i = 0; i < placed.table.count(); ++i)
        EXPECT_EQ(textOf(placed.table.recordAt(i)), textOf(written.table.recordAt(i))) << i;
    EXPECT_EQ(buildDataFile(placed.table, placed.header, placed.version, true), file);
}

TEST(TextPlaces, ASaveCopiesUnchangedTextsAndThenPointsIntoTheNewFileOnly) {
    TempFolder folder;
    Book book;
    book.table = sampleBook();
    ASSERT_TRUE(writeDataFile(folder.file("old.qpd"), book.version, false, book.table, book.header));
    Book placed;
    ASSERT_TRUE(readPlaced(folder.file("old.qpd"), placed));
    setText(placed.table.recordAt(2), "{\\rtf1 changed\\par}");
    setText(book.table.recordAt(2), "{\\rtf1 changed\\par}");
    const std::string expected = buildDataFile(book.table, book.header, book.version, false);

    ASSERT_TRUE(saveDataFile(folder.file("new.qpd"), placed.version, false, placed.table, placed.header));
    ASSERT_EQ(readFile(folder.file("new.qpd")), expected);
    unlink(folder.file("old.qpd").c_str());  // the old file is no source any more
    expectOnlyPlaces(placed.table, expected.size());
    for (int i = 0; i < book.table.count(); ++i)
        EXPECT_EQ(textOf(placed.table.recordAt(i)), textOf(book.table.recordAt(i))) << i;
    // the next save over the same file copies from it and opens the new one; a replace that
    // fails leaves the file, and its places read on
    for (bool replaceFails : {true, false}) {
        atomicfaults::failOperation(0);
        writeDataFile(folder.file("count.qpd"), placed.version, false, placed.table, placed.header);
        atomicfaults::failOperation(replaceFails ? atomicfaults::operationsCounted() : 0);
        EXPECT_NE(saveDataFile(folder.file("new.qpd"), placed.version, false, placed.table, placed.header),
                  replaceFails);
        atomicfaults::failOperation(0);
        EXPECT_EQ(readFile(folder.file("new.qpd")), expected);
        expectOnlyPlaces(placed.table, expected.size());
        EXPECT_EQ(textOf(placed.table.recordAt(2)), "{\\rtf1 changed\\par}");
    }
}

TEST(TextPlaces, APlaceThatCannotBeReadFailsTheSaveAndTheCleanupAndLeavesTheOldFile) {
    TempFolder folder;
    const std::string path = folder.file("book.qpd");
    Book book;
    book.table = sampleBook();
    ASSERT_TRUE(writeDataFile(path, book.version, false, book.table, book.header));
    const std::string before = readFile(path);
    Book placed;
    ASSERT_TRUE(readPlaced(path, placed));
    const auto gone = std::make_shared<GoneSource>(path, before.size());
    for (int i = 0; i < placed.table.count(); ++i)
        if (placed.table.recordAt(i).place.source) placed.table.recordAt(i).place.source = gone;

    EXPECT_FALSE(saveDataFile(path, placed.version, false, placed.table, placed.header));
    EXPECT_EQ(readFile(path), before);
    EXPECT_EQ(filesIn(folder.path()), 1) << "no temporary file is left";
    EXPECT_EQ(buildDataFile(placed.table, placed.header, placed.version, false), "");
    EXPECT_EQ(stripDeletionMarks(placed.table), -1);
    std::string text = "old";
    EXPECT_FALSE(loadText(placed.table.recordAt(3), text));
    EXPECT_EQ(text, "");
}
