#include "store/AtomicFile.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>

#include "TestBooks.h"

using namespace testbooks;

namespace {

int entriesIn(const std::string& folder) {
    int count = 0;
    DIR* dir = opendir(folder.c_str());
    while (dirent* entry = readdir(dir))
        count += std::string(entry->d_name) != "." && std::string(entry->d_name) != "..";
    closedir(dir);
    return count;
}

TEST(AtomicFile, ReplacesWholeFilesAndCleansUpAfterFailures) {
    TempFolder folder;
    std::string path = folder.file("quiltpad.ini");
    ASSERT_TRUE(writeFileAtomically(path, std::string("first\0bytes", 11)));
    EXPECT_EQ(std::string("first\0bytes", 11), readFile(path));
    ASSERT_TRUE(writeFileAtomically(path, "2"));
    EXPECT_EQ("2", readFile(path));
    ASSERT_TRUE(writeFileAtomically(path, ""));
    EXPECT_EQ("", readFile(path));

    EXPECT_FALSE(writeFileAtomically(folder.file("no/such/file"), "x"));
    EXPECT_FALSE(writeFileAtomically("", "x"));
    std::string taken = folder.file("taken");
    ASSERT_EQ(0, mkdir(taken.c_str(), 0755));
    EXPECT_FALSE(writeFileAtomically(taken, "x"));
    EXPECT_EQ(2, entriesIn(folder.path())) << "only the file and the folder, no temporary files";
}

TEST(AtomicFile, PiecesReachTheTargetOnlyAtCommit) {
    TempFolder folder;
    std::string path = folder.file("book.qpd");
    writeFile(path, "old");
    {
        AtomicFileWriter writer(path);
        ASSERT_TRUE(writer.write("new ", 4));
        ASSERT_TRUE(writer.write("bytes", 5));
        EXPECT_EQ("old", readFile(path));
    }  // abandoned: the old file stays and the temporary file goes
    EXPECT_EQ("old", readFile(path));
    EXPECT_EQ(1, entriesIn(folder.path()));

    AtomicFileWriter writer(path);
    ASSERT_TRUE(writer.write("new ", 4) && writer.write("bytes", 5));
    ASSERT_TRUE(writer.commit());
    EXPECT_EQ("new bytes", readFile(path));
    EXPECT_FALSE(writer.commit()) << "a writer commits once";

    AtomicFileWriter nowhere(folder.file("no/such/file"));
    EXPECT_FALSE(nowhere.ok());
    EXPECT_FALSE(nowhere.write("x", 1));
    EXPECT_FALSE(nowhere.commit());
    EXPECT_EQ(1, entriesIn(folder.path()));
}

TEST(AtomicFile, LeftoversOfAKilledWriterAreRemovedAndNothingElse) {
    TempFolder folder;
    for (const char* name : {"quiltpad.qpd", "quiltpad.qpd~0", "quiltpad.qpd~12-3", "quiltpad.qpd~old", "other.qpd~1"})
        writeFile(folder.file(name), "x");
    removeLeftoverTemporaries(folder.file("quiltpad.qpd"));
    EXPECT_EQ(3, entriesIn(folder.path())) << "the book, a file named by the user, another file's leftover";
    EXPECT_EQ("x", readFile(folder.file("quiltpad.qpd~old")));
    EXPECT_EQ("x", readFile(folder.file("other.qpd~1")));
}

}  // namespace
