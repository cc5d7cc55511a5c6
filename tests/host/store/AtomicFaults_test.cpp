// A save that fails at any one of its file operations leaves the old book or
// the new one, says that it failed, leaves no temporary file, and the next
// save goes through.
#include "store/AtomicFile.h"
#include "store/DataFile.h"

#include <gtest/gtest.h>

#include <dirent.h>

#include "TestBooks.h"

using namespace testbooks;

namespace {

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    while (dirent* entry = readdir(dir))
        if (std::string(entry->d_name) != "." && std::string(entry->d_name) != "..") names.push_back(entry->d_name);
    closedir(dir);
    return names;
}

// A book big enough that the writer's buffer goes to the file several times.
PageTable bookOf(const std::string& filler, int pages) {
    PageTable table;
    for (int i = 0; i < pages; ++i)
        table.addPage(static_cast<ItemHandle>(i + 1), "{\\rtf1 " + std::string(300000, filler[0]) + "}",
                      filler + std::to_string(i), false);
    return table;
}

struct FaultOff {
    ~FaultOff() { atomicfaults::failOperation(0); }
};

TEST(AtomicFaults, EveryFailedOperationOfASaveKeepsTheOldBookWhole) {
    TempFolder folder;
    const std::string path = folder.file("quiltpad.qpd");
    const DataFileHeader header = newFileHeader();
    const VersionBlock version = makeVersionBlock(SaveKind::ExitData, 7);
    const PageTable oldBook = bookOf("o", 6), newBook = bookOf("n", 8);
    ASSERT_TRUE(writeDataFile(path, version, true, oldBook, header));
    const std::string oldBytes = readFile(path);
    const std::string newBytes = buildDataFile(newBook, header, version, true);

    // A clean save counts its operations: create, the writes, flush, close, replace.
    FaultOff off;
    atomicfaults::failOperation(0);
    {
        TempFolder probe;
        ASSERT_TRUE(writeDataFile(probe.file("b.qpd"), version, true, newBook, header));
    }
    const long operations = atomicfaults::operationsCounted();
    ASSERT_GE(operations, 6) << "a book of 2.4 MB is written in several pieces";

    for (long k = 1; k <= operations; ++k) {
        atomicfaults::failOperation(k);
        EXPECT_FALSE(writeDataFile(path, version, true, newBook, header)) << "operation " << k;
        atomicfaults::failOperation(0);
        EXPECT_EQ(oldBytes, readFile(path)) << "operation " << k;
        EXPECT_EQ(std::vector<std::string>{"quiltpad.qpd"}, namesIn(folder.path())) << "operation " << k;
    }
    ASSERT_TRUE(writeDataFile(path, version, true, newBook, header));
    EXPECT_EQ(newBytes, readFile(path));
}

}  // namespace
